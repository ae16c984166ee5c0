// Raw input into the library's dispatch: the key state behind GetKeyState,
// mouse routing (capture, graphic controls through their parent, disabled
// windows get nothing) and keys (dialog-key pre-pass, then the focused
// control's key steps).
#include "core/access.h"

#include "gui/input.h"

#include <win32/desktop.h>

namespace gui {

namespace {

struct Target {
    TControl* control = nullptr;
    TPoint point;  // in the control's client coordinates
};

Target Route(TCustomForm& form, TPoint p)
{
    if (TControl* capture = Application->CaptureControl()) {
        const TPoint o = capture->FormOrigin();
        if (capture->ParentForm() == &form) return Target{capture, TPoint{p.X - o.X, p.Y - o.Y}};
    }
    if (!form.Showing() || !form.Enabled()) return {};
    TWinControl* w = &form;
    for (;;) {
        TControl* c = w->ControlAtPos(p, true);
        auto* child = dynamic_cast<TWinControl*>(c);
        if (!child) break;
        // A disabled window takes no input, and its parent gets none either.
        if (!child->Enabled()) return {};
        p = TPoint{p.X - child->Left(), p.Y - child->Top()};
        w = child;
    }
    if (TControl* g = w->ControlAtPos(p, false)) return Target{g, TPoint{p.X - g->Left(), p.Y - g->Top()}};
    return Target{w, p};
}

int ButtonKey(TMouseButton b)
{
    return b == mbLeft ? VK_LBUTTON : b == mbRight ? VK_RBUTTON : VK_MBUTTON;
}

UINT DownMessage(TMouseButton b, bool dbl)
{
    if (b == mbLeft) return dbl ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
    if (b == mbRight) return dbl ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN;
    return dbl ? WM_MBUTTONDBLCLK : WM_MBUTTONDOWN;
}

UINT UpMessage(TMouseButton b)
{
    return b == mbLeft ? WM_LBUTTONUP : b == mbRight ? WM_RBUTTONUP : WM_MBUTTONUP;
}

void SetKey(int vk, bool down)
{
    win32::CurrentDesktop().SetKeyDown(vk, down);
}

void SendMouse(const Target& t, UINT msg)
{
    if (!t.control) return;
    t.control->Perform(msg, detail::KeysFromShift(CurrentShiftState()), MAKELPARAM_XY(t.point.X, t.point.Y));
}

// The control that takes the form's keys: the focused one, else the form.
TWinControl& KeyTarget(TCustomForm& form)
{
    TWinControl* c = form.ActiveControl();
    return c && c->Focused() ? *c : form;
}

bool Blocked(const TCustomForm& form)
{
    return detail::BehindModal(form);
}

// Alt without Ctrl (Ctrl+Alt types characters on some keyboards).
bool AcceleratorHeld()
{
    return GetKeyState(VK_MENU) < 0 && GetKeyState(VK_CONTROL) >= 0;
}

}  // namespace

namespace detail {

bool BehindModal(const TCustomForm& form)
{
    const auto& forms = Application->Forms();
    bool seen = false;
    for (const TCustomForm* f : forms) {
        if (f == &form) seen = true;
        else if (seen && f->Modal() && f->Visible()) return true;
    }
    return false;
}

}  // namespace detail

TShiftState CurrentShiftState()
{
    TShiftState s;
    if (GetKeyState(VK_SHIFT) < 0) s << ssShift;
    if (GetKeyState(VK_MENU) < 0) s << ssAlt;
    if (GetKeyState(VK_CONTROL) < 0) s << ssCtrl;
    if (GetKeyState(VK_LBUTTON) < 0) s << ssLeft;
    if (GetKeyState(VK_RBUTTON) < 0) s << ssRight;
    if (GetKeyState(VK_MBUTTON) < 0) s << ssMiddle;
    return s;
}

void PressMouse(TCustomForm& form, TMouseButton button, int x, int y, bool doubleClick)
{
    Application->CancelHint();
    Application->SetPointer(&form, TPoint{x, y});
    SetKey(ButtonKey(button), true);
    if (Blocked(form)) return;
    const Target t = Route(form, TPoint{x, y});
    // A control that does not ask for double-clicks gets a second press.
    const bool dbl = doubleClick && t.control && t.control->ControlStyle().Contains(csDoubleClicks);
    SendMouse(t, DownMessage(button, dbl));
}

void MoveMouse(TCustomForm& form, int x, int y)
{
    Application->SetPointer(&form, TPoint{x, y});
    if (Blocked(form)) return;
    SendMouse(Route(form, TPoint{x, y}), WM_MOUSEMOVE);
}

void ReleaseMouse(TCustomForm& form, TMouseButton button, int x, int y)
{
    Application->SetPointer(&form, TPoint{x, y});
    SetKey(ButtonKey(button), false);
    if (Blocked(form)) return;
    SendMouse(Route(form, TPoint{x, y}), UpMessage(button));
}

void WheelMouse(TCustomForm& form, int x, int y, int)
{
    Application->SetPointer(&form, TPoint{x, y});
}

void PressKey(TCustomForm& form, WORD virtualKey)
{
    SetKey(virtualKey, true);
    if (Blocked(form)) return;
    TWinControl& target = KeyTarget(form);
    LRESULT want = 0;
    switch (virtualKey) {
    case VK_TAB: want = DLGC_WANTTAB; break;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN: want = DLGC_WANTARROWS; break;
    case VK_RETURN:
    case VK_ESCAPE: want = DLGC_WANTALLKEYS; break;
    default: break;
    }
    // The dialog keys go to the form first unless the control wants them.
    if (want != 0 && (&target == &form || (target.Perform(WM_GETDLGCODE) & want) == 0) &&
        form.Perform(CM_DIALOGKEY, virtualKey) != 0)
        return;
    const bool letter = (virtualKey >= 'A' && virtualKey <= 'Z') || (virtualKey >= '0' && virtualKey <= '9');
    if (!letter || !AcceleratorHeld()) {
        target.Perform(WM_KEYDOWN, virtualKey);
        return;
    }
    // Alt with a letter: the key steps (the form's preview first), then the
    // accelerator, unless a step took the key.
    TMessage key{WM_SYSKEYDOWN, virtualKey, 0, 0};
    target.WndProc(key);
    if (key.WParam != 0) form.Perform(CM_DIALOGCHAR, key.WParam);
}

void ReleaseKey(TCustomForm& form, WORD virtualKey)
{
    SetKey(virtualKey, false);
    if (Blocked(form)) return;
    KeyTarget(form).Perform(WM_KEYUP, virtualKey);
}

void TypeChar(TCustomForm& form, char c)
{
    if (Blocked(form) || AcceleratorHeld()) return;
    KeyTarget(form).Perform(WM_CHAR, static_cast<unsigned char>(c));
}

void CloseBox(TCustomForm& form)
{
    if (!Blocked(form)) form.Perform(WM_CLOSE);
}

void PostInput(std::function<void()> work)
{
    Application->Post(std::move(work));
}

}  // namespace gui
