// The profile as text: [card] sections of "key = value" lines. A card is
// written as its preset and instance followed by every field that differs
// from the preset, name and presence always.
#include <optional>
#include <stdexcept>

#include "machine/profile.h"
#include "profile/profile_fields.h"

namespace machine {
namespace {

constexpr char kHeader[] =
    "# The cards installed in this simulated computer, one [card] section each.\n"
    "# A card is its preset with the values below it; zavo-machine adds and removes cards.\n";

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\r'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

bool AlwaysWritten(std::string_view key) { return key == "name" || key == "present"; }

// A card being read: the base is made once its preset and instance are known.
struct PendingCard {
    int line = 0;
    std::string preset, instance;
    std::vector<std::pair<std::string, std::pair<std::string, int>>> values;  // key, text, line
};

[[noreturn]] void Fail(int line, const std::string& why)
{
    throw ProfileError("line " + std::to_string(line) + ": " + why);
}

CardConfig Build(const PendingCard& pending)
{
    if (pending.preset.empty()) Fail(pending.line, "the card has no preset");
    if (pending.instance.empty()) Fail(pending.line, "the card has no instance");
    CardConfig card;
    try {
        card = MakePreset(pending.preset, pending.instance);
    } catch (const std::invalid_argument&) {
        Fail(pending.line, "unknown preset \"" + pending.preset + "\"");
    }
    for (const auto& [key, value] : pending.values) {
        for (const auto& field : profile::Fields()) {
            if (key != field.key) continue;
            if (const std::string why = field.parse(value.first, card); !why.empty())
                Fail(value.second, key + ": " + why);
        }
    }
    return card;
}

}  // namespace

Profile DefaultProfile()
{
    Profile profile;
    profile.cards.push_back(MakePreset("default"));
    return profile;
}

std::string FormatProfile(const Profile& profile)
{
    std::string text = kHeader;
    for (const CardConfig& card : profile.cards) {
        CardConfig base;
        try {
            base = MakePreset(card.preset, card.instance);
        } catch (const std::invalid_argument&) {
            base = CardConfig{};  // written in full; reading it back names the unknown preset
        }
        text += "\n[card]\npreset = " + card.preset + "\ninstance = " + card.instance + "\n";
        for (const auto& field : profile::Fields()) {
            const std::string value = field.format(card);
            if (AlwaysWritten(field.key) || value != field.format(base))
                text += std::string(field.key) + " = " + value + "\n";
        }
    }
    return text;
}

Profile ParseProfile(std::string_view text)
{
    Profile profile;
    std::optional<PendingCard> pending;
    int lineNumber = 0;
    // Editors on some systems begin a UTF-8 file with a byte-order mark.
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = TrimBlanks(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lineNumber;
        if (line.empty() || line.front() == '#' || line.front() == ';') continue;
        if (line.front() == '[') {
            if (line != "[card]") Fail(lineNumber, "unknown section " + std::string(line));
            if (pending) profile.cards.push_back(Build(*pending));
            pending = PendingCard{lineNumber, {}, {}, {}};
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string_view::npos) Fail(lineNumber, "expected \"key = value\"");
        if (!pending) Fail(lineNumber, "a value outside a [card] section");
        const std::string key(TrimBlanks(line.substr(0, equals)));
        const std::string value(TrimBlanks(line.substr(equals + 1)));
        bool known = key == "preset" || key == "instance";
        for (const auto& field : profile::Fields()) known = known || key == field.key;
        if (!known) Fail(lineNumber, "unknown key \"" + key + "\"");
        bool repeated = (key == "preset" && !pending->preset.empty()) ||
                        (key == "instance" && !pending->instance.empty());
        for (const auto& earlier : pending->values) repeated = repeated || earlier.first == key;
        if (repeated) Fail(lineNumber, "\"" + key + "\" given twice");
        if (key == "preset") pending->preset = value;
        else if (key == "instance") pending->instance = value;
        else pending->values.push_back({key, {value, lineNumber}});
    }
    if (pending) profile.cards.push_back(Build(*pending));
    return profile;
}

}  // namespace machine
