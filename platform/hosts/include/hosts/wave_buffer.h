// A client's wave buffer: a header over data of its own, which may start at
// an unaligned address as a client's data may. The driver holds the header
// by its address while it is queued, so a buffer neither copies nor moves.
#pragma once

#include <cstddef>
#include <memory>
#include <span>

#include <mmsystem.h>

namespace hosts {

class WaveBuffer {
public:
    // `bytes` of zeros, `offset` bytes past an aligned block.
    explicit WaveBuffer(std::size_t bytes, std::size_t offset = 0);
    // A copy of `data`.
    explicit WaveBuffer(std::span<const BYTE> data, std::size_t offset = 0);
    WaveBuffer(const WaveBuffer&) = delete;
    WaveBuffer& operator=(const WaveBuffer&) = delete;

    WAVEHDR& Header() { return header_; }
    const WAVEHDR& Header() const { return header_; }
    std::span<BYTE> Data() { return {data_, header_.dwBufferLength}; }
    std::span<const BYTE> Data() const { return {data_, header_.dwBufferLength}; }

private:
    std::unique_ptr<BYTE[]> block_;
    BYTE* data_;
    WAVEHDR header_{};
};

}  // namespace hosts
