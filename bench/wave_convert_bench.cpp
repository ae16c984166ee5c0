// The wave driver's sample converters, over 8192-frame blocks, each against
// a baseline measured in the same iteration. A converter loop is reached by
// no message, so this measures the driver's converter library directly.
// - Play/... and Record/...: the 8 playback converters and the 8 record
//   converters without dither, against a memcpy of the same ring bytes
//   (frames x 8): frames per second and the ratio to memcpy; the aim is
//   within 2 times memcpy for every one.
// - DitheredRecord/...: the dithered record converters of analog inputs at
//   8 and 16 bits, mono and stereo, against the plain 16-bit stereo record
//   converter: the ratio, and how many times real time at 48 kHz each runs;
//   the aim is at least 1000 times real time.
#include <chrono>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "dither_noise.h"
#include "sample_converters.h"

namespace {

constexpr DWORD kFrames = 8192;
constexpr double kRate = 48000.0;

std::vector<BYTE> Noise(std::size_t bytes)
{
    std::vector<BYTE> data(bytes);
    std::uint32_t state = 0x2545F491;
    for (BYTE& b : data) b = static_cast<BYTE>((state = state * 1664525u + 1013904223u) >> 24);
    return data;
}

void Convert(benchmark::State& state, SampleConverter converter, bool playback, WORD channels, WORD bytes)
{
    using Clock = std::chrono::steady_clock;
    std::vector<BYTE> ring = Noise(kFrames * kRingFrameBytes);
    std::vector<BYTE> client = Noise(std::size_t{kFrames} * channels * bytes);
    const std::vector<BYTE> source = Noise(kFrames * kRingFrameBytes);
    std::vector<BYTE> copy(kFrames * kRingFrameBytes);
    std::chrono::duration<double> converting{0}, copying{0};
    for (auto _ : state) {
        BYTE* ringCursor = ring.data();
        BYTE* dataCursor = client.data();
        const Clock::time_point start = Clock::now();
        converter(ringCursor, dataCursor, kFrames, nullptr);
        benchmark::DoNotOptimize(playback ? ring.data() : client.data());
        benchmark::ClobberMemory();
        const Clock::time_point converted = Clock::now();
        std::memcpy(copy.data(), source.data(), copy.size());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
        const Clock::time_point copied = Clock::now();
        state.SetIterationTime(std::chrono::duration<double>(converted - start).count());
        converting += converted - start;
        copying += copied - converted;
    }
    if (state.iterations() == 0 || copying.count() <= 0.0) return;
    const double runs = static_cast<double>(state.iterations());
    state.counters["frames_per_s"] = kFrames * runs / converting.count();
    state.counters["memcpy_frames_per_s"] = kFrames * runs / copying.count();
    state.counters["ratio"] = converting / copying;
}

void Dithered(benchmark::State& state, WORD channels, WORD bytes)
{
    using Clock = std::chrono::steady_clock;
    const SampleConverter dithered = AnalogRecordConverters[channels - 1][bytes - 1];
    const SampleConverter plain = DigitalRecordConverters[1][1];
    DitherNoise dither;
    dither.Init(8 * bytes);
    std::vector<BYTE> ring(kFrames * kRingFrameBytes, 0x11), client(kFrames * 4);
    std::chrono::duration<double> ditheredTime{0}, plainTime{0};
    for (auto _ : state) {
        BYTE* ringCursor = ring.data();
        BYTE* dataCursor = client.data();
        const Clock::time_point start = Clock::now();
        dithered(ringCursor, dataCursor, kFrames, &dither);
        benchmark::DoNotOptimize(client.data());
        benchmark::ClobberMemory();
        const Clock::time_point done = Clock::now();
        ringCursor = ring.data();
        dataCursor = client.data();
        plain(ringCursor, dataCursor, kFrames, nullptr);
        benchmark::DoNotOptimize(client.data());
        benchmark::ClobberMemory();
        const Clock::time_point baseline = Clock::now();
        state.SetIterationTime(std::chrono::duration<double>(done - start).count());
        ditheredTime += done - start;
        plainTime += baseline - done;
    }
    if (state.iterations() == 0 || plainTime.count() <= 0.0) return;
    const double framesPerSecond = kFrames * static_cast<double>(state.iterations()) / ditheredTime.count();
    state.counters["frames_per_s"] = framesPerSecond;
    state.counters["times_real_time"] = framesPerSecond / kRate;
    state.counters["ratio_to_plain_16"] = ditheredTime / plainTime;
}

void Register(const std::string& name, auto function, auto... arguments)
{
    benchmark::RegisterBenchmark(name.c_str(), function, arguments...)
        ->UseManualTime()
        ->Repetitions(5)
        ->ReportAggregatesOnly(true);
}

std::string Name(const char* kind, WORD channels, WORD bytes)
{
    return std::string(kind) + "/" + (channels == 1 ? "mono" : "stereo") + "/" + std::to_string(8 * bytes);
}

void RegisterAll()
{
    for (const bool playback : {true, false})
        for (WORD channels = 1; channels <= 2; ++channels)
            for (WORD bytes = 1; bytes <= 4; ++bytes) {
                const SampleConverter converter = playback ? PlaybackConverters[channels - 1][bytes - 1]
                                                           : DigitalRecordConverters[channels - 1][bytes - 1];
                Register(Name(playback ? "Play" : "Record", channels, bytes), Convert, converter, playback, channels,
                         bytes);
            }
    for (WORD bytes : {1, 2})
        for (WORD channels : {1, 2}) Register(Name("DitheredRecord", channels, bytes), Dithered, channels, bytes);
}

const bool registered = (RegisterAll(), true);

}  // namespace

BENCHMARK_MAIN();
