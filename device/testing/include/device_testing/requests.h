// Readers for the requests the card driver logged: the input of a request as
// a record of ours, its code and sizes, and the mixer messages it carried.
//
//     const std::vector<machine::RequestRecord> log = hooks.Log();
//     device_testing::ExpectRequest(log[0], IOCTL_MIXER_MESSAGE, sizeof(MixerRequest), sizeof(MixerRequest));
//     const MixerMessage message = device_testing::Message(log[0]);
#pragma once

#include <cstddef>
#include <cstring>

#include <gtest/gtest.h>

#include "daveror_codes.h"
#include "daveror_records.h"
#include "machine/card_driver_hooks.h"

namespace device_testing {

// The input of a logged request at `offset`, as a record of ours.
template <typename T>
T Input(const machine::RequestRecord& request, std::size_t offset = 0)
{
    T value{};
    EXPECT_GE(request.input.size(), offset + sizeof(T));
    if (request.input.size() >= offset + sizeof(T)) std::memcpy(&value, request.input.data() + offset, sizeof(T));
    return value;
}

inline void ExpectRequest(const machine::RequestRecord& request, DWORD code, DWORD inSize, DWORD outSize)
{
    EXPECT_EQ(request.code, code);
    EXPECT_EQ(request.inSize, inSize);
    EXPECT_EQ(request.outSize, outSize);
}

// Message `index` of a mixer request, after its count.
inline MixerMessage Message(const machine::RequestRecord& request, int index = 0)
{
    return Input<MixerMessage>(request, 4 + static_cast<std::size_t>(index) * sizeof(MixerMessage));
}

}  // namespace device_testing
