// The fader law both ways, with its exact points and its truncation.
#include <cmath>

#include <gtest/gtest.h>

#include "console/fader_law.h"

namespace {

TEST(FaderLaw, ConstantsAreTheDoublesOfTheirFormulas)
{
    EXPECT_EQ(DbScale, 20.0 / std::log10(2.0));
    EXPECT_EQ(LogScale, std::log10(2.0) * 0.05);
}

TEST(FaderLaw, DbToPosOverTheFaderAndAbove)
{
    const int positions[] = {250, 258, 267, 277, 287, 297, 307, 318, 329, 341, 353, 366, 378, 392, 406, 420,
                             435, 450, 466, 482, 500, 517, 535, 554, 574, 594, 615, 637, 659, 683, 707, 732,
                             757, 784, 812, 840, 870, 901, 933, 965, 1000, 1035, 1071, 1109, 1148, 1189, 1231};
    for (int d = -40; d <= 6; ++d)
        EXPECT_EQ(DbToPos(d), positions[d + 40]) << d << " dB";
}

TEST(FaderLaw, PosToDbTruncatesTowardZeroBetweenTheWholeDbPoints)
{
    EXPECT_EQ(PosToDb(250), -40) << "the bottom alone shows -40";
    for (int p = 251; p <= 1000; ++p) {
        const int d = PosToDb(p);
        ASSERT_GE(d, -39) << p;
        ASSERT_LE(d, 0) << p;
        EXPECT_LT(DbToPos(d - 1), p) << p;
        EXPECT_LE(p, DbToPos(d)) << p;
    }
    EXPECT_EQ(PosToDb(1000), 0);
    EXPECT_EQ(PosToDb(500), -20);
    EXPECT_EQ(PosToDb(966), 0);
    EXPECT_EQ(PosToDb(965), -1);
}

TEST(FaderLaw, EndsOutsideTheFader)
{
    EXPECT_EQ(PosToDb(1), -128);
    EXPECT_EQ(PosToDb(0), -128);
    EXPECT_EQ(PosToDb(-5), -128);
    EXPECT_EQ(DbToPos(-128), 11);
    EXPECT_EQ(DbToPos(-100000), 0);
    EXPECT_EQ(DbToPos(420), 2097152000);
    EXPECT_EQ(DbToPos(421), 2147483647) << "beyond an int";
    EXPECT_EQ(DbToPos(2147483647), 2147483647) << "an infinite power";
}

}  // namespace
