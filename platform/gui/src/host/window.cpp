// Forms on a display: each shown form is a JUCE window that shows the form's
// composed pixels and feeds the raw mouse and keyboard input into the
// library's dispatch, keeping the key state behind GetKeyState current.
#include "host/window.h"

#include "core/access.h"
#include "drawing/compose.h"
#include "host/display_desktop.h"
#include "host/juce_image.h"
#include "host/text.h"
#include "host/x11_atoms.h"
#include "host/x11_paint.h"

#include "gui/input.h"
#include "gui/presentation.h"

#include <win32/desktop.h>

#include <juce_gui_basics/juce_gui_basics.h>

#include <cctype>

namespace juce {
// JUCE's own step of its message loop (its platform code's entry): one
// pending event, or false when there is none.
bool dispatchNextMessageOnSystemQueue(bool returnIfNoPendingMessages);
}  // namespace juce

namespace gui::detail {

namespace {

WORD VirtualKey(const juce::KeyPress& key)
{
    static const std::pair<int, WORD> table[] = {
        {juce::KeyPress::returnKey, VK_RETURN}, {juce::KeyPress::escapeKey, VK_ESCAPE}, {juce::KeyPress::tabKey, VK_TAB},
        {juce::KeyPress::spaceKey, VK_SPACE}, {juce::KeyPress::backspaceKey, VK_BACK}, {juce::KeyPress::deleteKey, VK_DELETE},
        {juce::KeyPress::insertKey, VK_INSERT}, {juce::KeyPress::homeKey, VK_HOME}, {juce::KeyPress::endKey, VK_END},
        {juce::KeyPress::pageUpKey, VK_PRIOR}, {juce::KeyPress::pageDownKey, VK_NEXT}, {juce::KeyPress::leftKey, VK_LEFT},
        {juce::KeyPress::rightKey, VK_RIGHT}, {juce::KeyPress::upKey, VK_UP}, {juce::KeyPress::downKey, VK_DOWN},
    };
    const int code = key.getKeyCode();
    for (const auto& [juceKey, vk] : table)
        if (code == juceKey) return vk;
    for (int i = 0; i < 12; ++i)
        if (code == juce::KeyPress::F1Key + i) return static_cast<WORD>(VK_F1 + i);
    if (code >= 0 && code < 128 && std::isalnum(code)) return static_cast<WORD>(std::toupper(code));
    return 0;
}

class FormWindow final : public juce::Component, private juce::Timer {
public:
    explicit FormWindow(TCustomForm& form) : form_(form)
    {
        setOpaque(true);
        setWantsKeyboardFocus(true);
        Refresh();
        int flags = juce::ComponentPeer::windowAppearsOnTaskbar;
        const TBorderIcons icons = form.BorderIcons();
        const bool dialog = form.BorderStyle() == TFormBorderStyle::bsDialog;
        if (form.BorderStyle() != TFormBorderStyle::bsNone) flags |= juce::ComponentPeer::windowHasTitleBar;
        if (form.BorderStyle() != TFormBorderStyle::bsNone && icons.Contains(biSystemMenu))
            flags |= juce::ComponentPeer::windowHasCloseButton;
        if (!dialog && icons.Contains(biMinimize)) flags |= juce::ComponentPeer::windowHasMinimiseButton;
        if (Sizeable()) flags |= juce::ComponentPeer::windowIsResizable;
        addToDesktop(flags);
        FollowForm();
        startTimer(25);
    }

    // The window goes where the form's Left and Top say; a window moved by
    // the user moves the form.
    void FollowForm()
    {
        const juce::Point<int> wanted(form_.Left() + form_.FrameLeft(), form_.Top() + form_.FrameTop());
        if (wanted == placed_) return;
        placed_ = wanted;
        setTopLeftPosition(wanted);
    }
    void moved() override
    {
        const juce::Point<int> at = getPosition();
        if (at == placed_) return;
        placed_ = at;
        form_.SetBounds(at.x - form_.FrameLeft(), at.y - form_.FrameTop(), form_.Width(), form_.Height());
    }
    // A window resized by the user resizes the form, through its constraints;
    // the window then takes the size the form kept.
    void resized() override
    {
        if (image_.Surface().empty() || juce::Point<int>(getWidth(), getHeight()) == PictureSize()) return;
        const int frameWidth = form_.FrameLeft() + form_.FrameRight(), frameHeight = form_.FrameTop() + form_.FrameBottom();
        Input([&] { form_.SetBounds(form_.Left(), form_.Top(), getWidth() + frameWidth, getHeight() + frameHeight); },
              juce::ModifierKeys::currentModifiers);
    }

    void Refresh()
    {
        FollowForm();
        const bool onTop = form_.FormStyle() == fsStayOnTop;
        if (isAlwaysOnTop() != onTop) setAlwaysOnTop(onTop);
        const juce::String title = juce::String::fromUTF8(form_.Caption().c_str());
        if (getName() != title) setName(title);
        // A new picture only after something was drawn, moved, shown or hidden.
        Application->PaintPending();
        const std::uint64_t generation = PictureGeneration();
        if (generation != shownGeneration_ || image_.Surface().empty()) {
            shownGeneration_ = generation;
            image_ = ComposeForm(form_);
            repaint();
        }
        FitPicture();
    }

    // The window shows `area` (form client pixels) as the surfaces hold it
    // now, on the screen before this returns.
    void ShowNow(const TRect& area)
    {
        if (image_.Width() != form_.ClientWidth() || image_.Height() != form_.ClientHeight()) {
            image_.SetSize(form_.ClientWidth(), form_.ClientHeight());
            ComposeArea(form_, form_.ClientRect(), image_.Surface());
            FitPicture();
            repaint();
        } else {
            ComposeArea(form_, area, image_.Surface());
            repaint(area.Left, area.Top, area.Width(), area.Height());
        }
        if (juce::ComponentPeer* peer = getPeer()) PaintWindowNow(*peer);
    }

    void paint(juce::Graphics& g) override
    {
        const gui::Surface& s = image_.Surface();
        if (s.empty()) return;
        g.drawImageAt(SurfaceImage(s), 0, 0);
    }

    void mouseMove(const juce::MouseEvent& e) override { Input([&] { MoveMouse(form_, e.x, e.y); }, e.mods); }
    void mouseDrag(const juce::MouseEvent& e) override { Input([&] { MoveMouse(form_, e.x, e.y); }, e.mods); }
    void mouseDown(const juce::MouseEvent& e) override
    {
        grabKeyboardFocus();
        Input([&] { PressMouse(form_, Button(e.mods), e.x, e.y, e.getNumberOfClicks() == 2); }, e.mods);
    }
    void mouseUp(const juce::MouseEvent& e) override { Input([&] { ReleaseMouse(form_, Button(e.mods), e.x, e.y); }, e.mods); }
    void mouseExit(const juce::MouseEvent&) override
    {
        if (Application->PointerForm() == &form_ && !Application->CaptureControl()) Application->SetPointer(nullptr, TPoint{});
    }
    void modifierKeysChanged(const juce::ModifierKeys& mods) override { Modifiers(mods); }
    bool keyPressed(const juce::KeyPress& key) override
    {
        const WORD vk = VirtualKey(key);
        const juce::juce_wchar ch = key.getTextCharacter();
        Input(
            [&] {
                if (vk != 0) PressKey(form_, vk);
                if (vk == VK_BACK) TypeChar(form_, '\b');
                else if (ch >= 32 && ch < 127) TypeChar(form_, static_cast<char>(ch));
                if (vk != 0) ReleaseKey(form_, vk);
            },
            key.getModifiers());
        return true;
    }
    void userTriedToCloseWindow() override
    {
        Input([&] { CloseBox(form_); }, juce::ModifierKeys::currentModifiers);
    }

private:
    bool Sizeable() const
    {
        return form_.BorderStyle() == TFormBorderStyle::bsSizeable || form_.BorderStyle() == TFormBorderStyle::bsSizeToolWin;
    }
    // The window's size for the picture (a window is never empty).
    juce::Point<int> PictureSize() const { return {std::max(1, image_.Width()), std::max(1, image_.Height())}; }
    void FitPicture()
    {
        const juce::Point<int> size = PictureSize();
        if (getWidth() != size.x || getHeight() != size.y) setSize(size.x, size.y);
    }
    static TMouseButton Button(const juce::ModifierKeys& mods)
    {
        return mods.isRightButtonDown() ? mbRight : mods.isMiddleButtonDown() ? mbMiddle : mbLeft;
    }
    static void Modifiers(const juce::ModifierKeys& mods)
    {
        win32::Desktop& desktop = win32::CurrentDesktop();
        desktop.SetKeyDown(VK_SHIFT, mods.isShiftDown());
        desktop.SetKeyDown(VK_CONTROL, mods.isCtrlDown());
        desktop.SetKeyDown(VK_MENU, mods.isAltDown());
    }
    template <class Work>
    void Input(Work work, const juce::ModifierKeys& mods)
    {
        Modifiers(mods);
        try {
            work();
        } catch (...) {
            Application->HandleException(&form_);
        }
        Refresh();
    }
    void timerCallback() override { Refresh(); }

    TCustomForm& form_;
    TBitmap image_;
    juce::Point<int> placed_{-1000000, -1000000};
    std::uint64_t shownGeneration_ = 0;
};

FormWindow* WindowOf(TCustomForm& form)
{
    return static_cast<FormWindow*>(static_cast<juce::Component*>(form.PresentationWindow()));
}

}  // namespace

void StartPresentation()
{
    static bool started = false;
    if (started) return;
    started = true;
    MakeWindowManagerAtoms();
    EnsureJuce();
    win32::InstallDesktop(MakeDisplayDesktop());
}

void PumpEvents(int maxMs)
{
    auto* mm = juce::MessageManager::getInstanceWithoutCreating();
    if (!mm) return;
    // What is there now, without the idle sleep of a timed run.
    if (maxMs <= 0) {
        for (int i = 0; i < 64 && juce::dispatchNextMessageOnSystemQueue(true); ++i) {}
        return;
    }
    mm->runDispatchLoopUntil(maxMs);
}

void SetSystemClipboard(std::string_view text)
{
    juce::SystemClipboard::copyTextToClipboard(juce::String::fromUTF8(text.data(), static_cast<int>(text.size())));
}

std::string SystemClipboard()
{
    return juce::SystemClipboard::getTextFromClipboard().toStdString();
}

void PresentForm(TCustomForm& form)
{
    if (!Application->Presenting()) return;
    FormWindow* window = WindowOf(form);
    if (!window) {
        window = new FormWindow(form);
        form.SetPresentationWindow(static_cast<juce::Component*>(window));
    }
    window->setVisible(true);
    window->toFront(true);
}

void HideFormWindow(TCustomForm& form)
{
    if (FormWindow* window = WindowOf(form)) window->setVisible(false);
}

void ShowNow(TControl& control)
{
    if (!Application->Presenting()) return;
    TCustomForm* form = control.ParentForm();
    FormWindow* window = form ? WindowOf(*form) : nullptr;
    if (!window || !window->isVisible()) return;
    const TPoint origin = control.FormOrigin();
    const TRect area = &control == form ? form->ClientRect() : Bounds(origin.X, origin.Y, control.Width(), control.Height());
    window->ShowNow(area);
}

void DestroyFormWindow(TCustomForm& form)
{
    delete WindowOf(form);
    form.SetPresentationWindow(nullptr);
}

}  // namespace gui::detail
