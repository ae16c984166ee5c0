// Wake latency of the kernel objects against a raw condition-variable
// ping-pong measured in the same run. Each iteration is one round trip:
// this thread signals a waiting worker, the worker signals back.
//   - SetEvent to a thread blocked in WaitForSingleObject;
//   - four SetEvent calls to a thread blocked in WaitForMultipleObjects with
//     wait-all over the four events (the buffer-switch thread's wait).
// At the end the medians of the repetitions and the layer's ratio to the
// baseline are printed.
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>
#include <windows.h>

namespace {

// A worker blocked on N auto-reset events (one wait, wait-all for N > 1)
// that answers each full set with its own event.
template <std::size_t N>
class EventPingPong {
public:
    EventPingPong()
    {
        for (auto& event : pings_) event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        pong_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, &EventPingPong::Run, this, 0, nullptr);
    }
    ~EventPingPong()
    {
        stop_ = true;
        for (HANDLE event : pings_) SetEvent(event);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        for (HANDLE event : pings_) CloseHandle(event);
        CloseHandle(pong_);
    }
    EventPingPong(const EventPingPong&) = delete;
    EventPingPong& operator=(const EventPingPong&) = delete;

    void RoundTrip()
    {
        for (HANDLE event : pings_) SetEvent(event);
        WaitForSingleObject(pong_, INFINITE);
    }

private:
    static DWORD Run(LPVOID parameter)
    {
        auto& self = *static_cast<EventPingPong*>(parameter);
        for (;;) {
            if constexpr (N == 1)
                WaitForSingleObject(self.pings_[0], INFINITE);
            else
                WaitForMultipleObjects(N, self.pings_.data(), TRUE, INFINITE);
            if (self.stop_) return 0;
            SetEvent(self.pong_);
        }
    }

    std::array<HANDLE, N> pings_{};
    HANDLE pong_ = nullptr;
    HANDLE thread_ = nullptr;
    std::atomic<bool> stop_{false};
};

// The same exchange with a mutex, two condition variables and N flags, each
// flag set under the lock with its own notify as each SetEvent is.
template <std::size_t N>
class RawPingPong {
public:
    RawPingPong() : worker_([this] { Run(); }) {}
    ~RawPingPong()
    {
        {
            std::lock_guard guard(lock_);
            stop_ = true;
        }
        pinged_.notify_one();
        worker_.join();
    }
    RawPingPong(const RawPingPong&) = delete;
    RawPingPong& operator=(const RawPingPong&) = delete;

    void RoundTrip()
    {
        for (bool& flag : flags_) {
            {
                std::lock_guard guard(lock_);
                flag = true;
            }
            pinged_.notify_one();
        }
        std::unique_lock lock(lock_);
        ponged_.wait(lock, [this] { return pong_; });
        pong_ = false;
    }

private:
    bool AllSet() const
    {
        for (bool flag : flags_)
            if (!flag) return false;
        return true;
    }

    void Run()
    {
        std::unique_lock lock(lock_);
        for (;;) {
            pinged_.wait(lock, [this] { return stop_ || AllSet(); });
            if (stop_) return;
            flags_.fill(false);
            pong_ = true;
            ponged_.notify_one();
        }
    }

    std::mutex lock_;
    std::condition_variable pinged_;
    std::condition_variable ponged_;
    std::array<bool, N> flags_{};
    bool pong_ = false;
    bool stop_ = false;
    std::thread worker_;
};

template <class PingPong>
void RoundTrips(benchmark::State& state)
{
    PingPong pingPong;
    for (auto _ : state) pingPong.RoundTrip();
}

void SetEventWake(benchmark::State& state) { RoundTrips<EventPingPong<1>>(state); }
void ConditionVariableWake(benchmark::State& state) { RoundTrips<RawPingPong<1>>(state); }
void WaitAllFourEvents(benchmark::State& state) { RoundTrips<EventPingPong<4>>(state); }
void ConditionVariableWaitAllFour(benchmark::State& state) { RoundTrips<RawPingPong<4>>(state); }

void Configure(benchmark::internal::Benchmark* benchmark)
{
    benchmark->UseRealTime()->Repetitions(9)->ReportAggregatesOnly(true)->MinTime(0.2);
}

BENCHMARK(SetEventWake)->Apply(Configure);
BENCHMARK(ConditionVariableWake)->Apply(Configure);
BENCHMARK(WaitAllFourEvents)->Apply(Configure);
BENCHMARK(ConditionVariableWaitAllFour)->Apply(Configure);

// The console's report, keeping the median of each benchmark for the ratios.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const auto& run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                medians[run.run_name.function_name] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> medians;
};

void PrintRatio(const MedianReporter& reporter, const char* what, const char* layer, const char* raw)
{
    const auto l = reporter.medians.find(layer);
    const auto r = reporter.medians.find(raw);
    if (l == reporter.medians.end() || r == reporter.medians.end()) return;
    std::printf("%-28s layer median %9.0f ns, raw median %9.0f ns, ratio %.2f\n", what, l->second, r->second,
                l->second / r->second);
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::printf("\nRound trip (signal, wake, answer):\n");
    PrintRatio(reporter, "SetEvent wake", "SetEventWake", "ConditionVariableWake");
    PrintRatio(reporter, "Wait-all over four events", "WaitAllFourEvents", "ConditionVariableWaitAllFour");
    return 0;
}
