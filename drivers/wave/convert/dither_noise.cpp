// The dither's shift register: its seeding and the noise it adds.
#include "dither_noise.h"

#include <limits>

namespace {

// Each step XORs a word with the word 103 places on, around the register.
constexpr DWORD kTap = 103;
constexpr DWORD kTapBack = DitherNoise::kWords - kTap;

// The words on the register's diagonal, from bit 31 down, keep the words independent.
constexpr DWORD kDiagonalFirst = 3;
constexpr DWORD kDiagonalStride = 7;

constexpr std::int32_t kModulus = 2147483647;  // 2^31 - 1
constexpr std::int32_t kMultiplier = 16807;
constexpr std::int32_t kQuotient = kModulus / kMultiplier;  // 127773
constexpr std::int32_t kRemainder = kModulus % kMultiplier;  // 2836

}  // namespace

std::int32_t DitherNoise::Next(std::int32_t seed)
{
    if (seed <= kQuotient) {
        // The product taken to 32 bits, as a signed value: the remainder keeps its sign.
        const auto product = static_cast<std::int32_t>(static_cast<std::uint32_t>(seed) * kMultiplier);
        return product % kModulus;
    }
    const std::int32_t next = kMultiplier * (seed % kQuotient) - kRemainder * (seed / kQuotient);
    return next > 0 ? next : next + kModulus;
}

void DitherNoise::Init(int width)
{
    m_Index = 0;
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    m_Seed = static_cast<std::int32_t>(static_cast<std::uint32_t>(counter.QuadPart));
    for (std::int32_t& word : m_Words) {
        m_Seed = Next(m_Seed);
        word = m_Seed;
    }
    for (std::int32_t& word : m_Words) {
        m_Seed = Next(m_Seed);
        if (m_Seed > 0x40000000) word = static_cast<std::int32_t>(static_cast<std::uint32_t>(word) | 0x80000000u);
    }
    for (DWORD k = 0; k < 32; ++k) {
        std::int32_t& word = m_Words[kDiagonalFirst + kDiagonalStride * k];
        word = static_cast<std::int32_t>((static_cast<std::uint32_t>(word) & (0xFFFFFFFFu >> k)) |
                                         (0x80000000u >> k));
    }
    for (std::int32_t& word : m_Words) word >>= width;
}

std::int32_t DitherNoise::Step()
{
    const DWORD other = m_Index >= kTapBack ? m_Index - kTapBack : m_Index + kTap;
    const std::int32_t word = m_Words[m_Index] ^= m_Words[other];
    m_Index = m_Index == kWords - 1 ? 0 : m_Index + 1;
    return word;
}

void DitherNoise::Add(std::int32_t* samples, DWORD count)
{
    constexpr std::int64_t kHighest = std::numeric_limits<std::int32_t>::max();
    constexpr std::int64_t kLowest = std::numeric_limits<std::int32_t>::min();
    for (DWORD i = 0; i < count; ++i) {
        const std::int64_t a = Step();
        const std::int64_t b = Step();
        const std::int64_t sum = a + b + samples[i];
        samples[i] = static_cast<std::int32_t>(sum > kHighest ? kHighest : sum < kLowest ? kLowest : sum);
    }
}
