// Adding and removing cards: the profile and the device tree change together,
// or neither does.
#include <stdexcept>

#include "machine/machine.h"
#include "common/text.h"
#include "machine/profile.h"
#include "tree/device_tree.h"
#include "win32/machine_dir.h"

namespace machine {
namespace {

// The profile as the machine uses it; a machine that never ran is set up first.
Profile CurrentProfile(const std::filesystem::path& directory)
{
    (void)CurrentMachine();
    if (auto profile = LoadProfile(directory)) return *profile;
    return DefaultProfile();
}

}  // namespace

void InstallCard(const CardConfig& card)
{
    const auto directory = win32::MachineDirectory();
    Profile profile = CurrentProfile(directory);
    if (const std::string why = ValidateCard(card, profile.cards); !why.empty()) throw std::invalid_argument(why);
    const Profile before = profile;
    profile.cards.push_back(card);
    SaveProfile(directory, profile);
    if (!tree::WriteNode(tree::CardNode(card)) || !tree::WriteCardInterface(card)) {
        tree::RemoveNode(DeviceInstanceId(card));
        SaveProfile(directory, before);
        throw std::invalid_argument("the card's device node could not be written to the registry");
    }
    RebootMachine();
}

CardConfig UninstallCard(std::string_view instance)
{
    const auto directory = win32::MachineDirectory();
    Profile profile = CurrentProfile(directory);
    std::size_t found = profile.cards.size();
    std::size_t matches = 0;
    for (std::size_t i = 0; i < profile.cards.size(); ++i) {
        if (!SameText(profile.cards[i].instance, instance)) continue;
        found = i;
        ++matches;
    }
    if (matches == 0) throw std::invalid_argument("no card has the instance \"" + std::string(instance) + "\"");
    if (matches > 1)
        throw std::invalid_argument("several cards have the instance \"" + std::string(instance) +
                                    "\"; edit the profile to tell them apart");
    const CardConfig removed = profile.cards[found];
    profile.cards.erase(profile.cards.begin() + static_cast<std::ptrdiff_t>(found));
    ShutDownMachine();  // its drivers save what they keep before the node goes
    SaveProfile(directory, profile);
    tree::RemoveNode(DeviceInstanceId(removed));
    RebootMachine();
    return removed;
}

}  // namespace machine
