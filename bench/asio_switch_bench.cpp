// How soon the ASIO driver's buffer switch reaches the host after the card
// sets its transport event, against the platform's raw wake latency measured
// in the same run.
//   - Driver: the driver registered and loaded by the ASIO host on a machine
//     of 1 or 2 cards with the real-time clock at 48 kHz, one output buffer
//     per card. A period ends when the last card has set its event for it
//     (the simulator reads the counter just before it sets one); a switch
//     after the two pre-fills belongs to the period that ended last before
//     its entry, and its latency is the host's performance counter at the
//     entry less that end. While the machine is loaded the card's clock may
//     tick late and then catch up, several ticks within microseconds: those
//     periods count as lost, as no switch can be told from the next.
//   - Raw: a time-critical thread blocked in WaitForMultipleObjects with
//     wait-all over as many events, which another thread sets at the same
//     period, reading the counter just before the last SetEvent.
// Counters: the median, 99th percentile and maximum in µs, the periods that
// woke nothing of their own. At the end the
// medians and their ratio are printed, and whether the switch thread got
// time-critical (real-time) scheduling.
#include <sched.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <benchmark/benchmark.h>
#include <hosts/asio_host.h>
#include <hosts/server_registration.h>
#include <machine/card_driver_hooks.h>
#include <machine_testing/test_machine.h>
#include <windows.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kRate = 48000;
constexpr std::chrono::milliseconds kRunLength{2000};
constexpr LONG kOutputsPerCard = 10;  // of a default card

struct Latencies {
    std::vector<double> microseconds;
    std::size_t unmatched = 0;  // wakes before the first period ended
    std::size_t lost = 0;       // periods that woke nobody of their own
    bool fifo = false;          // the waiting thread ran SCHED_FIFO
};

// Each wake belongs to the period whose end came last before it.
void PairWithPeriods(const std::vector<std::int64_t>& periodEnds, const std::vector<std::int64_t>& wakes,
                     Latencies& latencies)
{
    for (const std::int64_t wake : wakes) {
        const auto after = std::upper_bound(periodEnds.begin(), periodEnds.end(), wake);
        if (after == periodEnds.begin()) ++latencies.unmatched;
        else latencies.microseconds.push_back(static_cast<double>(wake - *(after - 1)) / 1000.0);
    }
    latencies.lost = periodEnds.size() > wakes.size() ? periodEnds.size() - wakes.size() : 0;
}

struct Summary {
    double median = 0, p99 = 0, max = 0;
    std::size_t count = 0;
};

Summary Summarise(std::vector<double> values)
{
    Summary s;
    if (values.empty()) return s;
    std::sort(values.begin(), values.end());
    s.median = values[values.size() / 2];
    s.p99 = values[values.size() * 99 / 100];
    s.max = values.back();
    s.count = values.size();
    return s;
}

struct Result {
    Summary driver, raw;
    bool driverFifo = false, rawFifo = false;
};
// By buffer size and card count.
std::map<std::pair<LONG, std::size_t>, Result> g_Results;

void Report(benchmark::State& state, const Latencies& latencies, Summary& summary)
{
    summary = Summarise(latencies.microseconds);
    state.SetIterationTime(std::chrono::duration<double>(kRunLength).count());
    state.counters["median_us"] = summary.median;
    state.counters["p99_us"] = summary.p99;
    state.counters["max_us"] = summary.max;
    state.counters["wakes"] = static_cast<double>(summary.count);
    state.counters["unmatched"] = static_cast<double>(latencies.unmatched);
    state.counters["lost"] = static_cast<double>(latencies.lost);
}

// The driver streaming on `cards` default cards; an empty result with `error` set when it cannot.
Latencies DriverLatencies(LONG size, std::size_t cards, std::string& error)
{
    Latencies latencies;
    machine_testing::TestMachine machine(cards == 1 ? machine_testing::Cards({"default"})
                                                    : machine_testing::Cards({"default", "default"}),
                                         machine_testing::TestMachineOptions{machine::ClockMode::RealTime});
    if (!hosts::CallServerRegistration(ZAVO_ASIO_DRIVER_PATH, hosts::ServerCall::Register).Succeeded()) {
        error = "the driver could not be registered";
        return latencies;
    }
    hosts::AsioHost host;
    if (FAILED(host.Load("ASIO Zavo PCI")) || !host.Init() || host.Driver().setSampleRate(kRate) != ASE_OK) {
        error = "the driver could not be set up";
        return latencies;
    }
    std::vector<hosts::AsioBufferRequest> outputs;
    for (std::size_t card = 0; card < cards; ++card)
        outputs.push_back({false, static_cast<LONG>(card) * kOutputsPerCard});
    const auto periods = static_cast<std::size_t>(std::chrono::duration<double>(kRunLength).count() * kRate / size);
    const hosts::AsioStreamOptions options{.supportsTimeInfo = 1, .switchCapacity = periods + 64};
    if (host.CreateBuffers(outputs, size, options) != ASE_OK || host.Start() != ASE_OK) {
        error = "the driver did not stream";
        return latencies;
    }
    Sleep(static_cast<DWORD>(kRunLength.count()));
    host.Stop();

    const std::vector<hosts::AsioSwitchRecord> switches = host.Callbacks().Switches();
    latencies.fifo = switches.size() > 2 && switches.back().scheduler == SCHED_FIFO;
    // Tick j of every card: the last of them set the event the thread waited for.
    std::vector<std::int64_t> periodEnds;
    for (std::size_t card = 0; card < cards; ++card) {
        const machine::EventStampLog log = machine.Hooks(card).TransportEventStamps();
        if (log.total != log.stamps.size()) {
            error = "more ticks than the card keeps stamps of";
            return latencies;
        }
        periodEnds.resize(std::max(periodEnds.size(), log.stamps.size()));
        for (std::size_t j = 0; j < log.stamps.size(); ++j) periodEnds[j] = std::max(periodEnds[j], log.stamps[j]);
    }
    std::vector<std::int64_t> entries;
    for (std::size_t k = 2; k < switches.size(); ++k) entries.push_back(switches[k].entered);
    PairWithPeriods(periodEnds, entries, latencies);
    host.Unload();
    return latencies;
}

// The same wait with nothing but the platform's events and threads.
class RawWaiter {
public:
    RawWaiter(std::size_t events, std::size_t capacity) : events_(events)
    {
        for (HANDLE& event : events_) event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        wakes_.reserve(capacity);
        thread_ = CreateThread(nullptr, 0, &RawWaiter::Run, this, 0, nullptr);
        SetThreadPriority(thread_, THREAD_PRIORITY_TIME_CRITICAL);
    }
    ~RawWaiter()
    {
        Finish();
        for (HANDLE event : events_) CloseHandle(event);
    }
    RawWaiter(const RawWaiter&) = delete;
    RawWaiter& operator=(const RawWaiter&) = delete;

    // Sets every event, reading the counter just before the last; the stamp.
    std::int64_t SetAll()
    {
        LARGE_INTEGER now{};
        for (std::size_t i = 0; i < events_.size(); ++i) {
            if (i + 1 == events_.size()) QueryPerformanceCounter(&now);
            SetEvent(events_[i]);
        }
        return now.QuadPart;
    }
    // Ends the waiting thread; then the counter at each wake, and its scheduling.
    void Finish()
    {
        if (!thread_) return;
        stop_ = true;
        for (HANDLE event : events_) SetEvent(event);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        thread_ = nullptr;
    }
    const std::vector<std::int64_t>& Wakes() const { return wakes_; }
    bool Fifo() const { return fifo_; }

private:
    static DWORD Run(LPVOID parameter)
    {
        auto& self = *static_cast<RawWaiter*>(parameter);
        for (;;) {
            const DWORD woken = WaitForMultipleObjects(static_cast<DWORD>(self.events_.size()), self.events_.data(),
                                                       TRUE, 1000);
            LARGE_INTEGER now;
            QueryPerformanceCounter(&now);
            if (self.stop_) return 0;
            if (woken != WAIT_OBJECT_0 || self.wakes_.size() == self.wakes_.capacity()) continue;
            self.wakes_.push_back(now.QuadPart);
            self.fifo_ = sched_getscheduler(0) == SCHED_FIFO;
        }
    }

    std::vector<HANDLE> events_;
    std::vector<std::int64_t> wakes_;
    HANDLE thread_ = nullptr;
    std::atomic<bool> stop_{false};
    bool fifo_ = false;
};

Latencies RawLatencies(LONG size, std::size_t events)
{
    const std::chrono::duration<double> period(size / kRate);
    const auto periods = static_cast<std::size_t>(std::chrono::duration<double>(kRunLength) / period);
    std::vector<std::int64_t> stamps;
    stamps.reserve(periods + 1);
    Latencies latencies;
    {
        RawWaiter waiter(events, periods + 1);
        // The setter keeps absolute deadlines, as the card's clock does.
        std::thread setter([&] {
            const Clock::time_point epoch = Clock::now();
            for (std::size_t k = 1; k <= periods; ++k) {
                std::this_thread::sleep_until(epoch + std::chrono::duration_cast<Clock::duration>(period * k));
                stamps.push_back(waiter.SetAll());
            }
        });
        setter.join();
        Sleep(static_cast<DWORD>(period.count() * 1000) + 10);  // the last wake
        waiter.Finish();
        latencies.fifo = waiter.Fifo();
        PairWithPeriods(stamps, waiter.Wakes(), latencies);
    }
    return latencies;
}

void DriverSwitch(benchmark::State& state)
{
    const auto size = static_cast<LONG>(state.range(0));
    const auto cards = static_cast<std::size_t>(state.range(1));
    for (auto _ : state) {
        std::string error;
        const Latencies latencies = DriverLatencies(size, cards, error);
        if (!error.empty()) {
            state.SkipWithError(error.c_str());
            return;
        }
        Result& result = g_Results[{size, cards}];
        result.driverFifo = latencies.fifo;
        Report(state, latencies, result.driver);
    }
}

void RawWake(benchmark::State& state)
{
    const auto size = static_cast<LONG>(state.range(0));
    const auto events = static_cast<std::size_t>(state.range(1));
    for (auto _ : state) {
        const Latencies latencies = RawLatencies(size, events);
        Result& result = g_Results[{size, events}];
        result.rawFifo = latencies.fifo;
        Report(state, latencies, result.raw);
    }
}

void Configure(benchmark::internal::Benchmark* benchmark)
{
    benchmark->ArgNames({"frames", "cards"});
    for (const int64_t size : {64, 256, 512})
        for (const int64_t cards : {1, 2}) benchmark->Args({size, cards});
    benchmark->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
}

BENCHMARK(DriverSwitch)->Apply(Configure);
BENCHMARK(RawWake)->Apply(Configure);

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::printf("\nEvent to bufferSwitch at 48 kHz, in µs (driver: event set to the host's switch; raw: the\n"
                "platform's wait-all wake on as many events):\n");
    std::printf("%6s %5s | %8s %8s %8s | %8s %8s %8s | %6s\n", "frames", "cards", "median", "p99", "max", "median",
                "p99", "max", "ratio");
    bool fifo = true;
    for (const auto& [key, r] : g_Results) {
        if (r.driver.count == 0 || r.raw.count == 0) continue;
        std::printf("%6d %5zu | %8.1f %8.1f %8.1f | %8.1f %8.1f %8.1f | %6.2f\n", static_cast<int>(key.first),
                    key.second, r.driver.median, r.driver.p99, r.driver.max, r.raw.median, r.raw.p99, r.raw.max,
                    r.driver.median / r.raw.median);
        fifo = fifo && r.driverFifo && r.rawFifo;
    }
    std::printf("Time-critical scheduling %s on this machine.\n",
                fifo ? "took (SCHED_FIFO)" : "did not take everywhere (real-time scheduling refused)");
    return 0;
}
