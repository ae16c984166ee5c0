// The machine profile: which cards the simulated computer has. A small text
// file in the machine directory, one [card] section per card:
//
//     [card]
//     preset = zavo24-8x8
//     instance = 4&1a2b3c4d&0&2010
//     name = Zavo24 8x8
//     present = yes
//     output-pipes = 8            <- any override of the preset's values
//
// A card is its preset with the overrides applied, so a profile written from
// any CardConfig reads back as the same CardConfig.
#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "machine/card_config.h"

namespace machine {

inline constexpr char kProfileFileName[] = "machine-profile.txt";

struct Profile {
    std::vector<CardConfig> cards;
};

// A profile that cannot be read: the message names the line.
class ProfileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One present default card.
Profile DefaultProfile();

std::string FormatProfile(const Profile& profile);
// Throws ProfileError.
Profile ParseProfile(std::string_view text);

// Why `card` cannot be kept in a profile beside `others` (a bad instance, a name too
// long, counts out of range, an interface path another card has), or "" when it can.
std::string ValidateCard(const CardConfig& card, const std::vector<CardConfig>& others);

// The instance a card in PCI slot `slot` gets: "4&1a2b3c4d&0&2010", "...&2018", ...
std::string SlotInstance(std::size_t slot);
// The first slot instance that none of `cards` uses.
std::string FreeInstance(const std::vector<CardConfig>& cards);

std::filesystem::path ProfilePath(const std::filesystem::path& machineDirectory);
// The profile of the directory, or nullopt when there is none. Throws ProfileError when
// the file cannot be read or parsed.
std::optional<Profile> LoadProfile(const std::filesystem::path& machineDirectory);
// Writes the profile atomically (a temporary file renamed over it). Throws ProfileError.
void SaveProfile(const std::filesystem::path& machineDirectory, const Profile& profile);

}  // namespace machine
