// The machine as its callers meet it: the card list's discovery and restart,
// the cleanup tool's scan of every device node, and the wave driver's walk
// of the interface keys, each written call for call as those programs make
// them, on a machine with every card model beside other makers' hardware.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "machine/machine.h"
#include "machine_testing/test_machine.h"
#include "setupapi_test_support.h"

namespace {

using machine_tests::kCardInterface;

// The hardware-ID prefixes of the three families, as the cleanup tool lists them.
struct Family {
    const char* key;
    std::vector<std::string> prefixes;
};
const Family kFamilies[] = {
    {"zavo24",
     {"PCI\\VEN_1057&DEV_1801&SUBSYS_0010A5C3", "PCI\\VEN_1057&DEV_1801&SUBSYS_0020A5C3",
      "PCI\\VEN_1057&DEV_1801&SUBSYS_0030A5C3", "PCI\\VEN_1057&DEV_3410&SUBSYS_0050A5C3",
      "PCI\\VEN_1057&DEV_3410&SUBSYS_0060A5C3", "PCI\\VEN_1057&DEV_3410&SUBSYS_0070A5C3",
      "PCI\\VEN_1057&DEV_3410&SUBSYS_0080A5C3", "PCI\\VEN_1057&DEV_3410&SUBSYS_0100A5C3"}},
    {"dazarorora", {"PCI\\VEN_1057&DEV_3410&SUBSYS_00C0A5C3"}},
    {"tarnex",
     {"PCI\\VEN_1057&DEV_3410&SUBSYS_0090A5C3", "PCI\\VEN_1057&DEV_3410&SUBSYS_00A0A5C3",
      "PCI\\VEN_1057&DEV_3410&SUBSYS_00B0A5C3"}},
};

// The wave driver's table of interface key names: the eight models of its family.
const char* const kWavePaths[] = {
    "##?#PCI#VEN_1057&DEV_1801&SUBSYS_0010A5C3", "##?#PCI#VEN_1057&DEV_1801&SUBSYS_0020A5C3",
    "##?#PCI#VEN_1057&DEV_1801&SUBSYS_0030A5C3", "##?#PCI#VEN_1057&DEV_3410&SUBSYS_0050A5C3",
    "##?#PCI#VEN_1057&DEV_3410&SUBSYS_0060A5C3", "##?#PCI#VEN_1057&DEV_3410&SUBSYS_0070A5C3",
    "##?#PCI#VEN_1057&DEV_3410&SUBSYS_0080A5C3", "##?#PCI#VEN_1057&DEV_3410&SUBSYS_0100A5C3",
};

std::vector<machine::CardConfig> EveryModel()
{
    return machine_testing::Cards({"zavo24-10", "zavo24-20", "zavo24-30", "zavo24-50", "zavo24-60", "zavo24-70",
                                   "zavo24-8x8", "kaltor-100", "dazarorora-c0", "tarnex-90", "tarnex-a0",
                                   "tarnex-b0", "absent"});
}

// The cleanup tool's scan: every node of every class, the first hardware ID
// compared over 37 characters, the friendly name read, the node removed.
std::vector<std::string> CleanUp(const Family& family)
{
    std::vector<std::string> removed;
    HDEVINFO set = SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES);
    if (set == INVALID_HANDLE_VALUE) return removed;
    SP_DEVINFO_DATA node;
    node.cbSize = 28;
    std::vector<char> ids(1024), name(1024);
    for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &node); ++i) {
        std::fill(ids.begin(), ids.end(), 0);
        DWORD size = 0;
        if (SetupDiGetDeviceRegistryPropertyA(set, &node, SPDRP_HARDWAREID, nullptr,
                                              reinterpret_cast<BYTE*>(ids.data()), 1024, &size))
            ids[1023] = 0;
        else
            ids[0] = 0;
        const bool match = std::any_of(family.prefixes.begin(), family.prefixes.end(), [&ids](const auto& prefix) {
            return std::strncmp(ids.data(), prefix.c_str(), 37) == 0;
        });
        if (!match) continue;
        std::fill(name.begin(), name.end(), 0);
        if (SetupDiGetDeviceRegistryPropertyA(set, &node, SPDRP_FRIENDLYNAME, nullptr,
                                              reinterpret_cast<BYTE*>(name.data()), 1024, &size))
            name[1023] = 0;
        SetupDiCallClassInstaller(DIF_REMOVE, set, &node);
        removed.push_back(ids.data());
    }
    SetupDiDestroyDeviceInfoList(set);
    return removed;
}

struct WaveCard {
    std::string path;
    std::vector<BYTE> waveConfig;
};

// The wave driver's discovery: the interface keys of the card class whose names begin
// with one of its paths, with their symbolic link, Linked and Wave config.
std::vector<WaveCard> WaveDriverCards()
{
    std::vector<WaveCard> cards;
    HKEY classKey = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                      "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{c0d4a2e9-71b3-4c58-9f26-e38b1d7a0456}", 0,
                      KEY_READ, &classKey) != ERROR_SUCCESS)
        return cards;
    std::vector<char> name(8192);
    for (DWORD index = 0;; ++index) {
        DWORD size = 8192;
        if (RegEnumKeyExA(classKey, index, name.data(), &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        const bool known = std::any_of(std::begin(kWavePaths), std::end(kWavePaths),
                                       [&name](const char* path) { return std::strncmp(name.data(), path, 41) == 0; });
        if (!known) continue;
        HKEY reference = nullptr;
        if (RegOpenKeyExA(classKey, (std::string(name.data()) + "\\#daveror").c_str(), 0, KEY_READ, &reference) !=
            ERROR_SUCCESS)
            continue;
        std::vector<WCHAR> link(4096);
        DWORD linkSize = 8192;
        HKEY control = nullptr, parameters = nullptr;
        DWORD linked = 0, linkedSize = 4;
        BYTE record[72] = {};
        DWORD recordSize = sizeof record;
        const bool usable =
            RegQueryValueExW(reference, u"SymbolicLink", nullptr, nullptr, reinterpret_cast<BYTE*>(link.data()),
                             &linkSize) == ERROR_SUCCESS &&
            RegOpenKeyExA(reference, "Control", 0, KEY_READ, &control) == ERROR_SUCCESS &&
            RegQueryValueExA(control, "Linked", nullptr, nullptr, reinterpret_cast<BYTE*>(&linked), &linkedSize) ==
                ERROR_SUCCESS &&
            linked != 0 && RegOpenKeyExA(reference, "Device Parameters", 0, KEY_READ, &parameters) == ERROR_SUCCESS &&
            RegQueryValueExA(parameters, "Wave config", nullptr, nullptr, record, &recordSize) == ERROR_SUCCESS;
        if (control != nullptr) RegCloseKey(control);
        if (parameters != nullptr) RegCloseKey(parameters);
        RegCloseKey(reference);
        if (!usable) continue;
        std::string path;
        for (DWORD i = 0; i < linkSize / 2 && link[i] != 0; ++i) path.push_back(static_cast<char>(link[i] & 0xFF));
        cards.push_back({path, std::vector<BYTE>(record, record + recordSize)});
    }
    RegCloseKey(classKey);
    return cards;
}

class SetupApiCallers : public ::testing::Test {
protected:
    machine_testing::TestMachine machine_{EveryModel()};

    std::vector<std::string> FirstIdsOf(std::initializer_list<std::size_t> cards) const
    {
        std::vector<std::string> ids;
        for (const std::size_t card : cards) ids.push_back(machine::HardwareId(machine_.Config(card)));
        return ids;
    }
};

TEST_F(SetupApiCallers, TheCardListFindsOpensAndRestartsEveryPresentCard)
{
    HDEVINFO set = SetupDiGetClassDevsA(&kCardInterface, nullptr, nullptr, DIGCF_DEVICEINTERFACE);
    ASSERT_NE(set, INVALID_HANDLE_VALUE);
    std::vector<std::string> opened;
    DWORD i = 0;
    for (;; ++i) {
        SP_DEVICE_INTERFACE_DATA data;
        std::memset(&data, 0, sizeof data);
        data.cbSize = sizeof data;
        if (SetupDiEnumDeviceInterfaces(set, nullptr, &kCardInterface, i, &data) != 1) break;
        DWORD size = 0;
        ASSERT_EQ(SetupDiGetDeviceInterfaceDetailA(set, &data, nullptr, 0, &size, nullptr), FALSE);
        ASSERT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
        std::vector<char> buffer(size);
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.data());
        detail->cbSize = 5;
        ASSERT_EQ(SetupDiGetDeviceInterfaceDetailA(set, &data, detail, size, nullptr, nullptr), 1);
        HANDLE file = machine_tests::OpenCard(detail->DevicePath);
        if (file == INVALID_HANDLE_VALUE) continue;
        CloseHandle(file);
        opened.push_back(detail->DevicePath);

        // The card object's device node is element i; the restart goes through it.
        SP_DEVINFO_DATA node;
        node.cbSize = 28;
        ASSERT_EQ(SetupDiEnumDeviceInfo(set, i, &node), TRUE);
        SP_PROPCHANGE_PARAMS params;
        params.ClassInstallHeader.cbSize = sizeof(SP_CLASSINSTALL_HEADER);
        params.ClassInstallHeader.InstallFunction = DIF_PROPERTYCHANGE;
        params.StateChange = DICS_PROPCHANGE;
        params.Scope = DICS_FLAG_GLOBAL;
        params.HwProfile = 0;
        ASSERT_EQ(SetupDiSetClassInstallParamsA(set, &node, &params.ClassInstallHeader, sizeof params), 1);
        EXPECT_EQ(SetupDiChangeState(set, &node), TRUE) << detail->DevicePath;
    }
    EXPECT_EQ(i, machine_.CardCount());
    EXPECT_EQ(opened.size(), machine_.CardCount() - 1);  // all but the absent card
    for (std::size_t card = 0; card + 1 < machine_.CardCount(); ++card)
        EXPECT_EQ(opened[card], machine_.InterfacePath(card));
    SetupDiDestroyDeviceInfoList(set);
}

TEST_F(SetupApiCallers, TheCleanupToolRemovesExactlyTheNodesOfTheFamilyNamed)
{
    // The absent card is a leftover of the default model: the first family takes it too.
    const std::vector<std::string> expected[] = {
        FirstIdsOf({0, 1, 2, 3, 4, 5, 6, 7, 12}),
        FirstIdsOf({8}),
        FirstIdsOf({9, 10, 11}),
    };
    const std::string bridge = "PCI\\VEN_10B5&DEV_9050&SUBSYS_0080A5C3&REV_01\\3&267a616a&0&60";
    const std::string modem = "PCI\\VEN_1057&DEV_5600&SUBSYS_56001057&REV_01\\3&267a616a&0&58";
    for (std::size_t f = 0; f < std::size(kFamilies); ++f) {
        SCOPED_TRACE(kFamilies[f].key);
        std::vector<std::string> removed = CleanUp(kFamilies[f]);
        std::vector<std::string> wanted = expected[f];
        std::sort(removed.begin(), removed.end());
        std::sort(wanted.begin(), wanted.end());
        EXPECT_EQ(removed, wanted);
        EXPECT_TRUE(CleanUp(kFamilies[f]).empty());  // nothing of it is left to find
        EXPECT_TRUE(machine_tests::KeyExists(machine_tests::EnumKeyOf(bridge)));
        EXPECT_TRUE(machine_tests::KeyExists(machine_tests::EnumKeyOf(modem)));
    }
    EXPECT_TRUE(machine_tests::CardPaths().empty());
    EXPECT_TRUE(WaveDriverCards().empty());
}

TEST_F(SetupApiCallers, TheWaveDriverFindsThePresentCardsOfItsFamilyWithTheirWaveConfig)
{
    std::vector<std::string> found;
    for (const WaveCard& card : WaveDriverCards()) {
        found.push_back(card.path);
        EXPECT_EQ(card.waveConfig.size(), 72u) << card.path;
        HANDLE file = machine_tests::OpenCard(card.path);
        EXPECT_NE(file, INVALID_HANDLE_VALUE) << card.path;
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
    std::vector<std::string> expected;
    for (std::size_t card = 0; card < 8; ++card) expected.push_back(machine_.InterfacePath(card));
    std::sort(found.begin(), found.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(found, expected);
}

}  // namespace
