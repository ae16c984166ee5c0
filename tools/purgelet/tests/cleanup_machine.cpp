#include "cleanup_machine.h"

#include <algorithm>
#include <cctype>

#include "machine/card_config.h"
#include "machine/machine.h"
#include "windows.h"

namespace purgelet_tests {
namespace {

constexpr char kEnumRoot[] = "SYSTEM\\CurrentControlSet\\Enum";
constexpr char kDeviceClassesRoot[] = "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses";

// The nodes no card makes; l comes right after a, under the same device key.
constexpr char kNodeA[] = "PCI\\VEN_1057&DEV_3410&SUBSYS_0080A5C3\\4&3d1f0a7&0&0008";
constexpr char kNodeE[] = "PCI\\VEN_0BAD&DEV_1801&SUBSYS_0010A5C3\\4&3d1f0a7&0&0010";
constexpr char kNodeJ[] = "PCI\\VEN_1057&DEV_3410&SUBSYS_0080A5C3&REV_02\\4&3d1f0a7&0&0018";
constexpr char kNodeK[] = "PCI\\VEN_1057&DEV_3410&SUBSYS_0060A5C3&REV_01\\4&3d1f0a7&0&0020";
constexpr char kNodeL[] = "PCI\\VEN_1057&DEV_3410&SUBSYS_0080A5C3\\4&3d1f0a7&0&0009";

std::vector<machine::CardConfig> CleanupCards()
{
    auto cards = machine_testing::Cards(
        {"zavo24-20", "zavo24-30", "zavo24-50", "kaltor-100", "tarnex-a0", "dazarorora-c0"});
    cards[3].present = false;
    return cards;
}

// An unrelated first ID in a list longer than the cleanup's 1024-byte buffer.
std::vector<std::string> OverlongIds()
{
    std::vector<std::string> ids{"PCI\\VEN_8086&DEV_2415&SUBSYS_00000000&REV_01"};
    for (std::size_t bytes = ids[0].size() + 2; bytes <= 1024; bytes += ids.back().size() + 1)
        ids.push_back("PCI\\VEN_8086&DEV_2415&CC_0401" + std::to_string(ids.size()));
    return ids;
}

void Walk(const std::string& path, TreeSnapshot& tree)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    tree.emplace(path, "");
    std::vector<char> name(16384);
    std::vector<BYTE> data(65536);
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = static_cast<DWORD>(name.size()), dataSize = static_cast<DWORD>(data.size()), type = 0;
        if (RegEnumValueA(key, i, name.data(), &nameSize, nullptr, &type, data.data(), &dataSize) != ERROR_SUCCESS)
            break;
        tree.emplace(path + "|" + name.data(),
                     std::to_string(type) + ":" + std::string(data.begin(), data.begin() + dataSize));
    }
    std::vector<std::string> subkeys;
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = static_cast<DWORD>(name.size());
        if (RegEnumKeyExA(key, i, name.data(), &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        subkeys.emplace_back(name.data());
    }
    RegCloseKey(key);
    for (const std::string& subkey : subkeys) Walk(path + "\\" + subkey, tree);
}

bool SameLetters(char a, char b)
{
    return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
}

// Whether `entry` is the key `key`, a value of it or anything below it.
bool Within(const std::string& entry, const std::string& key)
{
    if (key.empty() || entry.size() < key.size()) return false;
    if (!std::equal(key.begin(), key.end(), entry.begin(), SameLetters)) return false;
    return entry.size() == key.size() || entry[key.size()] == '\\' || entry[key.size()] == '|';
}

}  // namespace

CleanupMachine::CleanupMachine() : machine_(CleanupCards())
{
    const auto card = [this](char letter, std::size_t index) {
        const machine::CardConfig& config = machine_.Config(index);
        return Node{letter, machine::DeviceInstanceId(config), machine::DeviceClassesKey(config)};
    };
    nodes_ = {
        {'a', kNodeA, ""},
        {'b', "PCI\\VEN_10B5&DEV_9050&SUBSYS_0080A5C3&REV_01\\3&267a616a&0&60", ""},
        card('c', 0),
        card('d', 3),
        {'e', kNodeE, ""},
        card('f', 1),
        card('g', 2),
        card('h', 4),
        card('i', 5),
        {'j', kNodeJ, ""},
        {'k', kNodeK, ""},
        {'l', kNodeL, ""},
        {'m', "PCI\\VEN_1057&DEV_5600&SUBSYS_56001057&REV_01\\3&267a616a&0&58", ""},
    };
    machine_.AddDeviceNode(kNodeA, {"PCI\\VEN_1057&DEV_3410&SUBSYS_0080A5C3"}, "Zavo24 8x8 Spare");
    machine_.AddDeviceNode(kNodeE, {"PCI\\VEN_0BAD&DEV_1801&SUBSYS_0010A5C3"}, "Other Maker 2x2");
    machine_.AddDeviceNode(kNodeJ, {"pci\\ven_1057&dev_3410&subsys_0080a5c3"}, "Zavo24 Small Letters");
    machine_.AddDeviceNode(
        kNodeK, {"PCI\\VEN_1057&DEV_3410&SUBSYS_0060A5C3&REV_01", "PCI\\VEN_1057&DEV_3410&SUBSYS_0060A5C3"}, "");
    machine_.AddDeviceNode(kNodeL, OverlongIds(), "Audio Controller");
}

std::string CleanupMachine::RemovedNodes() const
{
    std::string removed;
    for (const Node& node : nodes_)
        if (!NodeExists(node.instanceId)) removed += node.letter;
    return removed;
}

bool CleanupMachine::NodeExists(const std::string& instanceId)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (std::string(kEnumRoot) + "\\" + instanceId).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::vector<Node> CleanupMachine::NodesOf(const std::string& letters) const
{
    std::vector<Node> nodes;
    for (const Node& node : nodes_)
        if (letters.find(node.letter) != std::string::npos) nodes.push_back(node);
    return nodes;
}

TreeSnapshot SnapshotTree()
{
    TreeSnapshot tree;
    Walk(kEnumRoot, tree);
    Walk(kDeviceClassesRoot, tree);
    return tree;
}

TreeSnapshot WithoutNodes(TreeSnapshot tree, const std::vector<Node>& nodes)
{
    std::erase_if(tree, [&nodes](const auto& entry) {
        return std::any_of(nodes.begin(), nodes.end(), [&entry](const Node& node) {
            return Within(entry.first, std::string(kEnumRoot) + "\\" + node.instanceId) ||
                   Within(entry.first, node.interfaceKey);
        });
    });
    return tree;
}

std::string Differences(const TreeSnapshot& expected, const TreeSnapshot& actual)
{
    std::string differences;
    for (const auto& [entry, value] : expected) {
        const auto found = actual.find(entry);
        if (found == actual.end()) differences += "gone: " + entry + "\n";
        else if (found->second != value) differences += "changed: " + entry + "\n";
    }
    for (const auto& [entry, value] : actual)
        if (!expected.contains(entry)) differences += "new: " + entry + "\n";
    return differences;
}

}  // namespace purgelet_tests
