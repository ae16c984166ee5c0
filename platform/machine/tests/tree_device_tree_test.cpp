// The device tree in the registry and the device paths CreateFileA opens.
#include <gtest/gtest.h>

#include <cstring>

#include "machine/machine.h"
#include "machine/sim_records.h"
#include "machine/profile.h"
#include "machine_testing/test_machine.h"
#include "setupapi_test_support.h"
#include "win32_testing/temp_machine_dir.h"

namespace {

using machine_tests::EnumKeyOf;
using machine_tests::KeyExists;
using machine_tests::OpenCard;
using machine_tests::ReadValue;

std::string Text(const std::vector<BYTE>& bytes) { return std::string(bytes.begin(), bytes.end()); }

TEST(TreeDeviceTree, CardNodeIsKeptAsWindowsKeepsIt)
{
    machine_testing::TestMachine machine(machine_testing::Cards({"zavo24-10", "absent"}));
    const std::string node = EnumKeyOf("PCI\\VEN_1057&DEV_1801&SUBSYS_0010A5C3&REV_01\\4&1a2b3c4d&0&2010");
    DWORD type = 0;
    const auto ids = ReadValue(node, "HardwareID", &type);
    ASSERT_TRUE(ids);
    EXPECT_EQ(type, REG_MULTI_SZ);
    EXPECT_EQ(Text(*ids).substr(0, 45), std::string("PCI\\VEN_1057&DEV_1801&SUBSYS_0010A5C3&REV_01\0", 45));
    EXPECT_EQ(Text(ids->size() >= 2 ? std::vector<BYTE>(ids->end() - 2, ids->end()) : *ids), std::string("\0\0", 2));
    EXPECT_EQ(Text(*ReadValue(node, "FriendlyName")), std::string("Zavo24 2x2\0", 11));
    EXPECT_EQ(Text(*ReadValue(node, "ClassGUID")), std::string("{4d36e96c-e325-11ce-bfc1-08002be10318}\0", 39));

    // The interface keys the wave driver walks.
    const std::string classKey =
        "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{c0d4a2e9-71b3-4c58-9f26-e38b1d7a0456}\\";
    for (std::size_t card = 0; card < 2; ++card) {
        const auto& config = machine.Config(card);
        const std::string key = classKey + machine::InterfaceSubkeyName(config) + "\\#daveror";
        HKEY handle = nullptr;
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &handle), ERROR_SUCCESS);
        WCHAR link[512] = {};
        DWORD size = sizeof link;
        ASSERT_EQ(RegQueryValueExW(handle, u"SymbolicLink", nullptr, &type, reinterpret_cast<BYTE*>(link), &size),
                  ERROR_SUCCESS);
        RegCloseKey(handle);
        const std::string path = machine.InterfacePath(card);
        EXPECT_EQ(std::u16string(link), std::u16string(path.begin(), path.end()));
        EXPECT_EQ(type, REG_SZ);
        EXPECT_EQ(size, (path.size() + 1) * sizeof(WCHAR));
        const auto linked = ReadValue(key + "\\Control", "Linked", &type);
        ASSERT_TRUE(linked);
        EXPECT_EQ(type, REG_DWORD);
        EXPECT_EQ(*linked, (std::vector<BYTE>{static_cast<BYTE>(config.present ? 1 : 0), 0, 0, 0}));
        const auto waveConfig = ReadValue(key + "\\Device Parameters", "Wave config", &type);
        ASSERT_TRUE(waveConfig);
        EXPECT_EQ(type, REG_BINARY);
        EXPECT_EQ(waveConfig->size(), 72u);
    }
}

TEST(TreeDeviceTree, OtherHardwareSitsBesideTheCards)
{
    machine_testing::TestMachine machine;
    EXPECT_TRUE(KeyExists(EnumKeyOf("PCI\\VEN_10EC&DEV_8139&SUBSYS_813910EC&REV_10\\3&267a616a&0&48")));
    EXPECT_TRUE(KeyExists(EnumKeyOf("USB\\VID_046D&PID_C52B\\5&2b3c4d5e&0&1")));
    EXPECT_TRUE(KeyExists(EnumKeyOf("ROOT\\LEGACY_BEEP\\0000")));
    EXPECT_FALSE(ReadValue(EnumKeyOf("ROOT\\LEGACY_BEEP\\0000"), "HardwareID"));
}

// The first hardware IDs of the nodes of vendor 0BAD that a set with `flags` lists;
// with `remove` each is removed as it is seen.
std::vector<std::string> NodesOfVendor0Bad(DWORD flags, bool remove = false)
{
    std::vector<std::string> ids;
    HDEVINFO set = SetupDiGetClassDevsA(nullptr, nullptr, nullptr, flags);
    SP_DEVINFO_DATA node{};
    node.cbSize = sizeof node;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &node); ++i) {
        char id[256] = {};
        if (!SetupDiGetDeviceRegistryPropertyA(set, &node, SPDRP_HARDWAREID, nullptr, reinterpret_cast<BYTE*>(id),
                                               sizeof id - 1, nullptr) ||
            std::strncmp(id, "PCI\\VEN_0BAD", 12) != 0)
            continue;
        ids.push_back(id);
        if (remove) {
            EXPECT_EQ(SetupDiCallClassInstaller(DIF_REMOVE, set, &node), TRUE) << id;
        }
    }
    SetupDiDestroyDeviceInfoList(set);
    return ids;
}

TEST(TreeDeviceTree, ANodeNoCardMakesIsAbsentAndNoStartUpLaysItAgain)
{
    machine_testing::TestMachine machine;
    const std::string named = "PCI\\VEN_0BAD&DEV_0001&SUBSYS_00000BAD\\4&77&0&08";
    const std::string unnamed = "PCI\\VEN_0BAD&DEV_0002&SUBSYS_00000BAD\\4&77&0&10";
    machine.AddDeviceNode(named, {"PCI\\VEN_0BAD&DEV_0001&SUBSYS_00000BAD", "PCI\\VEN_0BAD&DEV_0001"}, "Spare Card");
    machine.AddDeviceNode(unnamed, {"PCI\\VEN_0BAD&DEV_0002&SUBSYS_00000BAD"}, "");

    DWORD type = 0;
    const auto ids = ReadValue(EnumKeyOf(named), "HardwareID", &type);
    ASSERT_TRUE(ids);
    EXPECT_EQ(type, REG_MULTI_SZ);
    EXPECT_EQ(Text(*ids), std::string("PCI\\VEN_0BAD&DEV_0001&SUBSYS_00000BAD\0PCI\\VEN_0BAD&DEV_0001\0\0", 61));
    const auto name = ReadValue(EnumKeyOf(named), "FriendlyName", &type);
    ASSERT_TRUE(name);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(Text(*name), std::string("Spare Card\0", 11));
    EXPECT_FALSE(ReadValue(EnumKeyOf(unnamed), "FriendlyName"));
    // The setup class of the machine's own sound cards.
    EXPECT_EQ(ReadValue(EnumKeyOf(unnamed), "ClassGUID"),
              ReadValue(EnumKeyOf(machine::DeviceInstanceId(machine.Config(0))), "ClassGUID"));

    const std::vector<std::string> both = {"PCI\\VEN_0BAD&DEV_0001&SUBSYS_00000BAD",
                                           "PCI\\VEN_0BAD&DEV_0002&SUBSYS_00000BAD"};
    EXPECT_EQ(NodesOfVendor0Bad(DIGCF_ALLCLASSES), both);
    EXPECT_TRUE(NodesOfVendor0Bad(DIGCF_ALLCLASSES | DIGCF_PRESENT).empty());
    EXPECT_EQ(NodesOfVendor0Bad(DIGCF_ALLCLASSES, true), both);
    machine.Reboot();
    EXPECT_TRUE(NodesOfVendor0Bad(DIGCF_ALLCLASSES).empty());
    EXPECT_FALSE(KeyExists(EnumKeyOf(named)));
}

TEST(TreeDeviceTree, CreateFileOpensACardByItsPathInAnyCase)
{
    machine_testing::TestMachine machine(machine_testing::Cards({"default", "absent"}));
    std::string path = machine.InterfacePath(0);
    for (char& c : path) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    HANDLE file = OpenCard(path);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(machine.Hooks(0).OpenFiles(), 1u);
    EXPECT_EQ(CloseHandle(file), TRUE);
    EXPECT_EQ(machine.Hooks(0).OpenFiles(), 0u);

    struct Case {
        std::string path;
        DWORD error;
    };
    const Case refused[] = {
        {machine.InterfacePath(1), ERROR_FILE_NOT_FOUND},  // an absent card
        {machine.InterfacePath(0) + "x", ERROR_FILE_NOT_FOUND},
        {"\\\\?\\PCI#VEN_1057&DEV_3410&SUBSYS_0080A5C3&REV_01#9&0&0#{c0d4a2e9-71b3-4c58-9f26-e38b1d7a0456}\\daveror",
         ERROR_FILE_NOT_FOUND},
    };
    for (const Case& c : refused) {
        SetLastError(0);
        EXPECT_EQ(OpenCard(c.path), INVALID_HANDLE_VALUE) << c.path;
        EXPECT_EQ(GetLastError(), c.error) << c.path;
    }
}

TEST(TreeDeviceTree, AMachineDirectoryWithoutProfileGetsTheDefaultCard)
{
    win32_testing::TempMachineDir directory;
    const auto paths = machine_tests::CardPaths();
    ASSERT_EQ(paths.size(), 1u);
    EXPECT_EQ(paths[0],
              "\\\\?\\PCI#VEN_1057&DEV_3410&SUBSYS_0080A5C3&REV_01#4&1a2b3c4d&0&2010#"
              "{c0d4a2e9-71b3-4c58-9f26-e38b1d7a0456}\\daveror");
    const auto profile = machine::LoadProfile(directory.path());
    ASSERT_TRUE(profile);
    ASSERT_EQ(profile->cards.size(), 1u);
    EXPECT_EQ(profile->cards[0].name, "Zavo24 8x8");
    HANDLE file = OpenCard(paths[0]);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    machine::ShutDownMachine();
}

TEST(TreeDeviceTree, StartUpFindsPresentHardwareAgainButNotRemovedLeftovers)
{
    machine_testing::TestMachine machine(machine_testing::Cards({"default", "absent"}));
    const std::string present = machine::DeviceInstanceId(machine.Config(0));
    const std::string absent = machine::DeviceInstanceId(machine.Config(1));
    const std::string modem = "PCI\\VEN_1057&DEV_5600&SUBSYS_56001057&REV_01\\3&267a616a&0&58";
    HDEVINFO set = SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES);
    ASSERT_NE(set, INVALID_HANDLE_VALUE);
    SP_DEVINFO_DATA node{};
    node.cbSize = sizeof node;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &node); ++i) {
        char id[512] = {};
        SetupDiGetDeviceRegistryPropertyA(set, &node, SPDRP_HARDWAREID, nullptr, reinterpret_cast<BYTE*>(id),
                                          sizeof id - 1, nullptr);
        if (std::strncmp(id, "PCI\\VEN_1057", 12) == 0) {
            EXPECT_EQ(SetupDiCallClassInstaller(DIF_REMOVE, set, &node), TRUE);
        }
    }
    SetupDiDestroyDeviceInfoList(set);
    EXPECT_FALSE(KeyExists(EnumKeyOf(present)));
    // Only what was asked for: the bridge names a card only in its second hardware ID.
    EXPECT_TRUE(KeyExists(EnumKeyOf("PCI\\VEN_10B5&DEV_9050&SUBSYS_0080A5C3&REV_01\\3&267a616a&0&60")));
    EXPECT_TRUE(KeyExists(EnumKeyOf("PCI\\VEN_10EC&DEV_8139&SUBSYS_813910EC&REV_10\\3&267a616a&0&48")));
    EXPECT_EQ(OpenCard(machine.InterfacePath(0)), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

    machine.Reboot();
    EXPECT_TRUE(KeyExists(EnumKeyOf(present)));
    EXPECT_FALSE(KeyExists(EnumKeyOf(absent)));
    EXPECT_FALSE(KeyExists(EnumKeyOf(modem)));
    EXPECT_EQ(machine_tests::CardPaths(), std::vector<std::string>{machine.InterfacePath(0)});
}

TEST(TreeDeviceTree, AnUnreadableProfileLeavesTheMachineWithoutCardsAndTheFileAlone)
{
    win32_testing::TempMachineDir directory;
    const std::string broken = "[card]\npreset = default\ninstance = 4&1&0&1\nfamily = lots\n";
    {
        std::FILE* file = std::fopen(machine::ProfilePath(directory.path()).c_str(), "w");
        ASSERT_NE(file, nullptr);
        std::fputs(broken.c_str(), file);
        std::fclose(file);
    }
    const auto booted = machine::RebootMachine();
    EXPECT_EQ(booted->CardCount(), 0u);
    EXPECT_NE(booted->Problems().find("line 4"), std::string::npos) << booted->Problems();
    EXPECT_TRUE(machine_tests::CardPaths().empty());
    std::FILE* file = std::fopen(machine::ProfilePath(directory.path()).c_str(), "r");
    ASSERT_NE(file, nullptr);
    char text[256] = {};
    const std::size_t read = std::fread(text, 1, sizeof text, file);
    std::fclose(file);
    EXPECT_EQ(std::string(text, read), broken);
    machine::ShutDownMachine();
}

}  // namespace

namespace {

// The system must survive a device path of 260 characters or more; the machine can make one.
TEST(TreeDeviceTree, ACardCanHaveAnOverlongInterfacePath)
{
    machine::CardConfig card = machine::MakePreset("default", std::string(512, 'i'));
    machine_testing::TestMachine machine({card});
    ASSERT_GE(machine.InterfacePath(0).size(), 260u);
    EXPECT_EQ(machine_tests::CardPaths(), std::vector<std::string>{machine.InterfacePath(0)});
}

}  // namespace

namespace {

// A reboot is a new process on the same machine: what the card keeps comes back
// from the registry.
TEST(TreeDeviceTree, ACardKeepsItsSettingsAcrossAReboot)
{
    machine_testing::TestMachine machine;
    HANDLE file = OpenCard(machine.InterfacePath(0));
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    char name[] = "Studio Left";
    DWORD returned = 0;
    ASSERT_EQ(DeviceIoControl(file, machine::sim::IOCTL_SET_CARD_NAME, name, sizeof name, nullptr, 0, &returned,
                              nullptr),
              TRUE);
    CloseHandle(file);

    machine.Reboot();
    file = OpenCard(machine.InterfacePath(0));
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    machine::sim::CapabilitiesRecord caps{};
    ASSERT_EQ(DeviceIoControl(file, machine::sim::IOCTL_GET_CAPS, nullptr, 0, &caps, sizeof caps, &returned, nullptr),
              TRUE);
    CloseHandle(file);
    EXPECT_STREQ(reinterpret_cast<const char*>(&caps), "Studio Left");
}

}  // namespace

namespace {

// Whatever befell a running card's interface keys, its driver registers them again at
// start-up; the settings under Device Parameters are the card's own and stay as they are.
TEST(TreeDeviceTree, ARunningCardRegistersItsInterfaceAgainAtStartUp)
{
    struct Case {
        const char* what;
        const char* key;    // below the card's interface key
        const char* value;  // null: the key itself goes
    };
    const Case cases[] = {
        {"device instance", "", "DeviceInstance"},
        {"symbolic link", "\\#daveror", "SymbolicLink"},
        {"Linked", "\\#daveror\\Control", "Linked"},
        {"Control key", "\\#daveror\\Control", nullptr},
        {"Wave config", "\\#daveror\\Device Parameters", "Wave config"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        machine_testing::TestMachine machine;
        const std::string interfaceKey = machine::DeviceClassesKey(machine.Config(0));
        const std::string parameters = interfaceKey + "\\#daveror\\Device Parameters";
        const auto waveConfig = ReadValue(parameters, "Wave config");
        ASSERT_TRUE(waveConfig);
        const std::string key = interfaceKey + c.key;
        if (c.value == nullptr) {
            ASSERT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str()), ERROR_SUCCESS);
        } else {
            HKEY handle = nullptr;
            ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_ALL_ACCESS, &handle), ERROR_SUCCESS);
            EXPECT_EQ(RegDeleteValueA(handle, c.value), ERROR_SUCCESS);
            RegCloseKey(handle);
        }

        machine.Reboot();
        EXPECT_EQ(machine_tests::CardPaths(), std::vector<std::string>{machine.InterfacePath(0)});
        EXPECT_TRUE(ReadValue(interfaceKey + "\\#daveror", "SymbolicLink"));
        EXPECT_EQ(ReadValue(interfaceKey + "\\#daveror\\Control", "Linked"), (std::vector<BYTE>{1, 0, 0, 0}));
        if (std::string(c.what) == "Wave config") EXPECT_FALSE(ReadValue(parameters, "Wave config"));
        else EXPECT_EQ(ReadValue(parameters, "Wave config"), waveConfig);
    }
}

}  // namespace
