// The application's hint window: when it shows, what it shows, where.
#include "core/access.h"
#include "host/hint_window.h"

#include "gui/forms.h"

#include <algorithm>
#include <limits>

namespace {

// A pale box with a dark frame around the text.
TBitmap HintPicture(const std::string& text)
{
    TBitmap picture;
    TCanvas* canvas = picture.Canvas();
    const TPoint size = TCanvas().TextExtent(text);
    picture.SetSize(size.X + 6, size.Y + 4);
    canvas->Brush()->Color = clInfoBk;
    canvas->Pen()->Color = clInfoText;
    canvas->Rectangle(0, 0, picture.Width(), picture.Height());
    canvas->Font()->SetColor(clInfoText);
    canvas->Brush()->Style = TBrushStyle::bsClear;
    canvas->TextOut(3, 2, text);
    return picture;
}

}  // namespace

void TApplication::CancelHint()
{
    HideHint();
    hintCancelled_ = true;
}

void TApplication::HideHint()
{
    if (shownHint_.empty()) return;
    shownHint_.clear();
    gui::detail::HideHintWindow();
}

std::uint64_t TApplication::HintDue() const
{
    const bool pending = shownHint_.empty() && !hintCancelled_ && showHint_ && mouseControl_ && mouseControl_->ShowHint() &&
                         !hint_.empty() && pointerForm_ && !gui::detail::BehindModal(*pointerForm_);
    return pending ? hintSince_ + HintPause : std::numeric_limits<std::uint64_t>::max();
}

void TApplication::UpdateHint(bool moved)
{
    if (moved) {
        HideHint();
        hintSince_ = Now();
        hintCancelled_ = false;
    }
    const bool wanted = showHint_ && mouseControl_ && mouseControl_->ShowHint() && !hint_.empty();
    if (!wanted) return HideHint();
    if (!shownHint_.empty() || HintDue() > Now()) return;
    shownHint_ = hint_;
    // Below the pointer, kept on the desktop.
    const TBitmap picture = HintPicture(shownHint_);
    const TPoint pointer = pointerForm_->ClientToScreen(pointerPos_);
    TPoint at{pointer.X, pointer.Y + 20};
    const int right = Screen->DesktopLeft() + Screen->DesktopWidth(), bottom = Screen->DesktopTop() + Screen->DesktopHeight();
    at.X = std::max(Screen->DesktopLeft(), std::min(at.X, right - picture.Width()));
    if (at.Y + picture.Height() > bottom) at.Y = pointer.Y - picture.Height() - 2;
    gui::detail::ShowHintWindow(picture, at, shownHint_);
}
