// The device tree as Windows keeps it in the registry: device nodes under
// HKLM\SYSTEM\CurrentControlSet\Enum\<enumerator>\<device>\<instance>, device
// interfaces under ...\Control\DeviceClasses\{class}\<interface key>. Whether
// a node's hardware is in the machine now is not kept here: the machine knows.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "machine/card_config.h"
#include "win32/types.h"

namespace machine::tree {

struct DeviceNode {
    std::string instanceId;  // "PCI\VEN_1057&DEV_3410&SUBSYS_0080A5C3&REV_01\4&1a2b3c4d&0&2010"
    std::string classGuid;   // setup class, lower case with braces
    std::string className;
    std::vector<std::string> hardwareIds;  // most specific first
    std::vector<std::string> compatibleIds;
    std::string deviceDesc;
    std::string friendlyName;
    std::string mfg;
    std::string service;
    bool present = true;
};

// The hardware the machine has besides its cards: other vendors, other classes,
// present and not, so that a cleanup can be seen to touch only what it should.
std::span<const DeviceNode> OtherHardware();
DeviceNode CardNode(const CardConfig& card);

std::string NodeKey(std::string_view instanceId);
bool WriteNode(const DeviceNode& node);
bool NodeExists(std::string_view instanceId);
// Every device instance id in the tree, in the registry's order.
std::vector<std::string> ListNodes();
// The node's key with everything below it, and every interface of the node.
bool RemoveNode(std::string_view instanceId);

// A card's interface keys: the interface key naming its device, "#daveror" with the
// symbolic link, "Control" with Linked (1 present, 0 absent) and "Device Parameters"
// with the wave configuration the card driver starts with (an existing one is kept).
bool WriteCardInterface(const CardConfig& card);
// What the card driver registers at every start: the interface key naming the device,
// the symbolic link and Linked. Device Parameters are left as they are.
bool RegisterCardInterface(const CardConfig& card);
bool CardInterfaceRegistered(const CardConfig& card);
// Sets Linked of every card interface in the tree, where it differs, to whether its device
// is running: at start-up a card may have been found, gone, or left the machine altogether.
void UpdateLinked(const std::function<bool(std::string_view instanceId)>& running);

struct InterfaceEntry {
    std::string classGuid;   // as the DeviceClasses key names it
    std::string instanceId;  // the device it belongs to
    std::string path;        // "\\?\" + key name after "##?#" + "\" + reference
};
// The interfaces of one class, or of every class when `classGuid` is empty, in the
// registry's order.
std::vector<InterfaceEntry> ListInterfaces(std::string_view classGuid);

// A node's registry value as the A call returns it; nullopt when the node or value is gone.
struct PropertyValue {
    DWORD type = 0;
    std::vector<BYTE> data;
};
std::optional<PropertyValue> ReadNodeValue(std::string_view instanceId, const char* valueName);

}  // namespace machine::tree
