// The knob's sweep, dot, drag and sizing arithmetic.
#include "controls/knob_law.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace Knob {
namespace {

std::int32_t Saturated(std::int64_t v)
{
    if (v < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    if (v > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(v);
}

}  // namespace

std::int64_t Round(long double x)
{
    const long double r = std::nearbyint(x);
    if (!(r >= -9.2e18L && r <= 9.2e18L)) return 0;  // NaN or far outside any angle
    return static_cast<std::int64_t>(r);
}

float DegreesPerStep(std::int32_t min, std::int32_t max)
{
    const std::int64_t range = static_cast<std::int64_t>(max) - min;
    if (range == 0) return 0.0f;
    // The quotient is worked out in full and only then kept in single
    // precision; a range beyond 2^24 would lose digits as a float divisor.
    return static_cast<float>(300.0L / static_cast<long double>(range));
}

std::int32_t Angle(std::int32_t position, std::int32_t min, float degreesPerStep)
{
    // Exact: a 33-bit distance times a 24-bit step fits the extended format.
    const long double travel = static_cast<long double>(static_cast<std::int64_t>(position) - min) * degreesPerStep;
    return Saturated(240 - Round(travel));
}

std::int32_t BoundedPosition(std::int32_t position, std::int32_t min, std::int32_t max, float degreesPerStep)
{
    if (degreesPerStep >= 0) {
        if (position < min) position = min;
        if (position > max) position = max;
    } else {
        if (position > min) position = min;
        if (position < max) position = max;
    }
    return position;
}

IndicatorPoint IndicatorAt(std::int32_t angle, std::int32_t radius)
{
    // Each intermediate is kept in single precision, as the knob always kept it.
    const float theta = static_cast<float>(angle * std::numbers::pi_v<long double> / 180.0L);
    const float c = static_cast<float>(std::cos(static_cast<long double>(theta)));
    const float s = static_cast<float>(std::sin(static_cast<long double>(theta)));
    const std::int64_t d = static_cast<std::int64_t>(radius) - 6;
    return {Saturated(radius + Round(static_cast<long double>(d) * c)),
            Saturated(radius - Round(static_cast<long double>(d) * s))};
}

std::int32_t DragPosition(std::int32_t startPosition, std::int32_t startX, std::int32_t startY, std::int32_t x,
                          std::int32_t y)
{
    const std::int64_t moved = (static_cast<std::int64_t>(x) - startX) + (static_cast<std::int64_t>(startY) - y);
    return Saturated(startPosition + moved / 2);
}

std::int32_t SquaredSide(std::int32_t lastSide, std::int32_t width, std::int32_t height)
{
    if (lastSide < height || lastSide < width) return width > height ? width : height;
    if (lastSide > height || lastSide > width) return width < height ? width : height;
    return lastSide;
}

bool InsideFace(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height)
{
    if (width <= 0 || height <= 0) return false;
    const double a = width / 2.0;
    const double b = height / 2.0;
    const double dx = (x + 0.5 - a) / a;
    const double dy = (y + 0.5 - b) / b;
    return dx * dx + dy * dy <= 1.0;
}

}  // namespace Knob
