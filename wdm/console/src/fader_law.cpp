#include "console/fader_law.h"

#include <cfloat>
#include <cmath>
#include <limits>

// Doubles evaluated as doubles: with wider intermediates -20 dB comes out as
// position 499 and -40 dB as 249.
static_assert(FLT_EVAL_METHOD == 0, "the fader law needs plain double arithmetic");

int PosToDb(int position)
{
    if (position <= 1) return -128;
    const double x = position * 0.001;
    return static_cast<int>(std::log10(x) * DbScale);
}

int DbToPos(int dB)
{
    double x = std::pow(10.0, dB * LogScale);
    if (x < 0 || std::isnan(x)) x = 0;
    const double position = x * 1000;
    // Far above any fader's range (+186 dB) the position would not fit.
    constexpr int highest = std::numeric_limits<int>::max();
    if (position >= highest) return highest;
    return static_cast<int>(position);
}
