// The card driver's per-open-file object: what CreateFileA on the card's
// interface path makes. Requests and the handle's cleanup go to the card
// through its gate, so a file that outlives its card fails cleanly.
#pragma once

#include <cstdint>
#include <memory>

#include "card_impl.h"
#include "win32/device_io.h"

namespace machine::sim {

class SimFile final : public win32::DeviceFile {
public:
    SimFile(std::shared_ptr<CardDriver::Impl::Gate> gate, std::uint64_t id) : gate_(std::move(gate)), id_(id) {}

    BOOL Control(DWORD code, std::span<BYTE> buffer, DWORD inSize, DWORD outSize, DWORD& returned) override;
    void Cleanup() override;

private:
    std::shared_ptr<CardDriver::Impl::Gate> gate_;
    std::uint64_t id_;
};

}  // namespace machine::sim
