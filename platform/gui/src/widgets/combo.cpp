// Drop-down lists and the list they drop.
#include "widgets/look.h"

#include "gui/combo.h"
#include "gui/forms.h"

#include <win32/desktop.h>

#include <algorithm>

using gui::detail::Fill;
using gui::detail::Frame3D;

namespace gui::detail {

// The dropped list: a window over the combo box's form that holds the mouse
// while it is shown.
class DropList : public TCustomControl {
public:
    explicit DropList(TComboBox& combo) : TCustomControl(nullptr), combo_(combo)
    {
        // It takes and gives back the mouse itself.
        SetControlStyle(TControlStyle{csOpaque});
        SetColor(clWindow);
        SetParentColor(false);
        SetVisible(false);  // shown by Open
    }
    ~DropList() override { combo_.list_ = nullptr; }
    bool CanFocus() const override { return false; }

    void Open()
    {
        TCustomForm* form = combo_.ParentForm();
        if (!form || combo_.items_.Count() == 0) return;
        Canvas()->Font()->Assign(*combo_.Font());
        itemHeight_ = Canvas()->TextHeight("0") + 2;
        rows_ = std::min(combo_.items_.Count(), combo_.dropDownCount_);
        const int height = rows_ * itemHeight_ + 2;
        const TPoint at = combo_.FormOrigin();
        int top = at.Y + combo_.Height();
        if (top + height > form->ClientHeight() && at.Y - height >= 0) top = at.Y - height;
        SetParent(form);
        SetBounds(at.X, top, combo_.Width(), height);
        BringToFront();
        hot_ = combo_.itemIndex_;
        ShowHot();
        Show();
        SetMouseCapture(true);
        InvokeEvent(combo_.OnDropDown, &combo_);
    }

    void Close()
    {
        SetMouseCapture(false);
        Hide();
        InvokeEvent(combo_.OnCloseUp, &combo_);
    }

    void Follow(int index)
    {
        hot_ = index;
        ShowHot();
        Invalidate();
    }

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override
    {
        // A press anywhere else closes the list, and goes no further.
        if (!ClientRect().Contains(TPoint{X, Y})) {
            combo_.SetDroppedDown(false);
            return;
        }
        Track(Y);
        TCustomControl::MouseDown(Button, Shift, X, Y);
    }
    void MouseMove(TShiftState Shift, int X, int Y) override
    {
        if (ClientRect().Contains(TPoint{X, Y})) Track(Y);
        TCustomControl::MouseMove(Shift, X, Y);
    }
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override
    {
        TCustomControl::MouseUp(Button, Shift, X, Y);
        if (Button != mbLeft || !ClientRect().Contains(TPoint{X, Y}) || hot_ < 0) return;
        TComboBox& combo = combo_;
        const int picked = hot_;
        combo.SetDroppedDown(false);
        combo.Pick(picked);
    }
    void Paint() override
    {
        TCanvas& c = *Canvas();
        Fill(c, ClientRect(), clWindow);
        Frame3D(c, ClientRect(), clWindowFrame, clWindowFrame);
        for (int row = 0; row < rows_; ++row) {
            const int index = top_ + row;
            if (index >= combo_.items_.Count()) break;
            const TRect r{1, 1 + row * itemHeight_, Width() - 1, 1 + (row + 1) * itemHeight_};
            const bool hot = index == hot_;
            if (hot) Fill(c, r, clHighlight);
            c.Font()->Assign(*combo_.Font());
            c.Font()->SetColor(hot ? clHighlightText : clWindowText);
            c.Brush()->Style = TBrushStyle::bsClear;
            c.TextOut(r.Left + 2, r.Top + 1, combo_.items_[index]);
        }
    }

private:
    void Track(int y)
    {
        const int index = top_ + std::clamp((y - 1) / std::max(1, itemHeight_), 0, rows_ - 1);
        if (index != hot_ && index < combo_.items_.Count()) Follow(index);
    }
    // The first row shown keeps the hot item in sight.
    void ShowHot()
    {
        if (hot_ < 0) return;
        if (hot_ < top_) top_ = hot_;
        if (hot_ >= top_ + rows_) top_ = hot_ - rows_ + 1;
    }
    TComboBox& combo_;
    int itemHeight_ = 16;
    int rows_ = 0;
    int top_ = 0;
    int hot_ = -1;
};

}  // namespace gui::detail

TComboBox::TComboBox(TComponent* AOwner) : TWinControl(AOwner)
{
    SetControlStyle(TControlStyle{csCaptureMouse, csSetCaption});
    SetColor(clWindow);
    SetParentColor(false);
    SetTabStop(true);
    SetBounds(0, 0, 145, 21);
    items_.OnChange = [this] {
        if (itemIndex_ >= items_.Count()) itemIndex_ = -1;
        SetDroppedDown(false);
        Invalidate();
    };
}

TComboBox::~TComboBox()
{
    delete list_;
}

int TComboBox::ItemIndex() const
{
    return itemIndex_ < items_.Count() ? itemIndex_ : -1;
}

void TComboBox::SetItemIndex(int index)
{
    index = index >= 0 && index < items_.Count() ? index : -1;
    if (index == itemIndex_) return;
    itemIndex_ = index;
    if (list_) list_->Follow(index);
    Invalidate();
}

std::string TComboBox::SelectedText() const
{
    const int index = ItemIndex();
    return index >= 0 ? items_[index] : std::string();
}

void TComboBox::Pick(int index)
{
    if (items_.Count() == 0) return;
    index = std::clamp(index, 0, items_.Count() - 1);
    if (index == ItemIndex()) return;
    SetItemIndex(index);
    InvokeEvent(OnChange, this);
}

bool TComboBox::DroppedDown() const
{
    return list_ && list_->Visible();
}

void TComboBox::SetDroppedDown(bool v)
{
    if (v == DroppedDown()) return;
    if (!v) {
        list_->Close();
        return;
    }
    if (!Showing()) return;
    if (!list_) list_ = new gui::detail::DropList(*this);
    list_->Open();
}

void TComboBox::WndProc(TMessage& m)
{
    // While dropped, Enter and Escape close the list instead of pressing buttons.
    if (gui::detail::FocusLookMessage(*this, m, DroppedDown() ? DLGC_WANTARROWS | DLGC_WANTALLKEYS : DLGC_WANTARROWS)) return;
    const bool closes = m.Msg == WM_KILLFOCUS || ((m.Msg == CM_VISIBLECHANGED || m.Msg == CM_ENABLEDCHANGED) && (!Visible() || !Enabled()));
    if (closes) SetDroppedDown(false);
    TWinControl::WndProc(m);
}

void TComboBox::KeyDown(Word& Key, TShiftState Shift)
{
    TWinControl::KeyDown(Key, Shift);
    const int index = ItemIndex();
    const int last = items_.Count() - 1;
    switch (Key) {
    case VK_F1 + 3:
        SetDroppedDown(!DroppedDown());
        break;
    case VK_UP:
    case VK_DOWN:
        if (Shift.Contains(ssAlt)) SetDroppedDown(!DroppedDown());
        else Pick(Key == VK_UP ? index - 1 : index + 1);
        break;
    case VK_LEFT: Pick(index - 1); break;
    case VK_RIGHT: Pick(index + 1); break;
    case VK_HOME: Pick(0); break;
    case VK_END: Pick(last); break;
    case VK_PRIOR: Pick(index - dropDownCount_); break;
    case VK_NEXT: Pick(index + dropDownCount_); break;
    case VK_RETURN:
    case VK_ESCAPE: SetDroppedDown(false); break;
    default: break;
    }
}

void TComboBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) {
        SetFocus();
        SetDroppedDown(!DroppedDown());
    }
    TWinControl::MouseDown(Button, Shift, X, Y);
}

void TComboBox::PaintWindow(TCanvas& canvas)
{
    TRect r = ClientRect();
    Fill(canvas, r, Enabled() ? Color() : clBtnFace);
    r = Frame3D(canvas, Frame3D(canvas, r, clBtnShadow, clBtnHighlight), cl3DDkShadow, cl3DLight);
    // The button with the arrow at the right end.
    const TRect button{r.Right - 16, r.Top, r.Right, r.Bottom};
    const TRect face = gui::detail::ButtonFace(canvas, button, DroppedDown());
    canvas.Pen()->Color = Enabled() ? clWindowText : clGrayText;
    const int cx = (face.Left + face.Right) / 2, cy = (face.Top + face.Bottom) / 2 - 1;
    for (int k = 0; k < 4; ++k) {
        canvas.MoveTo(cx - 3 + k, cy + k);
        canvas.LineTo(cx + 4 - k, cy + k);
    }
    const TRect text{r.Left + 1, r.Top + 1, button.Left - 1, r.Bottom - 1};
    canvas.Font()->Assign(*Font());
    const bool highlight = Focused() && !DroppedDown();
    if (highlight) Fill(canvas, text, clHighlight);
    if (!highlight && !Enabled()) canvas.Font()->SetColor(clGrayText);
    if (highlight) canvas.Font()->SetColor(clHighlightText);
    canvas.Brush()->Style = TBrushStyle::bsClear;
    canvas.TextRect(text, text.Left + 1, text.Top + (text.Height() - canvas.TextHeight("0")) / 2, SelectedText());
}
