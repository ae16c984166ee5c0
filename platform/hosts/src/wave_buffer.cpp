// A client's wave buffer.
#include "hosts/wave_buffer.h"

#include <algorithm>

namespace hosts {

WaveBuffer::WaveBuffer(std::size_t bytes, std::size_t offset)
    : block_(std::make_unique<BYTE[]>(bytes + offset)), data_(block_.get() + offset)
{
    header_.lpData = reinterpret_cast<LPSTR>(data_);
    header_.dwBufferLength = static_cast<DWORD>(bytes);
}

WaveBuffer::WaveBuffer(std::span<const BYTE> data, std::size_t offset) : WaveBuffer(data.size(), offset)
{
    std::copy(data.begin(), data.end(), data_);
}

}  // namespace hosts
