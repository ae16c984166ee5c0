#include "machine_testing/test_machine.h"

#include <fstream>
#include <stdexcept>

#include "machine/machine.h"
#include "machine/profile.h"
#include "win32_testing/temp_machine_dir.h"

namespace machine_testing {

struct TestMachine::TempDir {
    win32_testing::TempMachineDir directory;
    machine::ClockMode previousClock = machine::DefaultClockMode();
};

std::vector<machine::CardConfig> Cards(std::initializer_list<std::string> presets)
{
    std::vector<machine::CardConfig> cards;
    for (const std::string& preset : presets) cards.push_back(machine::MakePreset(preset, machine::SlotInstance(cards.size())));
    return cards;
}

TestMachine::TestMachine() : TestMachine({machine::MakePreset("default")}) {}

TestMachine::TestMachine(std::vector<machine::CardConfig> cards, TestMachineOptions options)
    : directory_(std::make_unique<TempDir>()), options_(options)
{
    machine::Profile profile;
    for (auto& card : cards) {
        if (const std::string why = machine::ValidateCard(card, profile.cards); !why.empty())
            throw std::invalid_argument("card " + std::to_string(profile.cards.size()) + ": " + why);
        profile.cards.push_back(std::move(card));
    }
    machine::SaveProfile(Directory(), profile);
    try {
        Reboot();
    } catch (...) {
        // No destructor runs for a half-made machine: leave none behind for the next test.
        machine_.reset();
        machine::ShutDownMachine();
        machine::SetDefaultClockMode(directory_->previousClock);
        throw;
    }
}

TestMachine::~TestMachine()
{
    machine_.reset();
    machine::ShutDownMachine();
    machine::SetDefaultClockMode(directory_->previousClock);
}

const std::filesystem::path& TestMachine::Directory() const noexcept { return directory_->directory.path(); }

std::size_t TestMachine::CardCount() const { return machine_->CardCount(); }

machine::CardDriver& TestMachine::Card(std::size_t index) const { return machine_->Card(index); }

const machine::CardConfig& TestMachine::Config(std::size_t index) const { return machine_->Config(index); }

std::string TestMachine::InterfacePath(std::size_t index) const { return machine::InterfacePath(Config(index)); }

void TestMachine::Reboot()
{
    machine_.reset();
    machine::SetDefaultClockMode(options_.clock);
    machine_ = machine::RebootMachine();
    if (!machine_->Problems().empty()) throw std::runtime_error(machine_->Problems());
}

}  // namespace machine_testing
