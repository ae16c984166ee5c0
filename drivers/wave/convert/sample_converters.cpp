// The converter tables. Each converter is one loop made from a sample width
// and a channel count at compile time. Client samples are little-endian and
// unaligned, so they are read and written byte-wise or with memcpy; shifts
// are unsigned, where a signed one would be undefined.
#include "sample_converters.h"

#include <cstring>

#include "dither_noise.h"

namespace {

std::uint32_t LoadCard(const BYTE* at)
{
    std::uint32_t sample;
    std::memcpy(&sample, at, sizeof sample);
    return sample;
}

void StoreCard(BYTE* at, std::uint32_t sample) { std::memcpy(at, &sample, sizeof sample); }

// Unsigned 8-bit PCM: 0x80 is silence.
struct Pcm8 {
    static constexpr DWORD kBytes = 1;
    static std::uint32_t ToCard(const BYTE* at) { return (std::uint32_t{at[0]} ^ 0x80u) << 24; }
    static void FromCard(BYTE* at, std::uint32_t sample) { at[0] = static_cast<BYTE>((sample >> 24) ^ 0x80u); }
};

struct Pcm16 {
    static constexpr DWORD kBytes = 2;
    static std::uint32_t ToCard(const BYTE* at)
    {
        std::uint16_t sample;
        std::memcpy(&sample, at, sizeof sample);
        return std::uint32_t{sample} << 16;
    }
    static void FromCard(BYTE* at, std::uint32_t sample)
    {
        const auto client = static_cast<std::uint16_t>(sample >> 16);
        std::memcpy(at, &client, sizeof client);
    }
};

struct Pcm24 {
    static constexpr DWORD kBytes = 3;
    static std::uint32_t ToCard(const BYTE* at)
    {
        return std::uint32_t{at[2]} << 24 | std::uint32_t{at[1]} << 16 | std::uint32_t{at[0]} << 8;
    }
    static void FromCard(BYTE* at, std::uint32_t sample)
    {
        at[0] = static_cast<BYTE>(sample >> 8);
        at[1] = static_cast<BYTE>(sample >> 16);
        at[2] = static_cast<BYTE>(sample >> 24);
    }
};

struct Pcm32 {
    static constexpr DWORD kBytes = 4;
    static std::uint32_t ToCard(const BYTE* at) { return LoadCard(at); }
    static void FromCard(BYTE* at, std::uint32_t sample) { StoreCard(at, sample); }
};

// Mono plays its sample on both pipes.
template <typename Pcm, DWORD Channels>
void Play(BYTE*& ring, BYTE*& data, DWORD frames, DitherNoise*)
{
    BYTE* out = ring;
    BYTE* in = data;
    for (DWORD f = 0; f < frames; ++f, out += kRingFrameBytes, in += Pcm::kBytes * Channels) {
        const std::uint32_t first = Pcm::ToCard(in);
        StoreCard(out, first);
        if constexpr (Channels == 2) {
            StoreCard(out + 4, Pcm::ToCard(in + Pcm::kBytes));
        } else {
            StoreCard(out + 4, first);
        }
    }
    ring = out;
    data = in;
}

// Mono records the first pipe only.
template <typename Pcm, DWORD Channels>
void Record(BYTE*& ring, BYTE*& data, DWORD frames, DitherNoise*)
{
    BYTE* in = ring;
    BYTE* out = data;
    for (DWORD f = 0; f < frames; ++f, in += kRingFrameBytes, out += Pcm::kBytes * Channels) {
        Pcm::FromCard(out, LoadCard(in));
        if constexpr (Channels == 2) Pcm::FromCard(out + Pcm::kBytes, LoadCard(in + 4));
    }
    ring = in;
    data = out;
}

// The noise goes onto both pipes' samples in the ring, mono or stereo, before they are cut.
template <typename Pcm, DWORD Channels>
void DitheredRecord(BYTE*& ring, BYTE*& data, DWORD frames, DitherNoise* dither)
{
    if (dither) dither->Add(reinterpret_cast<std::int32_t*>(ring), 2 * frames);
    Record<Pcm, Channels>(ring, data, frames, dither);
}

// 32-bit stereo is the ring's own layout.
void Copy(BYTE*& to, BYTE*& from, DWORD frames)
{
    std::memcpy(to, from, std::size_t{frames} * kRingFrameBytes);
    to += kRingFrameBytes * frames;
    from += kRingFrameBytes * frames;
}

void PlayCopy(BYTE*& ring, BYTE*& data, DWORD frames, DitherNoise*) { Copy(ring, data, frames); }
void RecordCopy(BYTE*& ring, BYTE*& data, DWORD frames, DitherNoise*) { Copy(data, ring, frames); }

}  // namespace

const SampleConverter PlaybackConverters[2][4] = {
    {Play<Pcm8, 1>, Play<Pcm16, 1>, Play<Pcm24, 1>, Play<Pcm32, 1>},
    {Play<Pcm8, 2>, Play<Pcm16, 2>, Play<Pcm24, 2>, PlayCopy},
};

const SampleConverter AnalogRecordConverters[2][4] = {
    {DitheredRecord<Pcm8, 1>, DitheredRecord<Pcm16, 1>, Record<Pcm24, 1>, Record<Pcm32, 1>},
    {DitheredRecord<Pcm8, 2>, DitheredRecord<Pcm16, 2>, Record<Pcm24, 2>, RecordCopy},
};

const SampleConverter DigitalRecordConverters[2][4] = {
    {Record<Pcm8, 1>, Record<Pcm16, 1>, Record<Pcm24, 1>, Record<Pcm32, 1>},
    {Record<Pcm8, 2>, Record<Pcm16, 2>, Record<Pcm24, 2>, RecordCopy},
};
