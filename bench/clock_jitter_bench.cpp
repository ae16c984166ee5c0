// How steadily the card's real-time clock ticks, against a plain thread
// keeping the same absolute deadlines, measured in the same run. The card
// runs one output transport at 48 kHz with a 64-frame period (1.333 ms), as
// a driver sets it up: an event, one reserved pipe, a 128-frame buffer and
// its position counter. A waiting thread wakes on the event, notes the time
// and reads the counter, which says which tick woke it. The baseline is a
// thread sleeping to absolute deadlines of the same period and waking the
// waiting thread through a condition variable.
//
// Each wake's deviation from its ideal tick is its time less the tick's
// place on the ideal grid, less the median of that (the usual wake latency,
// which is no jitter). The counters give the median and the worst
// deviation, the 99th percentile, the wakes and the ticks that no wake saw.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>
#include <machine/card_driver_hooks.h>
#include <machine/sim_records.h>
#include <machine_testing/test_machine.h>
#include <windows.h>

namespace {

namespace sim = machine::sim;
using Clock = std::chrono::steady_clock;

constexpr std::uint32_t SampleRate = 48000;
constexpr std::uint32_t PeriodFrames = 64;
constexpr std::chrono::duration<double> Period{static_cast<double>(PeriodFrames) / SampleRate};
constexpr std::chrono::seconds RunLength{3};

// Which ideal tick each wake belongs to, and when it came.
struct Wake {
    std::uint64_t tick;
    Clock::time_point time;
};

struct Jitter {
    double medianUs = 0.0;
    double p99Us = 0.0;
    double worstUs = 0.0;
    std::uint64_t wakes = 0;
    std::uint64_t missed = 0;  // ticks between the first and last wake that no wake saw
};

Jitter Analyse(const std::vector<Wake>& wakes)
{
    Jitter j;
    if (wakes.size() < 2) return j;
    const Wake& first = wakes.front();
    std::vector<double> offsets;  // time less the tick's place on the grid, in µs
    offsets.reserve(wakes.size());
    for (const Wake& w : wakes) {
        const std::chrono::duration<double, std::micro> since = w.time - first.time;
        const std::chrono::duration<double, std::micro> grid = Period * static_cast<double>(w.tick - first.tick);
        offsets.push_back(since.count() - grid.count());
    }
    std::vector<double> sorted = offsets;
    std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2), sorted.end());
    const double usual = sorted[sorted.size() / 2];
    std::vector<double> deviations;
    deviations.reserve(offsets.size());
    for (double o : offsets) deviations.push_back(std::abs(o - usual));
    std::sort(deviations.begin(), deviations.end());
    j.medianUs = deviations[deviations.size() / 2];
    j.p99Us = deviations[deviations.size() * 99 / 100];
    j.worstUs = deviations.back();
    j.wakes = wakes.size();
    const std::uint64_t spanned = wakes.back().tick - first.tick + 1;
    j.missed = spanned > wakes.size() ? spanned - wakes.size() : 0;
    return j;
}

void Report(benchmark::State& state, const Jitter& j, std::chrono::duration<double> length)
{
    state.SetIterationTime(length.count());
    state.counters["median_us"] = j.medianUs;
    state.counters["p99_us"] = j.p99Us;
    state.counters["worst_us"] = j.worstUs;
    state.counters["wakes"] = static_cast<double>(j.wakes);
    state.counters["missed"] = static_cast<double>(j.missed);
}

// One request with a result word; ~0u when the card refused the request itself.
template <class In>
std::uint32_t Ask(HANDLE file, DWORD code, const In& in)
{
    std::uint32_t result = ~0u;
    DWORD returned = 0;
    if (DeviceIoControl(file, code, const_cast<In*>(&in), sizeof in, &result, sizeof result, &returned, nullptr) !=
            TRUE ||
        returned != sizeof result)
        return ~0u;
    return result;
}

// An output transport of pipe 0 on its own open file, set up as the drivers
// do it and running until the object goes.
class RunningTransport {
public:
    explicit RunningTransport(const std::string& path)
    {
        file_ = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        event_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        if (file_ == INVALID_HANDLE_VALUE || event_ == nullptr) return;
        DWORD returned = 0;
        if (DeviceIoControl(file_, sim::IOCTL_OPEN_TRANSPORT, nullptr, 0, &cookie_, sizeof cookie_, &returned,
                            nullptr) != TRUE ||
            cookie_ == 0)
            return;
        const auto eventValue = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(event_));
        const std::uint32_t rate = SampleRate;
        if (Ask(file_, sim::IOCTL_SET_SAMPLE_RATE, rate) != 0 ||
            Ask(file_, sim::IOCTL_SET_TRANSPORT_EVENT, sim::TransportEventRecord{cookie_, eventValue}) != 0 ||
            Ask(file_, sim::IOCTL_RESERVE_PIPES, sim::PipeReservation{cookie_, 1, 0, 0, 1}) != 0 ||
            Ask(file_, sim::IOCTL_MAP_PIPE_BUFFER, sim::PipeBufferRequest{cookie_, 0, 0, 0, 2 * PeriodFrames}) == 0)
            return;
        const std::uint32_t counter =
            Ask(file_, sim::IOCTL_MAP_PIPE_POSITION, sim::PipePositionRequest{cookie_, 0, 0, 0});
        if (counter == 0 || counter == ~0u) return;
        counter_ = reinterpret_cast<std::uint32_t*>(static_cast<std::uintptr_t>(counter));
        running_ = Ask(file_, sim::IOCTL_START_TRANSPORT, cookie_) == 0;
    }
    ~RunningTransport()
    {
        if (cookie_ != 0) {
            Ask(file_, sim::IOCTL_STOP_TRANSPORT, cookie_);
            DWORD returned = 0;
            DeviceIoControl(file_, sim::IOCTL_CLOSE_TRANSPORT, &cookie_, sizeof cookie_, nullptr, 0, &returned,
                            nullptr);
        }
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
        if (event_ != nullptr) CloseHandle(event_);
    }
    RunningTransport(const RunningTransport&) = delete;
    RunningTransport& operator=(const RunningTransport&) = delete;

    bool running() const { return running_; }
    HANDLE event() const { return event_; }
    // The position counter: bytes of pipe 0 moved since the start.
    std::uint32_t Position() const { return std::atomic_ref<std::uint32_t>(*counter_).load(std::memory_order_acquire); }

private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
    HANDLE event_ = nullptr;
    std::uint32_t cookie_ = 0;
    std::uint32_t* counter_ = nullptr;
    bool running_ = false;
};

std::vector<Wake> ReserveWakes()
{
    std::vector<Wake> wakes;
    wakes.reserve(static_cast<std::size_t>(2 * RunLength / Period));
    return wakes;
}

void CardClock(benchmark::State& state)
{
    machine_testing::TestMachine machine(machine_testing::Cards({"default"}),
                                         machine_testing::TestMachineOptions{machine::ClockMode::RealTime});
    for (auto _ : state) {
        RunningTransport transport(machine.InterfacePath(0));
        if (!transport.running()) {
            state.SkipWithError("the card did not start the transport");
            return;
        }
        std::vector<Wake> wakes = ReserveWakes();
        const Clock::time_point end = Clock::now() + RunLength;
        while (Clock::now() < end) {
            if (WaitForSingleObject(transport.event(), 1000) != WAIT_OBJECT_0) {
                state.SkipWithError("the card's clock stopped ticking");
                return;
            }
            const Clock::time_point now = Clock::now();
            // Four bytes a frame on one pipe.
            wakes.push_back({transport.Position() / 4 / PeriodFrames, now});
        }
        Report(state, Analyse(wakes), RunLength);
    }
}

// The same period kept by a plain thread, which wakes the waiting thread.
void PlainThreadClock(benchmark::State& state)
{
    for (auto _ : state) {
        std::mutex lock;
        std::condition_variable ticked;
        std::uint64_t ticks = 0;
        bool stop = false;
        std::thread clock([&] {
            const Clock::time_point epoch = Clock::now();
            for (std::uint64_t k = 1;; ++k) {
                std::this_thread::sleep_until(epoch + std::chrono::duration_cast<Clock::duration>(Period * k));
                {
                    std::lock_guard guard(lock);
                    if (stop) return;
                    ticks = k;
                }
                ticked.notify_one();
            }
        });
        std::vector<Wake> wakes = ReserveWakes();
        const Clock::time_point end = Clock::now() + RunLength;
        std::uint64_t seen = 0;
        {
            std::unique_lock guard(lock);
            while (Clock::now() < end) {
                ticked.wait(guard, [&] { return ticks != seen; });
                seen = ticks;
                wakes.push_back({seen, Clock::now()});
            }
            stop = true;
        }
        clock.join();
        Report(state, Analyse(wakes), RunLength);
    }
}

void Configure(benchmark::internal::Benchmark* benchmark)
{
    benchmark->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
}

BENCHMARK(CardClock)->Apply(Configure);
BENCHMARK(PlainThreadClock)->Apply(Configure);

}  // namespace

BENCHMARK_MAIN();
