// The thumb shape table: sizes and how the styles build on each other.
#include "controls/slide_bar_thumbs.h"

#include <gtest/gtest.h>

namespace {

using namespace SlideBar;

TEST(SlideBarThumbs, SizesAndBases)
{
    struct {
        int width, height, base;
        bool clearMask, fillFace;
    } const expected[ThumbStyleCount] = {
        {20, 10, -1, true, true},   {10, 20, -1, true, true},   {20, 10, -1, true, true},
        {10, 20, -1, true, true},   {20, 20, -1, true, true},   {20, 20, 4, true, true},
        {27, 11, -1, true, false},  {27, 11, -1, true, false},  {11, 27, -1, true, false},
        {11, 27, -1, true, false},  {15, 15, -1, false, false}, {15, 15, -1, false, false},
        {20, 20, 5, true, true},    {20, 20, 5, true, true},    {20, 20, 12, true, true},
        {20, 20, 13, true, true},
    };
    for (int style = 0; style < ThumbStyleCount; ++style) {
        const ThumbShape& shape = ThumbShapeOf(style);
        EXPECT_EQ(shape.width, expected[style].width) << style;
        EXPECT_EQ(shape.height, expected[style].height) << style;
        EXPECT_EQ(shape.base, expected[style].base) << style;
        EXPECT_EQ(shape.clearMask, expected[style].clearMask) << style;
        EXPECT_EQ(shape.fillFace, expected[style].fillFace) << style;
        if (shape.base >= 0) {
            EXPECT_LT(shape.base, style);
            EXPECT_EQ(ThumbShapeOf(shape.base).width, shape.width) << style;
            EXPECT_EQ(ThumbShapeOf(shape.base).height, shape.height) << style;
        }
        for (const ThumbStep& step : shape.steps) {
            EXPECT_GE(step.count, 2) << style;
            EXPECT_LE(step.count, 8) << style;
        }
    }
    EXPECT_THROW(ThumbShapeOf(16), std::out_of_range);
    EXPECT_THROW(ThumbShapeOf(-1), std::out_of_range);
}

}  // namespace
