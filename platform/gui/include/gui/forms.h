// Forms, modal loops and the application object.
#pragma once

#include "gui/controls.h"
#include "gui/stdctrls.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

class TTimer;
class TApplicationEvents;

// Scoped: bs* names brush, bevel and slider styles too.

enum class TFormBorderStyle : std::uint8_t { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TFormStyle : std::uint8_t { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TCloseAction : std::uint8_t { caNone, caHide, caFree, caMinimize };
enum TPosition : std::uint8_t { poDesigned, poDefault, poScreenCenter, poMainFormCenter, poOwnerFormCenter };
enum TBorderIcon : std::uint8_t { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
using TConstrainedResizeEvent = std::function<void(TObject* Sender, int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight)>;

struct TSizeConstraints {
    int MinWidth = 0;
    int MinHeight = 0;
    int MaxWidth = 0;  // 0: no limit
    int MaxHeight = 0;
};

// A form's horizontal scroll bar. With the form's AutoScroll on, it shows
// along the bottom of the client area while the controls reach past the
// client width; scrolling moves the controls (their Left changes), as the
// classic library does. The range follows the controls when the form
// paints.
class TControlScrollBar {
public:
    explicit TControlScrollBar(TCustomForm& form) : form_(form) {}
    // The controls' extent, at position 0.
    int Range() const { return range_; }
    int Position() const { return position_; }
    // Clamped to 0 .. Range - client width.
    void SetPosition(int v);
    // What an arrow scrolls.
    int Increment() const { return increment_; }
    void SetIncrement(int v) { increment_ = v > 0 ? v : 1; }
    bool IsScrollBarVisible() const { return visible_; }
    // The library's side: the range from the controls, the bar shown or
    // hidden, the position kept within the range.
    void Update();

private:
    int MaxPosition() const;
    TCustomForm& form_;
    int range_ = 0;
    int position_ = 0;
    int increment_ = 8;
    bool visible_ = false;
};

// A top-level window. Left/Top/Width/Height are the outer frame in screen
// pixels; the client area lies inside the frame (FrameLeft/FrameTop).
// Focus inside a form: the old control gets WM_KILLFOCUS; the new one's
// WM_SETFOCUS sends CM_EXIT to the old and CM_ENTER to the new, with
// Focused() already reporting the new one.
class TCustomForm : public TWinControl {
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;

    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle s);
    TFormStyle FormStyle() const { return formStyle_; }
    void SetFormStyle(TFormStyle s) { formStyle_ = s; }
    // Applied when the form is shown: centred on the screen, the main form
    // or the owning form (the screen when there is none).
    TPosition Position() const { return position_; }
    void SetPosition(TPosition p) { position_ = p; }
    // The frame's buttons on a display (the close box comes with the system menu).
    TBorderIcons BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(TBorderIcons icons) { borderIcons_ = icons; }
    // Forms here are never scaled to the screen's text size; kept for stored forms.
    bool Scaled() const { return scaled_; }
    void SetScaled(bool v) { scaled_ = v; }
    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool v) { keyPreview_ = v; }
    TSizeConstraints& Constraints() { return constraints_; }
    bool AutoScroll() const { return autoScroll_; }
    void SetAutoScroll(bool v) { autoScroll_ = v; }
    TControlScrollBar* HorzScrollBar() { return &horzScrollBar_; }

    TRect ClientRect() const override;
    void SetClientWidth(int v) override;
    void SetClientHeight(int v) override;
    // Frame thickness at the left and at the top (caption included).
    int FrameLeft() const;
    int FrameTop() const;
    int FrameRight() const { return FrameLeft(); }
    int FrameBottom() const { return FrameLeft(); }
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    bool Showing() const override;
    void Show();
    // Nested message loop until ModalResult is set; Close, the frame's close
    // box and Escape on a Cancel button give mrCancel.
    TModalResult ShowModal();
    bool Modal() const { return modal_; }
    // Modal: ModalResult := mrCancel. Otherwise OnCloseQuery, OnClose with
    // caHide (caFree for a form asked to free itself), and the main form's
    // close ends the application.
    void Close();
    // Deletes the form from the message loop, after the current message.
    void Release();
    TModalResult ModalResult() const { return modalResult_; }
    void SetModalResult(TModalResult r) { modalResult_ = r; }

    TWinControl* ActiveControl() const { return activeControl_; }
    // Focuses it when the form is active, else it is focused when it becomes so.
    void SetActiveControl(TWinControl* control);
    bool Active() const;
    // Tab (and arrow) navigation: the next focusable control after `current`.
    TWinControl* FindNextControl(TWinControl* current, bool forward, bool checkTabStop) const;
    void SelectNext(TWinControl* current, bool forward, bool checkTabStop);
    void SetFocus() override;
    TButton* DefaultButton() const;
    TButton* CancelButton() const;

    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnPaint;
    TNotifyEvent OnActivate;
    TConstrainedResizeEvent OnConstrainedResize;

    void WndProc(TMessage& Message) override;

    // The library's side of SetFocus: WM_KILLFOCUS to the control that had the
    // focus, then WM_SETFOCUS to the new one. An inactive form only remembers
    // the control; the form's activation, which it asks for, focuses it.
    void FocusControl(TWinControl* control);
    void ControlDestroying(TControl* control);
    // The window showing this form on a display, if any (a juce::Component).
    void* PresentationWindow() const { return window_; }
    void SetPresentationWindow(void* w) { window_ = w; }

protected:
    void PaintWindow(TCanvas& canvas) override;
    void DoClose(TCloseAction& action);
    bool CloseQuery();
    void KeyDown(Word& Key, TShiftState Shift) override;

private:
    void DialogKey(TMessage& m);
    void PlaceOnShow();
    void ApplyConstraints(int& width, int& height);
    TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
    TFormStyle formStyle_ = fsNormal;
    TPosition position_ = poDesigned;
    TBorderIcons borderIcons_{biSystemMenu, biMinimize, biMaximize};
    bool scaled_ = true;
    bool keyPreview_ = false;
    bool autoScroll_ = false;
    TControlScrollBar horzScrollBar_{*this};
    TSizeConstraints constraints_;
    bool shown_ = false;
    bool modal_ = false;
    TModalResult modalResult_ = mrNone;
    TWinControl* activeControl_ = nullptr;
    // The control that last had CM_ENTER.
    TWinControl* entered_ = nullptr;
    void* window_ = nullptr;
    friend class TWinControl;
    friend class TApplication;
    void EnterControl(TWinControl* control);
};

class TForm : public TCustomForm {
public:
    explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
};

using TExceptionEvent = std::function<void(TObject* Sender, const std::exception& E)>;
// A posted message before dispatch; set Handled to stop it there.
using TMessageEvent = std::function<void(TMessage& Msg, HWND Window, bool& Handled)>;
using TIdleEvent = std::function<void(TObject* Sender, bool& Done)>;

// The program's application object: forms, message loop, timers, hints and
// exceptions. Headless (tests, no display) time in the loop is virtual: a
// loop with nothing to do moves on to the next timer's due time.
class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    // On a display (and unless ZAVO_GUI_HEADLESS is set) forms are shown in
    // windows and the display's desktop is installed; otherwise headless.
    void Initialize();
    bool Presenting() const { return presenting_; }

    template <class T>
    void CreateForm(T*& reference)
    {
        reference = new T(this);
        if (!mainForm_) mainForm_ = reference;
    }
    TCustomForm* MainForm() const { return mainForm_; }
    void SetMainForm(TCustomForm* form) { mainForm_ = form; }
    // Shows the main form and runs the loop until Terminate.
    void Run();
    void Terminate() { terminated_ = true; }
    bool Terminated() const { return terminated_; }
    // Tests: a new run after a terminated one.
    void ClearTerminated() { terminated_ = false; }
    // Everything pending now: posted messages, input, due timers, paints,
    // then idle work (mouse enter/leave, hints). Does not wait.
    void ProcessMessages();
    // One step of a loop: the pending work, or when there is none, waits for
    // the next event (headless: moves virtual time to the next timer).
    // Headless with nothing that could ever happen it raises EInvalidOperation.
    void HandleMessage();

    const std::string& Title() const { return title_; }
    void SetTitle(std::string_view title) { title_ = title; }
    // The hint of the control under the pointer (or of its nearest parent
    // that has one), whatever ShowHint says: for a status line.
    const std::string& Hint() const { return hint_; }
    // The hint window: while ShowHint is on, it pops up near the pointer
    // once the pointer has rested HintPause ms over a control whose ShowHint
    // is true, and goes when the pointer leaves it or a mouse button is
    // pressed. ShownHint is what it shows ("" while it is hidden).
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool v) { showHint_ = v; }
    static constexpr std::uint64_t HintPause = 500;
    const std::string& ShownHint() const { return shownHint_; }
    // Hides the window until the pointer moves to another control.
    void CancelHint();
    void HandleException(TObject* Sender);
    void ShowException(const std::exception& e);
    int MessageBox(std::string_view text, std::string_view caption, UINT flags);

    TExceptionEvent OnException;
    TMessageEvent OnMessage;
    TIdleEvent OnIdle;
    TNotifyEvent OnHint;

    // Milliseconds of the loop's clock.
    std::uint64_t Now() const;
    // Headless tests: moves the virtual clock forward (timers fire at the next step).
    void AdvanceTime(std::uint64_t ms);

    // The library's side.
    void Post(std::function<void()> work);
    void AddTimer(TTimer* t);
    void RemoveTimer(TTimer* t);
    void AddForm(TCustomForm* f);
    void AddEvents(TApplicationEvents* e);
    void RemoveEvents(TApplicationEvents* e);
    // OnMessage of the application, then of every events object; true when handled.
    bool MessageHandled(TMessage& m, HWND window);
    void RemoveForm(TCustomForm* f);
    const std::vector<TCustomForm*>& Forms() const { return forms_; }
    TCustomForm* ActiveForm() const;
    void SetActiveForm(TCustomForm* f);
    void Idle();
    void PaintPending();
    void ControlDestroying(TControl* c);
    TControl* MouseControl() const { return mouseControl_; }
    TControl* CaptureControl() const { return capture_; }
    void SetCaptureControl(TControl* c) { capture_ = c; }
    // The form and client point the pointer is over, from the last raw input.
    void SetPointer(TCustomForm* form, TPoint clientPoint);
    TCustomForm* PointerForm() const { return pointerForm_; }
    TPoint PointerPos() const { return pointerPos_; }

private:
    bool RunTimers();
    bool RunPosted();
    void Wait();
    // At idle: `moved` when the pointer came over another control.
    void UpdateHint(bool moved);
    // When the pending hint is due (the maximum when none is pending).
    std::uint64_t HintDue() const;
    void HideHint();
    std::vector<TCustomForm*> forms_;
    std::vector<TTimer*> timers_;
    std::vector<TApplicationEvents*> events_;
    std::vector<std::function<void()>> posted_;
    // Other threads post too.
    mutable std::mutex postLock_;
    TCustomForm* mainForm_ = nullptr;
    TCustomForm* activeForm_ = nullptr;
    TControl* mouseControl_ = nullptr;
    TControl* capture_ = nullptr;
    TCustomForm* pointerForm_ = nullptr;
    TPoint pointerPos_;
    bool terminated_ = false;
    bool presenting_ = false;
    bool showHint_ = true;
    std::string title_;
    std::string hint_;
    std::string shownHint_;
    std::uint64_t hintSince_ = 0;
    bool hintCancelled_ = false;
    std::uint64_t virtualNow_ = 0;
};

// The program's application object, made on first use and kept for the
// program's life: loading the library makes nothing it keeps, so that a
// library which links it and is unloaded without ever using it leaks
// nothing. `Application->...` and `new TForm(Application)` read as with a
// pointer.
class TApplicationHandle {
public:
    TApplication* operator->() const { return Get(); }
    TApplication& operator*() const { return *Get(); }
    operator TApplication*() const { return Get(); }
    static TApplication* Get();
};
inline constexpr TApplicationHandle Application{};

// The application's events for a form to handle: each one fires after the
// application's own slot, in the order the objects were made (a message
// stops at the first handler that marks it handled; an exception goes to the
// first that has an OnException).
class TApplicationEvents : public TComponent {
public:
    explicit TApplicationEvents(TComponent* AOwner);
    ~TApplicationEvents() override;
    TExceptionEvent OnException;
    TMessageEvent OnMessage;
    TIdleEvent OnIdle;
    TNotifyEvent OnHint;
};

class TScreen {
public:
    int Width() const;
    int Height() const;
    // The desktop's rectangle (the primary display on a display; what a
    // test's desktop was given otherwise).
    int DesktopLeft() const;
    int DesktopTop() const;
    int DesktopWidth() const;
    int DesktopHeight() const;
    TCustomForm* ActiveForm() const { return Application->ActiveForm(); }
    TWinControl* ActiveControl() const;
};
extern TScreen* Screen;

// The pointer in screen coordinates.
class TMouse {
public:
    TPoint CursorPos() const;
    void SetCursorPos(TPoint p);
};
extern TMouse* Mouse;

TCustomForm* GetParentForm(const TControl* control);
