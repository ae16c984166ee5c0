// The slider unit's arithmetic: the clamps, the processor's rounding
// (nearest, a half to the even neighbour) and the two pixel mappings.
// Value distances are taken in 64 bits, so ranges that reach the ends
// of int32 neither overflow nor wrap.
#pragma once

#include <cmath>
#include <cstdint>

namespace SlideBar {

constexpr std::int32_t SmallerOf(std::int32_t a, std::int32_t b) { return a < b ? a : b; }
constexpr std::int32_t LargerOf(std::int32_t a, std::int32_t b) { return a > b ? a : b; }

// Nearest integer, an exact half going to the even neighbour (the default
// rounding mode; never std::round, which takes halves away from zero).
inline long double Nearest(long double x) { return std::nearbyint(x); }

// `x` bounded to [lo, hi] and made an int32; NaN gives lo.
inline std::int32_t Bounded(long double x, std::int64_t lo, std::int64_t hi)
{
    if (!(x >= static_cast<long double>(lo))) return static_cast<std::int32_t>(lo);
    if (x > static_cast<long double>(hi)) return static_cast<std::int32_t>(hi);
    return static_cast<std::int32_t>(x);
}

// The value a pointer position stands for. `along` is X (horizontal) or
// Y (vertical) and `size` the whole Width or Height: the pointer travels
// the whole control, the bottom edge of a vertical one being Min.
inline std::int32_t PointToValueOnBar(std::int32_t along, std::int32_t size, bool vertical, std::int32_t min,
                                      std::int32_t max)
{
    if (size <= 0) return min;  // a control with no extent points nowhere
    const long double f = vertical ? static_cast<long double>(size - static_cast<std::int64_t>(along)) / size
                                   : static_cast<long double>(along) / size;
    const long double range = static_cast<long double>(static_cast<std::int64_t>(max) - min);
    return Bounded(static_cast<long double>(min) + Nearest(f * range), min, max);
}

// Scale of the thumb and tick placement: the thumb travels over the size
// less its own extent.
inline long double ThumbScale(std::int32_t size, std::int32_t thumb, std::int32_t min, std::int32_t max)
{
    const std::int64_t range = static_cast<std::int64_t>(max) - min;
    if (range <= 0) return 0;
    return static_cast<long double>(static_cast<std::int64_t>(size) - thumb) / static_cast<long double>(range);
}

// Offset of the thumb's leading edge along the bar: the top of a vertical
// thumb, the left of a horizontal one, kept within 0 .. size - thumb.
inline std::int32_t ThumbOffset(std::int32_t size, std::int32_t thumb, bool vertical, std::int32_t value,
                                std::int32_t min, std::int32_t max)
{
    const long double travel = Nearest(static_cast<long double>(static_cast<std::int64_t>(value) - min) *
                                       ThumbScale(size, thumb, min, max));
    const long double offset =
        vertical ? static_cast<long double>(size) - travel - static_cast<long double>(thumb) : travel;
    const std::int64_t room = static_cast<std::int64_t>(size) - thumb;
    // SmallerOf(room, offset), then LargerOf(0, ...): a thumb larger than
    // the control sits at 0.
    if (room < 0) return 0;
    return Bounded(offset, 0, room);
}

// How far along the groove the tick `offset` values above Min lies: the
// fraction is dropped (ticks truncate where the thumb rounds).
inline std::int64_t TickTravel(std::int64_t offset, long double scale)
{
    const long double t = std::trunc(static_cast<long double>(offset) * scale);
    if (!(t > -9.2e18L && t < 9.2e18L)) return 0;
    return static_cast<std::int64_t>(t);
}

// The tick scale kept also as the ratio it stands for, (size - thumb) /
// (Max - Min), so that a travel can mostly be found by integer division.
struct TickScale {
    std::int64_t room = 0;   // size less the thumb
    std::int64_t range = 0;  // Max - Min
    long double scale = 0;   // ThumbScale of the two
};

inline TickScale ThumbTickScale(std::int32_t size, std::int32_t thumb, std::int32_t min, std::int32_t max)
{
    return {static_cast<std::int64_t>(size) - thumb, static_cast<std::int64_t>(max) - min,
            ThumbScale(size, thumb, min, max)};
}

// TickTravel(offset, s.scale), the very same result. The extended product
// offset * scale is the exact quotient q = offset * room / range rounded
// twice, off by less than |q| * 2^-62. Unless q is a whole number it lies at
// least 1 / range from one, which is more than that error while |offset *
// room| < 2^62: the truncation cannot differ, and the integer quotient
// (truncated toward zero, as trunc does) gives it. A whole q, or larger
// operands, take the extended computation itself.
inline std::int64_t TickTravel(std::int64_t offset, const TickScale& s)
{
    constexpr std::int64_t limit = std::int64_t{1} << 31;
    if (s.range > 0 && offset > -limit && offset < limit && s.room > -limit && s.room < limit) {
        const std::int64_t product = offset * s.room;
        if (product == 0 || product % s.range != 0) return product / s.range;  // 0 * scale is 0 exactly
    }
    return TickTravel(offset, s.scale);
}

// Ticks lie every `step` values from Min; tick k lies at travel(k * step),
// which moves monotonically with k. The first tick after tick `index` that
// lies elsewhere than tick `index`, or `lastIndex` + 1 when none up to
// `lastIndex` does. Ticks in between draw the very same pixels, so a dense
// scale skips them instead of drawing them again and again.
template <class Travel>
std::int64_t NextDistinctTickBy(std::int64_t index, std::int64_t step, long double scale, std::int64_t lastIndex,
                                Travel travelAt)
{
    const std::int64_t travel = travelAt(index * step);
    if (scale == 0) return lastIndex + 1;
    // Estimate where the travel moves on by one pixel, then settle it.
    const long double need = (static_cast<long double>(travel) + (scale > 0 ? 1 : -1)) / scale / step;
    std::int64_t k = index + 1;
    if (need > static_cast<long double>(k)) {
        k = need > static_cast<long double>(lastIndex + 1) ? lastIndex + 1 : static_cast<std::int64_t>(std::ceil(need));
    }
    while (k > index + 1 && travelAt((k - 1) * step) != travel) --k;
    while (k <= lastIndex && travelAt(k * step) == travel) ++k;
    return k;
}

inline std::int64_t NextDistinctTick(std::int64_t index, std::int64_t step, long double scale, std::int64_t lastIndex)
{
    return NextDistinctTickBy(index, step, scale, lastIndex,
                              [scale](std::int64_t offset) { return TickTravel(offset, scale); });
}

// The same for the slider's own scale, whose travels stay within the room
// and so move monotonically: when the very next tick lies elsewhere, as on
// any sparse scale, it is the answer without estimating.
inline std::int64_t NextDistinctTick(std::int64_t index, std::int64_t step, const TickScale& s, std::int64_t lastIndex)
{
    if (s.scale != 0 && index < lastIndex && TickTravel((index + 1) * step, s) != TickTravel(index * step, s))
        return index + 1;
    return NextDistinctTickBy(index, step, s.scale, lastIndex,
                              [&s](std::int64_t offset) { return TickTravel(offset, s); });
}

// The page step of the keyboard: a tenth of the range, at least 1.
constexpr std::int64_t PageStep(std::int32_t min, std::int32_t max)
{
    const std::int64_t tenth = (static_cast<std::int64_t>(max) - min) / 10;
    return tenth > 1 ? tenth : 1;
}

}  // namespace SlideBar
