// A simulated machine of the test's own, built from cards given in code.
//
//     machine_testing::TestMachine machine({machine::MakePreset("default")});
//     machine::CardHooks hooks = machine.Hooks(0);       // the card driver's test hooks
//     HANDLE file = CreateFileA(machine.InterfacePath(0).c_str(), ...);
//     hooks.Advance(1);                                   // the clock is manual unless asked otherwise
//
//     // Several cards: Cards() gives each preset an instance of its own.
//     machine_testing::TestMachine two(machine_testing::Cards({"default", "absent"}));
//
// The constructor makes a fresh temporary directory, points ZAVO_MACHINE at
// it, writes a profile holding the cards and boots the machine in this
// process, so SetupAPI finds the cards and CreateFileA opens them exactly as
// in a program. The destructor shuts the machine down (every handle of its
// cards should be closed by then), restores ZAVO_MACHINE and removes the
// directory. One TestMachine at a time per process.
#pragma once

#include <cstddef>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "machine/card_config.h"
#include "machine/card_driver.h"
#include "machine/card_driver_hooks.h"

namespace machine {
class Machine;
}

namespace machine_testing {

struct TestMachineOptions {
    // How the cards' transports tick: Manual (Advance on the test thread) or RealTime.
    machine::ClockMode clock = machine::ClockMode::Manual;
};

// Presets by name, each given a distinct instance in the order listed
// ("4&1a2b3c4d&0&2010", "4&1a2b3c4d&0&2018", ...). Throws
// std::invalid_argument for an unknown preset.
std::vector<machine::CardConfig> Cards(std::initializer_list<std::string> presets);

class TestMachine {
public:
    // The default machine: one default card.
    TestMachine();
    // Throws std::invalid_argument when two cards share an instance or a card cannot be
    // kept in a profile (see machine::ValidateCard).
    explicit TestMachine(std::vector<machine::CardConfig> cards, TestMachineOptions options = {});
    ~TestMachine();
    TestMachine(const TestMachine&) = delete;
    TestMachine& operator=(const TestMachine&) = delete;

    // The machine directory (ZAVO_MACHINE while this object lives).
    const std::filesystem::path& Directory() const noexcept;

    // The cards in the order given (profile order; SetupAPI lists interfaces in this order).
    std::size_t CardCount() const;
    machine::CardDriver& Card(std::size_t index) const;
    machine::CardHooks Hooks(std::size_t index) const { return machine::Hooks(Card(index)); }
    const machine::CardConfig& Config(std::size_t index) const;
    // "\\?\PCI#VEN_1057&DEV_...#<instance>#{c0d4a2e9-...}\daveror"
    std::string InterfacePath(std::size_t index) const;

    // A new process on the same machine: the cards are made afresh from the profile,
    // so their settings come back from the registry. Every handle of the old cards
    // should be closed first. References from Card() and Hooks() taken before are stale.
    void Reboot();

    // A device node that no card makes, written as the machine writes its own:
    // HKLM\SYSTEM\CurrentControlSet\Enum\<instanceId> with HardwareID, ClassGUID and,
    // unless `friendlyName` is empty, FriendlyName. The machine knows no hardware
    // behind it, so it counts as not present and no boot lays it again once removed.
    // Throws std::runtime_error when the registry refuses it.
    void AddDeviceNode(const std::string& instanceId, const std::vector<std::string>& hardwareIds,
                       const std::string& friendlyName) const;

    // The booted machine itself, for tests of the machine layer.
    machine::Machine& Machine() const noexcept { return *machine_; }

private:
    struct TempDir;
    std::unique_ptr<TempDir> directory_;
    TestMachineOptions options_;
    std::shared_ptr<machine::Machine> machine_;
};

}  // namespace machine_testing
