// The knob's sweep, dot, bounds, drag law, squaring and face hit test.
#include "controls/knob_law.h"

#include <gtest/gtest.h>

namespace {

using namespace Knob;

struct DotCase {
    std::int32_t position, min, max, radius, angle, x, y;
};

TEST(KnobLaw, AngleAndDot)
{
    const DotCase cases[] = {
        {0, 0, 127, 20, 240, 13, 32},
        {64, 0, 127, 20, 89, 20, 6},
        {127, 0, 127, 20, -60, 27, 32},
        {5, 5, 5, 20, 240, 13, 32},      // Min = Max: no sweep
        {10, 10, 0, 20, 240, 13, 32},    // reversed: Min still points at 240
        {0, 10, 0, 20, -60, 27, 32},
        {50, 0, 100, 30, 90, 30, 6},     // straight up, 24 pixels above the centre
        {1, 0, 120, 20, 238, 13, 32},    // exactly 2.5 degrees: to the even 2
        {21, 0, 56, 20, 127, 12, 9},     // 112.5 exactly, but 112.5000014 in single precision
        {9, 0, 72, 20, 203, 7, 25},      // 37.5 exactly, but 37.4999986 in single precision
        // The quotient rounded once: a divisor beyond 2^24 rounded to a float
        // first would give 222 and 238.
        {978671, 0, 16777217, 20, 223, 10, 30},
        {500000, 0, 100000001, 20, 239, 13, 32},
    };
    for (const DotCase& c : cases) {
        const float dps = DegreesPerStep(c.min, c.max);
        const std::int32_t angle = Angle(c.position, c.min, dps);
        EXPECT_EQ(angle, c.angle) << c.position << " in " << c.min << ".." << c.max;
        const IndicatorPoint p = IndicatorAt(angle, c.radius);
        EXPECT_EQ(p.x, c.x) << c.position;
        EXPECT_EQ(p.y, c.y) << c.position;
    }
    EXPECT_EQ(DegreesPerStep(3, 3), 0.0f);
    EXPECT_LT(DegreesPerStep(10, 0), 0.0f);
    EXPECT_EQ(Round(2.5), 2);
    EXPECT_EQ(Round(3.5), 4);
    EXPECT_EQ(Round(-0.5), 0);
}

TEST(KnobLaw, PositionIsBoundedEitherWayRound)
{
    struct {
        std::int32_t position, min, max, expected;
    } const cases[] = {
        {-5, 0, 127, 0}, {200, 0, 127, 127}, {50, 0, 127, 50},
        {20, 10, 0, 10}, {-3, 10, 0, 0},     {5, 10, 0, 5},
        {7, 5, 5, 5},    {0, 10, 127, 10},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BoundedPosition(c.position, c.min, c.max, DegreesPerStep(c.min, c.max)), c.expected)
            << c.position << " in " << c.min << ".." << c.max;
    }
}

TEST(KnobLaw, DragMovesOneStepPerTwoPixelsRightOrUp)
{
    struct {
        std::int32_t x, y, expected;
    } const cases[] = {
        {10, 4, 53},   // 10 right, 4 down: +3
        {1, 0, 50},    // half a step is dropped
        {-3, 0, 49},   // toward zero
        {0, -5, 52},   // 5 up
        {-10, 10, 40},
    };
    for (const auto& c : cases) EXPECT_EQ(DragPosition(50, 0, 0, c.x, c.y), c.expected) << c.x << "," << c.y;
}

TEST(KnobLaw, Squaring)
{
    EXPECT_EQ(SquaredSide(40, 60, 40), 60);
    EXPECT_EQ(SquaredSide(60, 50, 50), 50);
    EXPECT_EQ(SquaredSide(0, 40, 40), 40);
    EXPECT_EQ(SquaredSide(50, 50, 50), 50);
    EXPECT_EQ(SquaredSide(60, 60, 30), 30);
    EXPECT_EQ(SquaredSide(40, 30, 70), 70);
}

TEST(KnobLaw, FaceIsTheInscribedEllipse)
{
    EXPECT_TRUE(InsideFace(20, 20, 40, 40));
    EXPECT_TRUE(InsideFace(0, 20, 40, 40));
    EXPECT_TRUE(InsideFace(39, 19, 40, 40));
    EXPECT_FALSE(InsideFace(0, 0, 40, 40));
    EXPECT_FALSE(InsideFace(39, 39, 40, 40));
    EXPECT_FALSE(InsideFace(40, 20, 40, 40));
    EXPECT_FALSE(InsideFace(3, 3, 0, 0));
}

}  // namespace
