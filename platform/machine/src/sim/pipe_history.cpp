// Pipe history ring.
#include "pipe_history.h"

namespace machine::sim {

void PipeHistory::SetLimit(std::size_t samples)
{
    std::vector<std::int32_t>(samples, 0).swap(ring_);
    Clear();
}

std::int32_t PipeHistory::Back(std::uint64_t ago) const noexcept
{
    const std::uint64_t kept = total_ < ring_.size() ? total_ : ring_.size();
    if (ago >= kept) return 0;
    return ring_[(total_ - 1 - ago) % ring_.size()];
}

std::vector<std::int32_t> PipeHistory::Kept() const
{
    const std::uint64_t kept = total_ < ring_.size() ? total_ : ring_.size();
    std::vector<std::int32_t> samples;
    samples.reserve(kept);
    for (std::uint64_t i = total_ - kept; i < total_; ++i)
        samples.push_back(ring_[i % ring_.size()]);
    return samples;
}

std::int32_t PipeHistory::NextForMeter() noexcept
{
    if (ring_.empty() || meterCursor_ >= total_) return 0;
    if (total_ - meterCursor_ > ring_.size()) meterCursor_ = total_ - ring_.size();
    return ring_[meterCursor_++ % ring_.size()];
}

}  // namespace machine::sim
