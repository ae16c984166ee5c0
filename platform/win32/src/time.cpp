// Clocks. Ticks are milliseconds of the monotonic clock, cut to 32 bits so
// that they wrap as Windows' do. The performance counter counts nanoseconds
// and never gives the same reading twice in a process. A test may move the
// ticks on by an offset, or fix a thread's next counter reading.
#include "win32/time.h"

#include <atomic>
#include <chrono>
#include <optional>

#include "fault_hooks.h"
#include "performance_count.h"

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

namespace {

// The next reading: above the last one, and with `lowBits` as its low 32 bits
// when they are given.
std::int64_t NextCount(std::optional<DWORD> lowBits)
{
    static std::atomic<std::int64_t> last{0};
    const std::int64_t now = MonotonicNanoseconds();
    std::int64_t previous = last.load(std::memory_order_relaxed);
    std::int64_t next;
    do {
        // Two readings within one clock step: the later one moves on by one.
        next = now <= previous ? previous + 1 : now;
        if (lowBits) {
            constexpr std::int64_t kHigh = ~std::int64_t{0xFFFFFFFF};
            const std::int64_t fixed = (next & kHigh) | *lowBits;
            next = fixed >= next ? fixed : fixed + (std::int64_t{1} << 32);
        }
    } while (!last.compare_exchange_weak(previous, next, std::memory_order_relaxed));
    return next;
}

}  // namespace

LONGLONG win32::ReadPerformanceCount() { return NextCount(std::nullopt); }

BOOL QueryPerformanceCounter(LARGE_INTEGER* count)
{
    count->QuadPart = NextCount(win32::TakeFixedCountBits());
    return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency)
{
    frequency->QuadPart = 1'000'000'000;
    return TRUE;
}
