#include "tree/device_tree.h"

#include <cstring>

#include "common/reg_key.h"
#include "common/text.h"
#include "machine/machine.h"
#include "machine/sim_state.h"
#include "tree/names.h"

namespace machine::tree {
namespace {

constexpr char kInterfacePrefix[] = "##?#";
constexpr char kReference[] = "#daveror";

std::string InterfaceKey(const CardConfig& card) { return DeviceClassesKey(card); }
std::string ReferenceKey(const CardConfig& card) { return InterfaceKey(card) + "\\" + kReference; }

// "PCI\VEN_1057&DEV_3410&SUBSYS_0080A5C3&REV_01" without its revision.
std::string WithoutRevision(const std::string& hardwareId)
{
    const auto revision = hardwareId.rfind("&REV_");
    return revision == std::string::npos ? hardwareId : hardwareId.substr(0, revision);
}

std::string DevicePart(const std::string& hardwareId)  // "PCI\VEN_1057&DEV_3410"
{
    const auto subsys = hardwareId.find("&SUBSYS_");
    return subsys == std::string::npos ? hardwareId : hardwareId.substr(0, subsys);
}

}  // namespace

DeviceNode CardNode(const CardConfig& card)
{
    const std::string full = HardwareId(card);
    const std::string device = DevicePart(full);
    const std::string vendor = device.substr(0, device.find("&DEV_"));
    DeviceNode node;
    node.instanceId = DeviceInstanceId(card);
    node.classGuid = kMediaClassGuid;
    node.className = "MEDIA";
    node.hardwareIds = {full, WithoutRevision(full), device + "&CC_040100", device + "&CC_0401"};
    node.compatibleIds = {device + "&REV_01", device, vendor + "&CC_040100", vendor + "&CC_0401", vendor,
                          "PCI\\CC_040100", "PCI\\CC_0401"};
    node.deviceDesc = card.name;
    node.friendlyName = card.name;
    node.mfg = "Zavo Systems";
    node.service = "Zavo24";
    node.present = card.present;
    return node;
}

std::string NodeKey(std::string_view instanceId) { return std::string(kEnumRoot) + "\\" + std::string(instanceId); }

bool WriteNode(const DeviceNode& node)
{
    RegKey key = RegKey::Create(NodeKey(node.instanceId));
    if (!key) return false;
    // A node keeps only the values it has, as Windows does: a root-enumerated
    // legacy device has no hardware IDs at all.
    bool written = key.SetString("ClassGUID", node.classGuid) && key.SetString("DeviceDesc", node.deviceDesc);
    if (!node.hardwareIds.empty()) written = key.SetMultiString("HardwareID", node.hardwareIds) && written;
    if (!node.compatibleIds.empty()) written = key.SetMultiString("CompatibleIDs", node.compatibleIds) && written;
    for (const auto& [name, value] : {std::pair{"Class", &node.className}, std::pair{"FriendlyName", &node.friendlyName},
                                      std::pair{"Mfg", &node.mfg}, std::pair{"Service", &node.service}})
        if (!value->empty()) written = key.SetString(name, *value) && written;
    return written;
}

bool NodeExists(std::string_view instanceId) { return KeyExists(NodeKey(instanceId)); }

std::vector<std::string> ListNodes()
{
    std::vector<std::string> nodes;
    const std::string root = kEnumRoot;
    for (const auto& enumerator : RegKey::Open(root).Subkeys()) {
        const std::string enumeratorPath = root + "\\" + enumerator;
        for (const auto& device : RegKey::Open(enumeratorPath).Subkeys())
            for (const auto& instance : RegKey::Open(enumeratorPath + "\\" + device).Subkeys())
                nodes.push_back(enumerator + "\\" + device + "\\" + instance);
    }
    return nodes;
}

bool RemoveNode(std::string_view instanceId)
{
    bool removed = true;
    const std::string classesRoot = kDeviceClassesRoot;
    for (const auto& interfaceClass : RegKey::Open(classesRoot).Subkeys()) {
        const std::string classPath = classesRoot + "\\" + interfaceClass;
        for (const auto& interfaceKey : RegKey::Open(classPath).Subkeys()) {
            const std::string path = classPath + "\\" + interfaceKey;
            const auto owner = RegKey::Open(path).QueryString("DeviceInstance");
            if (owner && SameText(*owner, instanceId)) removed = DeleteTree(path) && removed;
        }
    }
    return DeleteTree(NodeKey(instanceId)) && removed;
}

bool RegisterCardInterface(const CardConfig& card)
{
    RegKey interfaceKey = RegKey::Create(InterfaceKey(card));
    RegKey reference = RegKey::Create(ReferenceKey(card));
    RegKey control = RegKey::Create(ReferenceKey(card) + "\\Control");
    return interfaceKey && reference && control &&
           interfaceKey.SetString("DeviceInstance", DeviceInstanceId(card)) &&
           reference.SetWideString("SymbolicLink", InterfacePath(card)) &&
           control.SetDword("Linked", card.present ? 1 : 0);
}

bool CardInterfaceRegistered(const CardConfig& card)
{
    const auto owner = RegKey::Open(InterfaceKey(card)).QueryString("DeviceInstance");
    return owner && SameText(*owner, DeviceInstanceId(card)) &&
           RegKey::Open(ReferenceKey(card)).HasValue("SymbolicLink") &&
           RegKey::Open(ReferenceKey(card) + "\\Control").HasValue("Linked");
}

bool WriteCardInterface(const CardConfig& card)
{
    bool written = RegisterCardInterface(card);
    RegKey parameters = RegKey::Create(DeviceParametersKey(card));
    if (!parameters) return false;
    if (!parameters.HasValue("Wave config")) {
        const auto record = sim::CardSettings::Defaults(card).storedWaveConfig;
        BYTE bytes[sizeof record];
        std::memcpy(bytes, &record, sizeof record);
        written = parameters.SetBinary("Wave config", bytes) && written;
    }
    return written;
}

void UpdateLinked(const std::function<bool(std::string_view instanceId)>& running)
{
    const std::string classPath = std::string(kDeviceClassesRoot) + "\\" + kInterfaceClassGuid;
    for (const auto& interfaceKey : RegKey::Open(classPath).Subkeys()) {
        const std::string path = classPath + "\\" + interfaceKey;
        const auto owner = RegKey::Open(path).QueryString("DeviceInstance");
        if (!owner) continue;
        const DWORD wanted = running(*owner) ? 1 : 0;
        for (const auto& reference : RegKey::Open(path).Subkeys()) {
            RegKey control = RegKey::Open(path + "\\" + reference + "\\Control", KEY_ALL_ACCESS);
            if (control && control.QueryDword("Linked") != wanted) control.SetDword("Linked", wanted);
        }
    }
}

std::vector<InterfaceEntry> ListInterfaces(std::string_view classGuid)
{
    std::vector<InterfaceEntry> entries;
    const std::string classesRoot = kDeviceClassesRoot;
    for (const auto& interfaceClass : RegKey::Open(classesRoot).Subkeys()) {
        if (!classGuid.empty() && !SameText(interfaceClass, classGuid)) continue;
        const std::string classPath = classesRoot + "\\" + interfaceClass;
        for (const auto& interfaceKey : RegKey::Open(classPath).Subkeys()) {
            if (!StartsWithText(interfaceKey, kInterfacePrefix)) continue;
            const std::string path = classPath + "\\" + interfaceKey;
            const RegKey key = RegKey::Open(path);
            const auto owner = key.QueryString("DeviceInstance");
            if (!owner) continue;
            // The path is the key's own name, as SetupAPI makes it: the symbolic-link
            // value may have been changed or removed under it.
            for (const auto& reference : key.Subkeys()) {
                if (reference.empty() || reference.front() != '#') continue;
                entries.push_back({interfaceClass, *owner,
                                   "\\\\?\\" + interfaceKey.substr(std::strlen(kInterfacePrefix)) + "\\" +
                                       reference.substr(1)});
            }
        }
    }
    return entries;
}

std::optional<PropertyValue> ReadNodeValue(std::string_view instanceId, const char* valueName)
{
    const RegKey key = RegKey::Open(NodeKey(instanceId));
    PropertyValue value;
    auto data = key.Query(valueName, value.type);
    if (!data) return std::nullopt;
    value.data = std::move(*data);
    return value;
}

}  // namespace machine::tree
