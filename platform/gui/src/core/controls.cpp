// The common control: parent, bounds, visibility, caption, colour and font
// inheritance, mouse messages and the click rule.
#include "core/access.h"
#include "host/window.h"

#include "gui/forms.h"
#include "gui/sysutils.h"

#include <win32/desktop.h>

#include <algorithm>

TControl::TControl(TComponent* AOwner) : TComponent(AOwner)
{
    parentColor_ = true;
    font_.OnChange = [this] { FontChanged(); };
}

TControl::~TControl()
{
    Application->ControlDestroying(this);
    if (TCustomForm* form = ParentForm()) form->ControlDestroying(this);
    if (parent_) parent_->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent)
{
    if (parent == parent_) return;
    if (parent == this) throw EInvalidOperation("A control cannot have itself as its parent");
    if (parent_) parent_->RemoveControl(this);
    if (parent) parent->InsertControl(this);
}

namespace {

// What a change of a control does to its parent's picture: a window's parent
// is erased where it lay; a graphic control's parent only when neither of
// them is opaque.
bool ErasesParent(const TControl& c)
{
    if (dynamic_cast<const TWinControl*>(&c)) return true;
    return !c.ControlStyle().Contains(csOpaque) && !(c.Parent() && c.Parent()->ControlStyle().Contains(csOpaque));
}

}  // namespace

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    if (ALeft == left_ && ATop == top_ && AWidth == width_ && AHeight == height_) return;
    const TRect old = BoundsRect();
    const bool sized = AWidth != width_ || AHeight != height_;
    left_ = ALeft;
    top_ = ATop;
    width_ = AWidth;
    height_ = AHeight;
    gui::detail::PictureChanged();
    if (parent_ && visible_) parent_->InvalidateRect(UnionRect(old, BoundsRect()), ErasesParent(*this));
    BoundsChanged(sized);
    if (align_ != alNone && parent_) parent_->Realign();
}

void TControl::BoundsChanged(bool) {}

TRect TControl::ClientRect() const
{
    return TRect{0, 0, width_, height_};
}

TPoint TControl::FormOrigin() const
{
    TPoint p;
    for (const TControl* c = this; c && c->parent_; c = c->parent_) {
        p.X += c->left_;
        p.Y += c->top_;
    }
    return p;
}

TPoint TControl::ClientToScreen(TPoint p) const
{
    const TPoint o = FormOrigin();
    p.X += o.X;
    p.Y += o.Y;
    if (const TCustomForm* form = ParentForm()) {
        p.X += form->Left() + form->FrameLeft();
        p.Y += form->Top() + form->FrameTop();
    }
    return p;
}

TPoint TControl::ScreenToClient(TPoint p) const
{
    const TPoint zero = ClientToScreen(TPoint{});
    return TPoint{p.X - zero.X, p.Y - zero.Y};
}

void TControl::SetVisible(bool v)
{
    if (v == visible_) return;
    VisibleChanging();
    visible_ = v;
    gui::detail::PictureChanged();
    if (parent_) parent_->InvalidateRect(BoundsRect(), ErasesParent(*this));
    Perform(CM_VISIBLECHANGED, v ? 1 : 0);
    if (align_ != alNone && parent_) parent_->Realign();
}

void TControl::SetAlign(TAlign a)
{
    if (a == align_) return;
    align_ = a;
    if (parent_) parent_->Realign();
}

bool TControl::Showing() const
{
    return visible_ && parent_ && !ComponentState().Contains(csDestroying) && parent_->Showing();
}

void TControl::SetEnabled(bool v)
{
    if (v == enabled_) return;
    enabled_ = v;
    Perform(CM_ENABLEDCHANGED);
}

void TControl::SetText(std::string_view text)
{
    if (text == text_) return;
    text_ = text;
    Perform(CM_TEXTCHANGED);
}

void TControl::SetColor(TColor color)
{
    if (color == color_) return;
    color_ = color;
    parentColor_ = false;
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool v)
{
    if (v == parentColor_) return;
    parentColor_ = v;
    if (v && parent_) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetParentFont(bool v)
{
    if (v == parentFont_) return;
    parentFont_ = v;
    if (v && parent_) Perform(CM_PARENTFONTCHANGED);
}

void TControl::SetShowHint(bool v)
{
    showHint_ = v;
    parentShowHint_ = false;
    Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool v)
{
    parentShowHint_ = v;
    if (v && parent_) showHint_ = parent_->ShowHint();
}

void TControl::SetCursor(TCursor c)
{
    cursor_ = c;
}

void TControl::SetPopupMenu(TPopupMenu* menu)
{
    if (popupMenu_ == menu) return;
    popupMenu_ = menu;
    if (menu) menu->FreeNotification(this);
}

void TControl::FontChanged()
{
    if (!copyingFont_) parentFont_ = false;
    Perform(CM_FONTCHANGED);
}

void TControl::ParentColorChanged()
{
    if (!parentColor_ || !parent_) return;
    SetColor(parent_->Color());
    parentColor_ = true;
}

void TControl::ParentFontChanged()
{
    if (!parentFont_ || !parent_) return;
    copyingFont_ = true;
    font_.Assign(*parent_->Font());
    copyingFont_ = false;
}

void TControl::Invalidate()
{
    if (parent_ && visible_ && !ComponentState().Contains(csDestroying))
        parent_->InvalidateRect(BoundsRect(), ErasesParent(*this));
}

void TControl::Update()
{
    if (parent_) parent_->Update();
}

void TControl::Repaint()
{
    if (!parent_ || !parent_->HandleAllocated() || !Showing()) return;
    Invalidate();
    parent_->Update();
    gui::detail::ShowNow(*this);
}

void TControl::BringToFront()
{
    if (!parent_) return;
    // Last in the child list is on top; focus and tab order stay.
    auto& list = parent_->controls_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    list.push_back(this);
    if (visible_) parent_->InvalidateRect(BoundsRect(), true);
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    TMessage m{Msg, WParam, LParam, 0};
    WndProc(m);
    return m.Result;
}

namespace {

struct MouseMessage {
    bool down = false;
    bool up = false;
    bool dbl = false;
    TMouseButton button = mbLeft;
};

MouseMessage Classify(UINT msg)
{
    switch (msg) {
    case WM_LBUTTONDOWN: return {true, false, false, mbLeft};
    case WM_LBUTTONDBLCLK: return {true, false, true, mbLeft};
    case WM_LBUTTONUP: return {false, true, false, mbLeft};
    case WM_RBUTTONDOWN: return {true, false, false, mbRight};
    case WM_RBUTTONDBLCLK: return {true, false, true, mbRight};
    case WM_RBUTTONUP: return {false, true, false, mbRight};
    case WM_MBUTTONDOWN: return {true, false, false, mbMiddle};
    case WM_MBUTTONDBLCLK: return {true, false, true, mbMiddle};
    case WM_MBUTTONUP: return {false, true, false, mbMiddle};
    default: return {};
    }
}

}  // namespace

void TControl::WndProc(TMessage& m)
{
    const MouseMessage mouse = Classify(m.Msg);
    const int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
    if (mouse.down) {
        TShiftState shift = gui::detail::ShiftFromKeys(m.WParam);
        if (mouse.button == mbLeft && style_.Contains(csCaptureMouse)) SetMouseCapture(true);
        // The second press of a double-click double-clicks; its release
        // does not click again.
        if (mouse.button == mbLeft && !mouse.dbl && style_.Contains(csClickEvents)) clicked_ = true;
        if (mouse.dbl) {
            shift << ssDouble;
            if (style_.Contains(csClickEvents)) DblClick();
        }
        MouseDown(mouse.button, shift, x, y);
        return;
    }
    if (mouse.up) {
        const TShiftState shift = gui::detail::ShiftFromKeys(m.WParam);
        if (mouse.button == mbLeft) {
            if (style_.Contains(csCaptureMouse)) SetMouseCapture(false);
            if (clicked_) {
                clicked_ = false;
                if (ClientRect().Contains(TPoint{x, y})) Click();
            }
        }
        MouseUp(mouse.button, shift, x, y);
        return;
    }
    switch (m.Msg) {
    case WM_MOUSEMOVE:
        MouseMove(gui::detail::ShiftFromKeys(m.WParam), x, y);
        return;
    case WM_MOUSEWHEEL:
        return;  // the wheel does nothing here
    case CM_PARENTCOLORCHANGED:
        ParentColorChanged();
        return;
    case CM_PARENTFONTCHANGED:
        ParentFontChanged();
        return;
    case CM_PARENTSHOWHINTCHANGED:
        if (parentShowHint_ && parent_) showHint_ = parent_->ShowHint();
        return;
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
    case CM_TEXTCHANGED:
    case CM_ENABLEDCHANGED:
    case CM_VISIBLECHANGED:
        Invalidate();
        return;
    default:
        DefaultHandler(m);
    }
}

void TControl::DefaultHandler(TMessage& m)
{
    m.Result = 0;
}

bool TControl::MouseCapture() const
{
    return Application->CaptureControl() == this;
}

void TControl::SetMouseCapture(bool capture)
{
    if (capture) Application->SetCaptureControl(this);
    else if (MouseCapture()) Application->SetCaptureControl(nullptr);
}

TCustomForm* TControl::ParentForm() const
{
    return GetParentForm(this);
}

TCustomForm* GetParentForm(const TControl* control)
{
    if (!control) return nullptr;
    const TControl* top = control;
    while (top->Parent()) top = top->Parent();
    return dynamic_cast<TCustomForm*>(const_cast<TControl*>(top));
}

void TControl::Click()
{
    InvokeEvent(OnClick, this);
}

void TControl::DblClick()
{
    InvokeEvent(OnDblClick, this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    InvokeEvent(OnMouseDown, this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y)
{
    InvokeEvent(OnMouseMove, this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    InvokeEvent(OnMouseUp, this, Button, Shift, X, Y);
}
