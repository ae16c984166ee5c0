// How the slider draws: background, groove edges and fill, ticks, the thumb
// shapes and the thumb laid over the background through its mask.
#include "widget_fixture.h"

#include <limits>
#include <tuple>

namespace {

using SlideBarPaintTest = WidgetTest;

struct ExpectedPixel {
    int x, y;
    TColor color;
};

// Checks the pixels that the thumb does not cover.
void ExpectPixels(TzSlideBar& bar, std::initializer_list<ExpectedPixel> pixels)
{
    for (const ExpectedPixel& p : pixels) {
        if (PtInRect(bar.ThumbRect(), Point(p.x, p.y))) continue;
        EXPECT_TRUE(SameColor(PixelAt(bar, p.x, p.y), p.color))
            << "(" << p.x << ", " << p.y << ") is " << std::hex << PixelAt(bar, p.x, p.y);
    }
}

// Every pixel of a run, (x0, y0) to (x1, y1) inclusive, in one colour.
std::vector<ExpectedPixel> Span(int x0, int y0, int x1, int y1, TColor color)
{
    std::vector<ExpectedPixel> out;
    for (int x = x0; x <= x1; ++x)
        for (int y = y0; y <= y1; ++y) out.push_back({x, y, color});
    return out;
}

void ExpectRuns(TzSlideBar& bar, std::initializer_list<std::vector<ExpectedPixel>> runs)
{
    for (const auto& run : runs)
        for (const ExpectedPixel& p : run) ExpectPixels(bar, {p});
}

TEST_F(SlideBarPaintTest, PatternBitmap)
{
    TBitmap* pattern = SlideBarPattern();
    ASSERT_NE(pattern, nullptr);
    ASSERT_EQ(pattern->Width(), 8);
    ASSERT_EQ(pattern->Height(), 8);
    const TColor grey = 0xC0C0C0;
    for (int x = 0; x < 8; ++x)
        for (int y = 0; y < 8; ++y)
            EXPECT_TRUE(SameColor(BitmapPixel(*pattern, x, y), (x % 2 && y % 2) ? clWhite : grey)) << x << "," << y;
    // Further start-ups and all but the last shut-down leave it alone.
    SlideBarUnitStartup();
    SlideBarUnitShutdown();
    EXPECT_EQ(SlideBarPattern(), pattern);
    SlideBarUnitCounter(1).Startup();
    EXPECT_EQ(SlideBarUnitCounter(1).Count(), 1);
    EXPECT_EQ(SlideBarUnitCounter(2).Count(), 0);
    SlideBarUnitCounter(1).Shutdown();
}

TEST_F(SlideBarPaintTest, VerticalGroove)
{
    // 20 x 181, Thickness 2, 20 x 10 thumb: corners (8, 5) and (11, 176).
    TRecordingSlideBar* bar = AddSlider(10, 10, 20, 181);
    bar->SetThumbStyle(TThumbStyle::tsHorzHigh);
    bar->SetTicks(false);
    ShowForm();
    ASSERT_TRUE(bar->Focused());  // the form's first control
    for (int value : {0, 10}) {  // the thumb at either end: together they show all
        bar->SetValue(value);
        ExpectRuns(*bar, {Span(9, 5, 10, 5, clBtnShadow), Span(8, 5, 8, 175, clBtnShadow),
                          Span(8, 176, 10, 176, clBtnHighlight), Span(11, 5, 11, 176, clBtnHighlight),
                          Span(9, 6, 10, 175, clActiveCaption), Span(7, 5, 7, 176, FormColor),
                          Span(12, 5, 12, 176, FormColor), Span(9, 4, 11, 4, FormColor),
                          Span(8, 177, 11, 177, FormColor)});
    }
    // The form's colour is the background beside the groove.
    form_->SetColor(clOlive);
    bar->Refresh();
    ExpectRuns(*bar, {Span(0, 20, 7, 160, clOlive), Span(12, 20, 19, 160, clOlive), Span(9, 20, 10, 160, clActiveCaption)});
    // Raised: the edge colours swap.
    bar->SetStyle(TBarStyle::bsRaised);
    ExpectRuns(*bar, {Span(8, 20, 8, 160, clBtnHighlight), Span(11, 20, 11, 160, clBtnShadow)});
}

TEST_F(SlideBarPaintTest, HorizontalGroove)
{
    // 30 x 20, Thickness 2, 10 x 20 thumb: corners (5, 8) and (25, 11).
    TRecordingSlideBar* bar = AddSlider(10, 10, 30, 20);
    bar->SetTicks(false);
    ShowForm();
    ASSERT_TRUE(bar->Focused());
    for (int value : {0, 10}) {
        bar->SetValue(value);
        ExpectRuns(*bar, {Span(6, 8, 24, 8, clBtnShadow), Span(5, 8, 5, 10, clBtnShadow),
                          Span(5, 11, 24, 11, clBtnHighlight), Span(25, 8, 25, 11, clBtnHighlight),
                          Span(6, 9, 24, 10, clActiveCaption), Span(5, 7, 25, 7, FormColor), Span(5, 12, 25, 12, FormColor)});
    }
}

TEST_F(SlideBarPaintTest, OnlyTheGrooveFillFollowsTheFocus)
{
    TRecordingSlideBar* bar = AddSlider(10, 10, 20, 181);
    TRecordingSlideBar* other = AddSlider(100, 10, 20, 181);
    ShowForm();
    other->SetFocus();
    const gui::Surface unfocused = bar->ClientSurface();
    bar->SetFocus();
    const gui::Surface& focused = bar->ClientSurface();
    const TRect thumb = bar->ThumbRect();
    int changed = 0;
    for (int y = 0; y < 181; ++y) {
        for (int x = 0; x < 20; ++x) {
            const bool fill = x >= 9 && x <= 10 && y >= 11 && y <= 170 && !PtInRect(thumb, Point(x, y));
            if (fill) {
                EXPECT_TRUE(SameColor(gui::FromPixel(focused.at(x, y)), clActiveCaption)) << x << "," << y;
                ++changed;
            } else {
                EXPECT_EQ(focused.at(x, y), unfocused.at(x, y)) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(changed, 300);  // rows 11 to 160: the thumb sits at the bottom
}

TEST_F(SlideBarPaintTest, TicksTruncateAndHaveTwoEdges)
{
    // 0..10 by 3 on a 181 high fader: ticks at rows 175, 124, 73 and 22.
    TRecordingSlideBar* bar = AddSlider(10, 10, 20, 181);
    bar->SetThumbStyle(TThumbStyle::tsHorzHigh);
    bar->SetStepPerTick(3);
    ShowForm();
    bar->SetValue(5);  // the thumb (rows 85 to 94) covers no tick
    for (int p : {175, 124, 73, 22}) {
        ExpectRuns(*bar, {Span(14, p, 17, p, clBtnShadow), Span(14, p + 1, 17, p + 1, clBtnHighlight),
                          Span(2, p, 5, p, clBtnShadow), Span(2, p + 1, 5, p + 1, clBtnHighlight),
                          Span(18, p, 19, p + 1, FormColor), Span(0, p, 1, p + 1, FormColor),
                          Span(14, p + 2, 17, p + 2, FormColor)});
    }
    // No tick for Max (not on the step).
    ExpectRuns(*bar, {Span(14, 5, 17, 6, FormColor)});
    // Raised: every tick's two lines swap their colours too.
    bar->SetStyle(TBarStyle::bsRaised);
    for (int p : {175, 124, 73, 22}) {
        ExpectRuns(*bar, {Span(14, p, 17, p, clBtnHighlight), Span(14, p + 1, 17, p + 1, clBtnShadow),
                          Span(2, p, 5, p, clBtnHighlight), Span(2, p + 1, 5, p + 1, clBtnShadow)});
    }
}

TEST_F(SlideBarPaintTest, TheWidestRangePaintsEveryPixelOfTicksAtOnce)
{
    // Four thousand million ticks on 171 pixels: every row of the groove
    // carries a tick, drawn upward, so each tick's second (trailing) line
    // covers the first line of the tick below; the top one, for Max, sits
    // at the groove's end.
    TRecordingSlideBar* bar = AddFader();
    bar->SetMin(std::numeric_limits<int>::min());
    bar->SetMax(std::numeric_limits<int>::max());
    ShowForm();
    bar->SetValue(0);
    ExpectRuns(*bar, {Span(14, 5, 17, 5, clBtnShadow), Span(14, 6, 17, 176, clBtnHighlight),
                      Span(2, 5, 5, 5, clBtnShadow), Span(2, 6, 5, 176, clBtnHighlight)});
}

TEST_F(SlideBarPaintTest, OwnerDrawnTicks)
{
    TRecordingSlideBar* fader = AddSlider(10, 10, 20, 181);
    fader->SetThumbStyle(TThumbStyle::tsHorzHigh);
    TRecordingSlideBar* pan = AddSlider(50, 10, 100, 20);
    std::vector<std::tuple<int, int, bool, int>> calls;
    for (TzSlideBar* bar : {static_cast<TzSlideBar*>(fader), static_cast<TzSlideBar*>(pan)}) {
        bar->SetStepPerTick(5);
        bar->SetTickStyle(TzTickStyle::tsOwnerDraw);
        bar->OnOwnerDraw = [&calls](TCanvas*, int x, int y, bool left, int num) { calls.emplace_back(x, y, left, num); };
    }
    ShowForm();
    calls.clear();
    fader->Refresh();
    // Right/bottom first, then left/top; the tick for Max sits at y1.
    EXPECT_EQ(calls, (std::vector<std::tuple<int, int, bool, int>>{
                         {14, 175, false, 0}, {5, 175, true, 0}, {14, 90, false, 1}, {5, 90, true, 1},
                         {14, 5, false, 2}, {5, 5, true, 2}}));
    calls.clear();
    pan->Refresh();
    // Horizontal: the tick for Max at x2 - 1.
    EXPECT_EQ(calls, (std::vector<std::tuple<int, int, bool, int>>{
                         {5, 14, false, 0}, {5, 5, true, 0}, {50, 14, false, 1}, {50, 5, true, 1},
                         {94, 14, false, 2}, {94, 5, true, 2}}));

    calls.clear();
    pan->SetTickWhere(TBarTickStyle::ttsLeft);
    EXPECT_EQ(calls.size(), 3u);
    calls.clear();
    pan->SetTicks(false);
    EXPECT_TRUE(calls.empty());

    // Owner-drawn with no handler: nothing where the ticks would be.
    fader->OnOwnerDraw = nullptr;
    fader->SetValue(5);
    ExpectRuns(*fader, {Span(14, 175, 17, 176, FormColor), Span(2, 175, 5, 176, FormColor)});
}

struct ThumbPixel {
    TThumbStyle style;
    int x, y;
    TColor thumb;
    bool opaque;  // black in the mask
};

TEST_F(SlideBarPaintTest, ThumbShapes)
{
    constexpr TColor grey = 0x808080;
    constexpr TColor face = clBtnFace;
    const ThumbPixel cases[] = {
        {TThumbStyle::tsHorzHigh, 0, 0, grey, true},     {TThumbStyle::tsHorzHigh, 19, 0, face, true},
        {TThumbStyle::tsHorzHigh, 19, 5, clBlack, true}, {TThumbStyle::tsHorzHigh, 0, 9, grey, true},
        {TThumbStyle::tsHorzHigh, 1, 9, clBlack, true},  {TThumbStyle::tsHorzHigh, 5, 4, clWhite, true},
        {TThumbStyle::tsHorzHigh, 5, 3, face, true},     {TThumbStyle::tsHorzHigh, 5, 5, grey, true},
        {TThumbStyle::tsVertHigh, 0, 10, grey, true},    {TThumbStyle::tsVertHigh, 5, 10, grey, true},
        {TThumbStyle::tsVertHigh, 9, 19, clBlack, true}, {TThumbStyle::tsVertHigh, 4, 10, clWhite, true},
        {TThumbStyle::tsVertHigh, 3, 10, face, true},    {TThumbStyle::tsSquare, 19, 0, clBlack, true},
        {TThumbStyle::tsSquarehollow, 3, 3, clBlack, false},
        {TThumbStyle::tsSquarehollow, 16, 16, clBlack, false},
        {TThumbStyle::tsSquarehollow, 17, 17, clWhite, true},
        {TThumbStyle::tsSquarehollow, 2, 10, grey, true},
        {TThumbStyle::tsLeft, 1, 5, clBlack, false},     {TThumbStyle::tsLeft, 12, 5, face, true},
        {TThumbStyle::tsLeft, 26, 10, clBlack, true},    {TThumbStyle::tsRight, 25, 5, clBlack, false},
        {TThumbStyle::tsTop, 5, 0, clBlack, false},      {TThumbStyle::tsBottom, 5, 26, clBlack, false},
        {TThumbStyle::tsRound, 0, 0, clBlack, false},    {TThumbStyle::tsRound, 14, 14, clBlack, false},
        {TThumbStyle::tsRound, 6, 7, clWhite, true},     {TThumbStyle::tsRound, 8, 7, grey, true},
        {TThumbStyle::tsHorzRound, 7, 6, clWhite, true}, {TThumbStyle::tsHorzRound, 7, 8, grey, true},
        {TThumbStyle::tsSquarehollowHorz, 3, 9, face, true},
        {TThumbStyle::tsSquarehollowHorz, 9, 9, clBlack, false},
        {TThumbStyle::tsSquarehollowVert, 9, 4, face, true},
        {TThumbStyle::tsSquarehollowHLine, 8, 9, face, true},
        {TThumbStyle::tsSquarehollowHLine, 8, 7, clBlack, false},
        {TThumbStyle::tsSquarehollowVLine, 9, 8, face, true},
        {TThumbStyle::tsSquarehollowVLine, 7, 8, clBlack, false},
    };
    auto* bar = new TzSlideBar(form_);
    for (const ThumbPixel& c : cases) {
        bar->SetThumbStyle(c.style);
        const int style = static_cast<int>(c.style);
        EXPECT_TRUE(SameColor(BitmapPixel(bar->ThumbBitmap(), c.x, c.y), c.thumb))
            << style << " (" << c.x << ", " << c.y << ") " << std::hex << BitmapPixel(bar->ThumbBitmap(), c.x, c.y);
        EXPECT_TRUE(SameColor(BitmapPixel(bar->ThumbMask(), c.x, c.y), c.opaque ? clBlack : clWhite))
            << style << " mask (" << c.x << ", " << c.y << ")";
    }
    // Every transparent pixel of every thumb is black in the thumb.
    for (int style = 0; style < 16; ++style) {
        bar->SetThumbStyle(static_cast<TThumbStyle>(style));
        const TBitmap& thumb = bar->ThumbBitmap();
        const TBitmap& mask = bar->ThumbMask();
        for (int x = 0; x < thumb.Width(); ++x) {
            for (int y = 0; y < thumb.Height(); ++y) {
                if (!SameColor(BitmapPixel(mask, x, y), clWhite)) continue;
                EXPECT_TRUE(SameColor(BitmapPixel(thumb, x, y), clBlack)) << style << " (" << x << ", " << y << ")";
            }
        }
    }
}

TEST_F(SlideBarPaintTest, TheBackgroundShowsAroundTheThumb)
{
    form_->SetColor(clRed);
    TRecordingSlideBar* round = AddSlider(10, 10, 100, 20);
    round->SetThumbStyle(TThumbStyle::tsRound);
    round->SetTicks(false);
    TRecordingSlideBar* arrow = AddSlider(10, 40, 100, 20);
    arrow->SetThumbStyle(TThumbStyle::tsLeft);
    arrow->SetTicks(false);
    ShowForm();
    round->SetValue(5);
    arrow->SetValue(5);

    const TRect r = round->ThumbRect();
    ASSERT_EQ(r.Width(), 15);
    for (TPoint corner : {Point(r.Left, r.Top), Point(r.Right - 1, r.Top), Point(r.Left, r.Bottom - 1),
                          Point(r.Right - 1, r.Bottom - 1)})
        EXPECT_TRUE(SameColor(PixelAt(*round, corner.X, corner.Y), clRed)) << corner.X << "," << corner.Y;
    EXPECT_TRUE(SameColor(PixelAt(*round, r.Left + 4, r.Top + 4), clBtnFace));

    const TRect a = arrow->ThumbRect();
    EXPECT_EQ(a.Top, 4);
    EXPECT_TRUE(SameColor(PixelAt(*arrow, a.Left, a.Top + 1), clRed));  // beyond the point
    EXPECT_TRUE(SameColor(PixelAt(*arrow, a.Left + 12, a.Top + 5), clBtnFace));
}

TEST_F(SlideBarPaintTest, ControlsSmallerThanTheirThumbPaint)
{
    TRecordingSlideBar* bar = AddSlider(10, 10, 5, 5);
    ShowForm();
    for (TRect size : {Rect(0, 0, 0, 0), Rect(0, 0, 1, 1), Rect(0, 0, 5, 5), Rect(0, 0, 20, 8), Rect(0, 0, 8, 20)}) {
        bar->SetBounds(10, 10, size.Right, size.Bottom);
        for (int style = 0; style < 16; ++style) {
            bar->SetThumbStyle(static_cast<TThumbStyle>(style));
            bar->SetValue(bar->Value() == 0 ? 10 : 0);
            // Along the bar the thumb stays within the control, or at 0
            // when it is the larger; across it, it is centred.
            const TRect thumb = bar->ThumbRect();
            const bool vertical = bar->IsVertical();
            const int offset = vertical ? thumb.Top : thumb.Left;
            const int room = vertical ? size.Bottom - thumb.Height() : size.Right - thumb.Width();
            EXPECT_GE(offset, 0) << style;
            EXPECT_LE(offset, std::max(0, room)) << style;
        }
    }
}

TEST_F(SlideBarPaintTest, SteelLookTilesThePatternFromTheOrigin)
{
    TRecordingSlideBar* bar = AddSlider(13, 7, 100, 20);
    bar->SetTicks(false);
    bar->SetSteelLook(true);
    ShowForm();
    bar->SetValue(10);  // the thumb at the right end
    const TColor grey = 0xC0C0C0;
    ExpectPixels(*bar, {{0, 0, grey}, {1, 1, clWhite}, {1, 0, grey}, {0, 1, grey}, {7, 7, clWhite},
                        {9, 3, clWhite}, {8, 3, grey}, {17, 19, clWhite}});
}

}  // namespace
