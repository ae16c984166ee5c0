// Names and keys of a card in the device tree, all derived from its family
// code and instance.
#include "machine/card_config.h"

#include <cstdio>

namespace machine {
namespace {

std::string Hex4(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04X", value & 0xFFFFu);
    return text;
}

std::string BusPart(const CardConfig& card)
{
    return "VEN_" + Hex4(kVendorId) + "&DEV_" + Hex4(DeviceIdForFamily(card.family)) + "&SUBSYS_" +
           Hex4(card.family) + "A5C3&REV_01";
}

constexpr char kDeviceClasses[] = "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\";

}  // namespace

std::uint16_t DeviceIdForFamily(std::uint16_t family)
{
    switch (family) {
    case 0x10:
    case 0x20:
    case 0x30:
        return 0x1801;  // the first generation
    default:
        return 0x3410;
    }
}

std::string HardwareId(const CardConfig& card) { return "PCI\\" + BusPart(card); }

std::string InterfacePath(const CardConfig& card)
{
    return "\\\\?\\PCI#" + BusPart(card) + "#" + card.instance + "#" + kInterfaceClassGuid + "\\daveror";
}

std::string InterfaceSubkeyName(const CardConfig& card)
{
    return "##?#PCI#" + BusPart(card) + "#" + card.instance + "#" + kInterfaceClassGuid;
}

std::string DeviceClassesKey(const CardConfig& card)
{
    return std::string(kDeviceClasses) + kInterfaceClassGuid + "\\" + InterfaceSubkeyName(card);
}

std::string DeviceParametersKey(const CardConfig& card)
{
    return DeviceClassesKey(card) + "\\#daveror\\Device Parameters";
}

std::string EnumKey(const CardConfig& card)
{
    return "SYSTEM\\CurrentControlSet\\Enum\\PCI\\" + BusPart(card) + "\\" + card.instance;
}

}  // namespace machine
