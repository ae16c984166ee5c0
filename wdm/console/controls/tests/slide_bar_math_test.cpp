// The slider's pointer and thumb mappings, its rounding and its page step.
#include "controls/slide_bar_math.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

using namespace SlideBar;

constexpr std::int32_t IntMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t IntMax = std::numeric_limits<std::int32_t>::max();

struct PointCase {
    std::int32_t along, size;
    bool vertical;
    std::int32_t min, max, expected;
};

TEST(SlideBarMapping, PointToValue)
{
    const PointCase cases[] = {
        // Horizontal 0..10 on 64 pixels: halves go to the even neighbour.
        {16, 64, false, 0, 10, 2},
        {48, 64, false, 0, 10, 8},
        {1, 4, false, 0, 10, 2},  // 2.5
        {3, 4, false, 0, 10, 8},  // 7.5
        {64, 64, false, 0, 10, 10},
        {300, 64, false, 0, 10, 10},
        {-1, 64, false, 0, 10, 0},
        {-500, 64, false, 0, 10, 0},
        // Vertical fader: the bottom edge is Min, the top edge Max.
        {90, 181, true, 250, 1000, 627},
        {100, 181, true, 250, 1000, 586},
        {181, 181, true, 250, 1000, 250},
        {0, 181, true, 250, 1000, 1000},
        {-20, 181, true, 250, 1000, 1000},
        {400, 181, true, 250, 1000, 250},
        // The pointer travels the whole width, not the width less the thumb.
        {15, 30, false, 0, 1000, 500},
        {29, 30, false, 0, 1000, 967},
        // The widest range neither overflows nor wraps.
        {32, 64, false, IntMin, IntMax, 0},
        {0, 64, false, IntMin, IntMax, IntMin},
        {64, 64, false, IntMin, IntMax, IntMax},
        // No extent: Min.
        {5, 0, false, 3, 9, 3},
        {5, 0, true, 3, 9, 3},
    };
    for (const PointCase& c : cases) {
        EXPECT_EQ(PointToValueOnBar(c.along, c.size, c.vertical, c.min, c.max), c.expected)
            << c.along << " of " << c.size << (c.vertical ? " vertical " : " horizontal ") << c.min << ".." << c.max;
    }
}

struct ThumbCase {
    std::int32_t size, thumb;
    bool vertical;
    std::int32_t value, min, max, expected;
};

TEST(SlideBarMapping, ThumbOffset)
{
    const ThumbCase cases[] = {
        // Vertical fader, Height 181, 20 x 10 thumb: the top of the thumb.
        {181, 10, true, 250, 250, 1000, 171},
        {181, 10, true, 500, 250, 1000, 114},
        {181, 10, true, 1000, 250, 1000, 0},
        {181, 10, true, 375, 250, 1000, 143},  // 28.5 goes to 28
        {181, 10, true, 875, 250, 1000, 29},   // 142.5 goes to 142
        // A value outside the range puts the thumb at the nearer end.
        {181, 10, true, 0, 250, 1000, 171},
        {181, 10, true, 5000, 250, 1000, 0},
        // Horizontal, Width 30, 10 x 20 thumb: the left of the thumb.
        {30, 10, false, 500, 0, 1000, 10},
        {30, 10, false, 1000, 0, 1000, 20},
        {30, 10, false, 25, 0, 1000, 0},   // 0.5 goes to 0
        {30, 10, false, 125, 0, 1000, 2},  // 2.5 goes to 2
        {30, 10, false, -7, 0, 1000, 0},
        // A thumb larger than the control sits at 0.
        {5, 10, false, 7, 0, 10, 0},
        {5, 10, true, 7, 0, 10, 0},
        {100, 10, false, IntMax, IntMin, IntMax, 90},
        {100, 10, true, IntMin, IntMin, IntMax, 90},
    };
    for (const ThumbCase& c : cases) {
        EXPECT_EQ(ThumbOffset(c.size, c.thumb, c.vertical, c.value, c.min, c.max), c.expected)
            << c.value << " in " << c.min << ".." << c.max << (c.vertical ? " vertical " : " horizontal ") << c.size;
    }
}

TEST(SlideBarMapping, PageStepIsATenthOfTheRangeAtLeastOne)
{
    EXPECT_EQ(PageStep(0, 10), 1);
    EXPECT_EQ(PageStep(0, 5), 1);
    EXPECT_EQ(PageStep(250, 1000), 75);
    EXPECT_EQ(PageStep(-19, 0), 1);
    EXPECT_EQ(PageStep(IntMin, IntMax), 429496729);
}

TEST(SlideBarMapping, TicksTruncate)
{
    EXPECT_EQ(TickTravel(3, 17.1L), 51);
    EXPECT_EQ(TickTravel(5, 17.1L), 85);
    EXPECT_EQ(TickTravel(7, -0.5L), -3);
    EXPECT_EQ(TickTravel(0, 2.0L), 0);
}

TEST(SlideBarMapping, NextDistinctTickSkipsOnlyTicksThatDrawTheSame)
{
    // Against walking every tick: the ticks visited are exactly those whose
    // travel differs from the one before.
    struct {
        std::int64_t range, step;
        long double scale;
    } const cases[] = {
        {750, 1, 171.0L / 750}, {750, 75, 171.0L / 750}, {10, 3, 17.1L},    {1000, 1, 20.0L / 1000},
        {1000, 7, 54.0L / 1000}, {100, 1, 0.0L},          {100, 3, -5.0L / 100}, {1000, 1, -0.013L},
        {6, 1, 2.5L},            {20000, 13, 171.0L / 20000},
    };
    for (const auto& c : cases) {
        const std::int64_t last = c.range / c.step;
        std::vector<std::int64_t> expected{0};
        for (std::int64_t k = 1; k <= last; ++k)
            if (TickTravel(k * c.step, c.scale) != TickTravel((k - 1) * c.step, c.scale)) expected.push_back(k);
        std::vector<std::int64_t> visited;
        for (std::int64_t k = 0; k <= last; k = NextDistinctTick(k, c.step, c.scale, last)) visited.push_back(k);
        EXPECT_EQ(visited, expected) << c.range << " by " << c.step;
    }
    // The widest range: a handful of ticks per pixel, found at once.
    const std::int64_t last = std::int64_t{IntMax} - IntMin;
    const long double scale = 171.0L / static_cast<long double>(last);
    int visited = 0;
    for (std::int64_t k = 0; k <= last; k = NextDistinctTick(k, 1, scale, last)) ++visited;
    EXPECT_EQ(visited, 172);  // travels 0 to 171
}

TEST(SlideBarMapping, ClampsAndRounding)
{
    EXPECT_EQ(SmallerOf(3, -4), -4);
    EXPECT_EQ(LargerOf(3, -4), 3);
    const long double halves[][2] = {{0.5L, 0}, {1.5L, 2}, {2.5L, 2}, {3.5L, 4}, {-2.5L, -2}, {-3.5L, -4}, {2.6L, 3}};
    for (const auto& h : halves) EXPECT_EQ(Nearest(h[0]), h[1]) << static_cast<double>(h[0]);
}

}  // namespace
