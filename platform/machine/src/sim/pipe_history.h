// The samples one output pipe carried, newest last, in a ring of fixed size:
// what tests read back, what a loopback input hears and what the pipe's meter
// measures. Pushing never allocates, so the clock thread can feed it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace machine::sim {

class PipeHistory {
public:
    // Allocates; drops what was kept.
    void SetLimit(std::size_t samples);
    std::size_t Limit() const noexcept { return ring_.size(); }

    void Push(std::int32_t sample) noexcept
    {
        if (ring_.empty()) return;
        ring_[total_ % ring_.size()] = sample;
        ++total_;
    }
    // The sample `ago` pushes back (0 = the newest); 0 for what is no longer kept.
    std::int32_t Back(std::uint64_t ago) const noexcept;
    // Everything kept, oldest first.
    std::vector<std::int32_t> Kept() const;
    void Clear() noexcept { total_ = meterCursor_ = 0; }

    // The meter reads the pipe in order, on its own cursor; what was overwritten
    // before the meter came to it is skipped, and silence follows the newest sample.
    std::int32_t NextForMeter() noexcept;
    // Leaves the meter at most `samples` behind the newest sample.
    void LimitMeterBacklog(std::uint64_t samples) noexcept
    {
        if (total_ - meterCursor_ > samples) meterCursor_ = total_ - samples;
    }

private:
    std::vector<std::int32_t> ring_;
    std::uint64_t total_ = 0;
    std::uint64_t meterCursor_ = 0;
};

}  // namespace machine::sim
