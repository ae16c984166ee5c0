// How the slider draws itself: background, groove, ticks and the thumb laid
// over them through its mask, all off screen, then copied in one step.
#include "controls/slide_bar.h"

#include "controls/slide_bar_math.h"

namespace {

// A kept canvas back to the state of a new bitmap's, so that whatever drew
// on it last time leaves nothing behind but pixels.
void ResetCanvas(TCanvas& c)
{
    *c.Pen() = TPen{};
    *c.Brush() = TBrush{};
    if (!c.Font()->SameAs(TFont{})) c.Font()->Assign(TFont{});
    c.SetCopyMode(cmSrcCopy);
    c.SetPenPos(TPoint{});
}

}  // namespace

// The off-screen picture is kept from paint to paint while the size holds:
// every paint starts by covering all of it with the background, so earlier
// pixels never show. Owner-drawn ticks hand the canvas to the handler, which
// may keep it; they get a bitmap of their own for that one paint.
TBitmap& TzSlideBar::OffscreenBitmap(std::unique_ptr<TBitmap>& own)
{
    if (FTicks && FTickStyle != TzTickStyle::tsNormal) {
        FOffscreen.reset();
        own = std::make_unique<TBitmap>(Width(), Height());
        return *own;
    }
    if (!FOffscreen) FOffscreen = std::make_unique<TBitmap>();
    FOffscreen->SetSize(Width(), Height());
    ResetCanvas(*FOffscreen->Canvas());
    return *FOffscreen;
}

void TzSlideBar::Paint()
{
    if (Width() <= 0 || Height() <= 0) {
        CalcThumbRect();  // nothing to draw, but the mouse tests the thumb
        return;
    }
    std::unique_ptr<TBitmap> own;
    TBitmap& offscreen = OffscreenBitmap(own);
    TCanvas* c = offscreen.Canvas();
    const TRect client = Rect(0, 0, Width(), Height());

    // Without the unit's start-up there is no pattern: the plain background.
    TBitmap* pattern = SlideBarPattern();
    c->Brush()->Style = TBrushStyle::bsSolid;
    if (FSteelLook && pattern != nullptr) {
        c->Brush()->Bitmap = pattern;
        c->FillRect(client);
        c->Brush()->Bitmap = nullptr;
    } else {
        c->Brush()->Color = Parent() != nullptr ? Parent()->Brush()->Color : Brush()->Color;
        c->FillRect(client);
    }

    const int T = FThickness;
    const int W = FThumb->Width();
    const int H = FThumb->Height();
    int x1, y1, x2, y2;
    if (IsVertical()) {
        x1 = (Width() - T) / 2 - 1;
        x2 = x1 + T + 1;
        y1 = FThumbHalfHeight;
        y2 = Height() - H + FThumbHalfHeight;
    } else {
        x1 = FThumbHalfWidth;
        x2 = Width() - W + FThumbHalfWidth;
        y1 = (Height() - T) / 2 - 1;
        y2 = y1 + T + 1;
    }

    c->Pen()->Style = psSolid;
    c->Pen()->Width = 1;
    SetLeadingEdgePen(c);
    c->MoveTo(x2, y1);
    c->LineTo(x1, y1);
    c->LineTo(x1, y2);
    SetTrailingEdgePen(c);
    c->LineTo(x2, y2);
    c->LineTo(x2, y1 - 1);

    c->Brush()->Color = Focused() ? FFocusColor : FNonFocusColor;
    c->Pen()->Style = psClear;
    c->Rectangle(x1 + 1, y1 + 1, x2 + 1, y2 + 1);
    c->Pen()->Style = psSolid;

    if (FTicks) PaintTicks(c, x1, y1, x2, y2);

    // The thumb through its mask, composed in place: the background under
    // the thumb AND the mask, OR the thumb. Both copies clip alike, so this
    // is the picture a separate composite copied back would give.
    CalcThumbRect();
    const TRect r = Rect(0, 0, W, H);
    c->SetCopyMode(cmSrcAnd);
    c->CopyRect(FThumbRect, FThumbMask->Canvas(), r);
    c->SetCopyMode(cmSrcPaint);
    c->CopyRect(FThumbRect, FThumb->Canvas(), r);
    c->SetCopyMode(cmSrcCopy);

    Canvas()->Draw(0, 0, &offscreen);
}

// Ticks truncate where the thumb rounds, and the tick for Max sits at the
// groove's end, so a tick and the thumb centre can differ by a pixel.
void TzSlideBar::PaintTicks(TCanvas* c, int x1, int y1, int x2, int y2)
{
    const bool vertical = IsVertical();
    const SlideBar::TickScale scale = vertical ? SlideBar::ThumbTickScale(Height(), FThumb->Height(), FMin, FMax)
                                               : SlideBar::ThumbTickScale(Width(), FThumb->Width(), FMin, FMax);
    const int T = FThickness;
    const bool right = FTickWhere == TBarTickStyle::ttsRight || FTickWhere == TBarTickStyle::ttsBoth;
    const bool left = FTickWhere == TBarTickStyle::ttsLeft || FTickWhere == TBarTickStyle::ttsBoth;
    const int from = vertical ? x1 : y1;  // the groove's leading edge across the bar
    // In 64 bits, so that ranges near the ends of int32 neither overflow
    // nor loop for ever.
    const std::int64_t step = FStepPerTick;
    const std::int64_t range = static_cast<std::int64_t>(FMax) - FMin;
    const std::int64_t lastIndex = range / step;
    const bool maxHasTick = range % step == 0;
    for (std::int64_t k = 0; k <= lastIndex;) {
        const std::int64_t i = FMin + k * step;
        const auto travel = static_cast<int>(SlideBar::TickTravel(k * step, scale));
        int p;
        if (vertical) p = i == FMax ? y1 : y2 - travel - 1;
        else p = i == FMax ? x2 - 1 : x1 + travel;
        const int tickNum = static_cast<int>(k);
        if (right) {
            const int a = from + T + FTickSpace + 1;
            if (FTickStyle == TzTickStyle::tsNormal) PaintTick(c, a, a + FTickSize, p, vertical);
            else if (vertical) InvokeEvent(OnOwnerDraw, c, a, p, false, tickNum);
            else InvokeEvent(OnOwnerDraw, c, p, a, false, tickNum);
        }
        if (left) {
            const int a = from - FTickSpace;
            if (FTickStyle == TzTickStyle::tsNormal) PaintTick(c, a, a - FTickSize, p, vertical);
            else if (vertical) InvokeEvent(OnOwnerDraw, c, a, p, true, tickNum);
            else InvokeEvent(OnOwnerDraw, c, p, a, true, tickNum);
        }
        if (FTickStyle != TzTickStyle::tsNormal) {
            ++k;  // the owner draws every tick
            continue;
        }
        const std::int64_t next = SlideBar::NextDistinctTick(k, step, scale, lastIndex);
        // The tick for Max sits at the groove's end, wherever its travel lies.
        k = maxHasTick && k < lastIndex && next > lastIndex ? lastIndex : next;
    }
}

// One tick from a to b across the bar at p: a leading-edge line, and a
// trailing-edge line beside it.
void TzSlideBar::PaintTick(TCanvas* c, int a, int b, int p, bool vertical)
{
    SetLeadingEdgePen(c);
    if (vertical) {
        c->MoveTo(a, p);
        c->LineTo(b, p);
    } else {
        c->MoveTo(p, a);
        c->LineTo(p, b);
    }
    SetTrailingEdgePen(c);
    if (vertical) {
        c->MoveTo(a, p + 1);
        c->LineTo(b, p + 1);
    } else {
        c->MoveTo(p + 1, a);
        c->LineTo(p + 1, b);
    }
}
