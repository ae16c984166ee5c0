// The sixteen thumb shapes. Coordinates are pixels of the thumb bitmap;
// lines exclude their end point, so the lists name exactly the pixels drawn.
#include "controls/slide_bar_thumbs.h"

#include <array>
#include <initializer_list>

namespace SlideBar {
namespace {

using K = ThumbStepKind;
using I = ThumbInk;
constexpr ThumbTarget T = ThumbTarget::Thumb;
constexpr ThumbTarget M = ThumbTarget::Mask;

constexpr ThumbStep Step(ThumbTarget target, K kind, I ink, std::initializer_list<ThumbPoint> points,
                         I brush = I::Black)
{
    ThumbStep s{target, kind, ink, brush, static_cast<std::uint8_t>(points.size()), {}};
    int n = 0;
    for (ThumbPoint p : points) s.points[n++] = p;
    return s;
}
constexpr ThumbStep Line(ThumbTarget target, I ink, std::initializer_list<ThumbPoint> points)
{
    return Step(target, K::Polyline, ink, points);
}
constexpr ThumbStep Fill(ThumbTarget target, I ink, std::initializer_list<ThumbPoint> points)
{
    return Step(target, K::Polygon, ink, points);
}

constexpr std::array HorzHigh{
    Line(T, I::Grey, {{0, 9}, {0, 0}, {19, 0}}),
    Line(T, I::Grey, {{0, 5}, {18, 5}, {18, 8}, {2, 8}}),
    Line(T, I::Grey, {{18, 2}, {18, 3}}),
    Line(T, I::Black, {{19, 1}, {19, 9}, {0, 9}}),
    Line(T, I::White, {{1, 6}, {1, 8}}),
    Line(T, I::White, {{18, 1}, {1, 1}, {1, 4}, {18, 4}}),
};
constexpr std::array VertHigh{
    Line(T, I::Grey, {{0, 19}, {0, 0}, {9, 0}, {5, 0}, {5, 18}, {2, 18}, {8, 18}, {8, 2}}),
    Line(T, I::Black, {{1, 19}, {9, 19}, {9, 0}}),
    Line(T, I::White, {{6, 1}, {8, 1}}),
    Line(T, I::White, {{1, 18}, {1, 1}, {4, 1}, {4, 17}}),
};
constexpr std::array HorzLow{
    Line(T, I::Grey, {{19, 0}, {0, 0}, {0, 9}, {0, 4}, {18, 4}, {18, 2}, {18, 8}, {2, 8}}),
    Line(T, I::Black, {{1, 9}, {19, 9}, {19, 0}}),
    Line(T, I::White, {{1, 8}, {1, 5}, {17, 5}}),
    Line(T, I::White, {{1, 3}, {1, 1}, {18, 1}}),
};
constexpr std::array VertLow{
    Line(T, I::Grey, {{0, 19}, {0, 0}, {9, 0}, {4, 0}, {4, 18}, {2, 18}, {8, 18}, {8, 2}}),
    Line(T, I::Black, {{9, 1}, {9, 19}, {0, 19}}),
    Line(T, I::White, {{1, 18}, {1, 1}, {3, 1}}),
    Line(T, I::White, {{8, 1}, {5, 1}, {5, 17}}),
};
constexpr std::array Square{
    Line(T, I::Grey, {{0, 0}, {0, 18}, {18, 18}, {18, 0}, {0, 0}}),
    Line(T, I::Grey, {{2, 16}, {2, 2}, {17, 2}}),
    Line(T, I::Black, {{0, 19}, {19, 19}, {19, -1}}),
    Line(T, I::White, {{1, 1}, {1, 17}, {17, 17}, {17, 1}, {1, 1}}),
};
// A see-through centre: black in the thumb, white (transparent) in the mask.
constexpr std::array SquareHollow{
    Step(T, K::Box, I::Black, {{3, 3}, {17, 17}}),
    Step(M, K::Box, I::White, {{3, 3}, {17, 17}}),
};
constexpr std::array Left{
    Fill(M, I::White, {{0, 0}, {0, 10}, {7, 10}, {2, 5}, {7, 0}}),
    Fill(T, I::Black, {{0, 0}, {0, 10}, {7, 10}, {2, 5}, {7, 0}}),
    Fill(T, I::Face, {{6, 5}, {9, 8}, {24, 8}, {24, 2}, {9, 2}}),
    Line(T, I::Grey, {{26, 0}, {8, 0}, {3, 5}, {7, 9}, {25, 9}, {25, 1}}),
    Line(T, I::Black, {{0, 10}, {26, 10}, {26, 0}}),
    Line(T, I::White, {{25, 1}, {8, 1}, {4, 5}, {7, 8}}),
    Line(T, I::White, {{8, 2}, {5, 5}, {8, 8}}),
};
constexpr std::array Right{
    Fill(M, I::White, {{19, 0}, {26, 0}, {26, 10}, {19, 10}, {24, 5}}),
    Fill(T, I::Black, {{19, 0}, {26, 0}, {26, 10}, {19, 10}, {24, 5}}),
    Fill(T, I::Face, {{2, 2}, {18, 2}, {21, 5}, {18, 8}, {2, 8}}),
    Line(T, I::Grey, {{0, 10}, {0, 0}, {18, 0}, {23, 5}}),
    Line(T, I::Grey, {{2, 9}, {18, 9}, {22, 5}}),
    Line(T, I::Black, {{1, 10}, {18, 10}, {24, 4}}),
    Line(T, I::White, {{1, 9}, {1, 1}, {18, 1}, {22, 5}}),
};
constexpr std::array Top{
    Fill(M, I::White, {{0, 6}, {0, 0}, {10, 0}, {10, 6}, {5, 1}}),
    Fill(T, I::Black, {{0, 6}, {0, 0}, {10, 0}, {10, 6}, {5, 1}}),
    Fill(T, I::Face, {{5, 4}, {2, 7}, {2, 24}, {8, 24}, {8, 7}}),
    Line(T, I::Grey, {{5, 2}, {0, 7}, {0, 27}}),
    Line(T, I::Grey, {{0, 25}, {9, 25}, {9, 7}, {5, 3}}),
    Line(T, I::Black, {{1, 26}, {10, 26}, {10, 7}, {5, 2}}),
};
constexpr std::array Bottom{
    Fill(M, I::White, {{0, 20}, {5, 25}, {10, 20}, {10, 26}, {0, 26}}),
    Fill(T, I::Black, {{0, 20}, {5, 25}, {10, 20}, {10, 26}, {0, 26}}),
    Fill(T, I::Face, {{2, 2}, {2, 19}, {5, 22}, {8, 19}, {8, 2}}),
    Line(T, I::Grey, {{10, 0}, {0, 0}, {0, 19}, {5, 24}}),
    Line(T, I::Grey, {{9, 2}, {9, 19}, {4, 24}}),
    Line(T, I::Black, {{10, 1}, {10, 19}, {4, 25}}),
    Line(T, I::White, {{9, 1}, {1, 1}, {1, 19}, {5, 23}}),
};
// The round thumbs leave their mask as a new bitmap starts: white. The two
// differ only in the direction of their grip lines.
constexpr std::array<ThumbStep, 8> RoundThumb(ThumbStep whiteGrip, ThumbStep greyGrip)
{
    return {
        Step(M, K::Ellipse, I::Black, {{0, 0}, {15, 15}}, I::Black),
        Step(T, K::Box, I::Black, {{0, 0}, {15, 15}}),
        Step(T, K::Ellipse, I::Grey, {{0, 0}, {15, 15}}, I::Face),
        Step(T, K::Arc, I::White, {{1, 1}, {14, 14}, {15, 0}, {5, 10}}),
        whiteGrip,
        Step(T, K::Arc, I::Black, {{0, 0}, {15, 15}, {5, 10}, {15, 0}}),
        Step(T, K::Arc, I::Grey, {{0, 0}, {14, 14}, {5, 10}, {15, 0}}),
        greyGrip,
    };
}
constexpr auto Round = RoundThumb(Line(T, I::White, {{6, 2}, {6, 13}}), Line(T, I::Grey, {{8, 2}, {8, 13}}));
constexpr auto HorzRound = RoundThumb(Line(T, I::White, {{2, 6}, {13, 6}}), Line(T, I::Grey, {{2, 8}, {13, 8}}));
constexpr std::array HollowHorz{
    Fill(T, I::Face, {{2, 5}, {6, 9}, {2, 13}}),
    Fill(T, I::Face, {{16, 5}, {12, 9}, {16, 13}}),
    Fill(M, I::Black, {{2, 5}, {6, 9}, {2, 13}}),
    Fill(M, I::Black, {{16, 5}, {12, 9}, {16, 13}}),
};
constexpr std::array HollowVert{
    Fill(T, I::Face, {{5, 2}, {9, 6}, {13, 2}}),
    Fill(T, I::Face, {{5, 16}, {9, 12}, {13, 16}}),
    Fill(M, I::Black, {{5, 2}, {9, 6}, {13, 2}}),
    Fill(M, I::Black, {{5, 16}, {9, 12}, {13, 16}}),
};
constexpr std::array HollowHLine{
    Line(T, I::Face, {{5, 9}, {13, 9}}),
    Line(M, I::Black, {{5, 9}, {13, 9}}),
};
constexpr std::array HollowVLine{
    Line(T, I::Face, {{9, 5}, {9, 13}}),
    Line(M, I::Black, {{9, 5}, {9, 13}}),
};

// In the order of the thumb styles, tsHorzHigh (0) to tsSquarehollowVLine (15).
const std::array<ThumbShape, ThumbStyleCount> Shapes{{
    {20, 10, -1, true, true, HorzHigh},
    {10, 20, -1, true, true, VertHigh},
    {20, 10, -1, true, true, HorzLow},
    {10, 20, -1, true, true, VertLow},
    {20, 20, -1, true, true, Square},
    {20, 20, 4, true, true, SquareHollow},
    {27, 11, -1, true, false, Left},
    {27, 11, -1, true, false, Right},
    {11, 27, -1, true, false, Top},
    {11, 27, -1, true, false, Bottom},
    {15, 15, -1, false, false, Round},
    {15, 15, -1, false, false, HorzRound},
    {20, 20, 5, true, true, HollowHorz},
    {20, 20, 5, true, true, HollowVert},
    {20, 20, 12, true, true, HollowHLine},
    {20, 20, 13, true, true, HollowVLine},
}};

}  // namespace

const ThumbShape& ThumbShapeOf(int style)
{
    return Shapes.at(static_cast<std::size_t>(style));
}

}  // namespace SlideBar
