// When the card set its transport events: the performance counter read just
// before each SetEvent, the newest few thousand kept. Whichever thread ticks
// writes them and a test or benchmark reads them, neither holding the card's
// lock, so every entry is atomic.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "machine/card_driver_hooks.h"

namespace machine::sim {

class EventStamps {
public:
    static constexpr std::size_t kKept = 4096;

    // Reads the performance counter and keeps the reading. Allocates nothing.
    void Stamp() noexcept;
    // Exact while no transport of the card runs; while one runs, its oldest entries may be newer.
    EventStampLog Read() const;

private:
    std::array<std::atomic<std::int64_t>, kKept> stamps_{};
    std::atomic<std::uint64_t> count_{0};
};

}  // namespace machine::sim
