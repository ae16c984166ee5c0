// The display's desktop. Message boxes and modal dialogs are forms of the
// library and file dialogs JUCE's own file chooser, run from the library's
// loop, so that the program's timers keep firing while any is open.
#include "host/display_desktop.h"

#include "widgets/message_form.h"

#include "gui/dialog_presenter.h"
#include "gui/forms.h"

#include <win32/commdlg.h>

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdio>

namespace gui::detail {

namespace {

bool OnGuiThread()
{
    return juce::MessageManager::existsAndIsCurrentThread();
}

juce::String Text(std::string_view s)
{
    return juce::String::fromUTF8(s.data(), static_cast<int>(s.size()));
}

// The chooser's patterns for the filter the program chose ("*.*" is every file).
juce::String Patterns(const win32::FileDialogRequest& request)
{
    if (request.filters.empty()) return "*";
    const std::size_t index = request.filterIndex >= 1 && request.filterIndex <= request.filters.size() ? request.filterIndex - 1 : 0;
    juce::StringArray patterns = juce::StringArray::fromTokens(Text(request.filters[index].second), ";", "");
    for (juce::String& p : patterns)
        if (p.trim() == "*.*") p = "*";
    return patterns.joinIntoString(";");
}

juce::File Folder(const std::string& path)
{
    const juce::String posix = Text(path).replaceCharacter('\\', '/');
    if (posix.isEmpty()) return {};
    const juce::File folder = juce::File::getCurrentWorkingDirectory().getChildFile(posix);
    return folder.isDirectory() ? folder : juce::File();
}

class DisplayDesktop final : public win32::Desktop {
public:
    int MessageBox(HWND, std::string_view text, std::string_view caption, UINT type) override
    {
        // A form belongs to the GUI thread; a box from another thread is
        // reported as without a display.
        if (!OnGuiThread()) {
            std::fprintf(stderr, "[%.*s] %.*s\n", static_cast<int>(caption.size()), caption.data(), static_cast<int>(text.size()),
                         text.data());
            return win32::DefaultButton(type);
        }
        return RunMessageForm(text, caption, type);
    }
    std::optional<std::string> ChooseFile(const win32::FileDialogRequest& request) override
    {
        if (!OnGuiThread()) return std::nullopt;
        int flags = juce::FileBrowserComponent::canSelectFiles;
        if (request.save) {
            flags |= juce::FileBrowserComponent::saveMode;
            if (request.flags & OFN_OVERWRITEPROMPT) flags |= juce::FileBrowserComponent::warnAboutOverwriting;
        } else {
            flags |= juce::FileBrowserComponent::openMode;
        }
        juce::File start = Folder(request.initialDir);
        for (;;) {
            const juce::File chosen = RunChooser(request.save ? "Save As" : "Open", start, Patterns(request), flags);
            if (chosen == juce::File()) return std::nullopt;
            // A name typed with a folder that is not there: asked again, as the platform's dialog does.
            if ((request.flags & OFN_PATHMUSTEXIST) && !chosen.getParentDirectory().isDirectory()) {
                RunMessageForm("The folder \"" + chosen.getParentDirectory().getFullPathName().toStdString() +
                                   "\" does not exist.\nCheck the path and try again.",
                               request.save ? "Save As" : "Open", MB_OK | MB_ICONWARNING);
                continue;
            }
            return chosen.getFullPathName().toStdString();
        }
    }
    // A dialog in a window of its own, from the GUI thread; from another,
    // as without a display.
    void RunDialog(win32::ModalDialog& dialog) override
    {
        if (!OnGuiThread()) {
            Desktop::RunDialog(dialog);
            return;
        }
        try {
            PresentDialog(dialog);
        } catch (...) {
            // Left open, the dialog manager ends it as cancelled.
            Application->HandleException(Application);
        }
    }
    BOOL ExitWindows(UINT, DWORD) override { return FALSE; }
    bool KeyDown(int vk) const override { return keys_.Down(vk); }
    bool KeyToggled(int vk) const override { return keys_.Toggled(vk); }
    void SetKeyDown(int vk, bool down) override { keys_.SetDown(vk, down); }
    RECT ScreenRect() const override { return ToRect(Primary() ? Primary()->totalArea : juce::Rectangle<int>(0, 0, 1920, 1080)); }
    RECT WorkArea() const override { return ToRect(Primary() ? Primary()->userArea : juce::Rectangle<int>(0, 0, 1920, 1040)); }

private:
    // JUCE's own chooser (not the system's dialog program, which a machine
    // may lack), open while the library's loop runs; nothing when cancelled.
    static juce::File RunChooser(const juce::String& title, const juce::File& start, const juce::String& patterns, int flags)
    {
        juce::FileChooser chooser(title, start, patterns, false);
        bool answered = false;
        juce::File chosen;
        chooser.launchAsync(flags, [&](const juce::FileChooser& c) {
            chosen = c.getResult();
            answered = true;
        });
        while (!answered && !Application->Terminated()) Application->HandleMessage();
        return chosen;
    }
    static const juce::Displays::Display* Primary() { return juce::Desktop::getInstance().getDisplays().getPrimaryDisplay(); }
    static RECT ToRect(juce::Rectangle<int> r) { return RECT{r.getX(), r.getY(), r.getRight(), r.getBottom()}; }
    win32::KeyTable keys_;
};

}  // namespace

std::shared_ptr<win32::Desktop> MakeDisplayDesktop()
{
    return std::make_shared<DisplayDesktop>();
}

}  // namespace gui::detail
