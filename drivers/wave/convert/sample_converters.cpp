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
    static constexpr bool kWide = false;
    static std::uint32_t ToCard(const BYTE* at) { return (std::uint32_t{at[0]} ^ 0x80u) << 24; }
    static void FromCard(BYTE* at, std::uint32_t sample) { at[0] = static_cast<BYTE>((sample >> 24) ^ 0x80u); }
};

struct Pcm16 {
    static constexpr DWORD kBytes = 2;
    static constexpr bool kWide = false;
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

// Byte-wise at the end of a block; elsewhere a whole word, which reaches one
// byte into the next sample: read, it is shifted out, and written, the next
// sample's own store comes after it.
struct Pcm24 {
    static constexpr DWORD kBytes = 3;
    static constexpr bool kWide = true;
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
    static std::uint32_t ToCardWide(const BYTE* at) { return LoadCard(at) << 8; }
    static void FromCardWide(BYTE* at, std::uint32_t sample) { StoreCard(at, sample >> 8); }
};


struct Pcm32 {
    static constexpr DWORD kBytes = 4;
    static constexpr bool kWide = false;
    static std::uint32_t ToCard(const BYTE* at) { return LoadCard(at); }
    static void FromCard(BYTE* at, std::uint32_t sample) { StoreCard(at, sample); }
};

// Mono plays its sample on both pipes.
template <typename Pcm, bool Wide>
std::uint32_t ToCard(const BYTE* at)
{
    if constexpr (Wide) {
        return Pcm::ToCardWide(at);
    } else {
        return Pcm::ToCard(at);
    }
}

template <typename Pcm, bool Wide>
void FromCard(BYTE* at, std::uint32_t sample)
{
    if constexpr (Wide) {
        Pcm::FromCardWide(at, sample);
    } else {
        Pcm::FromCard(at, sample);
    }
}

// The cursors are copied in and back: stores through a byte pointer could
// otherwise change them, and the loop would read them again each frame.
template <typename Pcm, DWORD Channels, bool Wide>
void PlayFrames(BYTE*& ring, BYTE*& data, DWORD frames)
{
    BYTE* out = ring;
    BYTE* in = data;
    for (DWORD f = 0; f < frames; ++f, out += kRingFrameBytes, in += Pcm::kBytes * Channels) {
        const std::uint32_t first = ToCard<Pcm, Wide>(in);
        StoreCard(out, first);
        if constexpr (Channels == 2) {
            StoreCard(out + 4, ToCard<Pcm, Wide>(in + Pcm::kBytes));
        } else {
            StoreCard(out + 4, first);
        }
    }
    ring = out;
    data = in;
}

// Mono records the first pipe only.
template <typename Pcm, DWORD Channels, bool Wide>
void RecordFrames(BYTE*& ring, BYTE*& data, DWORD frames)
{
    BYTE* in = ring;
    BYTE* out = data;
    for (DWORD f = 0; f < frames; ++f, in += kRingFrameBytes, out += Pcm::kBytes * Channels) {
        FromCard<Pcm, Wide>(out, LoadCard(in));
        if constexpr (Channels == 2) FromCard<Pcm, Wide>(out + Pcm::kBytes, LoadCard(in + 4));
    }
    ring = in;
    data = out;
}

// Every frame but the last in the wide form, when the width has one.
template <typename Pcm, DWORD Channels>
void Play(BYTE*& ring, BYTE*& data, DWORD frames, DitherNoise*)
{
    if constexpr (Pcm::kWide) {
        if (frames == 0) return;
        PlayFrames<Pcm, Channels, true>(ring, data, frames - 1);
        frames = 1;
    }
    PlayFrames<Pcm, Channels, false>(ring, data, frames);
}

template <typename Pcm, DWORD Channels>
void Record(BYTE*& ring, BYTE*& data, DWORD frames, DitherNoise*)
{
    if constexpr (Pcm::kWide) {
        if (frames == 0) return;
        RecordFrames<Pcm, Channels, true>(ring, data, frames - 1);
        frames = 1;
    }
    RecordFrames<Pcm, Channels, false>(ring, data, frames);
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
