// The application object: forms, the message loop with its posted work,
// timers and paints, mouse enter and leave at idle, exceptions; the screen
// and the mouse pointer.
#include "core/access.h"
#include "host/window.h"

#include "gui/extctrls.h"
#include "gui/forms.h"
#include "gui/presentation.h"
#include "gui/sysutils.h"

#include <win32/desktop.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <limits>

namespace {

template <class T>
bool Holds(const std::vector<T*>& list, const T* item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

// The control under client point p of window w, the way the pointer finds
// it: windowed children first, then graphic ones; disabled ones too.
TControl* ControlUnder(TWinControl& w, TPoint p)
{
    TControl* c = w.ControlAtPos(p, true);
    if (!c) return &w;
    if (auto* child = dynamic_cast<TWinControl*>(c)) return ControlUnder(*child, TPoint{p.X - c->Left(), p.Y - c->Top()});
    return c;
}

void PaintTree(TWinControl& w)
{
    if (!w.Showing()) return;
    w.Update();
    const std::vector<TControl*> children = w.ControlList();
    for (TControl* c : children)
        if (auto* child = dynamic_cast<TWinControl*>(c); child && w.ContainsControl(child)) PaintTree(*child);
}

}  // namespace

TApplication* TApplicationHandle::Get()
{
    static TApplication* application = new TApplication();  // lives as long as the program
    return application;
}

TApplication::TApplication() : TComponent(nullptr) {}

TApplication::~TApplication() = default;

void TApplication::Initialize()
{
    presenting_ = gui::DisplayAvailable();
    if (presenting_) gui::detail::StartPresentation();
}

std::uint64_t TApplication::Now() const
{
    if (!presenting_) return virtualNow_;
    using namespace std::chrono;
    static const steady_clock::time_point start = steady_clock::now();
    return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now() - start).count());
}

void TApplication::AdvanceTime(std::uint64_t ms)
{
    virtualNow_ += ms;
}

void TApplication::Run()
{
    if (mainForm_ && !mainForm_->Visible()) mainForm_->Show();
    while (!terminated_) HandleMessage();
}

void TApplication::Post(std::function<void()> work)
{
    std::lock_guard guard(postLock_);
    posted_.push_back(std::move(work));
}

bool TApplication::RunPosted()
{
    std::vector<std::function<void()>> batch;
    {
        std::lock_guard guard(postLock_);
        batch.swap(posted_);
    }
    for (auto& work : batch) {
        try {
            work();
        } catch (...) {
            HandleException(this);
        }
    }
    return !batch.empty();
}

bool TApplication::RunTimers()
{
    const std::uint64_t now = Now();
    bool fired = false;
    const std::vector<TTimer*> timers = timers_;
    for (TTimer* t : timers) {
        if (!Holds(timers_, t) || !t->Due(now)) continue;
        fired = true;
        try {
            t->Fire(now);
        } catch (...) {
            HandleException(this);
        }
    }
    return fired;
}

void TApplication::PaintPending()
{
    const std::vector<TCustomForm*> forms = forms_;
    for (TCustomForm* f : forms) {
        if (!Holds(forms_, f)) continue;
        f->HorzScrollBar()->Update();
        PaintTree(*f);
    }
}

void TApplication::ProcessMessages()
{
    if (presenting_) gui::detail::PumpEvents(0);
    // Work that posts more work runs in the same call, within reason.
    for (int round = 0; round < 64 && RunPosted(); ++round) {}
    RunTimers();
    // A handler that fails while painting or at idle is reported, and the
    // loop goes on.
    for (auto step : {&TApplication::PaintPending, &TApplication::Idle}) {
        try {
            (this->*step)();
        } catch (...) {
            HandleException(this);
        }
    }
}

void TApplication::HandleMessage()
{
    bool pending = false;
    {
        std::lock_guard guard(postLock_);
        pending = !posted_.empty();
    }
    const std::uint64_t now = Now();
    for (TTimer* t : timers_) pending = pending || t->Due(now);
    if (!pending) Wait();
    ProcessMessages();
}

void TApplication::Wait()
{
    // A hint coming is an event to wait for, as a timer is.
    std::uint64_t next = HintDue();
    for (TTimer* t : timers_)
        if (t->Enabled() && t->Interval() > 0 && t->OnTimer && !t->Running()) next = std::min(next, t->NextDue());
    if (presenting_) {
        const std::uint64_t now = Now();
        const std::uint64_t wait = next > now ? std::min<std::uint64_t>(next - now, 20) : 0;
        gui::detail::PumpEvents(static_cast<int>(wait));
        return;
    }
    if (next == std::numeric_limits<std::uint64_t>::max())
        throw EInvalidOperation("The message loop waits for nothing: no input is coming and no timer runs");
    virtualNow_ = std::max(virtualNow_, next);
}

void TApplication::Idle()
{
    // Enter and leave follow the pointer; while the mouse is captured only
    // the capturing control hears of it.
    TControl* under = nullptr;
    if (pointerForm_ && pointerForm_->Showing()) under = ControlUnder(*pointerForm_, pointerPos_);
    const bool moved = under != mouseControl_;
    if (moved) {
        TControl* capture = capture_;
        auto tell = [&](TControl* c, UINT msg) {
            if (c && (!capture || c == capture)) c->Perform(msg);
        };
        TControl* left = mouseControl_;
        mouseControl_ = under;
        tell(left, CM_MOUSELEAVE);
        if (mouseControl_ == under) tell(under, CM_MOUSEENTER);
        // The hint is the one of the control under the pointer, or of the
        // nearest parent that has one.
        std::string hint;
        for (const TControl* c = mouseControl_; c && hint.empty(); c = c->Parent()) hint = c->Hint();
        if (hint != hint_) {
            hint_ = hint;
            InvokeEvent(OnHint, this);
            for (TApplicationEvents* e : std::vector<TApplicationEvents*>(events_)) InvokeEvent(e->OnHint, e);
        }
    }
    UpdateHint(moved);
    bool done = true;
    InvokeEvent(OnIdle, this, done);
    for (TApplicationEvents* e : std::vector<TApplicationEvents*>(events_)) InvokeEvent(e->OnIdle, e, done);
}

void TApplication::HandleException(TObject*)
{
    const auto report = [this](const std::exception& e) {
        if (OnException) return InvokeEvent(OnException, this, e);
        for (TApplicationEvents* events : std::vector<TApplicationEvents*>(events_))
            if (events->OnException) return InvokeEvent(events->OnException, events, e);
        ShowException(e);
    };
    try {
        throw;
    } catch (const EAbort&) {
    } catch (const std::exception& e) {
        report(e);
    } catch (...) {
        report(Exception("Unknown exception"));
    }
}

bool TApplication::MessageHandled(TMessage& m, HWND window)
{
    bool handled = false;
    InvokeEvent(OnMessage, m, window, handled);
    for (TApplicationEvents* e : std::vector<TApplicationEvents*>(events_)) {
        if (handled) break;
        InvokeEvent(e->OnMessage, m, window, handled);
    }
    return handled;
}

void TApplication::AddEvents(TApplicationEvents* e)
{
    if (!Holds(events_, e)) events_.push_back(e);
}

void TApplication::RemoveEvents(TApplicationEvents* e)
{
    events_.erase(std::remove(events_.begin(), events_.end(), e), events_.end());
}

TApplicationEvents::TApplicationEvents(TComponent* AOwner) : TComponent(AOwner)
{
    Application->AddEvents(this);
}

TApplicationEvents::~TApplicationEvents()
{
    Application->RemoveEvents(this);
}

void TApplication::ShowException(const std::exception& e)
{
    std::string text = e.what();
    if (!text.empty() && text.back() != '.') text += '.';
    MessageBox(text, title_, MB_OK | MB_ICONERROR);
}

int TApplication::MessageBox(std::string_view text, std::string_view caption, UINT flags)
{
    const std::string t(text), c(caption);
    return MessageBoxA(nullptr, t.c_str(), c.c_str(), flags);
}

void TApplication::AddTimer(TTimer* t)
{
    if (!Holds(timers_, t)) timers_.push_back(t);
}

void TApplication::RemoveTimer(TTimer* t)
{
    timers_.erase(std::remove(timers_.begin(), timers_.end(), t), timers_.end());
}

void TApplication::AddForm(TCustomForm* f)
{
    forms_.erase(std::remove(forms_.begin(), forms_.end(), f), forms_.end());
    forms_.push_back(f);
}

void TApplication::RemoveForm(TCustomForm* f)
{
    forms_.erase(std::remove(forms_.begin(), forms_.end(), f), forms_.end());
    if (mainForm_ == f) mainForm_ = nullptr;
    if (activeForm_ == f) activeForm_ = nullptr;
    if (pointerForm_ == f) pointerForm_ = nullptr;
}

TCustomForm* TApplication::ActiveForm() const
{
    return activeForm_;
}

void TApplication::SetActiveForm(TCustomForm* f)
{
    if (activeForm_ == f) return;
    TCustomForm* old = activeForm_;
    activeForm_ = f;
    if (old && old->activeControl_) old->activeControl_->Perform(WM_KILLFOCUS);
    if (!f) return;
    TWinControl* target = f->activeControl_ ? f->activeControl_ : f;
    target->Perform(WM_SETFOCUS);
    InvokeEvent(f->OnActivate, f);
}

void TApplication::ControlDestroying(TControl* c)
{
    if (mouseControl_ == c) mouseControl_ = nullptr;
    if (capture_ == c) capture_ = nullptr;
}

void TApplication::SetPointer(TCustomForm* form, TPoint clientPoint)
{
    pointerForm_ = form;
    pointerPos_ = clientPoint;
}

// ---- screen and mouse ----

namespace {
TScreen theScreen;
TMouse theMouse;
TPoint cursorWithoutForm;
}  // namespace

TScreen* Screen = &theScreen;
TMouse* Mouse = &theMouse;

int TScreen::Width() const { return GetSystemMetrics(SM_CXSCREEN); }
int TScreen::Height() const { return GetSystemMetrics(SM_CYSCREEN); }
int TScreen::DesktopLeft() const { return win32::CurrentDesktop().ScreenRect().left; }
int TScreen::DesktopTop() const { return win32::CurrentDesktop().ScreenRect().top; }
int TScreen::DesktopWidth() const { return Width(); }
int TScreen::DesktopHeight() const { return Height(); }

TWinControl* TScreen::ActiveControl() const
{
    const TCustomForm* f = Application->ActiveForm();
    return f ? f->ActiveControl() : nullptr;
}

TPoint TMouse::CursorPos() const
{
    if (TCustomForm* f = Application->PointerForm()) return f->ClientToScreen(Application->PointerPos());
    return cursorWithoutForm;
}

void TMouse::SetCursorPos(TPoint p)
{
    if (TCustomForm* f = Application->PointerForm()) Application->SetPointer(f, f->ScreenToClient(p));
    else cursorWithoutForm = p;
}
