// What one 40 ms meter tick of the whole console window costs, in the CPU
// time of the thread that runs it: the window of the default card built
// headless on a machine with the manual clock, and each tick its MeterPing
// (the meter read, every meter, the output-pair buttons' meters and the
// clock LEDs) and the repaint of what that invalidated into the window's
// surfaces. In the changing case the card's levels and detected clocks move
// before every tick (outside the measured time), so that every meter on the
// screen redraws; in the steady case nothing changes. The baseline, measured
// in the same iteration, is a memcpy of the window's 682 x 548 32-bit pixels.
// Aim: under 1 ms a tick while everything changes, 2.5 % of the period.
#include <time.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include <benchmark/benchmark.h>
#include <vcl.h>

#include "console/console_bitmaps.h"
#include "console/console_form.h"
#include "console/start_up.h"
#include "controls/probe.h"
#include "daveror_list.h"
#include "machine_testing/test_machine.h"
#include "scratch_machine.h"

namespace {

constexpr double PeriodNs = 40e6;
constexpr int Channels = 16;  // inputs, output busses and pipes each
constexpr int Ticks = 1024;
constexpr std::size_t WindowPixels = 682 * 548;

double ThreadCpuNs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

// A processor the probe measures nothing on.
class PlainProcessor : public TProcessorProbe {
public:
    bool CpuidAvailable() override { return false; }
    void Cpuid(std::uint32_t, std::uint32_t regs[4]) override { std::fill(regs, regs + 4, 0u); }
    std::uint64_t TimeStamp() override { return 0; }
    DWORD TickCount() override { return 0; }
};

// Each tick's level of every channel, in whole dB: a walk between -60 and
// -1 dB whose every step moves by 1 to 6 dB.
std::vector<std::array<int, Channels>> Walk(std::uint32_t seed)
{
    std::vector<std::array<int, Channels>> walk(Ticks);
    std::array<int, Channels> level;
    level.fill(-30);
    for (auto& tick : walk) {
        for (int& l : level) {
            seed = seed * 1664525u + 1013904223u;
            const int step = 1 + static_cast<int>((seed >> 16) % 6);
            const bool up = ((seed >> 8) & 1) != 0;
            if (up)
                l = l + step <= -1 ? l + step : l - step;
            else
                l = l - step >= -60 ? l - step : l + step;
        }
        tick = level;
    }
    return walk;
}

class ConsoleWindow {
public:
    ConsoleWindow() : hooks_(machine_.Hooks(0))
    {
        StartConsoleUnits(cpu_);
        RegisterConsoleBitmaps();
        auto list = std::make_unique<CDaverorList>();
        CDaveror* card = list->GetCard(0);
        list->KeepOnly(card);
        Application->CreateForm(form_);
        form_->SetupCard(card, list.release());
        Application->ProcessMessages();
    }
    ~ConsoleWindow()
    {
        delete form_;
        StopConsoleUnits();
    }
    ConsoleWindow(const ConsoleWindow&) = delete;
    ConsoleWindow& operator=(const ConsoleWindow&) = delete;

    void SetLevels(const std::array<int, Channels>& inputs, const std::array<int, Channels>& busses,
                   const std::array<int, Channels>& pipes, DWORD clocks)
    {
        for (unsigned c = 0; c < Channels; ++c) {
            hooks_.SetMeterLevel(machine::MeterGroup::Input, c, inputs[c] * 256);
            hooks_.SetMeterLevel(machine::MeterGroup::OutputBus, c, busses[c] * 256);
            hooks_.SetMeterLevel(machine::MeterGroup::Pipe, c, pipes[c] * 256);
        }
        hooks_.SetDetectedClocks(clocks);
    }
    void Tick()
    {
        form_->MeterPing(nullptr);
        Application->ProcessMessages();
    }

private:
    PlainProcessor cpu_;
    machine_testing::TestMachine machine_;
    machine::CardHooks hooks_;
    TConsoleForm* form_ = nullptr;
};

class WindowCopy {
public:
    WindowCopy() : from_(WindowPixels, 0x00C0C0C0), to_(WindowPixels) {}
    void Copy()
    {
        std::memcpy(to_.data(), from_.data(), WindowPixels * sizeof(std::uint32_t));
        benchmark::DoNotOptimize(to_.data());
        benchmark::ClobberMemory();
    }

private:
    std::vector<std::uint32_t> from_, to_;
};

void Report(benchmark::State& state, double tickNs, double copyNs)
{
    const auto runs = static_cast<double>(state.iterations());
    if (runs == 0.0 || copyNs <= 0.0) return;
    state.counters["memcpy_ns"] = copyNs / runs;
    state.counters["ratio"] = tickNs / copyNs;
    state.counters["period_percent"] = 100.0 * tickNs / runs / PeriodNs;
}

// Each iteration: `prepare` (not measured), one tick, then the baseline copy.
template <class Prepare>
void MeasureTicks(benchmark::State& state, ConsoleWindow& window, Prepare prepare)
{
    WindowCopy baseline;
    double ticking = 0, copying = 0;
    std::size_t t = 0;
    for (auto _ : state) {
        prepare(t++ % Ticks);
        const double start = ThreadCpuNs();
        window.Tick();
        const double ticked = ThreadCpuNs();
        baseline.Copy();
        const double copied = ThreadCpuNs();
        state.SetIterationTime((ticked - start) / 1e9);
        ticking += ticked - start;
        copying += copied - ticked;
    }
    Report(state, ticking, copying);
}

void ChangingTick(benchmark::State& state)
{
    const auto inputs = Walk(1), busses = Walk(2), pipes = Walk(3);
    ConsoleWindow window;
    MeasureTicks(state, window, [&](std::size_t k) {
        window.SetLevels(inputs[k], busses[k], pipes[k], k % 2 == 0 ? 0x0Fu : 0x01u);
    });
}

void SteadyTick(benchmark::State& state)
{
    const auto levels = Walk(1);
    ConsoleWindow window;
    window.SetLevels(levels[0], levels[1], levels[2], 0x0F);
    window.Tick();
    MeasureTicks(state, window, [](std::size_t) {});
}

void Configure(benchmark::internal::Benchmark* benchmark)
{
    benchmark->UseManualTime()->Repetitions(9)->ReportAggregatesOnly(true)->MinTime(0.3)->Unit(benchmark::kMicrosecond);
}

BENCHMARK(ChangingTick)->Apply(Configure);
BENCHMARK(SteadyTick)->Apply(Configure);

}  // namespace

int main(int argc, char** argv) { return RunOnScratchMachine(argc, argv, "console-tick-bench"); }
