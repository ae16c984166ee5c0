// What one meter tick costs the console's peak meters, against plain memory
// traffic over the same pixels measured in the same run: 40 meters on a
// shown form, each given the next level of a fixed pseudo-random walk
// between -60 and 0 dB, against a memcpy of the very same row bands from a
// lit and an unlit 10 x 190 buffer into a 10 x 191 one per meter. Each
// iteration runs the tick and then the baseline, so a busy machine slows
// both alike. The steady case gives every meter its level again, which
// should cost next to nothing. A whole console tick may use 1 ms of CPU;
// the counters give the tick's share of it.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include <benchmark/benchmark.h>
#include <vcl.h>

#include "console/CBmpStash.h"
#include "console/console_bitmaps.h"
#include "console/peak_meter.h"
#include "scratch_machine.h"

namespace {

constexpr int Meters = 40;
constexpr int Ticks = 4096;
constexpr double TickBudgetNs = 1e6;

// Levels per tick and meter: steps of -6 to +6 dB from a fixed seed, kept
// within -60 .. 0 dB.
std::vector<std::array<int, Meters>> Walk()
{
    std::vector<std::array<int, Meters>> walk(Ticks);
    std::uint32_t seed = 12345;
    std::array<int, Meters> level{};
    level.fill(-30);
    for (auto& tick : walk) {
        for (int m = 0; m < Meters; ++m) {
            seed = seed * 1664525u + 1013904223u;
            const int step = static_cast<int>((seed >> 16) % 13) - 6;
            level[m] = std::clamp(level[m] + step, -60, 0);
        }
        tick = level;
    }
    return walk;
}

// The meters' pixels without the meters: a 10 x 191 picture per meter and
// the band of rows between the old and the new edge copied into it.
class BandCopies {
public:
    BandCopies() : lit_(10 * 190, 0x30E028), unlit_(10 * 190, 0x0E4816), shown_(Meters, std::vector<std::uint32_t>(10 * 191))
    {
        levels_.fill(-128);
        rows_.fill(190);
    }
    void Tick(const std::array<int, Meters>& levels)
    {
        for (int m = 0; m < Meters; ++m) {
            const int level = levels[m];
            if (level == levels_[m]) continue;
            const int r = MeterRowTable[-level];
            if (r == rows_[m]) continue;
            const bool rising = levels_[m] < level;
            const int top = rising ? r : rows_[m], bottom = rising ? rows_[m] : r;
            const std::vector<std::uint32_t>& source = rising ? lit_ : unlit_;
            std::memcpy(shown_[m].data() + top * 10, source.data() + top * 10,
                        static_cast<std::size_t>(bottom - top) * 10 * sizeof(std::uint32_t));
            levels_[m] = level;
            rows_[m] = r;
        }
        benchmark::DoNotOptimize(shown_.data());
        benchmark::ClobberMemory();
    }

private:
    std::vector<std::uint32_t> lit_;
    std::vector<std::uint32_t> unlit_;
    std::vector<std::vector<std::uint32_t>> shown_;
    std::array<int, Meters> levels_;
    std::array<int, Meters> rows_;
};

// A shown console-sized form with 40 meters, the stash they draw from in
// the console's global while it lives.
class MeterForm {
public:
    MeterForm()
    {
        RegisterConsoleBitmaps();
        stash_ = std::make_unique<CBmpStash>();
        BmpStash = stash_.get();
        form_ = std::make_unique<TForm>(Application);
        form_->SetClientWidth(Meters * 25);
        form_->SetClientHeight(600);
        form_->SetColor(clBtnFace);
        for (int m = 0; m < Meters; ++m)
            meters_.push_back(std::make_unique<CPeakMeter>(form_.get(), m * 25 + 15, 64, m % 2 == 0, 40));
        form_->Show();
        Application->ProcessMessages();
    }
    ~MeterForm()
    {
        meters_.clear();
        form_.reset();
        BmpStash = nullptr;
    }
    MeterForm(const MeterForm&) = delete;
    MeterForm& operator=(const MeterForm&) = delete;

    void Tick(const std::array<int, Meters>& levels)
    {
        for (int m = 0; m < Meters; ++m)
            meters_[static_cast<std::size_t>(m)]->SetLevel(levels[m]);
    }

private:
    std::unique_ptr<CBmpStash> stash_;
    std::unique_ptr<TForm> form_;
    std::vector<std::unique_ptr<CPeakMeter>> meters_;
};

void MeterTick(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    const auto walk = Walk();
    MeterForm form;
    BandCopies baseline;
    std::chrono::duration<double, std::nano> metering{0}, copying{0};
    std::size_t t = 0;
    for (auto _ : state) {
        const auto& levels = walk[t++ % Ticks];
        const Clock::time_point start = Clock::now();
        form.Tick(levels);
        const Clock::time_point metered = Clock::now();
        baseline.Tick(levels);
        const Clock::time_point copied = Clock::now();
        state.SetIterationTime(std::chrono::duration<double>(metered - start).count());
        metering += metered - start;
        copying += copied - metered;
    }
    const auto runs = static_cast<double>(state.iterations());
    if (runs == 0.0 || copying.count() <= 0.0) return;
    state.counters["memcpy_ns"] = copying.count() / runs;
    state.counters["ratio"] = metering / copying;
    state.counters["budget_percent"] = 100.0 * metering.count() / runs / TickBudgetNs;
}

void SteadyMeterTick(benchmark::State& state)
{
    const auto walk = Walk();
    MeterForm form;
    form.Tick(walk[0]);
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        form.Tick(walk[0]);
        const auto end = std::chrono::steady_clock::now();
        const double seconds = std::chrono::duration<double>(end - start).count();
        state.SetIterationTime(seconds);
        total += seconds;
    }
    if (state.iterations() > 0)
        state.counters["budget_percent"] = 100.0 * total * 1e9 / static_cast<double>(state.iterations()) / TickBudgetNs;
}

void Configure(benchmark::internal::Benchmark* benchmark)
{
    benchmark->UseManualTime()->Repetitions(9)->ReportAggregatesOnly(true)->MinTime(0.2);
}

BENCHMARK(MeterTick)->Apply(Configure);
BENCHMARK(SteadyMeterTick)->Apply(Configure);

}  // namespace

int main(int argc, char** argv) { return RunOnScratchMachine(argc, argv, "meter-bench"); }
