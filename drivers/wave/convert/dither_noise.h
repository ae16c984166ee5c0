// DitherNoise: the triangular noise added to an analog input recorded at 8
// or 16 bits, before its samples are cut to the client's width. A shift
// register of 250 words (R250, seeded by a Park-Miller generator from the
// performance counter), each word pre-shifted to the client's width, so
// that the sum of two spans one step of the client's least significant bit.
#pragma once

#include <cstdint>

#include <windows.h>

class DitherNoise {
public:
    static constexpr DWORD kWords = 250;

    // Seeds the register from the performance counter; `width` is the client's bits per sample.
    void Init(int width);
    // Adds two noise words to each of `count` card samples, saturating at the 32-bit range.
    void Add(std::int32_t* samples, DWORD count);

private:
    // The Park-Miller minimal standard generator in signed 32-bit arithmetic.
    static std::int32_t Next(std::int32_t seed);
    // The register's next word.
    std::int32_t Step();

    std::int32_t m_Words[kWords];
    DWORD m_Index;
    std::int32_t m_Seed;
};
