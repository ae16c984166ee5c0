// The program's non-throwing operator new and its array form. The test
// executable exports them, so the driver's allocations come here as well.
#include "refuse_allocation.h"

#include <atomic>
#include <new>

namespace {

// Allocations still to let through before the refusal; negative: disarmed.
std::atomic<long> g_Countdown{-1};
std::atomic<bool> g_Refused{false};

bool Refuse()
{
    long left = g_Countdown.load();
    while (left >= 0 && !g_Countdown.compare_exchange_weak(left, left - 1)) {
    }
    if (left != 0) return false;
    g_Refused = true;
    return true;
}

}  // namespace

RefuseAllocation::RefuseAllocation(long k)
{
    g_Refused = false;
    g_Countdown = k;
}

RefuseAllocation::~RefuseAllocation() { g_Countdown = -1; }

bool RefuseAllocation::Refused() const { return g_Refused; }

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    if (Refuse()) return nullptr;
    try {
        return ::operator new(size);
    } catch (...) {
        return nullptr;
    }
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    if (Refuse()) return nullptr;
    try {
        return ::operator new[](size);
    } catch (...) {
        return nullptr;
    }
}
