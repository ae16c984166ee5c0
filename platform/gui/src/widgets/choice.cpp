// Check boxes, radio buttons and groups, group boxes, track bars.
#include "widgets/look.h"
#include "widgets/property.h"

#include "gui/choice.h"

#include <win32/desktop.h>

#include <algorithm>
#include <cmath>

using gui::detail::Fill;
using gui::detail::Frame3D;

namespace {

constexpr int kBoxSize = 13;

// The box (or circle) of a check box or radio button, with its mark.
void PaintMark(TCanvas& c, const TRect& box, bool round, bool checked, bool enabled)
{
    if (round) {
        c.Pen()->Color = clBtnShadow;
        c.Brush()->Style = TBrushStyle::bsSolid;
        c.Brush()->Color = enabled ? clWindow : clBtnFace;
        c.Ellipse(box);
        if (checked) {
            c.Pen()->Color = clWindowText;
            c.Brush()->Color = clWindowText;
            c.Ellipse(box.Left + 4, box.Top + 4, box.Right - 4, box.Bottom - 4);
        }
        return;
    }
    Fill(c, box, enabled ? clWindow : clBtnFace);
    Frame3D(c, Frame3D(c, box, clBtnShadow, clBtnHighlight), cl3DDkShadow, cl3DLight);
    if (!checked) return;
    // A tick: down from the left, then up to the right.
    c.Pen()->Color = enabled ? clWindowText : clGrayText;
    for (int k = 0; k < 3; ++k)
        c.Polyline({TPoint{box.Left + 3, box.Top + 5 + k}, TPoint{box.Left + 5, box.Top + 7 + k},
                    TPoint{box.Left + 10, box.Top + 2 + k}});
}

}  // namespace

// ---- TCheckBox ----

TCheckBox::TCheckBox(TComponent* AOwner) : TWinControl(AOwner)
{
    SetControlStyle(TControlStyle{csCaptureMouse, csSetCaption});
    SetTabStop(true);
    SetBounds(0, 0, 97, 17);
}

void TCheckBox::StoreChecked(bool v)
{
    gui::detail::StoreAndRepaint(*this, checked_, v);
}

void TCheckBox::SetChecked(bool v)
{
    if (v == checked_) return;
    StoreChecked(v);
    Click();
}

void TCheckBox::WndProc(TMessage& m)
{
    // Its accelerator does what a click does.
    if (m.Msg == CM_DIALOGCHAR && gui::detail::IsAccel(m.WParam, Caption()) && CanFocus()) {
        SetFocus();
        Toggle();
        m.Result = 1;
        return;
    }
    if (gui::detail::FocusLookMessage(*this, m, DLGC_BUTTON)) return;
    if (m.Msg == WM_KILLFOCUS) pressed_ = false;
    TWinControl::WndProc(m);
}

void TCheckBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) {
        pressed_ = true;
        SetFocus();
    }
    TWinControl::MouseDown(Button, Shift, X, Y);
}

void TCheckBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft && pressed_) {
        pressed_ = false;
        if (ClientRect().Contains(TPoint{X, Y})) Toggle();
    }
    TWinControl::MouseUp(Button, Shift, X, Y);
}

void TCheckBox::KeyUp(Word& Key, TShiftState Shift)
{
    TWinControl::KeyUp(Key, Shift);
    if (Key == VK_SPACE) Toggle();
}

void TCheckBox::PaintWindow(TCanvas& canvas)
{
    Fill(canvas, ClientRect(), Color());
    const int top = (Height() - kBoxSize) / 2;
    PaintMark(canvas, Bounds(0, top, kBoxSize, kBoxSize), Round(), checked_, Enabled());
    canvas.Font()->Assign(*Font());
    const gui::detail::ShownCaption caption = gui::detail::ParseCaption(Caption());
    const TPoint size = canvas.TextExtent(caption.text);
    const int x = kBoxSize + 4, y = (Height() - size.Y) / 2;
    gui::detail::CaptionText(canvas, *Font(), Enabled(), x, y, caption);
    if (Focused()) {
        canvas.Brush()->Style = TBrushStyle::bsSolid;
        canvas.Brush()->Color = clGray;
        canvas.FrameRect(TRect{x - 1, y - 1, x + size.X + 1, y + size.Y + 1});
    }
}

// ---- TRadioButton ----

TRadioButton::TRadioButton(TComponent* AOwner) : TCheckBox(AOwner) {}

void TRadioButton::SetChecked(bool v)
{
    if (v == Checked()) return;
    StoreChecked(v);
    SetTabStop(v);
    if (!v) return;
    if (Parent()) {
        for (TControl* c : Parent()->ControlList())
            if (auto* other = dynamic_cast<TRadioButton*>(c); other && other != this && other->Checked()) {
                other->StoreChecked(false);
                other->SetTabStop(false);
            }
    }
    Click();
}

void TRadioButton::WndProc(TMessage& m)
{
    TCheckBox::WndProc(m);
    // Reached with an arrow key (the dialog's way through a group): checked.
    if (m.Msg == CM_ENTER)
        for (int key : {VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN})
            if (GetKeyState(key) < 0) SetChecked(true);
}

// ---- TGroupBox ----

TGroupBox::TGroupBox(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks});
    SetBounds(0, 0, 185, 105);
}

void TGroupBox::WndProc(TMessage& m)
{
    TCustomControl::WndProc(m);
    if (m.Msg == CM_TEXTCHANGED || m.Msg == CM_FONTCHANGED) Invalidate();
}

void TGroupBox::Paint()
{
    TCanvas& c = *Canvas();
    Fill(c, ClientRect(), Color());
    c.Font()->Assign(*Font());
    const int textHeight = c.TextHeight("0");
    // An etched frame that the caption interrupts.
    const TRect frame{0, textHeight / 2, Width(), Height()};
    Frame3D(c, TRect{frame.Left + 1, frame.Top + 1, frame.Right, frame.Bottom}, clBtnHighlight, clBtnHighlight);
    Frame3D(c, TRect{frame.Left, frame.Top, frame.Right - 1, frame.Bottom - 1}, clBtnShadow, clBtnShadow);
    if (Caption().empty()) return;
    const gui::detail::ShownCaption caption = gui::detail::ParseCaption(Caption());
    const int width = c.TextWidth(caption.text);
    Fill(c, TRect{6, 0, 8 + width + 2, textHeight}, Color());
    gui::detail::CaptionText(c, *Font(), Enabled(), 8, 0, caption);
}

// ---- TRadioGroup ----

TRadioGroup::TRadioGroup(TComponent* AOwner) : TGroupBox(AOwner)
{
    items_.OnChange = [this] { Rebuild(); };
}

void TRadioGroup::Rebuild()
{
    updating_ = true;
    for (TRadioButton* b : buttons_) delete b;
    buttons_.clear();
    for (int i = 0; i < items_.Count(); ++i) {
        auto* b = new TRadioButton(this);
        b->SetText(items_[i]);
        b->SetParent(this);
        b->OnClick = [this, b](TObject*) { ButtonChecked(b); };
        buttons_.push_back(b);
    }
    Arrange();
    // The checked item stays (or becomes the last one there is), quietly.
    itemIndex_ = std::min(itemIndex_, static_cast<int>(buttons_.size()) - 1);
    if (itemIndex_ >= 0) buttons_[static_cast<std::size_t>(itemIndex_)]->SetChecked(true);
    updating_ = false;
}

void TRadioGroup::Arrange()
{
    if (buttons_.empty()) return;
    TCanvas measure;
    measure.Font()->Assign(*Font());
    const int top = measure.TextHeight("0") + 2;
    const int columns = std::max(1, columns_);
    const int rows = (static_cast<int>(buttons_.size()) + columns - 1) / columns;
    const int columnWidth = (Width() - 16) / columns;
    const int rowHeight = std::max(1, (Height() - top - 4) / rows);
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        const int column = static_cast<int>(i) / rows, row = static_cast<int>(i) % rows;
        buttons_[i]->SetBounds(8 + column * columnWidth, top + row * rowHeight + (rowHeight - 17) / 2, columnWidth, 17);
    }
}

void TRadioGroup::BoundsChanged(bool sized)
{
    TGroupBox::BoundsChanged(sized);
    if (sized) Arrange();
}

void TRadioGroup::SetColumns(int columns)
{
    columns = std::clamp(columns, 1, 16);
    if (columns == columns_) return;
    columns_ = columns;
    Arrange();
}

void TRadioGroup::SetItemIndex(int index)
{
    index = std::clamp(index, -1, static_cast<int>(buttons_.size()) - 1);
    if (index == itemIndex_) return;
    if (index < 0) {
        itemIndex_ = -1;
        for (TRadioButton* b : buttons_) b->SetChecked(false);
        return;
    }
    buttons_[static_cast<std::size_t>(index)]->SetChecked(true);
}

void TRadioGroup::ButtonChecked(TRadioButton* button)
{
    if (updating_ || !button->Checked()) return;
    const auto it = std::find(buttons_.begin(), buttons_.end(), button);
    itemIndex_ = static_cast<int>(it - buttons_.begin());
    Click();
}

// ---- TTrackBar ----

namespace {
constexpr int kChannelInset = 8;  // from each end to the first and last position
constexpr int kThumbHalf = 5;     // thumb 11 wide along the channel
constexpr int kThumbDepth = 20;   // and 20 across it
}  // namespace

TTrackBar::TTrackBar(TComponent* AOwner) : TWinControl(AOwner)
{
    SetControlStyle(TControlStyle{csCaptureMouse, csSetCaption});
    SetTabStop(true);
    SetBounds(0, 0, 150, 45);
}

int TTrackBar::Travel() const
{
    return std::max(1, (orientation_ == trHorizontal ? Width() : Height()) - 2 * kChannelInset - 1);
}

void TTrackBar::SetRange(int min, int max)
{
    if (max < min) max = min;
    min_ = min;
    max_ = max;
    Invalidate();
    SetPosition(position_);
}

void TTrackBar::SetMin(int v) { SetRange(v, std::max(v, max_)); }
void TTrackBar::SetMax(int v) { SetRange(std::min(v, min_), v); }

void TTrackBar::SetPosition(int v)
{
    v = std::clamp(v, min_, max_);
    if (v == position_) return;
    position_ = v;
    Invalidate();
    InvokeEvent(OnChange, this);
}

void TTrackBar::SetFrequency(int v)
{
    gui::detail::StoreAndRepaint(*this, frequency_, std::max(1, v));
}

void TTrackBar::SetTickStyle(TTickStyle s)
{
    gui::detail::StoreAndRepaint(*this, tickStyle_, s);
}

void TTrackBar::SetOrientation(TTrackBarOrientation o)
{
    gui::detail::StoreAndRepaint(*this, orientation_, o);
}

TRect TTrackBar::ThumbRect() const
{
    const std::int64_t range = std::int64_t{max_} - min_;
    const int along = kChannelInset + (range == 0 ? 0 : static_cast<int>(std::llround(static_cast<double>(position_ - min_) * Travel() / range)));
    if (orientation_ == trHorizontal) return TRect{along - kThumbHalf, 2, along + kThumbHalf + 1, 2 + kThumbDepth};
    return TRect{2, along - kThumbHalf, 2 + kThumbDepth, along + kThumbHalf + 1};
}

int TTrackBar::PositionAt(int x, int y) const
{
    const int along = (orientation_ == trHorizontal ? x : y) - kChannelInset;
    const std::int64_t range = std::int64_t{max_} - min_;
    const std::int64_t v = min_ + std::llround(static_cast<double>(along) * range / Travel());
    return static_cast<int>(std::clamp<std::int64_t>(v, min_, max_));
}

void TTrackBar::WndProc(TMessage& m)
{
    if (!gui::detail::FocusLookMessage(*this, m, DLGC_WANTARROWS)) TWinControl::WndProc(m);
}

void TTrackBar::KeyDown(Word& Key, TShiftState Shift)
{
    TWinControl::KeyDown(Key, Shift);
    switch (Key) {
    case VK_LEFT:
    case VK_UP: SetPosition(position_ - lineSize_); break;
    case VK_RIGHT:
    case VK_DOWN: SetPosition(position_ + lineSize_); break;
    case VK_PRIOR: SetPosition(position_ - pageSize_); break;
    case VK_NEXT: SetPosition(position_ + pageSize_); break;
    case VK_HOME: SetPosition(min_); break;
    case VK_END: SetPosition(max_); break;
    default: break;
    }
}

void TTrackBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) {
        SetFocus();
        if (ThumbRect().Contains(TPoint{X, Y})) {
            dragging_ = true;
        } else {
            // A page towards the press.
            const int target = PositionAt(X, Y);
            SetPosition(target < position_ ? std::max(target, position_ - pageSize_) : std::min(target, position_ + pageSize_));
        }
    }
    TWinControl::MouseDown(Button, Shift, X, Y);
}

void TTrackBar::MouseMove(TShiftState Shift, int X, int Y)
{
    if (dragging_) SetPosition(PositionAt(X, Y));
    TWinControl::MouseMove(Shift, X, Y);
}

void TTrackBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) dragging_ = false;
    TWinControl::MouseUp(Button, Shift, X, Y);
}

void TTrackBar::PaintWindow(TCanvas& canvas)
{
    Fill(canvas, ClientRect(), Color());
    const bool horizontal = orientation_ == trHorizontal;
    const int centre = 2 + kThumbDepth / 2;
    const int from = kChannelInset - 2, to = kChannelInset + Travel() + 3;
    const TRect channel = horizontal ? TRect{from, centre - 2, to, centre + 2} : TRect{centre - 2, from, centre + 2, to};
    Fill(canvas, channel, clWindow);
    Frame3D(canvas, channel, clBtnShadow, clBtnHighlight);
    if (tickStyle_ == TTickStyle::tsAuto && max_ > min_) {
        canvas.Pen()->Color = clWindowText;
        for (std::int64_t v = min_; v <= max_; v += frequency_) {
            const int along = kChannelInset + static_cast<int>((v - min_) * Travel() / (std::int64_t{max_} - min_));
            const int edge = 2 + kThumbDepth + 2;
            if (horizontal) {
                canvas.MoveTo(along, edge);
                canvas.LineTo(along, edge + 3);
            } else {
                canvas.MoveTo(edge, along);
                canvas.LineTo(edge + 3, along);
            }
        }
    }
    gui::detail::ButtonFace(canvas, ThumbRect(), false);
    if (Focused()) {
        canvas.Brush()->Style = TBrushStyle::bsSolid;
        canvas.Brush()->Color = clGray;
        canvas.FrameRect(ClientRect());
    }
}
