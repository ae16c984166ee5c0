// Forms: frame and client area, showing and hiding, the focus change, tab
// navigation, default and cancel buttons, closing and the modal loop.
#include "core/access.h"
#include "host/window.h"

#include "gui/forms.h"
#include "gui/input.h"
#include "gui/sysutils.h"

#include <win32/desktop.h>

#include <algorithm>

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner)
{
    ControlAccess::SetVisibleField(*this, false);
    ControlAccess::SetParentFontField(*this, false);
    SetColor(clBtnFace);
    SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks});
    SetBounds(0, 0, 320, 240);
    Application->AddForm(this);
}

TCustomForm::~TCustomForm()
{
    Destroying();
    gui::detail::DestroyFormWindow(*this);
    Application->RemoveForm(this);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle s)
{
    if (s == borderStyle_) return;
    // The client area keeps its size; the frame around it changes.
    const int cw = ClientWidth(), ch = ClientHeight();
    borderStyle_ = s;
    SetBounds(Left(), Top(), cw + FrameLeft() + FrameRight(), ch + FrameTop() + FrameBottom());
}

int TCustomForm::FrameLeft() const
{
    switch (borderStyle_) {
    case TFormBorderStyle::bsNone: return 0;
    case TFormBorderStyle::bsSizeable:
    case TFormBorderStyle::bsSizeToolWin: return 4;
    default: return 3;
    }
}

int TCustomForm::FrameTop() const
{
    switch (borderStyle_) {
    case TFormBorderStyle::bsNone: return 0;
    case TFormBorderStyle::bsToolWindow:
    case TFormBorderStyle::bsSizeToolWin: return FrameLeft() + 16;
    default: return FrameLeft() + 19;
    }
}

TRect TCustomForm::ClientRect() const
{
    return TRect{0, 0, std::max(0, Width() - FrameLeft() - FrameRight()), std::max(0, Height() - FrameTop() - FrameBottom())};
}

void TCustomForm::SetClientWidth(int v)
{
    SetWidth(v + FrameLeft() + FrameRight());
}

void TCustomForm::SetClientHeight(int v)
{
    SetHeight(v + FrameTop() + FrameBottom());
}

void TCustomForm::ApplyConstraints(int& width, int& height)
{
    int minW = constraints_.MinWidth, minH = constraints_.MinHeight;
    int maxW = constraints_.MaxWidth, maxH = constraints_.MaxHeight;
    InvokeEvent(OnConstrainedResize, this, minW, minH, maxW, maxH);
    if (maxW > 0) width = std::min(width, maxW);
    if (maxH > 0) height = std::min(height, maxH);
    width = std::max(width, minW);
    height = std::max(height, minH);
}

void TCustomForm::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    ApplyConstraints(AWidth, AHeight);
    TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

bool TCustomForm::Showing() const
{
    return Visible() && HandleAllocated() && !ComponentState().Contains(csDestroying);
}

void TCustomForm::Show()
{
    SetVisible(true);
    if (Application->ActiveForm() != this) Application->SetActiveForm(this);
}

bool TCustomForm::Active() const
{
    return Application->ActiveForm() == this;
}

void TCustomForm::WndProc(TMessage& m)
{
    switch (m.Msg) {
    case CM_VISIBLECHANGED:
        TWinControl::WndProc(m);
        if (Visible()) {
            HandleNeeded();
            Application->AddForm(this);
            PlaceOnShow();
            InvokeEvent(OnShow, this);
            if (!activeControl_ || !activeControl_->CanFocus()) activeControl_ = FindNextControl(nullptr, true, true);
            Invalidate();
            Application->SetActiveForm(this);
            gui::detail::PresentForm(*this);
        } else {
            gui::detail::HideFormWindow(*this);
            InvokeEvent(OnHide, this);
            if (Application->ActiveForm() == this) {
                TCustomForm* next = nullptr;
                for (TCustomForm* f : Application->Forms())
                    if (f != this && f->Visible()) next = f;
                Application->SetActiveForm(next);
            }
        }
        return;
    case WM_CLOSE:
        Close();
        return;
    case CM_DIALOGKEY:
        DialogKey(m);
        return;
    default:
        TWinControl::WndProc(m);
    }
}

void TCustomForm::PlaceOnShow()
{
    if (position_ != poScreenCenter && position_ != poMainFormCenter && position_ != poOwnerFormCenter) return;
    TRect around = Bounds(Screen->DesktopLeft(), Screen->DesktopTop(), Screen->DesktopWidth(), Screen->DesktopHeight());
    const TCustomForm* centre = position_ == poMainFormCenter ? Application->MainForm()
                              : position_ == poOwnerFormCenter ? dynamic_cast<const TCustomForm*>(Owner())
                                                               : nullptr;
    if (centre && centre != this) around = centre->BoundsRect();
    SetBounds(around.Left + (around.Width() - Width()) / 2, around.Top + (around.Height() - Height()) / 2, Width(), Height());
}

void TCustomForm::KeyDown(Word& Key, TShiftState Shift)
{
    TWinControl::KeyDown(Key, Shift);
}

void TCustomForm::PaintWindow(TCanvas&)
{
    InvokeEvent(OnPaint, this);
}

void TCustomForm::SetFocus()
{
    if (!Visible() || !Enabled()) return;
    Application->SetActiveForm(this);
}

void TCustomForm::SetActiveControl(TWinControl* control)
{
    if (control && control->ParentForm() != this) return;
    if (Active() && control) control->SetFocus();
    else activeControl_ = control;
}

void TCustomForm::FocusControl(TWinControl* control)
{
    if (!Active()) {
        // The form's activation gives the control the focus.
        activeControl_ = control;
        Application->SetActiveForm(this);
        return;
    }
    TWinControl* old = activeControl_;
    if (old == control) return;
    if (old) old->Perform(WM_KILLFOCUS, control && control->HandleAllocated() ? reinterpret_cast<WPARAM>(control->Handle()) : 0);
    activeControl_ = control;
    TWinControl* target = control ? control : this;
    target->Perform(WM_SETFOCUS, old && old->HandleAllocated() ? reinterpret_cast<WPARAM>(old->Handle()) : 0);
}

void TCustomForm::EnterControl(TWinControl* control)
{
    if (control == this) control = nullptr;
    if (entered_ == control) return;
    TWinControl* previous = entered_;
    entered_ = control;
    if (previous) previous->Perform(CM_EXIT);
    if (control && entered_ == control) control->Perform(CM_ENTER);
}

void TCustomForm::ControlDestroying(TControl* control)
{
    if (activeControl_ == control) activeControl_ = nullptr;
    if (entered_ == control) entered_ = nullptr;
}

namespace {

void CollectTabOrder(const TWinControl& parent, std::vector<TWinControl*>& out)
{
    for (TWinControl* c : parent.TabList()) {
        out.push_back(c);
        CollectTabOrder(*c, out);
    }
}

template <class Pick>
TButton* FindButton(const TWinControl& parent, Pick pick)
{
    for (TControl* c : parent.ControlList()) {
        if (auto* b = dynamic_cast<TButton*>(c); b && pick(*b) && b->Visible() && b->Enabled()) return b;
        if (auto* w = dynamic_cast<TWinControl*>(c))
            if (TButton* b = FindButton(*w, pick)) return b;
    }
    return nullptr;
}

// The next control after `current` in the tab order of what `root` holds,
// round to the start; with `sameParent` only root's own children count.
TWinControl* FindNextIn(const TWinControl& root, TWinControl* current, bool forward, bool checkTabStop, bool sameParent)
{
    std::vector<TWinControl*> list;
    CollectTabOrder(root, list);
    if (list.empty()) return nullptr;
    const int n = static_cast<int>(list.size());
    const auto it = std::find(list.begin(), list.end(), current);
    int index = it == list.end() ? (forward ? -1 : n) : static_cast<int>(it - list.begin());
    for (int step = 0; step < n; ++step) {
        index = forward ? (index + 1) % n : (index - 1 + n) % n;
        TWinControl* c = list[static_cast<std::size_t>(index)];
        if (c == current) break;
        if (sameParent && c->Parent() != &root) continue;
        if (c->CanFocus() && (!checkTabStop || c->TabStop()) && c->TabList().empty()) return c;
    }
    return nullptr;
}

}  // namespace

TWinControl* TCustomForm::FindNextControl(TWinControl* current, bool forward, bool checkTabStop) const
{
    return FindNextIn(*this, current, forward, checkTabStop, false);
}

void TCustomForm::SelectNext(TWinControl* current, bool forward, bool checkTabStop)
{
    if (TWinControl* next = FindNextControl(current, forward, checkTabStop)) next->SetFocus();
}

TButton* TCustomForm::DefaultButton() const
{
    return FindButton(*this, [](const TButton& b) { return b.Default(); });
}

TButton* TCustomForm::CancelButton() const
{
    return FindButton(*this, [](const TButton& b) { return b.Cancel(); });
}

void TCustomForm::DialogKey(TMessage& m)
{
    const TShiftState shift = gui::CurrentShiftState();
    // The focused control and its parents may take the key first (a page
    // control turns its pages with Ctrl+Tab).
    for (TWinControl* c = activeControl_; c && c != this; c = c->Parent()) {
        TMessage offer{CM_DIALOGKEY, m.WParam, m.LParam, 0};
        c->WndProc(offer);
        if (offer.Result != 0) {
            m.Result = offer.Result;
            return;
        }
    }
    switch (m.WParam) {
    case VK_TAB:
        // Alt+Tab is the desktop's; Ctrl+Tab belongs to page controls.
        if (shift.Contains(ssAlt) || shift.Contains(ssCtrl)) return;
        SelectNext(activeControl_, !shift.Contains(ssShift), true);
        m.Result = 1;
        return;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        if (!activeControl_ || shift.Contains(ssAlt)) return;
        // The arrows move among the focused control's siblings only: the
        // buttons of one group, round and round.
        if (TWinControl* next = FindNextIn(activeControl_->Parent() ? *activeControl_->Parent() : *this, activeControl_,
                                           m.WParam == VK_RIGHT || m.WParam == VK_DOWN, false, true))
            next->SetFocus();
        m.Result = 1;
        return;
    case VK_RETURN:
    case VK_ESCAPE: {
        // Only the bare key presses a button.
        if (shift.Contains(ssShift) || shift.Contains(ssCtrl) || shift.Contains(ssAlt)) return;
        TButton* button = nullptr;
        if (m.WParam == VK_RETURN) {
            button = dynamic_cast<TButton*>(activeControl_);
            if (!button) button = DefaultButton();
        } else {
            button = CancelButton();
        }
        if (!button || !button->CanFocus()) return;
        button->Click();
        m.Result = 1;
        return;
    }
    default:
        return;
    }
}

bool TCustomForm::CloseQuery()
{
    bool canClose = true;
    InvokeEvent(OnCloseQuery, this, canClose);
    return canClose;
}

void TCustomForm::DoClose(TCloseAction& action)
{
    InvokeEvent(OnClose, this, action);
}

void TCustomForm::Close()
{
    if (modal_) {
        modalResult_ = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone) return;
    if (Application->MainForm() == this) {
        Application->Terminate();
        return;
    }
    if (action == caFree) Release();
    else if (action != caMinimize) Hide();
}

void TCustomForm::Release()
{
    const HWND handle = Handle();
    Application->Post([handle] {
        if (TWinControl* form = gui::detail::FindControl(handle)) delete form;
    });
}

TModalResult TCustomForm::ShowModal()
{
    if (Visible() || modal_) throw EInvalidOperation("Cannot make a visible window modal");
    TCustomForm* previous = Application->ActiveForm();
    Application->SetCaptureControl(nullptr);
    modalResult_ = mrNone;
    modal_ = true;
    struct Finish {
        TCustomForm& form;
        TCustomForm* previous;
        ~Finish()
        {
            form.modal_ = false;
            form.Hide();
            const auto& forms = Application->Forms();
            if (previous && std::find(forms.begin(), forms.end(), previous) != forms.end() && previous->Visible())
                Application->SetActiveForm(previous);
        }
    } finish{*this, previous};
    Show();
    for (;;) {
        if (modalResult_ != mrNone) {
            // As a close: the form may refuse, or keep itself open.
            TCloseAction action = caHide;
            if (CloseQuery()) DoClose(action);
            else action = caNone;
            // A form that frees itself goes once the loop that called it runs.
            if (action == caFree) Release();
            if (action != caNone) break;
            modalResult_ = mrNone;
        }
        if (Application->Terminated()) {
            modalResult_ = mrCancel;
            break;
        }
        Application->HandleMessage();
    }
    return modalResult_;
}
