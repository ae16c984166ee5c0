// The ring of transport-event stamps.
#include "event_stamps.h"

#include <algorithm>

#include "win32/time.h"

namespace machine::sim {

void EventStamps::Stamp() noexcept
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    const std::uint64_t n = count_.fetch_add(1, std::memory_order_relaxed);
    stamps_[n % kKept].store(now.QuadPart, std::memory_order_release);
}

EventStampLog EventStamps::Read() const
{
    EventStampLog log;
    log.total = count_.load(std::memory_order_acquire);
    const std::uint64_t first = log.total - std::min<std::uint64_t>(log.total, kKept);
    log.stamps.reserve(static_cast<std::size_t>(log.total - first));
    for (std::uint64_t n = first; n < log.total; ++n)
        log.stamps.push_back(stamps_[n % kKept].load(std::memory_order_acquire));
    return log;
}

}  // namespace machine::sim
