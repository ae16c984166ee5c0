#include "console/console_bitmaps.h"

#include <vcl.h>

#include <array>
#include <string_view>

#include "console/CBmpStash.h"

namespace {

constexpr TColor Rgb(int r, int g, int b) { return static_cast<TColor>(r | g << 8 | b << 16); }

// One LED colour, lit and unlit.
struct Lamp {
    TColor lit;
    TColor unlit;
};
constexpr Lamp Red{Rgb(255, 40, 32), Rgb(84, 18, 16)};
constexpr Lamp Amber{Rgb(255, 184, 0), Rgb(88, 62, 8)};
constexpr Lamp Green{Rgb(40, 228, 64), Rgb(14, 72, 22)};
constexpr TColor Housing = Rgb(18, 18, 18);

// A segmented LED bar in its dark housing: an edge column on each side and a
// gap row at every multiple of `period`, row 0 among them. Rows above
// `amberFrom` are red, rows from `greenFrom` down green, amber between.
TBitmap MeterBar(int width, int height, int period, int amberFrom, int greenFrom, bool lit)
{
    TBitmap bar(width, height);
    bar.SetPixelFormat(pf16bit);
    TCanvas* c = bar.Canvas();
    c->Brush()->Style = TBrushStyle::bsSolid;
    c->Brush()->Color = Housing;
    c->FillRect(Rect(0, 0, width, height));
    for (int y = 0; y < height; ++y) {
        if (y % period == 0) continue;
        const Lamp& lamp = y < amberFrom ? Red : y < greenFrom ? Amber : Green;
        c->Brush()->Color = lit ? lamp.lit : lamp.unlit;
        c->FillRect(Rect(1, y, width - 1, y + 1));
    }
    return bar;
}

// A glyph from rows of text: '#' dark, anything else the background, which
// fills the bottom-left pixel because the speed button shows that colour
// as transparent.
template <std::size_t Rows>
TBitmap Glyph(const std::array<std::string_view, Rows>& rows)
{
    constexpr TColor Ink = Rgb(16, 16, 16);
    constexpr TColor Background = Rgb(192, 192, 192);
    const int width = static_cast<int>(rows[0].size());
    TBitmap glyph(width, static_cast<int>(Rows));
    glyph.SetPixelFormat(pf8bit);
    TCanvas* c = glyph.Canvas();
    for (int y = 0; y < static_cast<int>(Rows); ++y)
        for (int x = 0; x < width; ++x)
            c->Pixels[x][y] = rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] == '#' ? Ink : Background;
    return glyph;
}

// Two chain links, black on white, 24 x 24: joined or pulled apart.
TBitmap LinkFace(bool linked)
{
    TBitmap face(24, 24);
    face.SetPixelFormat(pf1bit);
    TCanvas* c = face.Canvas();
    c->Brush()->Style = TBrushStyle::bsSolid;
    c->Brush()->Color = clWhite;
    c->FillRect(Rect(0, 0, 24, 24));
    c->Brush()->Style = TBrushStyle::bsClear;
    c->Pen()->Color = clBlack;
    c->Pen()->Width = 2;
    if (linked) {
        c->Ellipse(1, 7, 15, 17);
        c->Ellipse(9, 7, 23, 17);
    } else {
        c->Ellipse(0, 7, 10, 17);
        c->Ellipse(14, 7, 24, 17);
        // The break between them.
        c->Pen()->Width = 1;
        c->MoveTo(11, 5);
        c->LineTo(13, 2);
        c->MoveTo(12, 10);
        c->LineTo(12, 14);
        c->MoveTo(11, 18);
        c->LineTo(13, 21);
    }
    return face;
}

}  // namespace

void RegisterConsoleBitmaps()
{
    // The big bar turns amber at the -3 dB row and green at the -12 dB row of
    // the peak meter's row table; both rows begin a segment.
    RegisterBitmapResource(BmpNames[METER_ON_BMP], MeterBar(10, 190, 4, 21, 69, true));
    RegisterBitmapResource(BmpNames[METER_OFF_BMP], MeterBar(10, 190, 4, 21, 69, false));
    RegisterBitmapResource(BmpNames[TINY_METER_ON_BMP], MeterBar(7, 24, 2, 3, 9, true));
    RegisterBitmapResource(BmpNames[TINY_METER_OFF_BMP], MeterBar(7, 24, 2, 3, 9, false));
    RegisterBitmapResource(BmpNames[TINY_G_BMP], Glyph<8>({
                                                     ".###....",
                                                     "#...#...",
                                                     "#...#...",
                                                     "#...###.",
                                                     ".###...#",
                                                     "...#...#",
                                                     "...#...#",
                                                     "....###.",
                                                 }));
    RegisterBitmapResource(BmpNames[TINY_M_BMP], Glyph<16>({
                                                     "................",
                                                     "................",
                                                     "..###......###..",
                                                     "..####....####..",
                                                     "..#####..#####..",
                                                     "..##.######.##..",
                                                     "..##..####..##..",
                                                     "..##...##...##..",
                                                     "..##........##..",
                                                     "..##........##..",
                                                     "..##........##..",
                                                     "..##........##..",
                                                     "..##........##..",
                                                     "..##........##..",
                                                     "................",
                                                     "................",
                                                 }));
    RegisterBitmapResource(BmpNames[LINK_BUTTON_LINKED_BMP], LinkFace(true));
    RegisterBitmapResource(BmpNames[LINK_BUTTON_UNLINKED_BMP], LinkFace(false));
}
