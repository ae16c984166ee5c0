// The knob unit's arithmetic: the sweep, the indicator point, the drag law,
// the squaring of the control and the hit test of its face. Angles are whole
// degrees, 0 pointing right and 90 up; the sweep is 300 degrees from Min at
// 240 over the top to Max at -60.
#pragma once

#include <cstdint>

namespace Knob {

// Nearest integer, an exact half going to the even neighbour.
std::int64_t Round(long double x);

// 300 / (Max - Min), the quotient kept in single precision; 0 when
// Max = Min, negative for a reversed knob.
float DegreesPerStep(std::int32_t min, std::int32_t max);

// 240 - Round((Position - Min) x degrees per step).
std::int32_t Angle(std::int32_t position, std::int32_t min, float degreesPerStep);

// `position` bounded to the range: [min, max] for a forward knob, [max, min]
// for a reversed one (negative degrees per step).
std::int32_t BoundedPosition(std::int32_t position, std::int32_t min, std::int32_t max, float degreesPerStep);

struct IndicatorPoint {
    std::int32_t x;
    std::int32_t y;
};

// Where the dot sits for `angle` on a knob of `radius`: 6 pixels inside the
// rim, the centre being (radius, radius).
IndicatorPoint IndicatorAt(std::int32_t angle, std::int32_t radius);

// The position a drag has reached: right and up turn the knob up, two
// pixels per step, the half dropped toward zero.
std::int32_t DragPosition(std::int32_t startPosition, std::int32_t startX, std::int32_t startY, std::int32_t x,
                          std::int32_t y);

// The side the knob squares itself to after a resize to width x height,
// having last been `lastSide`: it grows to the larger extent, shrinks to the
// smaller one, and otherwise keeps its side.
std::int32_t SquaredSide(std::int32_t lastSide, std::int32_t width, std::int32_t height);

// The point lies on the ellipse inscribed in the width x height client area.
bool InsideFace(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);

}  // namespace Knob
