// The bitmap stash and the console's own pictures: sizes, depths, the drawn
// faces, the half turn, and entries that cannot be built.
#include "console_fixture.h"

#include <algorithm>

#include "console/console_bitmaps.h"

namespace {

using BmpStashTest = ConsoleTest;

struct Size {
    int width;
    int height;
};
constexpr Size ListedSizes[BMP_LAST] = {{10, 190}, {10, 190}, {8, 8},   {16, 16}, {7, 24},
                                        {7, 24},   {24, 24},  {24, 24}, {30, 60}, {30, 60}};

TColor PixelOf(TBitmap& bitmap, int x, int y) { return ColorToRGB(bitmap.Canvas()->Pixels[x][y]); }

TEST_F(BmpStashTest, EveryEntryHasItsListedSizeAndItsCanvas)
{
    for (int i = 0; i < BMP_LAST; ++i) {
        TBitmap* bitmap = stash_->GetBitmap(i);
        EXPECT_EQ(bitmap->Width(), ListedSizes[i].width) << BmpNames[i];
        EXPECT_EQ(bitmap->Height(), ListedSizes[i].height) << BmpNames[i];
        EXPECT_EQ(stash_->GetCanvas(i), bitmap->Canvas()) << BmpNames[i];
    }
    EXPECT_STREQ(BmpNames[0], "METER_ON_BMP");
    EXPECT_STREQ(BmpNames[BMP_LAST - 1], "BUS_SELECT_DOWN_BMP");
}

// What each registered picture is tagged with, and a pixel that shows what
// it is: lit red at the meter's top, dim below, a dark glyph stroke on its
// background, black link strokes on white.
TEST_F(BmpStashTest, RegisteredPicturesLookLikeAMixersOwn)
{
    struct Case {
        int index;
        TPixelFormat format;
        int x, y;
        TColor pixel;
    };
    const Case cases[] = {
        {METER_ON_BMP, pf16bit, 5, 1, 0x2028FF},        // red
        {METER_ON_BMP, pf16bit, 5, 21, 0x00B8FF},       // amber from the -3 dB row
        {METER_ON_BMP, pf16bit, 5, 69, 0x40E428},       // green from the -12 dB row
        {METER_ON_BMP, pf16bit, 0, 100, 0x121212},      // the housing's edge
        {METER_OFF_BMP, pf16bit, 5, 69, 0x16480E},      // dim green
        {METER_OFF_BMP, pf16bit, 5, 20, 0x121212},      // a gap row
        {TINY_METER_ON_BMP, pf16bit, 3, 1, 0x2028FF},
        {TINY_METER_ON_BMP, pf16bit, 3, 23, 0x40E428},
        {TINY_METER_OFF_BMP, pf16bit, 3, 3, 0x083E58},
        {TINY_G_BMP, pf8bit, 1, 0, 0x101010},
        {TINY_G_BMP, pf8bit, 0, 7, 0xC0C0C0},           // the transparent background
        {TINY_M_BMP, pf8bit, 2, 8, 0x101010},
        {TINY_M_BMP, pf8bit, 0, 15, 0xC0C0C0},
        {LINK_BUTTON_LINKED_BMP, pf1bit, 0, 0, clWhite},
        {LINK_BUTTON_LINKED_BMP, pf1bit, 1, 12, clBlack},
        {LINK_BUTTON_UNLINKED_BMP, pf1bit, 12, 12, clBlack},
    };
    for (const Case& c : cases) {
        TBitmap* bitmap = stash_->GetBitmap(c.index);
        EXPECT_EQ(bitmap->PixelFormat(), c.format) << BmpNames[c.index];
        EXPECT_EQ(PixelOf(*bitmap, c.x, c.y), c.pixel) << BmpNames[c.index] << " at " << c.x << "," << c.y;
    }
    for (int i : {LINK_BUTTON_LINKED_BMP, LINK_BUTTON_UNLINKED_BMP})
        for (std::uint32_t p : stash_->GetBitmap(i)->Surface().pixels())
            ASSERT_TRUE(p == 0 || p == 0xFFFFFF) << BmpNames[i] << " is black and white only";
}

TEST_F(BmpStashTest, SelectFacesAreARaisedButtonAndItsHalfTurn)
{
    TBitmap* up = stash_->GetBitmap(BUS_SELECT_UP_BMP);
    TBitmap* down = stash_->GetBitmap(BUS_SELECT_DOWN_BMP);
    EXPECT_EQ(PixelOf(*up, 15, 30), ColorToRGB(clBtnFace));
    EXPECT_EQ(PixelOf(*up, 5, 0), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(PixelOf(*up, 0, 30), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(PixelOf(*up, 29, 30), ColorToRGB(clBtnShadow));
    EXPECT_EQ(PixelOf(*up, 15, 59), ColorToRGB(clBtnShadow));
    EXPECT_EQ(PixelOf(*down, 0, 0), PixelOf(*up, 29, 59));
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(PixelOf(*down, x, y), PixelOf(*up, 29 - x, 59 - y)) << x << "," << y;
}

TEST_F(BmpStashTest, HalfTurnAlsoTurnsTheMiddleColumnOfAnOddWidth)
{
    TBitmap bitmap(3, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 3; ++x)
            bitmap.Canvas()->Pixels[x][y] = static_cast<TColor>(0x10 * (y * 3 + x + 1));
    int changes = 0;
    bitmap.OnChange = [&changes] { ++changes; };
    RotateHalfTurn(&bitmap);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(PixelOf(bitmap, x, y), static_cast<TColor>(0x10 * ((3 - y) * 3 + (2 - x) + 1))) << x << "," << y;
    EXPECT_EQ(changes, 1);
}

TEST_F(BmpStashTest, EntryThatCannotBeLoadedIsBlankAndTheOthersAreBuilt)
{
    for (int missing : {TINY_M_BMP, METER_ON_BMP}) {
        const TBitmap registered = *stash_->GetBitmap(missing);
        UnregisterBitmapResource(BmpNames[missing]);
        CBmpStash stash;
        RegisterBitmapResource(BmpNames[missing], registered);
        for (int i = 0; i < BMP_LAST; ++i) {
            TBitmap* bitmap = stash.GetBitmap(i);
            ASSERT_NE(bitmap, nullptr);
            EXPECT_EQ(bitmap->Width(), ListedSizes[i].width) << BmpNames[i];
            EXPECT_EQ(bitmap->Height(), ListedSizes[i].height) << BmpNames[i];
            const auto pixels = bitmap->Surface().pixels();
            const bool blank = std::ranges::all_of(pixels, [](std::uint32_t p) { return p == 0xFFFFFF; });
            EXPECT_EQ(blank, i == missing) << BmpNames[i];
            if (i != missing) {
                EXPECT_TRUE(std::ranges::equal(pixels, stash_->GetBitmap(i)->Surface().pixels())) << BmpNames[i];
            }
        }
    }
}

TEST_F(BmpStashTest, MuteMadeAfterADrawingIntoTheGlyphShowsIt)
{
    TMonitorMute* before = AddMonitorMute(0, 0);
    stash_->GetCanvas(TINY_M_BMP)->Pixels[8][1] = clRed;
    TMonitorMute* after = AddMonitorMute(40, 1);
    EXPECT_EQ(PixelOf(*after->Glyph(), 8, 1), ColorToRGB(clRed));
    EXPECT_NE(PixelOf(*before->Glyph(), 8, 1), ColorToRGB(clRed)) << "glyphs are copies";
}

TEST(BmpStashDeathTest, IndexOutsideTheStashStopsTheProgram)
{
    RegisterConsoleBitmaps();
    CBmpStash stash;
    EXPECT_DEATH(stash.GetBitmap(BMP_LAST), "\\(iIndex >= 0\\) && \\(iIndex < BMP_LAST\\), file .*CBmpStash\\.cpp");
    EXPECT_DEATH(stash.GetCanvas(-1), "\\(iIndex >= 0\\) && \\(iIndex < BMP_LAST\\)");
}

}  // namespace
