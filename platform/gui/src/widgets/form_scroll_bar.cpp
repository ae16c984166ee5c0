// The form's scroll bar: its parts, the mouse on them, and its look.
#include "widgets/form_scroll_bar.h"

#include "widgets/look.h"

#include <algorithm>

namespace gui::detail {

namespace {

constexpr int kArrow = FormScrollBar::kHeight;  // each arrow button is square
constexpr int kMinThumb = 8;
// A held arrow or track repeats after a pause, then quickly.
constexpr UINT kFirstRepeat = 400;
constexpr UINT kNextRepeat = 50;

void Triangle(TCanvas& canvas, const TRect& r, bool pointsLeft, bool enabled)
{
    const int cx = r.Left + r.Width() / 2, cy = r.Top + r.Height() / 2;
    canvas.Pen()->Color = enabled ? clBtnText : clGrayText;
    for (int i = 0; i < 4; ++i) {
        const int x = pointsLeft ? cx - 2 + i : cx + 1 - i;
        canvas.MoveTo(x, cy - i);
        canvas.LineTo(x, cy + i + 1);
    }
}

}  // namespace

FormScrollBar::FormScrollBar(TCustomForm& form) : TWinControl(&form), form_(form)
{
    SetControlStyle(TControlStyle{csCaptureMouse, csOpaque});
    SetTabStop(false);
    SetParent(&form);
    repeat_ = new TTimer(this);
    repeat_->SetEnabled(false);
    repeat_->OnTimer = [this](TObject*) { Repeat(); };
}

TControlScrollBar& FormScrollBar::Bar() const
{
    return *form_.HorzScrollBar();
}

TRect FormScrollBar::ThumbRect() const
{
    const int track = std::max(0, Width() - 2 * kArrow);
    const int client = form_.ClientWidth(), range = std::max(Bar().Range(), 1);
    const int thumb = std::min(track, std::max(kMinThumb, static_cast<int>(static_cast<std::int64_t>(track) * client / range)));
    const int travel = range - client;
    const int x = kArrow + (travel > 0 ? static_cast<int>(static_cast<std::int64_t>(track - thumb) * Bar().Position() / travel) : 0);
    return TRect{x, 0, x + thumb, Height()};
}

FormScrollBar::Part FormScrollBar::PartAt(int x) const
{
    if (x < kArrow) return Part::LeftArrow;
    if (x >= Width() - kArrow) return Part::RightArrow;
    const TRect thumb = ThumbRect();
    if (x < thumb.Left) return Part::PageLeft;
    if (x >= thumb.Right) return Part::PageRight;
    return Part::Thumb;
}

bool FormScrollBar::Step(Part part)
{
    const int before = Bar().Position();
    const int page = std::max(1, form_.ClientWidth() * 9 / 10);
    switch (part) {
    case Part::LeftArrow: Bar().SetPosition(before - Bar().Increment()); break;
    case Part::RightArrow: Bar().SetPosition(before + Bar().Increment()); break;
    // Paging stops once the thumb has reached the pointer.
    case Part::PageLeft:
        if (PartAt(pointerX_) == Part::PageLeft) Bar().SetPosition(before - page);
        break;
    case Part::PageRight:
        if (PartAt(pointerX_) == Part::PageRight) Bar().SetPosition(before + page);
        break;
    default: break;
    }
    return Bar().Position() != before;
}

void FormScrollBar::Repeat()
{
    repeat_->SetInterval(kNextRepeat);
    if (!Step(pressed_)) repeat_->SetEnabled(false);
}

void FormScrollBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) {
        pointerX_ = X;
        pressed_ = PartAt(X);
        if (pressed_ == Part::Thumb) {
            grab_ = X - ThumbRect().Left;
        } else if (Step(pressed_)) {
            repeat_->SetInterval(kFirstRepeat);
            repeat_->SetEnabled(true);
        }
        Invalidate();
    }
    TWinControl::MouseDown(Button, Shift, X, Y);
}

void FormScrollBar::MouseMove(TShiftState Shift, int X, int Y)
{
    pointerX_ = X;
    if (pressed_ == Part::Thumb) {
        const TRect thumb = ThumbRect();
        const int free = Width() - 2 * kArrow - thumb.Width();
        const int travel = Bar().Range() - form_.ClientWidth();
        if (free > 0 && travel > 0)
            Bar().SetPosition(static_cast<int>(static_cast<std::int64_t>(X - grab_ - kArrow) * travel / free));
        Invalidate();
    }
    TWinControl::MouseMove(Shift, X, Y);
}

void FormScrollBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) {
        pressed_ = Part::None;
        repeat_->SetEnabled(false);
        Invalidate();
    }
    TWinControl::MouseUp(Button, Shift, X, Y);
}

void FormScrollBar::PaintWindow(TCanvas& canvas)
{
    const TRect all = ClientRect();
    Fill(canvas, all, clScrollBar);
    const TRect left{0, 0, std::min(kArrow, Width()), Height()};
    const TRect right{std::max(0, Width() - kArrow), 0, Width(), Height()};
    const bool scrolls = Bar().Range() > form_.ClientWidth();
    Triangle(canvas, ButtonFace(canvas, left, pressed_ == Part::LeftArrow), true, scrolls);
    Triangle(canvas, ButtonFace(canvas, right, pressed_ == Part::RightArrow), false, scrolls);
    if (scrolls) ButtonFace(canvas, ThumbRect(), false);
}

FormScrollBar* FindFormScrollBar(const TCustomForm& form)
{
    for (TControl* c : form.ControlList())
        if (auto* bar = dynamic_cast<FormScrollBar*>(c)) return bar;
    return nullptr;
}

}  // namespace gui::detail
