// A desktop for tests: it records every message box, file dialog, modal
// dialog and restart request and answers boxes and dialogs from a script, so
// a test can see what a program asked its user and tell it what the user chose.
//
//     win32_testing::ScopedDesktop desktop;          // installed until the end of scope
//     desktop->QueueAnswers({IDNO});                 // the next box is answered "No"
//     desktop->QueueFileAnswers({"/tmp/Mix.kvs", win32_testing::kCancelled});
//     desktop->QueueDialogScript([](win32::ModalDialog& dialog) { dialog.Click(1004); dialog.PressEnter(); });
//     desktop->SetWhileOpen([] { /* the program's timers tick */ });
//     RunTheCodeUnderTest();
//     EXPECT_EQ(desktop->Boxes().at(0).text, "Restart now?");
#pragma once

#include <deque>
#include <functional>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "win32/desktop.h"
#include "win32/dialogs.h"

namespace win32_testing {

struct MessageBoxCall {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
    int answer;  // what the box returned
};

// A file dialog's answer: the path the user settled on, or a cancel.
using FileAnswer = std::optional<std::string>;
inline const FileAnswer kCancelled = std::nullopt;

struct FileDialogCall {
    win32::FileDialogRequest request;
    FileAnswer answer;
};

// What the user of a modal dialog does, from its first look at it.
using DialogScript = std::function<void(win32::ModalDialog&)>;

struct DialogCall {
    std::string caption;
    std::vector<win32::DialogItemState> states;  // as the user first saw them
    bool scripted;                               // a script ran it
    INT_PTR result;                              // what DialogBoxParamA returned

    // The first control of that id as first seen; BST_UNCHECKED and false for none.
    UINT Check(int id) const;
    bool Enabled(int id) const;
};

struct ExitWindowsCall {
    UINT flags;
    DWORD reason;
};

// Thread-safe: a program under test may show boxes from any thread.
class ScriptedDesktop final : public win32::Desktop {
public:
    // Answers for the next boxes, in order; a box with no answer left gets its
    // default button (win32::DefaultButton).
    void QueueAnswers(std::initializer_list<int> answers);
    std::vector<MessageBoxCall> Boxes() const;
    // Answers for the next file dialogs, in order; a dialog with no answer
    // left is cancelled.
    void QueueFileAnswers(std::initializer_list<FileAnswer> answers);
    std::vector<FileDialogCall> FileDialogs() const;
    // Scripts for the next modal dialogs, in order, each run on the thread
    // that opened its dialog once the procedure has had WM_INITDIALOG. A
    // dialog with no script left, or left open by its script, is closed with
    // IDCANCEL as with Escape.
    void QueueDialogScript(DialogScript script);
    std::vector<DialogCall> Dialogs() const;
    // Runs inside every box and file dialog, once, before it answers: what
    // the program does while its user looks at the box (a GUI test runs the
    // message loop's timers here). Nothing by default.
    void SetWhileOpen(std::function<void()> work);
    std::vector<ExitWindowsCall> ExitRequests() const;

    // Held keys and toggle states; the GUI layer writes the same table
    // through SetKeyDown while it dispatches input.
    void SetKeyToggled(int virtualKey, bool toggled) { keys_.SetToggled(virtualKey, toggled); }
    // The screen rectangle (1024 x 768 at first) and the work area (the
    // screen at first; SetScreenRect sets both).
    void SetScreenRect(RECT screen);
    void SetWorkArea(RECT area);

    int MessageBox(HWND owner, std::string_view text, std::string_view caption, UINT type) override;
    std::optional<std::string> ChooseFile(const win32::FileDialogRequest& request) override;
    void RunDialog(win32::ModalDialog& dialog) override;
    // Recorded; always refused (FALSE), as the simulated machine cannot restart.
    BOOL ExitWindows(UINT flags, DWORD reason) override;
    bool KeyDown(int virtualKey) const override { return keys_.Down(virtualKey); }
    bool KeyToggled(int virtualKey) const override { return keys_.Toggled(virtualKey); }
    void SetKeyDown(int virtualKey, bool down) override { keys_.SetDown(virtualKey, down); }
    RECT ScreenRect() const override;
    RECT WorkArea() const override;

private:
    void RunWhileOpen();
    mutable std::mutex lock_;
    std::deque<int> answers_;
    std::vector<MessageBoxCall> boxes_;
    std::deque<FileAnswer> fileAnswers_;
    std::vector<FileDialogCall> fileDialogs_;
    std::deque<DialogScript> dialogScripts_;
    std::vector<DialogCall> dialogs_;
    std::function<void()> whileOpen_;
    std::vector<ExitWindowsCall> exitRequests_;
    RECT screen_{0, 0, 1024, 768};
    RECT workArea_{0, 0, 1024, 768};
    win32::KeyTable keys_;
};

// Installs a scripted desktop for its lifetime and then puts back the one
// that was in force before.
class ScopedDesktop {
public:
    ScopedDesktop();
    ~ScopedDesktop();
    ScopedDesktop(const ScopedDesktop&) = delete;
    ScopedDesktop& operator=(const ScopedDesktop&) = delete;

    ScriptedDesktop& desktop() const noexcept { return *desktop_; }
    ScriptedDesktop* operator->() const noexcept { return desktop_.get(); }

private:
    std::shared_ptr<ScriptedDesktop> desktop_;
    std::shared_ptr<win32::Desktop> previous_;
};

}  // namespace win32_testing
