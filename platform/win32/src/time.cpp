// Clocks. Ticks are milliseconds of the monotonic clock, cut to 32 bits so
// that they wrap as Windows' do. The performance counter counts nanoseconds
// and never gives the same reading twice in a process. A test may move the
// ticks on by an offset.
#include "win32/time.h"

#include <atomic>
#include <chrono>

namespace {

std::atomic<DWORD> g_TickOffset{0};

std::int64_t MonotonicNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

void win32::SetTickOffset(DWORD milliseconds) { g_TickOffset.store(milliseconds, std::memory_order_relaxed); }

DWORD GetTickCount()
{
    return static_cast<DWORD>(MonotonicNanoseconds() / 1'000'000) + g_TickOffset.load(std::memory_order_relaxed);
}

DWORD timeGetTime() { return GetTickCount(); }

BOOL QueryPerformanceCounter(LARGE_INTEGER* count)
{
    static std::atomic<std::int64_t> last{0};
    std::int64_t now = MonotonicNanoseconds();
    std::int64_t previous = last.load(std::memory_order_relaxed);
    // Two readings within one clock step: the later one moves on by one.
    do {
        if (now <= previous) now = previous + 1;
    } while (!last.compare_exchange_weak(previous, now, std::memory_order_relaxed));
    count->QuadPart = now;
    return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency)
{
    frequency->QuadPart = 1'000'000'000;
    return TRUE;
}
