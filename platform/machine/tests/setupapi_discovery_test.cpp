// Finding the cards and the device nodes through SetupAPI, with the size
// queries and record checks the system's code relies on.
#include <gtest/gtest.h>

#include <cstring>

#include "machine/machine.h"
#include "machine_testing/test_machine.h"
#include "setupapi_test_support.h"

namespace {

using machine_tests::CardPaths;
using machine_tests::kCardInterface;

class SetupApiDiscovery : public ::testing::Test {
protected:
    machine_testing::TestMachine machine_{machine_testing::Cards({"zavo24-10", "absent", "tarnex-90"})};
};

TEST_F(SetupApiDiscovery, InterfaceSetListsEveryCardInProfileOrderAbsentOnesUnlessPresentIsAsked)
{
    EXPECT_EQ(CardPaths(), (std::vector<std::string>{machine_.InterfacePath(0), machine_.InterfacePath(1),
                                                     machine_.InterfacePath(2)}));
    EXPECT_EQ(CardPaths(DIGCF_DEVICEINTERFACE | DIGCF_PRESENT),
              (std::vector<std::string>{machine_.InterfacePath(0), machine_.InterfacePath(2)}));
}

TEST_F(SetupApiDiscovery, ElementIOfAnInterfaceSetIsTheDeviceOfInterfaceI)
{
    HDEVINFO set = SetupDiGetClassDevsA(&kCardInterface, nullptr, nullptr, DIGCF_DEVICEINTERFACE);
    ASSERT_NE(set, INVALID_HANDLE_VALUE);
    for (DWORD i = 0; i < 3; ++i) {
        SP_DEVINFO_DATA node{};
        node.cbSize = sizeof node;
        ASSERT_EQ(SetupDiEnumDeviceInfo(set, i, &node), TRUE);
        char name[128] = {};
        DWORD type = 0;
        ASSERT_EQ(SetupDiGetDeviceRegistryPropertyA(set, &node, SPDRP_FRIENDLYNAME, &type,
                                                    reinterpret_cast<BYTE*>(name), sizeof name, nullptr),
                  TRUE);
        EXPECT_EQ(type, REG_SZ);
        EXPECT_EQ(std::string(name), machine_.Config(i).name);

        SP_DEVICE_INTERFACE_DATA data{};
        data.cbSize = sizeof data;
        ASSERT_EQ(SetupDiEnumDeviceInterfaces(set, &node, &kCardInterface, 0, &data), TRUE);
        EXPECT_EQ(data.Flags, machine_.Config(i).present ? SPINT_ACTIVE : 0u);
        EXPECT_EQ(SetupDiEnumDeviceInterfaces(set, &node, &kCardInterface, 1, &data), FALSE);
        EXPECT_EQ(GetLastError(), ERROR_NO_MORE_ITEMS);
    }
    SP_DEVINFO_DATA past{};
    past.cbSize = sizeof past;
    EXPECT_EQ(SetupDiEnumDeviceInfo(set, 3, &past), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(SetupDiDestroyDeviceInfoList(set), TRUE);
}

TEST_F(SetupApiDiscovery, DetailIsAskedForItsSizeThenFilled)
{
    HDEVINFO set = SetupDiGetClassDevsA(&kCardInterface, nullptr, nullptr, DIGCF_DEVICEINTERFACE);
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = 28;
    ASSERT_EQ(SetupDiEnumDeviceInterfaces(set, nullptr, &kCardInterface, 0, &data), TRUE);
    const std::string path = machine_.InterfacePath(0);
    DWORD size = 0;
    EXPECT_EQ(SetupDiGetDeviceInterfaceDetailA(set, &data, nullptr, 0, &size, nullptr), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(size, 4 + path.size() + 1);

    std::vector<char> buffer(size + 8, '\x7f');
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.data());
    detail->cbSize = 5;
    EXPECT_EQ(SetupDiGetDeviceInterfaceDetailA(set, &data, detail, size - 1, nullptr, nullptr), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    SP_DEVINFO_DATA node{};
    node.cbSize = sizeof node;
    ASSERT_EQ(SetupDiGetDeviceInterfaceDetailA(set, &data, detail, size, nullptr, &node), TRUE);
    EXPECT_EQ(std::string(buffer.data() + 4), path);
    EXPECT_EQ(buffer[size], '\x7f');  // nothing written past the size given
    char ids[256] = {};
    EXPECT_EQ(SetupDiGetDeviceRegistryPropertyA(set, &node, SPDRP_HARDWAREID, nullptr, reinterpret_cast<BYTE*>(ids),
                                                sizeof ids, nullptr),
              TRUE);
    EXPECT_STREQ(ids, "PCI\\VEN_1057&DEV_1801&SUBSYS_0010A5C3&REV_01");
    SetupDiDestroyDeviceInfoList(set);
}

TEST_F(SetupApiDiscovery, RecordsOfTheWrongSizeAreRefused)
{
    HDEVINFO set = SetupDiGetClassDevsA(&kCardInterface, nullptr, nullptr, DIGCF_DEVICEINTERFACE);
    SP_DEVICE_INTERFACE_DATA good{};
    good.cbSize = 28;
    ASSERT_EQ(SetupDiEnumDeviceInterfaces(set, nullptr, &kCardInterface, 0, &good), TRUE);
    for (const DWORD cbSize : {0u, 27u, 32u}) {
        SP_DEVINFO_DATA node{};
        node.cbSize = cbSize;
        EXPECT_EQ(SetupDiEnumDeviceInfo(set, 0, &node), FALSE);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_USER_BUFFER);
        SP_DEVICE_INTERFACE_DATA data{};
        data.cbSize = cbSize;
        EXPECT_EQ(SetupDiEnumDeviceInterfaces(set, nullptr, &kCardInterface, 0, &data), FALSE);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_USER_BUFFER);
        char buffer[512] = {};
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer);
        detail->cbSize = cbSize == 0 ? 8 : cbSize;  // the 64-bit layout's 8 is wrong here
        EXPECT_EQ(SetupDiGetDeviceInterfaceDetailA(set, &good, detail, sizeof buffer, nullptr, nullptr), FALSE);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_USER_BUFFER);
    }
    SetupDiDestroyDeviceInfoList(set);
}

TEST_F(SetupApiDiscovery, RegistryPropertyAnswersSizeQueriesAndShortBuffers)
{
    HDEVINFO set = SetupDiGetClassDevsA(&kCardInterface, nullptr, nullptr, DIGCF_DEVICEINTERFACE);
    SP_DEVINFO_DATA node{};
    node.cbSize = sizeof node;
    ASSERT_EQ(SetupDiEnumDeviceInfo(set, 2, &node), TRUE);
    DWORD size = 0, type = 0;
    EXPECT_EQ(SetupDiGetDeviceRegistryPropertyA(set, &node, SPDRP_HARDWAREID, &type, nullptr, 0, &size), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(type, REG_MULTI_SZ);
    std::vector<BYTE> ids(size, 0xEE);
    EXPECT_EQ(SetupDiGetDeviceRegistryPropertyA(set, &node, SPDRP_HARDWAREID, nullptr, ids.data(), size - 1, nullptr),
              FALSE);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(ids[0], 0xEE);
    ASSERT_EQ(SetupDiGetDeviceRegistryPropertyA(set, &node, SPDRP_HARDWAREID, nullptr, ids.data(), size, nullptr),
              TRUE);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(ids.data())), "PCI\\VEN_1057&DEV_3410&SUBSYS_0090A5C3&REV_01");
    EXPECT_EQ(ids[size - 1], 0);
    EXPECT_EQ(ids[size - 2], 0);  // the list ends with an empty string
    SetupDiDestroyDeviceInfoList(set);
}

TEST_F(SetupApiDiscovery, PropertiesANodeLacksDifferFromNumbersThatNameNone)
{
    HDEVINFO set = SetupDiGetClassDevsA(&kCardInterface, nullptr, nullptr, DIGCF_DEVICEINTERFACE);
    SP_DEVINFO_DATA node{};
    node.cbSize = sizeof node;
    ASSERT_EQ(SetupDiEnumDeviceInfo(set, 0, &node), TRUE);
    struct Case {
        DWORD property;
        BOOL result;
        DWORD error;  // when refused
        DWORD type;   // when read
    };
    const Case cases[] = {
        {SPDRP_DEVICEDESC, TRUE, 0, REG_SZ},
        {SPDRP_HARDWAREID, TRUE, 0, REG_MULTI_SZ},
        {SPDRP_COMPATIBLEIDS, TRUE, 0, REG_MULTI_SZ},
        {SPDRP_SERVICE, TRUE, 0, REG_SZ},
        {SPDRP_CLASS, TRUE, 0, REG_SZ},
        {SPDRP_CLASSGUID, TRUE, 0, REG_SZ},
        {SPDRP_MFG, TRUE, 0, REG_SZ},
        {SPDRP_FRIENDLYNAME, TRUE, 0, REG_SZ},
        {SPDRP_DRIVER, FALSE, ERROR_INVALID_DATA, 0},
        {SPDRP_LOCATION_INFORMATION, FALSE, ERROR_INVALID_DATA, 0},
        {0x1F /* removal policy */, FALSE, ERROR_INVALID_DATA, 0},
        {SPDRP_UNUSED0, FALSE, ERROR_INVALID_REG_PROPERTY, 0},
        {SPDRP_UNUSED2, FALSE, ERROR_INVALID_REG_PROPERTY, 0},
        {SPDRP_MAXIMUM_PROPERTY, FALSE, ERROR_INVALID_REG_PROPERTY, 0},
        {0xFFFFFFFF, FALSE, ERROR_INVALID_REG_PROPERTY, 0},
    };
    for (const Case& c : cases) {
        BYTE buffer[512];
        DWORD type = 0xEEEE;
        EXPECT_EQ(SetupDiGetDeviceRegistryPropertyA(set, &node, c.property, &type, buffer, sizeof buffer, nullptr),
                  c.result)
            << c.property;
        if (c.result) EXPECT_EQ(type, c.type) << c.property;
        else EXPECT_EQ(GetLastError(), c.error) << c.property;
    }
    SetupDiDestroyDeviceInfoList(set);
}

TEST_F(SetupApiDiscovery, AllClassesListsEveryNodePresentOrNot)
{
    auto count = [](DWORD flags) {
        HDEVINFO set = SetupDiGetClassDevsA(nullptr, nullptr, nullptr, flags);
        SP_DEVINFO_DATA node{};
        node.cbSize = sizeof node;
        DWORD n = 0;
        while (SetupDiEnumDeviceInfo(set, n, &node)) ++n;
        SetupDiDestroyDeviceInfoList(set);
        return n;
    };
    // Seven other devices, two of them unplugged, and the three cards, one absent.
    EXPECT_EQ(count(DIGCF_ALLCLASSES), 10u);
    EXPECT_EQ(count(DIGCF_ALLCLASSES | DIGCF_PRESENT), 7u);

    // The cards' interfaces come along with their nodes.
    HDEVINFO set = SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES | DIGCF_PRESENT);
    EXPECT_EQ(machine_tests::DetailPath(set, 0), machine_.InterfacePath(0));
    EXPECT_EQ(machine_tests::DetailPath(set, 1), machine_.InterfacePath(2));
    EXPECT_FALSE(machine_tests::DetailPath(set, 2));
    SetupDiDestroyDeviceInfoList(set);
}

TEST_F(SetupApiDiscovery, DestroyedOrForeignSetsAndElementsAreRefused)
{
    HDEVINFO first = SetupDiGetClassDevsA(&kCardInterface, nullptr, nullptr, DIGCF_DEVICEINTERFACE);
    HDEVINFO second = SetupDiGetClassDevsA(&kCardInterface, nullptr, nullptr, DIGCF_DEVICEINTERFACE);
    ASSERT_NE(first, second);
    SP_DEVINFO_DATA node{};
    node.cbSize = sizeof node;
    ASSERT_EQ(SetupDiEnumDeviceInfo(first, 0, &node), TRUE);
    char name[128];
    EXPECT_EQ(SetupDiGetDeviceRegistryPropertyA(second, &node, SPDRP_FRIENDLYNAME, nullptr,
                                                reinterpret_cast<BYTE*>(name), sizeof name, nullptr),
              FALSE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

    EXPECT_EQ(SetupDiDestroyDeviceInfoList(first), TRUE);
    EXPECT_EQ(SetupDiEnumDeviceInfo(first, 0, &node), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(SetupDiDestroyDeviceInfoList(first), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(SetupDiEnumDeviceInfo(INVALID_HANDLE_VALUE, 0, &node), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(SetupDiDestroyDeviceInfoList(second), TRUE);

    EXPECT_EQ(SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_DEVICEINTERFACE), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

}  // namespace
