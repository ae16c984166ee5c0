// A user at the X server, for display tests: finds a top-level window by
// its title and clicks and types into it through the server's test
// extension, as a person at the screen would.
#pragma once

#include <chrono>
#include <string>

struct _XDisplay;

class XUser {
public:
    XUser();
    ~XUser();
    XUser(const XUser&) = delete;
    XUser& operator=(const XUser&) = delete;

    bool Connected() const { return display_ != nullptr; }
    // Waits until a window titled `title` is shown; false after `wait`.
    bool FindWindow(const std::string& title, std::chrono::milliseconds wait);
    // The found window's inside, in pixels.
    int Width() const { return width_; }
    int Height() const { return height_; }
    // A left click at (x, y) inside the window.
    void Click(int x, int y);
    // A key pressed and released in the window: "Escape", "Return", ...
    void Press(const char* keyName);
    // Whether the found window is still shown.
    bool WindowShown();

private:
    void Flush();
    _XDisplay* display_ = nullptr;
    unsigned long window_ = 0;
    int width_ = 0;
    int height_ = 0;
};
