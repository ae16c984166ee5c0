// The simulated computer of this process: the cards of the machine profile,
// each with its card driver, and the device tree in the registry.
//
// A program needs none of this: the machine boots by itself at the first
// CreateFileA of a device path or the first SetupAPI call, from the machine
// directory ($ZAVO_MACHINE, else ~/.local/state/zavo-machine), and boots
// again when that directory changes. Tests and the machine command use it.
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "machine/card_config.h"
#include "machine/card_driver.h"

namespace machine {

class Machine : public std::enable_shared_from_this<Machine> {
public:
    // Boots from the directory: reads its profile (a missing profile is written as the
    // default machine; one that cannot be read leaves the machine without cards and is
    // reported in Problems(), never rewritten), then lays the device tree into the registry:
    // a fresh registry gets every node, an existing one gets the nodes of present hardware
    // that are missing (as Plug and Play finds them at start-up). Every present card's
    // interface is registered again where its keys were lost, and Linked says which card
    // interfaces have a running card behind them.
    static std::shared_ptr<Machine> Boot(const std::filesystem::path& directory);
    ~Machine();
    Machine(const Machine&) = delete;
    Machine& operator=(const Machine&) = delete;

    const std::filesystem::path& Directory() const noexcept { return directory_; }
    // Why the profile or the registry could not be used; empty when all went well.
    const std::string& Problems() const noexcept { return problems_; }

    std::size_t CardCount() const noexcept { return cards_.size(); }
    CardDriver& Card(std::size_t index) const;
    const CardConfig& Config(std::size_t index) const;

    // The card whose interface path is `path` (compared case-insensitively), or null.
    CardDriver* FindByPath(std::string_view path) const noexcept;
    // The card whose device instance id ("PCI\VEN_...\<instance>") is `instanceId`, or null.
    CardDriver* FindByInstanceId(std::string_view instanceId) const noexcept;
    // Whether the hardware behind a device instance id is in the machine now.
    bool IsPresent(std::string_view instanceId) const;

    // CreateFileA on a device path: a new open file of the card with that interface path,
    // or nullptr with `error` set (ERROR_FILE_NOT_FOUND when no card of the machine has
    // the path or its device node has been removed). The file keeps the machine alive.
    std::shared_ptr<win32::DeviceFile> OpenFile(std::string_view path, DWORD& error);

private:
    explicit Machine(std::filesystem::path directory);

    void LayDeviceTree();

    struct Slot {
        CardConfig config;
        std::string path;        // the interface path
        std::string instanceId;  // the device instance id
        std::unique_ptr<CardDriver> driver;
    };

    std::filesystem::path directory_;
    std::string problems_;
    std::vector<Slot> cards_;
};

// "PCI\VEN_1057&DEV_dddd&SUBSYS_ssssA5C3&REV_01\<instance>"
std::string DeviceInstanceId(const CardConfig& card);

// The machine command's changes, on the current machine directory. Each throws
// std::invalid_argument or ProfileError with the reason and then changes nothing.
// Adds the card to the profile and its device node and interface to the device tree.
void InstallCard(const CardConfig& card);
// Removes the card with this instance from the profile, and its device node, interface
// and settings from the device tree. Returns the card removed.
CardConfig UninstallCard(std::string_view instance);

// The machine of the current machine directory, booted when first asked or when the
// directory has changed since. Never null.
std::shared_ptr<Machine> CurrentMachine();
// Boots afresh from the current machine directory, as a new process would, and makes it
// the current machine.
std::shared_ptr<Machine> RebootMachine();
// Forgets the current machine; its cards go when the last of their open files closes.
void ShutDownMachine();

}  // namespace machine
