// The test hooks: a failing SetThreadPriority and a fixed counter reading.
#include "fault_hooks.h"

#include <atomic>
#include <cstdint>

namespace win32 {
namespace {

// The armed error in the low word, with the armed bit above it.
constexpr std::uint64_t kArmed = std::uint64_t{1} << 32;
std::atomic<std::uint64_t> g_PriorityFailure{0};

thread_local std::optional<DWORD> t_FixedCountBits;

}  // namespace

void FailNextSetThreadPriority(DWORD error) { g_PriorityFailure.store(kArmed | error, std::memory_order_release); }

std::optional<DWORD> TakePriorityFailure()
{
    // Cheap when nothing is armed: only a load.
    if (g_PriorityFailure.load(std::memory_order_relaxed) == 0) return std::nullopt;
    const std::uint64_t armed = g_PriorityFailure.exchange(0, std::memory_order_acq_rel);
    if (armed == 0) return std::nullopt;
    return static_cast<DWORD>(armed);
}

void FixNextPerformanceCount(DWORD lowBits) { t_FixedCountBits = lowBits; }

std::optional<DWORD> TakeFixedCountBits()
{
    const std::optional<DWORD> bits = t_FixedCountBits;
    t_FixedCountBits.reset();
    return bits;
}

}  // namespace win32
