// The canvas's raster rules on bitmaps, pixel by pixel.
#include <vcl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

namespace {

using Pixels = std::set<std::pair<int, int>>;

// The pixels of `b` that are not white.
Pixels Marked(TBitmap& b)
{
    Pixels p;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (b.Canvas()->Pixels[x][y] != ColorToRGB(clWhite)) p.insert({x, y});
    return p;
}

Pixels Box(int x0, int y0, int x1, int y1)  // inclusive
{
    Pixels p;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) p.insert({x, y});
    return p;
}

Pixels operator-(Pixels a, const Pixels& b)
{
    for (const auto& q : b) a.erase(q);
    return a;
}

}  // namespace

TEST(Canvas, NewBitmapIsWhiteWithTheDefaultCanvasState)
{
    TBitmap b(4, 3);
    EXPECT_TRUE(Marked(b).empty());
    TCanvas* c = b.Canvas();
    EXPECT_EQ(c->Pen()->Color, clBlack);
    EXPECT_EQ(c->Pen()->Style, psSolid);
    EXPECT_EQ(c->Pen()->Width, 1);
    EXPECT_EQ(c->Pen()->Mode, pmCopy);
    EXPECT_EQ(c->Brush()->Color, clWhite);
    EXPECT_EQ(c->Brush()->Style, TBrushStyle::bsSolid);
    EXPECT_EQ(c->CopyMode(), cmSrcCopy);
    b.SetWidth(6);
    EXPECT_TRUE(Marked(b).empty()) << "grown pixels start white";
}

struct LineCase {
    TPoint from, to;
    Pixels expected;
};

class CanvasLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(CanvasLine, ExcludesTheEndPointAndClipsPerPixel)
{
    TBitmap b(20, 28);
    b.Canvas()->MoveTo(GetParam().from.X, GetParam().from.Y);
    b.Canvas()->LineTo(GetParam().to.X, GetParam().to.Y);
    EXPECT_EQ(Marked(b), GetParam().expected);
    EXPECT_EQ(b.Canvas()->PenPos(), GetParam().to);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CanvasLine,
    ::testing::Values(LineCase{{2, 5}, {6, 5}, Box(2, 5, 5, 5)},                       // horizontal
                      LineCase{{3, 9}, {3, 4}, Box(3, 5, 3, 9)},                       // upwards
                      LineCase{{1, 1}, {4, 4}, {{1, 1}, {2, 2}, {3, 3}}},              // 45 degrees
                      LineCase{{19, -1}, {15, 3}, {{18, 0}, {17, 1}, {16, 2}}},        // starts off the bitmap
                      LineCase{{0, 27}, {0, 25}, {{0, 27}, {0, 26}}},                  // last row
                      LineCase{{5, 5}, {5, 5}, {}}));                                   // a point: nothing

TEST(Canvas, PolylineExcludesOnlyTheFinalPoint)
{
    TBitmap b(10, 10);
    b.Canvas()->Polyline({TPoint{1, 1}, TPoint{4, 1}, TPoint{4, 4}});
    EXPECT_EQ(Marked(b), (Pixels{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {4, 2}, {4, 3}}));
}

TEST(Canvas, RectangleWithPenOutlinesLastColumnAndRowInside)
{
    TBitmap b(10, 10);
    TCanvas* c = b.Canvas();
    c->Brush()->Color = clRed;
    c->Rectangle(1, 2, 6, 7);
    const Pixels outline = Box(1, 2, 5, 6) - Box(2, 3, 4, 5);
    for (const auto& [x, y] : outline) EXPECT_EQ(c->Pixels[x][y], ColorToRGB(clBlack)) << x << "," << y;
    for (const auto& [x, y] : Box(2, 3, 4, 5)) EXPECT_EQ(c->Pixels[x][y], ColorToRGB(clRed)) << x << "," << y;
    EXPECT_EQ(Marked(b), Box(1, 2, 5, 6));
}

TEST(Canvas, RectangleWithClearPenFillsOnePixelLessRightAndBottom)
{
    TBitmap b(20, 20);
    TCanvas* c = b.Canvas();
    c->Pen()->Style = psClear;
    c->Brush()->Color = clBlack;
    c->Rectangle(3, 3, 18, 18);
    EXPECT_EQ(Marked(b), Box(3, 3, 16, 16));
}

TEST(Canvas, FillRectTilesThePatternFromTheBitmapOrigin)
{
    TBitmap pattern(8, 8);
    for (int j = 0; j < 8; ++j)
        for (int i = 0; i < 8; ++i) pattern.Canvas()->Pixels[i][j] = (i % 2 && j % 2) ? clWhite : TColor(0xC0C0C0);
    TBitmap b(20, 12);
    b.Canvas()->Brush()->Bitmap = &pattern;
    b.Canvas()->FillRect(Rect(3, 2, 17, 11));
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool inside = x >= 3 && x < 17 && y >= 2 && y < 11;
            const TColor want = inside && !(x % 2 && y % 2) ? TColor(0xC0C0C0) : clWhite;
            EXPECT_EQ(b.Canvas()->Pixels[x][y], want) << x << "," << y;
        }
}

TEST(Canvas, PolygonWithPenAndBrushAlikeCoversItsBoundary)
{
    TBitmap b(12, 12);
    TCanvas* c = b.Canvas();
    c->Pen()->Color = clBlack;
    c->Brush()->Color = clBlack;
    // A 45-degree arrow head: (1,1) (5,5) (1,9).
    c->Polygon({TPoint{1, 1}, TPoint{5, 5}, TPoint{1, 9}});
    Pixels want;
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 1 + std::min(y - 1, 9 - y); ++x) want.insert({x, y});
    EXPECT_EQ(Marked(b), want);
}

struct RopCase {
    TCopyMode mode;
    TColor dst, src, expected;
};

class CanvasCopyMode : public ::testing::TestWithParam<RopCase> {};

TEST_P(CanvasCopyMode, CopyRectCombinesPerChannel)
{
    TBitmap src(4, 4), dst(6, 6);
    src.Canvas()->Brush()->Color = GetParam().src;
    src.Canvas()->FillRect(Rect(0, 0, 4, 4));
    dst.Canvas()->Brush()->Color = GetParam().dst;
    dst.Canvas()->FillRect(Rect(0, 0, 6, 6));
    dst.Canvas()->SetCopyMode(GetParam().mode);
    dst.Canvas()->CopyRect(Rect(1, 1, 3, 4), src.Canvas(), Rect(0, 0, 2, 3));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            const bool inside = x >= 1 && x < 3 && y >= 1 && y < 4;
            EXPECT_EQ(dst.Canvas()->Pixels[x][y], inside ? GetParam().expected : GetParam().dst) << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(Modes, CanvasCopyMode,
                         ::testing::Values(RopCase{SRCCOPY, 0x123456, 0xA0B0C0, 0xA0B0C0},
                                           RopCase{SRCAND, 0x0F0FF0, 0x3355FF, 0x0305F0},
                                           RopCase{SRCPAINT, 0x0F0F00, 0x30500F, 0x3F5F0F},
                                           RopCase{SRCINVERT, 0xFF00FF, 0x0F0F0F, 0xF00FF0},
                                           RopCase{NOTSRCCOPY, 0x000000, 0x00FF0F, 0xFF00F0}));

TEST(Canvas, DegenerateCopiesCopyNothing)
{
    TBitmap src(4, 4), dst(4, 4);
    src.Canvas()->Brush()->Color = clBlack;
    src.Canvas()->FillRect(Rect(0, 0, 4, 4));
    dst.Canvas()->CopyRect(Rect(1, 1, 1, 3), src.Canvas(), Rect(0, 0, 0, 2));
    dst.Canvas()->CopyRect(Rect(1, 1, 3, 1), src.Canvas(), Rect(0, 0, 2, 0));
    EXPECT_TRUE(Marked(dst).empty());
}

TEST(Canvas, ThumbCompositeKeepsTheBackgroundWhereTheMaskIsWhite)
{
    // out = (background AND mask) OR thumb; mask black = opaque, thumb black = transparent.
    TBitmap back(3, 1), mask(3, 1), thumb(3, 1);
    back.Canvas()->Pixels[0][0] = TColor(0x336699);
    back.Canvas()->Pixels[1][0] = TColor(0x336699);
    back.Canvas()->Pixels[2][0] = TColor(0x336699);
    mask.Canvas()->Pixels[0][0] = clBlack;  // opaque
    thumb.Canvas()->Pixels[0][0] = TColor(0x0000C0);
    thumb.Canvas()->Pixels[1][0] = clBlack;  // transparent: mask white there
    thumb.Canvas()->Pixels[2][0] = clBlack;
    TBitmap out(3, 1);
    out.Canvas()->Draw(0, 0, &back);
    out.Canvas()->SetCopyMode(SRCAND);
    out.Canvas()->Draw(0, 0, &mask);
    out.Canvas()->SetCopyMode(SRCPAINT);
    out.Canvas()->Draw(0, 0, &thumb);
    EXPECT_EQ(out.Canvas()->Pixels[0][0], TColor(0x0000C0));
    EXPECT_EQ(out.Canvas()->Pixels[1][0], TColor(0x336699));
    EXPECT_EQ(out.Canvas()->Pixels[2][0], TColor(0x336699));
}

TEST(Canvas, MonochromeBitmapTakesTextAndBackgroundColours)
{
    TBitmap mono(2, 1);
    mono.SetPixelFormat(pf1bit);
    mono.Canvas()->Pixels[0][0] = clBlack;
    TBitmap out(2, 1);
    out.Canvas()->Font()->SetColor(clRed);
    out.Canvas()->Brush()->Color = clBlue;
    out.Canvas()->Draw(0, 0, &mono);
    EXPECT_EQ(out.Canvas()->Pixels[0][0], clRed);
    EXPECT_EQ(out.Canvas()->Pixels[1][0], clBlue);
}

TEST(Canvas, BitmapCopiesAreDeep)
{
    TBitmap a(2, 2);
    TBitmap b(a);
    TBitmap c;
    c.Assign(a);
    a.Canvas()->Pixels[0][0] = clBlack;
    EXPECT_EQ(b.Canvas()->Pixels[0][0], clWhite);
    EXPECT_EQ(c.Canvas()->Pixels[0][0], clWhite);
    b.Canvas()->Pixels[1][1] = clRed;
    EXPECT_EQ(a.Canvas()->Pixels[1][1], clWhite);
    EXPECT_NE(b.Canvas(), a.Canvas());
}

TEST(Canvas, EllipseStaysInsideItsBoxAndFillsItsCentre)
{
    TBitmap b(22, 22);
    TCanvas* c = b.Canvas();
    c->Brush()->Color = clRed;
    c->Ellipse(1, 1, 21, 21);
    const Pixels marked = Marked(b);
    for (const auto& [x, y] : marked) {
        EXPECT_TRUE(x >= 1 && x <= 20 && y >= 1 && y <= 20) << x << "," << y;
    }
    EXPECT_EQ(c->Pixels[10][10], clRed);
    EXPECT_EQ(c->Pixels[1][1], clWhite) << "corners stay";
    EXPECT_EQ(c->Pixels[20][20], clWhite);
    EXPECT_EQ(c->Pixels[1][10], clBlack) << "outline with the pen";
}

TEST(Canvas, ArcRunsCounterClockwiseBetweenItsRadials)
{
    // (R,T) to (L,B): the upper-left half of the circle.
    TBitmap b(21, 21);
    b.Canvas()->Arc(0, 0, 21, 21, 21, 0, 0, 21);
    const Pixels marked = Marked(b);
    ASSERT_FALSE(marked.empty());
    for (const auto& [x, y] : marked) EXPECT_LE(x + y, 21) << x << "," << y;
    EXPECT_TRUE(marked.contains({0, 10}));
    EXPECT_TRUE(marked.contains({10, 0}));
}

TEST(Canvas, DrawingWithoutATargetDoesNothing)
{
    TCanvas c;
    EXPECT_FALSE(c.HandleAllocated());
    c.MoveTo(0, 0);
    c.LineTo(5, 5);
    EXPECT_EQ(c.PenPos(), (TPoint{5, 5}));
    c.Rectangle(0, 0, 4, 4);
    c.FillRect(Rect(0, 0, 3, 3));
    c.TextOut(0, 0, "text");
    EXPECT_EQ(c.GetPixel(0, 0), 0xFFFFFFFFu);
}

// ---- row-wise drawing against a pixel-by-pixel model ----

namespace {

// Every pixel different, so that a pixel drawn from the wrong place shows.
TColor Noise(int x, int y, int seed)
{
    return static_cast<TColor>(((x * 37 + y * 91 + seed * 53) & 0xFF) | (((x * 11 + seed) & 0xFF) << 8) |
                               (((y * 29 + seed * 7) & 0xFF) << 16));
}

void FillNoise(TBitmap& b, int seed)
{
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) b.Canvas()->Pixels[x][y] = Noise(x, y, seed);
}

using Image = std::vector<std::vector<TColor>>;  // [y][x]

Image Snapshot(TBitmap& b)
{
    Image img(static_cast<std::size_t>(b.Height()), std::vector<TColor>(static_cast<std::size_t>(b.Width())));
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) img[y][x] = b.Canvas()->Pixels[x][y];
    return img;
}

TColor Combine(TCopyMode mode, TColor d, TColor s)
{
    switch (mode) {
    case SRCAND: return d & s;
    case SRCPAINT: return d | s;
    case SRCINVERT: return d ^ s;
    case NOTSRCCOPY: return ~s & 0xFFFFFF;
    case SRCERASE: return s & ~d & 0xFFFFFF;
    case MERGEPAINT: return (~s & 0xFFFFFF) | d;
    default: return s;
    }
}

struct CopyCase {
    const char* name;
    TRect dest, source;
    bool sameBitmap;
};

}  // namespace

class CanvasRowCopy : public ::testing::TestWithParam<CopyCase> {};

// Each destination pixel whose source pixel exists is combined with it once;
// everything else keeps its pixel, whatever part of either rectangle lies
// outside its bitmap.
TEST_P(CanvasRowCopy, MatchesThePixelModelForEveryOperation)
{
    const CopyCase& k = GetParam();
    for (TCopyMode mode : {cmSrcCopy, cmSrcAnd, cmSrcPaint, cmSrcInvert, cmNotSrcCopy, cmSrcErase, cmMergePaint}) {
        TBitmap src(13, 9), dst(17, 11);
        FillNoise(src, 1);
        FillNoise(dst, 2);
        TBitmap& from = k.sameBitmap ? dst : src;
        const Image before = Snapshot(dst), source = Snapshot(from);
        dst.Canvas()->SetCopyMode(mode);
        dst.Canvas()->CopyRect(k.dest, from.Canvas(), k.source);
        const bool copies = !k.dest.IsEmpty() && k.dest.Width() == k.source.Width() && k.dest.Height() == k.source.Height();
        for (int y = 0; y < dst.Height(); ++y)
            for (int x = 0; x < dst.Width(); ++x) {
                TColor want = before[y][x];
                const int sx = x - k.dest.Left + k.source.Left, sy = y - k.dest.Top + k.source.Top;
                if (copies && k.dest.Contains(TPoint{x, y}) && sx >= 0 && sy >= 0 && sx < from.Width() && sy < from.Height())
                    want = Combine(mode, before[y][x], source[sy][sx]);
                ASSERT_EQ(dst.Canvas()->Pixels[x][y], want) << k.name << " mode " << mode << " at " << x << "," << y;
            }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Clipping, CanvasRowCopy,
    ::testing::Values(CopyCase{"inside", Rect(2, 3, 9, 8), Rect(1, 1, 8, 6), false},
                      CopyCase{"destination at a negative origin", Rect(-4, -3, 6, 5), Rect(0, 0, 10, 8), false},
                      CopyCase{"destination past the right and bottom", Rect(12, 7, 25, 16), Rect(0, 0, 13, 9), false},
                      CopyCase{"source partly before its bitmap", Rect(3, 2, 12, 9), Rect(-5, -2, 4, 5), false},
                      CopyCase{"source partly past its bitmap", Rect(0, 0, 9, 7), Rect(8, 5, 17, 12), false},
                      CopyCase{"wholly outside", Rect(20, 0, 25, 5), Rect(0, 0, 5, 5), false},
                      CopyCase{"zero width", Rect(2, 2, 2, 6), Rect(0, 0, 0, 4), false},
                      CopyCase{"zero height", Rect(2, 2, 6, 2), Rect(0, 0, 4, 0), false},
                      CopyCase{"within one bitmap, overlapping down and right", Rect(3, 2, 14, 10), Rect(1, 1, 12, 9), true},
                      CopyCase{"within one bitmap, overlapping up and left", Rect(0, 0, 11, 8), Rect(2, 3, 13, 11), true}));

struct FillCase {
    const char* name;
    TRect rect;
};

class CanvasRowFill : public ::testing::TestWithParam<FillCase> {};

// Solid and pattern fills cover exactly the clipped rectangle, the pattern
// counted from the bitmap's origin; a clear brush leaves every pixel.
TEST_P(CanvasRowFill, MatchesThePixelModel)
{
    const TRect r = GetParam().rect;
    TBitmap pattern(8, 8);
    FillNoise(pattern, 3);
    enum { Solid, Pattern, Clear };
    for (int brush : {Solid, Pattern, Clear}) {
        TBitmap b(37, 29);
        FillNoise(b, 4);
        const Image before = Snapshot(b);
        TCanvas* c = b.Canvas();
        c->Brush()->Color = TColor(0x3366CC);
        c->Brush()->Style = brush == Clear ? TBrushStyle::bsClear : TBrushStyle::bsSolid;
        c->Brush()->Bitmap = brush == Pattern ? &pattern : nullptr;
        c->FillRect(r);
        for (int y = 0; y < b.Height(); ++y)
            for (int x = 0; x < b.Width(); ++x) {
                TColor want = before[y][x];
                if (brush != Clear && r.Contains(TPoint{x, y}))
                    want = brush == Pattern ? pattern.Canvas()->Pixels[x % 8][y % 8] : TColor(0x3366CC);
                ASSERT_EQ(c->Pixels[x][y], want) << GetParam().name << " brush " << brush << " at " << x << "," << y;
            }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Clipping, CanvasRowFill,
    ::testing::Values(FillCase{"inside, several pattern periods each way", Rect(3, 2, 34, 27)},
                      FillCase{"narrower than a period", Rect(5, 1, 8, 4)},
                      FillCase{"negative origin", Rect(-6, -9, 11, 13)},
                      FillCase{"past the right and bottom", Rect(30, 20, 60, 50)},
                      FillCase{"wholly outside", Rect(-10, 0, -1, 10)},
                      FillCase{"zero size", Rect(4, 4, 4, 4)},
                      FillCase{"inverted", Rect(10, 10, 4, 4)}));

// Straight one-pixel lines run as spans; mixing pen modes must still touch
// each pixel once, from the start point up to and excluding the end point.
TEST(Canvas, StraightLinesMixEachPixelOnceAndClip)
{
    struct Case {
        TPoint from, to;
    };
    const Case cases[] = {{{-3, 4}, {9, 4}},  {{9, 5}, {-3, 5}},  {{2, -5}, {2, 7}}, {{3, 7}, {3, -5}},
                          {{5, 20}, {5, 30}}, {{4, 6}, {4, 6}},   {{14, 2}, {30, 2}}, {{-2, -2}, {6, 6}}};
    for (const Case& k : cases)
        for (TPenMode mode : {pmCopy, pmXor, pmNot}) {
            TBitmap b(16, 12);
            FillNoise(b, 5);
            const Image before = Snapshot(b);
            TCanvas* c = b.Canvas();
            c->Pen()->Color = TColor(0x00F00F);
            c->Pen()->Mode = mode;
            c->MoveTo(k.from.X, k.from.Y);
            c->LineTo(k.to.X, k.to.Y);
            Pixels on;
            const int n = std::max(std::abs(k.to.X - k.from.X), std::abs(k.to.Y - k.from.Y));
            for (int i = 0; i < n; ++i)  // straight or 45 degrees: one pixel a step
                on.insert({k.from.X + i * ((k.to.X > k.from.X) - (k.to.X < k.from.X)),
                           k.from.Y + i * ((k.to.Y > k.from.Y) - (k.to.Y < k.from.Y))});
            for (int y = 0; y < b.Height(); ++y)
                for (int x = 0; x < b.Width(); ++x) {
                    const TColor d = before[y][x];
                    const TColor want = !on.count({x, y}) ? d : mode == pmCopy ? TColor(0x00F00F)
                                                            : mode == pmXor   ? d ^ 0x00F00F
                                                                              : ~d & 0xFFFFFF;
                    ASSERT_EQ(c->Pixels[x][y], want) << "mode " << mode << " at " << x << "," << y;
                }
        }
}

TEST(Canvas, RectangleOutlineMixesEachPixelOnce)
{
    for (int width : {1, 2}) {
        TBitmap b(12, 10);
        FillNoise(b, 6);
        const Image before = Snapshot(b);
        TCanvas* c = b.Canvas();
        c->Pen()->Mode = pmXor;
        c->Pen()->Color = TColor(0xFFFFFF);
        c->Pen()->Width = width;
        c->Brush()->Style = TBrushStyle::bsClear;
        c->Rectangle(-1, 2, 9, 12);
        const Pixels ring = Box(-1, 2, 8, 11) - Box(-1 + width, 2 + width, 8 - width, 11 - width);
        for (int y = 0; y < b.Height(); ++y)
            for (int x = 0; x < b.Width(); ++x)
                ASSERT_EQ(c->Pixels[x][y], ring.count({x, y}) ? ~before[y][x] & 0xFFFFFF : before[y][x])
                    << "width " << width << " at " << x << "," << y;
    }
}
