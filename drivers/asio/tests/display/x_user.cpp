#include "x_user.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <thread>
#include <vector>

namespace {

// Its title as the program set it, in whichever encoding (JUCE writes
// WM_NAME as UTF-8, which XFetchName does not read).
std::string TitleOf(Display* display, Window window)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, XA_WM_NAME, 0, 1024, False, AnyPropertyType, &type, &format, &count, &after,
                           &data) == Success &&
        data != nullptr) {
        if (format == 8) title.assign(reinterpret_cast<const char*>(data), count);
        XFree(data);
    }
    return title;
}

// The shown window of that title, at or below `window`.
Window FindTitled(Display* display, Window window, const std::string& title)
{
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable &&
        TitleOf(display, window) == title)
        return window;
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count)) return 0;
    std::vector<Window> list(children, children + count);
    if (children != nullptr) XFree(children);
    for (Window child : list)
        if (Window found = FindTitled(display, child, title)) return found;
    return 0;
}

}  // namespace

XUser::XUser() : display_(XOpenDisplay(nullptr)) {}

XUser::~XUser()
{
    if (display_ != nullptr) XCloseDisplay(display_);
}

bool XUser::FindWindow(const std::string& title, std::chrono::milliseconds wait)
{
    if (display_ == nullptr) return false;
    const auto end = std::chrono::steady_clock::now() + wait;
    while (std::chrono::steady_clock::now() < end) {
        window_ = FindTitled(display_, DefaultRootWindow(display_), title);
        if (window_ != 0) {
            XWindowAttributes attributes;
            XGetWindowAttributes(display_, window_, &attributes);
            width_ = attributes.width;
            height_ = attributes.height;
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

bool XUser::WindowShown()
{
    XWindowAttributes attributes;
    return window_ != 0 && FindTitled(display_, DefaultRootWindow(display_), TitleOf(display_, window_)) == window_ &&
           XGetWindowAttributes(display_, window_, &attributes) && attributes.map_state == IsViewable;
}

void XUser::Click(int x, int y)
{
    int rootX = 0, rootY = 0;
    Window child = 0;
    XTranslateCoordinates(display_, window_, DefaultRootWindow(display_), x, y, &rootX, &rootY, &child);
    XTestFakeMotionEvent(display_, -1, rootX, rootY, CurrentTime);
    Flush();
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    Flush();
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    Flush();
}

void XUser::Press(const char* keyName)
{
    // No window manager gives the focus here: the user's click or this does.
    XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
    const KeyCode key = XKeysymToKeycode(display_, XStringToKeysym(keyName));
    XTestFakeKeyEvent(display_, key, True, CurrentTime);
    Flush();
    XTestFakeKeyEvent(display_, key, False, CurrentTime);
    Flush();
}

void XUser::Flush()
{
    XSync(display_, False);
    // A moment for the program to take each event in turn.
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
}
