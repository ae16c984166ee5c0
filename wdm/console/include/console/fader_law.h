// The fader law: 20 x log2(position / 1000) dB, both ways, truncated toward
// zero. Position 1000 is 0 dB and every halving is 20 dB less, so 500 is
// -20 dB and 250, the faders' bottom, -40 dB. Plain IEEE double arithmetic:
// wider intermediates land the exact points just below their whole values.
#pragma once

// 20 / log10(2) and log10(2) x 0.05.
constexpr double DbScale = 66.43856189774725;
constexpr double LogScale = 0.01505149978319906;

// Whole dB for a slider position; -128 for 1 and below.
int PosToDb(int position);
// The slider position for whole dB; 0 where the power is not a number, and
// the largest int where it would not fit one.
int DbToPos(int dB);
