// Interlocked operations on LONG: sequentially consistent, as the
// processor's locked instructions are.
#include <atomic>

#include "win32/kernel.h"

namespace {

std::atomic_ref<LONG> Atomic(LONG volatile* value) { return std::atomic_ref<LONG>(*const_cast<LONG*>(value)); }

}  // namespace

LONG InterlockedIncrement(LONG volatile* value) { return Atomic(value).fetch_add(1) + 1; }

LONG InterlockedDecrement(LONG volatile* value) { return Atomic(value).fetch_sub(1) - 1; }

LONG InterlockedExchange(LONG volatile* target, LONG value) { return Atomic(target).exchange(value); }

LONG InterlockedExchangeAdd(LONG volatile* target, LONG value) { return Atomic(target).fetch_add(value); }

LONG InterlockedCompareExchange(LONG volatile* target, LONG exchange, LONG comparand)
{
    Atomic(target).compare_exchange_strong(comparand, exchange);
    return comparand;
}
