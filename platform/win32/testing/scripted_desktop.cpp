#include "win32_testing/scripted_desktop.h"

namespace win32_testing {

void ScriptedDesktop::QueueAnswers(std::initializer_list<int> answers)
{
    std::lock_guard guard(lock_);
    answers_.insert(answers_.end(), answers);
}

std::vector<MessageBoxCall> ScriptedDesktop::Boxes() const
{
    std::lock_guard guard(lock_);
    return boxes_;
}

std::vector<ExitWindowsCall> ScriptedDesktop::ExitRequests() const
{
    std::lock_guard guard(lock_);
    return exitRequests_;
}

void ScriptedDesktop::SetScreenRect(RECT screen)
{
    std::lock_guard guard(lock_);
    screen_ = screen;
    workArea_ = screen;
}

void ScriptedDesktop::SetWorkArea(RECT area)
{
    std::lock_guard guard(lock_);
    workArea_ = area;
}

RECT ScriptedDesktop::ScreenRect() const
{
    std::lock_guard guard(lock_);
    return screen_;
}

RECT ScriptedDesktop::WorkArea() const
{
    std::lock_guard guard(lock_);
    return workArea_;
}

int ScriptedDesktop::MessageBox(HWND owner, std::string_view text, std::string_view caption, UINT type)
{
    RunWhileOpen();
    std::lock_guard guard(lock_);
    int answer = win32::DefaultButton(type);
    if (!answers_.empty()) {
        answer = answers_.front();
        answers_.pop_front();
    }
    boxes_.push_back({owner, std::string(text), std::string(caption), type, answer});
    return answer;
}

BOOL ScriptedDesktop::ExitWindows(UINT flags, DWORD reason)
{
    std::lock_guard guard(lock_);
    exitRequests_.push_back({flags, reason});
    return FALSE;
}

void ScriptedDesktop::QueueFileAnswers(std::initializer_list<FileAnswer> answers)
{
    std::lock_guard guard(lock_);
    fileAnswers_.insert(fileAnswers_.end(), answers);
}

std::vector<FileDialogCall> ScriptedDesktop::FileDialogs() const
{
    std::lock_guard guard(lock_);
    return fileDialogs_;
}

void ScriptedDesktop::SetWhileOpen(std::function<void()> work)
{
    std::lock_guard guard(lock_);
    whileOpen_ = std::move(work);
}

void ScriptedDesktop::RunWhileOpen()
{
    std::function<void()> work;
    {
        std::lock_guard guard(lock_);
        work = whileOpen_;
    }
    // Unlocked: what runs meanwhile may show boxes of its own.
    if (work) work();
}

std::optional<std::string> ScriptedDesktop::ChooseFile(const win32::FileDialogRequest& request)
{
    RunWhileOpen();
    std::lock_guard guard(lock_);
    FileAnswer answer = kCancelled;
    if (!fileAnswers_.empty()) {
        answer = fileAnswers_.front();
        fileAnswers_.pop_front();
    }
    fileDialogs_.push_back({request, answer});
    return answer;
}

UINT DialogCall::Check(int id) const
{
    for (const win32::DialogItemState& state : states)
        if (state.id == id) return state.check;
    return BST_UNCHECKED;
}

bool DialogCall::Enabled(int id) const
{
    for (const win32::DialogItemState& state : states)
        if (state.id == id) return state.enabled;
    return false;
}

void ScriptedDesktop::QueueDialogScript(DialogScript script)
{
    std::lock_guard guard(lock_);
    dialogScripts_.push_back(std::move(script));
}

std::vector<DialogCall> ScriptedDesktop::Dialogs() const
{
    std::lock_guard guard(lock_);
    return dialogs_;
}

void ScriptedDesktop::RunDialog(win32::ModalDialog& dialog)
{
    DialogScript script;
    {
        std::lock_guard guard(lock_);
        if (!dialogScripts_.empty()) {
            script = std::move(dialogScripts_.front());
            dialogScripts_.pop_front();
        }
    }
    DialogCall call{std::string(dialog.Template().caption), dialog.States(), static_cast<bool>(script), IDCANCEL};
    // Unlocked: the script may open dialogs of its own.
    if (script) script(dialog);
    if (!dialog.Ended()) dialog.PressEscape();
    if (dialog.Ended()) call.result = dialog.Result();
    std::lock_guard guard(lock_);
    dialogs_.push_back(std::move(call));
}

ScopedDesktop::ScopedDesktop()
    : desktop_(std::make_shared<ScriptedDesktop>()), previous_(win32::InstallDesktop(desktop_))
{
}

ScopedDesktop::~ScopedDesktop() { win32::InstallDesktop(std::move(previous_)); }

}  // namespace win32_testing
