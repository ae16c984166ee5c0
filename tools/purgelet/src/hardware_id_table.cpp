#include "hardware_id_table.h"

#include <cstring>
#include <span>
#include <string_view>

namespace {

constexpr const char* zavo24Prefixes[] = {
    "PCI\\VEN_1057&DEV_1801&SUBSYS_0010A5C3", "PCI\\VEN_1057&DEV_1801&SUBSYS_0020A5C3",
    "PCI\\VEN_1057&DEV_1801&SUBSYS_0030A5C3", "PCI\\VEN_1057&DEV_3410&SUBSYS_0050A5C3",
    "PCI\\VEN_1057&DEV_3410&SUBSYS_0060A5C3", "PCI\\VEN_1057&DEV_3410&SUBSYS_0070A5C3",
    "PCI\\VEN_1057&DEV_3410&SUBSYS_0080A5C3", "PCI\\VEN_1057&DEV_3410&SUBSYS_0100A5C3",
};
constexpr const char* dazarororaPrefixes[] = {
    "PCI\\VEN_1057&DEV_3410&SUBSYS_00C0A5C3",
};
constexpr const char* tarnexPrefixes[] = {
    "PCI\\VEN_1057&DEV_3410&SUBSYS_0090A5C3",
    "PCI\\VEN_1057&DEV_3410&SUBSYS_00A0A5C3",
    "PCI\\VEN_1057&DEV_3410&SUBSYS_00B0A5C3",
};

constexpr bool AllOfPrefixLength(std::span<const char* const> prefixes)
{
    for (const char* prefix : prefixes)
        if (std::string_view(prefix).size() != HardwareIdTable::prefixLength) return false;
    return true;
}
static_assert(AllOfPrefixLength(zavo24Prefixes) && AllOfPrefixLength(dazarororaPrefixes) &&
              AllOfPrefixLength(tarnexPrefixes));

struct Family {
    const char* key;
    std::span<const char* const> prefixes;
};

const Family families[] = {
    {"zavo24", zavo24Prefixes},
    {"dazarorora", dazarororaPrefixes},
    {"tarnex", tarnexPrefixes},
};

}  // namespace

std::unique_ptr<HardwareIdTable> hardwareIdTable;

HardwareIdTable HardwareIdTable::forFamily(const juce::String& key)
{
    for (const Family& family : families)
        if (key.equalsIgnoreCase(family.key))
            return {static_cast<std::int32_t>(family.prefixes.size()), family.prefixes.data()};
    return {};
}

bool HardwareIdTable::matches(const char* hardwareId) const
{
    for (std::int32_t i = 0; i < count; ++i)
        if (std::strncmp(hardwareId, prefixes[i], prefixLength) == 0) return true;
    return false;
}
