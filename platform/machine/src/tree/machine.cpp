// The machine of this process: its cards, their drivers and the device tree
// they sit in.
#include "machine/machine.h"

#include <cstdio>
#include <stdexcept>

#include "common/reg_key.h"
#include "common/text.h"
#include "machine/profile.h"
#include "tree/device_tree.h"
#include "tree/names.h"
#include "win32/errors.h"
#include "win32/machine_dir.h"

namespace machine {
namespace {

// An open file of a card, holding the machine it came from so that the card
// driver outlives every file of it, also across a reboot of the machine.
class MachineFile final : public win32::DeviceFile {
public:
    MachineFile(std::shared_ptr<Machine> machine, std::shared_ptr<win32::DeviceFile> file)
        : machine_(std::move(machine)), file_(std::move(file))
    {
    }
    BOOL Control(DWORD code, std::span<BYTE> buffer, DWORD inSize, DWORD outSize, DWORD& returned) override
    {
        return file_->Control(code, buffer, inSize, outSize, returned);
    }
    void Cleanup() override { file_->Cleanup(); }

private:
    std::shared_ptr<Machine> machine_;
    std::shared_ptr<win32::DeviceFile> file_;
};

std::mutex currentLock;
std::shared_ptr<Machine> current;

}  // namespace

std::string DeviceInstanceId(const CardConfig& card)
{
    const std::string hardwareId = HardwareId(card);
    return hardwareId + "\\" + card.instance;
}

Machine::Machine(std::filesystem::path directory) : directory_(std::move(directory)) {}

Machine::~Machine() = default;

std::shared_ptr<Machine> Machine::Boot(const std::filesystem::path& directory)
{
    std::shared_ptr<Machine> machine(new Machine(directory));
    Profile profile;
    try {
        if (auto loaded = LoadProfile(directory)) {
            profile = std::move(*loaded);
        } else {
            profile = DefaultProfile();
            SaveProfile(directory, profile);
        }
    } catch (const ProfileError& error) {
        // The file is left as it is for the user to mend; the machine has no cards meanwhile.
        machine->problems_ = std::string("the machine profile cannot be used: ") + error.what();
        profile.cards.clear();
    }
    std::vector<CardConfig> accepted;
    for (CardConfig& card : profile.cards) {
        if (const std::string why = ValidateCard(card, accepted); !why.empty()) {
            // Built in steps: one expression of temporaries trips a false overlap warning at -O3.
            std::string& problems = machine->problems_;
            if (!problems.empty()) problems += '\n';
            problems += "card ";
            problems += card.instance;
            problems += ": ";
            problems += why;
            continue;
        }
        accepted.push_back(card);
    }
    for (CardConfig& card : accepted) {
        Slot slot;
        slot.path = InterfacePath(card);
        slot.instanceId = DeviceInstanceId(card);
        slot.driver = std::make_unique<CardDriver>(card, directory);
        slot.config = std::move(card);
        machine->cards_.push_back(std::move(slot));
    }
    machine->LayDeviceTree();
    if (!machine->problems_.empty())
        std::fprintf(stderr, "zavo machine %s: %s\n", directory.string().c_str(), machine->problems_.c_str());
    return machine;
}

// A registry without a device tree gets every node of the machine; one with a tree
// gets the nodes of present hardware that are missing (found again at start-up, as
// after a removal), while nodes of absent hardware that were removed stay removed.
void Machine::LayDeviceTree()
{
    const bool fresh = !KeyExists(tree::kEnumRoot);
    bool written = true;
    for (const tree::DeviceNode& node : tree::OtherHardware())
        if (fresh || (node.present && !tree::NodeExists(node.instanceId))) written = tree::WriteNode(node) && written;
    for (const Slot& slot : cards_) {
        if (fresh || (slot.config.present && !tree::NodeExists(slot.instanceId))) {
            written = tree::WriteNode(tree::CardNode(slot.config)) && written;
            written = tree::WriteCardInterface(slot.config) && written;
        } else if (slot.config.present && !tree::CardInterfaceRegistered(slot.config)) {
            // A running card's driver registers its interface again, whatever befell the keys.
            written = tree::RegisterCardInterface(slot.config) && written;
        }
    }
    // Interfaces of cards the profile no longer lists are left unlinked too.
    tree::UpdateLinked([this](std::string_view instanceId) {
        return FindByInstanceId(instanceId) != nullptr && IsPresent(instanceId);
    });
    if (!written) problems_ += std::string(problems_.empty() ? "" : "\n") + "the device tree could not be written";
}

CardDriver& Machine::Card(std::size_t index) const { return *cards_.at(index).driver; }

const CardConfig& Machine::Config(std::size_t index) const { return cards_.at(index).config; }

CardDriver* Machine::FindByPath(std::string_view path) const noexcept
{
    for (const Slot& slot : cards_)
        if (SameText(slot.path, path)) return slot.driver.get();
    return nullptr;
}

CardDriver* Machine::FindByInstanceId(std::string_view instanceId) const noexcept
{
    for (const Slot& slot : cards_)
        if (SameText(slot.instanceId, instanceId)) return slot.driver.get();
    return nullptr;
}

bool Machine::IsPresent(std::string_view instanceId) const
{
    for (const Slot& slot : cards_)
        if (SameText(slot.instanceId, instanceId)) return slot.config.present;
    for (const tree::DeviceNode& node : tree::OtherHardware())
        if (SameText(node.instanceId, instanceId)) return node.present;
    return false;
}

std::shared_ptr<win32::DeviceFile> Machine::OpenFile(std::string_view path, DWORD& error)
{
    for (const Slot& slot : cards_) {
        if (!SameText(slot.path, path)) continue;
        if (!tree::NodeExists(slot.instanceId)) break;  // removed: no driver answers until the next start
        auto file = slot.driver->OpenFile(error);
        if (!file) return nullptr;
        return std::make_shared<MachineFile>(shared_from_this(), std::move(file));
    }
    error = ERROR_FILE_NOT_FOUND;
    return nullptr;
}

std::shared_ptr<Machine> CurrentMachine()
{
    const auto directory = win32::MachineDirectory();
    std::lock_guard guard(currentLock);
    if (!current || current->Directory() != directory) current = Machine::Boot(directory);
    return current;
}

std::shared_ptr<Machine> RebootMachine()
{
    const auto directory = win32::MachineDirectory();
    std::lock_guard guard(currentLock);
    current.reset();  // the old cards go first, saving what they keep
    current = Machine::Boot(directory);
    return current;
}

void ShutDownMachine()
{
    std::shared_ptr<Machine> old;
    std::lock_guard guard(currentLock);
    old.swap(current);
}

}  // namespace machine
