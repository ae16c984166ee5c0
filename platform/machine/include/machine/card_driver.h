// The card-driver simulator for one card: what the kernel-mode card driver
// does behind the card's device interface. The machine owns one per card and
// hands CreateFileA on the card's interface path to OpenFile.
#pragma once

#include <filesystem>
#include <memory>

#include "machine/card_config.h"
#include "win32/device_io.h"
#include "win32/types.h"

namespace machine {

class CardDriver {
public:
    // The machine directory holds the card's lock file, through which a restart sees the
    // card's files open in other processes; without one, only this process's files count.
    explicit CardDriver(CardConfig config, const std::filesystem::path& machineDirectory = {});
    ~CardDriver();
    CardDriver(const CardDriver&) = delete;
    CardDriver& operator=(const CardDriver&) = delete;

    const CardConfig& Config() const noexcept;

    // A new open file of this card (the driver's per-open-file object); nullptr with
    // `error` set (ERROR_FILE_NOT_FOUND for an absent card, ERROR_DEVICE_IN_USE while
    // another process restarts it for longer than an open waits).
    std::shared_ptr<win32::DeviceFile> OpenFile(DWORD& error);

    // The restart that SetupDiChangeState asks for. FALSE with `error` set when refused
    // (a file of the card is open in any process of the machine, the card is absent, or
    // a test refuses it).
    BOOL Restart(DWORD& error);

    // Test hooks, the request log and the state read-back are declared in
    // machine/card_driver_hooks.h.
    class Impl;
    Impl& impl() noexcept { return *impl_; }

private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace machine
