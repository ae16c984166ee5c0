#include "machine_testing/test_machine.h"

#include <fstream>
#include <stdexcept>

#include "machine/machine.h"
#include "machine/profile.h"
#include "win32/errors.h"
#include "win32/registry.h"
#include "win32_testing/temp_machine_dir.h"

namespace machine_testing {
namespace {

// The setup class of the machine's own PCI sound nodes.
constexpr char kMediaClassGuid[] = "{4d36e96c-e325-11ce-bfc1-08002be10318}";

bool SetValue(HKEY key, const char* name, DWORD type, const std::string& bytes)
{
    return RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                          static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

}  // namespace

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

void TestMachine::AddDeviceNode(const std::string& instanceId, const std::vector<std::string>& hardwareIds,
                                const std::string& friendlyName) const
{
    HKEY key = nullptr;
    const std::string path = "SYSTEM\\CurrentControlSet\\Enum\\" + instanceId;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("the device node " + instanceId + " cannot be made");
    std::string ids;
    for (const std::string& id : hardwareIds) ids += id + '\0';
    ids += '\0';
    bool written = SetValue(key, "ClassGUID", REG_SZ, std::string(kMediaClassGuid) + '\0') &&
                   SetValue(key, "HardwareID", REG_MULTI_SZ, ids);
    if (!friendlyName.empty()) written = written && SetValue(key, "FriendlyName", REG_SZ, friendlyName + '\0');
    RegCloseKey(key);
    if (!written) throw std::runtime_error("the values of the device node " + instanceId + " cannot be written");
}

void TestMachine::Reboot()
{
    machine_.reset();
    machine::SetDefaultClockMode(options_.clock);
    machine_ = machine::RebootMachine();
    if (!machine_->Problems().empty()) throw std::runtime_error(machine_->Problems());
}

}  // namespace machine_testing
