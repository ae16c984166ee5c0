// Every pixel of every thumb whose shape is made of lines and polygons,
// drawn out by hand from the thumb table: F the face colour, g the inner
// shadow RGB(128,128,128), k black, w white, and a blank where the mask is
// white (transparent), where the thumb itself must be black.
#include "widget_fixture.h"

#include <string_view>
#include <vector>

namespace {

using ThumbPixelsTest = WidgetTest;

struct ThumbPicture {
    TThumbStyle style;
    std::vector<std::string_view> rows;
};

const ThumbPicture Pictures[] = {
    {TThumbStyle::tsHorzHigh,
     {
         "gggggggggggggggggggF",
         "gwwwwwwwwwwwwwwwwwwk",
         "gwFFFFFFFFFFFFFFFFgk",
         "gwFFFFFFFFFFFFFFFFFk",
         "gwwwwwwwwwwwwwwwwwFk",
         "gggggggggggggggggggk",
         "gwFFFFFFFFFFFFFFFFgk",
         "gwFFFFFFFFFFFFFFFFgk",
         "gFFggggggggggggggggk",
         "gkkkkkkkkkkkkkkkkkkk",
     }},
    {TThumbStyle::tsVertHigh,
     {
         "gggggggggg",
         "gwwwwgwwFk",
         "gwFFwgFFFk",
         "gwFFwgFFgk",
         "gwFFwgFFgk",
         "gwFFwgFFgk",
         "gwFFwgFFgk",
         "gwFFwgFFgk",
         "gwFFwgFFgk",
         "gwFFwgFFgk",
         "gwFFwgFFgk",
         "gwFFwgFFgk",
         "gwFFwgFFgk",
         "gwFFwgFFgk",
         "gwFFwgFFgk",
         "gwFFwgFFgk",
         "gwFFwgFFgk",
         "gwFFFgFFgk",
         "gwgggggggk",
         "gkkkkkkkkk",
     }},
    {TThumbStyle::tsHorzLow,
     {
         "gggggggggggggggggggg",
         "gwwwwwwwwwwwwwwwwwFk",
         "gwFFFFFFFFFFFFFFFFgk",
         "gwFFFFFFFFFFFFFFFFgk",
         "gggggggggggggggggggk",
         "gwwwwwwwwwwwwwwwwFgk",
         "gwFFFFFFFFFFFFFFFFgk",
         "gwFFFFFFFFFFFFFFFFgk",
         "gwFggggggggggggggggk",
         "gkkkkkkkkkkkkkkkkkkk",
     }},
    {TThumbStyle::tsVertLow,
     {
         "gggggggggg",
         "gwwFgwwwwk",
         "gwFFgwFFFk",
         "gwFFgwFFgk",
         "gwFFgwFFgk",
         "gwFFgwFFgk",
         "gwFFgwFFgk",
         "gwFFgwFFgk",
         "gwFFgwFFgk",
         "gwFFgwFFgk",
         "gwFFgwFFgk",
         "gwFFgwFFgk",
         "gwFFgwFFgk",
         "gwFFgwFFgk",
         "gwFFgwFFgk",
         "gwFFgwFFgk",
         "gwFFgwFFgk",
         "gwFFgFFFgk",
         "gwgggggggk",
         "gkkkkkkkkk",
     }},
    {TThumbStyle::tsSquare,
     {
         "gggggggggggggggggggk",
         "gwwwwwwwwwwwwwwwwwgk",
         "gwgggggggggggggggwgk",
         "gwgFFFFFFFFFFFFFFwgk",
         "gwgFFFFFFFFFFFFFFwgk",
         "gwgFFFFFFFFFFFFFFwgk",
         "gwgFFFFFFFFFFFFFFwgk",
         "gwgFFFFFFFFFFFFFFwgk",
         "gwgFFFFFFFFFFFFFFwgk",
         "gwgFFFFFFFFFFFFFFwgk",
         "gwgFFFFFFFFFFFFFFwgk",
         "gwgFFFFFFFFFFFFFFwgk",
         "gwgFFFFFFFFFFFFFFwgk",
         "gwgFFFFFFFFFFFFFFwgk",
         "gwgFFFFFFFFFFFFFFwgk",
         "gwgFFFFFFFFFFFFFFwgk",
         "gwgFFFFFFFFFFFFFFwgk",
         "gwwwwwwwwwwwwwwwwwgk",
         "gggggggggggggggggggk",
         "kkkkkkkkkkkkkkkkkkkk",
     }},
    {TThumbStyle::tsSquarehollow,
     {
         "gggggggggggggggggggk",
         "gwwwwwwwwwwwwwwwwwgk",
         "gwgggggggggggggggwgk",
         "gwg              wgk",
         "gwg              wgk",
         "gwg              wgk",
         "gwg              wgk",
         "gwg              wgk",
         "gwg              wgk",
         "gwg              wgk",
         "gwg              wgk",
         "gwg              wgk",
         "gwg              wgk",
         "gwg              wgk",
         "gwg              wgk",
         "gwg              wgk",
         "gwg              wgk",
         "gwwwwwwwwwwwwwwwwwgk",
         "gggggggggggggggggggk",
         "kkkkkkkkkkkkkkkkkkkk",
     }},
    {TThumbStyle::tsLeft,
     {
         "        ggggggggggggggggggg",
         "       gwwwwwwwwwwwwwwwwwwk",
         "      gwwFFFFFFFFFFFFFFFFgk",
         "     gwwFFFFFFFFFFFFFFFFFgk",
         "    gwwFFFFFFFFFFFFFFFFFFgk",
         "   gwwFFFFFFFFFFFFFFFFFFFgk",
         "    gwwFFFFFFFFFFFFFFFFFFgk",
         "     gwwFFFFFFFFFFFFFFFFFgk",
         "      gwwFFFFFFFFFFFFFFFFgk",
         "       gggggggggggggggggggk",
         "        kkkkkkkkkkkkkkkkkkk",
     }},
    {TThumbStyle::tsRight,
     {
         "ggggggggggggggggggg        ",
         "gwwwwwwwwwwwwwwwwwwg       ",
         "gwFFFFFFFFFFFFFFFFFwg      ",
         "gwFFFFFFFFFFFFFFFFFFwg     ",
         "gwFFFFFFFFFFFFFFFFFFFwg    ",
         "gwFFFFFFFFFFFFFFFFFFFFwk   ",
         "gwFFFFFFFFFFFFFFFFFFFgk    ",
         "gwFFFFFFFFFFFFFFFFFFgk     ",
         "gwFFFFFFFFFFFFFFFFFgk      ",
         "gwgggggggggggggggggk       ",
         "gkkkkkkkkkkkkkkkkkk        ",
     }},
    {TThumbStyle::tsTop,
     {
         "           ",
         "           ",
         "     g     ",
         "    gwk    ",
         "   gwFgk   ",
         "  gwFFFgk  ",
         " gwFFFFFgk ",
         "gwFFFFFFFgk",
         "gwFFFFFFFgk",
         "gwFFFFFFFgk",
         "gwFFFFFFFgk",
         "gwFFFFFFFgk",
         "gwFFFFFFFgk",
         "gwFFFFFFFgk",
         "gwFFFFFFFgk",
         "gwFFFFFFFgk",
         "gwFFFFFFFgk",
         "gwFFFFFFFgk",
         "gwFFFFFFFgk",
         "gwFFFFFFFgk",
         "gwFFFFFFFgk",
         "gwFFFFFFFgk",
         "gwFFFFFFFgk",
         "gwFFFFFFFgk",
         "gwFFFFFFFgk",
         "ggggggggggk",
         "gkkkkkkkkkk",
     }},
    {TThumbStyle::tsBottom,
     {
         "ggggggggggg",
         "gwwwwwwwwwk",
         "gwFFFFFFFgk",
         "gwFFFFFFFgk",
         "gwFFFFFFFgk",
         "gwFFFFFFFgk",
         "gwFFFFFFFgk",
         "gwFFFFFFFgk",
         "gwFFFFFFFgk",
         "gwFFFFFFFgk",
         "gwFFFFFFFgk",
         "gwFFFFFFFgk",
         "gwFFFFFFFgk",
         "gwFFFFFFFgk",
         "gwFFFFFFFgk",
         "gwFFFFFFFgk",
         "gwFFFFFFFgk",
         "gwFFFFFFFgk",
         "gwFFFFFFFgk",
         "gwFFFFFFFgk",
         " gwFFFFFgk ",
         "  gwFFFgk  ",
         "   gwFgk   ",
         "    ggk    ",
         "     k     ",
         "           ",
         "           ",
     }},
    {TThumbStyle::tsSquarehollowHorz,
     {
         "gggggggggggggggggggk",
         "gwwwwwwwwwwwwwwwwwgk",
         "gwgggggggggggggggwgk",
         "gwg              wgk",
         "gwg              wgk",
         "gwF             Fwgk",
         "gwFF           FFwgk",
         "gwFFF         FFFwgk",
         "gwFFFF       FFFFwgk",
         "gwFFFFF     FFFFFwgk",
         "gwFFFF       FFFFwgk",
         "gwFFF         FFFwgk",
         "gwFF           FFwgk",
         "gwF             Fwgk",
         "gwg              wgk",
         "gwg              wgk",
         "gwg              wgk",
         "gwwwwwwwwwwwwwwwwwgk",
         "gggggggggggggggggggk",
         "kkkkkkkkkkkkkkkkkkkk",
     }},
    {TThumbStyle::tsSquarehollowVert,
     {
         "gggggggggggggggggggk",
         "gwwwwwwwwwwwwwwwwwgk",
         "gwgggFFFFFFFFFgggwgk",
         "gwg   FFFFFFF    wgk",
         "gwg    FFFFF     wgk",
         "gwg     FFF      wgk",
         "gwg      F       wgk",
         "gwg              wgk",
         "gwg              wgk",
         "gwg              wgk",
         "gwg              wgk",
         "gwg              wgk",
         "gwg      F       wgk",
         "gwg     FFF      wgk",
         "gwg    FFFFF     wgk",
         "gwg   FFFFFFF    wgk",
         "gwg  FFFFFFFFF   wgk",
         "gwwwwwwwwwwwwwwwwwgk",
         "gggggggggggggggggggk",
         "kkkkkkkkkkkkkkkkkkkk",
     }},
    {TThumbStyle::tsSquarehollowHLine,
     {
         "gggggggggggggggggggk",
         "gwwwwwwwwwwwwwwwwwgk",
         "gwgggggggggggggggwgk",
         "gwg              wgk",
         "gwg              wgk",
         "gwF             Fwgk",
         "gwFF           FFwgk",
         "gwFFF         FFFwgk",
         "gwFFFF       FFFFwgk",
         "gwFFFFFFFFFFFFFFFwgk",
         "gwFFFF       FFFFwgk",
         "gwFFF         FFFwgk",
         "gwFF           FFwgk",
         "gwF             Fwgk",
         "gwg              wgk",
         "gwg              wgk",
         "gwg              wgk",
         "gwwwwwwwwwwwwwwwwwgk",
         "gggggggggggggggggggk",
         "kkkkkkkkkkkkkkkkkkkk",
     }},
    {TThumbStyle::tsSquarehollowVLine,
     {
         "gggggggggggggggggggk",
         "gwwwwwwwwwwwwwwwwwgk",
         "gwgggFFFFFFFFFgggwgk",
         "gwg   FFFFFFF    wgk",
         "gwg    FFFFF     wgk",
         "gwg     FFF      wgk",
         "gwg      F       wgk",
         "gwg      F       wgk",
         "gwg      F       wgk",
         "gwg      F       wgk",
         "gwg      F       wgk",
         "gwg      F       wgk",
         "gwg      F       wgk",
         "gwg     FFF      wgk",
         "gwg    FFFFF     wgk",
         "gwg   FFFFFFF    wgk",
         "gwg  FFFFFFFFF   wgk",
         "gwwwwwwwwwwwwwwwwwgk",
         "gggggggggggggggggggk",
         "kkkkkkkkkkkkkkkkkkkk",
     }},
};

TColor InkOf(char c, TColor face)
{
    switch (c) {
    case 'F': return face;
    case 'g': return 0x808080;
    case 'w': return clWhite;
    default: return clBlack;  // 'k', and the thumb under a transparent pixel
    }
}

TEST_F(ThumbPixelsTest, EveryPixelOfTheDrawnThumbs)
{
    constexpr TColor face = 0x00FF00;  // unlike any shading colour
    auto* bar = new TzSlideBar(form_);
    bar->SetColor(face);
    for (const ThumbPicture& picture : Pictures) {
        bar->SetThumbStyle(picture.style);
        const int style = static_cast<int>(picture.style);
        const TBitmap& thumb = bar->ThumbBitmap();
        const TBitmap& mask = bar->ThumbMask();
        ASSERT_EQ(thumb.Height(), static_cast<int>(picture.rows.size())) << style;
        ASSERT_EQ(thumb.Width(), static_cast<int>(picture.rows[0].size())) << style;
        ASSERT_EQ(mask.Width(), thumb.Width()) << style;
        ASSERT_EQ(mask.Height(), thumb.Height()) << style;
        int wrong = 0;
        for (int y = 0; y < thumb.Height(); ++y) {
            for (int x = 0; x < thumb.Width(); ++x) {
                const char c = picture.rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
                const bool pixelOk = SameColor(BitmapPixel(thumb, x, y), InkOf(c, face)) &&
                                     SameColor(BitmapPixel(mask, x, y), c == ' ' ? clWhite : clBlack);
                if (!pixelOk && ++wrong <= 5) ADD_FAILURE() << "style " << style << " pixel (" << x << ", " << y << ")";
            }
        }
        EXPECT_EQ(wrong, 0) << "style " << style;
    }
}

}  // namespace
