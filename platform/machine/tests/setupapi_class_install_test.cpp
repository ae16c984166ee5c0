// The class installer: the property-change restart of a card's driver and
// the removal of device nodes, on sets taken as snapshots.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "machine/card_driver_hooks.h"
#include "machine/machine.h"
#include "machine/sim_records.h"
#include "machine_testing/test_machine.h"
#include "setupapi_test_support.h"

namespace {

using machine_tests::kCardInterface;

SP_PROPCHANGE_PARAMS PropertyChange()
{
    SP_PROPCHANGE_PARAMS params{};
    params.ClassInstallHeader.cbSize = 8;
    params.ClassInstallHeader.InstallFunction = DIF_PROPERTYCHANGE;
    params.StateChange = DICS_PROPCHANGE;
    params.Scope = DICS_FLAG_GLOBAL;
    return params;
}

class SetupApiClassInstall : public ::testing::Test {
protected:
    void SetUp() override
    {
        set_ = SetupDiGetClassDevsA(&kCardInterface, nullptr, nullptr, DIGCF_DEVICEINTERFACE);
        ASSERT_NE(set_, INVALID_HANDLE_VALUE);
        node_.cbSize = sizeof node_;
        ASSERT_EQ(SetupDiEnumDeviceInfo(set_, 0, &node_), TRUE);
    }
    void TearDown() override { SetupDiDestroyDeviceInfoList(set_); }

    BOOL SetParams(SP_PROPCHANGE_PARAMS params, DWORD size = 20)
    {
        return SetupDiSetClassInstallParamsA(set_, &node_, &params.ClassInstallHeader, size);
    }

    machine_testing::TestMachine machine_{machine_testing::Cards({"default", "absent"})};
    HDEVINFO set_ = nullptr;
    SP_DEVINFO_DATA node_{};
};

TEST_F(SetupApiClassInstall, PropertyChangeParamsAreCheckedAndAcceptedWithExactlyOne)
{
    struct Case {
        const char* what;
        DWORD cbSize, function, size, error;
    };
    const Case refused[] = {
        {"header size of the params", 20, DIF_PROPERTYCHANGE, 20, ERROR_INVALID_USER_BUFFER},
        {"header size 0", 0, DIF_PROPERTYCHANGE, 20, ERROR_INVALID_USER_BUFFER},
        {"64-bit header size", 16, DIF_PROPERTYCHANGE, 20, ERROR_INVALID_USER_BUFFER},
        {"function", 8, DIF_REMOVE, 20, ERROR_INVALID_PARAMETER},
        {"params size", 8, DIF_PROPERTYCHANGE, 24, ERROR_INVALID_PARAMETER},
        {"header alone", 8, DIF_PROPERTYCHANGE, 8, ERROR_INVALID_PARAMETER},
    };
    for (const Case& c : refused) {
        SP_PROPCHANGE_PARAMS params = PropertyChange();
        params.ClassInstallHeader.cbSize = c.cbSize;
        params.ClassInstallHeader.InstallFunction = c.function;
        EXPECT_EQ(SetParams(params, c.size), FALSE) << c.what;
        EXPECT_EQ(GetLastError(), c.error) << c.what;
        EXPECT_EQ(SetupDiChangeState(set_, &node_), FALSE) << c.what;  // nothing was stored
        EXPECT_EQ(GetLastError(), ERROR_NO_CLASSINSTALL_PARAMS) << c.what;
    }
    EXPECT_EQ(SetParams(PropertyChange()), 1);
}

TEST_F(SetupApiClassInstall, ChangeStateRestartsTheCardOnlyWhenNoFileIsOpen)
{
    EXPECT_EQ(SetupDiChangeState(set_, &node_), FALSE);  // no params yet
    EXPECT_EQ(GetLastError(), ERROR_NO_CLASSINSTALL_PARAMS);
    ASSERT_EQ(SetParams(PropertyChange()), TRUE);

    HANDLE file = machine_tests::OpenCard(machine_.InterfacePath(0));
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(SetupDiChangeState(set_, &node_), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_DEVICE_IN_USE);
    CloseHandle(file);
    EXPECT_EQ(SetupDiChangeState(set_, &node_), TRUE);
    EXPECT_EQ(SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, set_, &node_), TRUE);

    machine_.Hooks(0).RefuseRestart(true);
    EXPECT_EQ(SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, set_, &node_), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_DEVICE_IN_USE);

    SP_DEVINFO_DATA absent{};
    absent.cbSize = sizeof absent;
    ASSERT_EQ(SetupDiEnumDeviceInfo(set_, 1, &absent), TRUE);
    SP_PROPCHANGE_PARAMS params = PropertyChange();
    ASSERT_EQ(SetupDiSetClassInstallParamsA(set_, &absent, &params.ClassInstallHeader, 20), TRUE);
    EXPECT_EQ(SetupDiChangeState(set_, &absent), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_DEVICE_IN_USE);
}

// Another process of the machine, say an ASIO host, holds the card open until it is let go:
// it closes its file, or it is killed with the file open.
TEST_F(SetupApiClassInstall, ARestartIsRefusedWhileAnotherProcessHasAFileOfTheCardOpen)
{
    ASSERT_EQ(SetParams(PropertyChange()), TRUE);
    for (const bool killed : {false, true}) {
        SCOPED_TRACE(killed ? "the other process is killed" : "the other process closes its file");
        int opened[2], release[2];
        ASSERT_EQ(pipe(opened), 0);
        ASSERT_EQ(pipe(release), 0);
        const pid_t child = fork();
        ASSERT_NE(child, -1);
        if (child == 0) {
            HANDLE file = machine_tests::OpenCard(machine_.InterfacePath(0));
            const char ok = file != INVALID_HANDLE_VALUE ? 1 : 0;
            char go = 0;
            const bool held = write(opened[1], &ok, 1) == 1 && read(release[0], &go, 1) == 1;
            _exit(held && ok == 1 && CloseHandle(file) == TRUE ? 0 : 1);
        }
        close(opened[1]);
        close(release[0]);
        char ok = 0;
        EXPECT_EQ(read(opened[0], &ok, 1), 1);
        EXPECT_EQ(ok, 1) << "the other process could not open the card";
        EXPECT_EQ(SetupDiChangeState(set_, &node_), FALSE);
        EXPECT_EQ(GetLastError(), ERROR_DEVICE_IN_USE);
        EXPECT_EQ(SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, set_, &node_), FALSE);
        EXPECT_EQ(GetLastError(), ERROR_DEVICE_IN_USE);

        const char go = 1;
        if (killed) EXPECT_EQ(kill(child, SIGKILL), 0);
        else EXPECT_EQ(write(release[1], &go, 1), 1);
        int status = 0;
        EXPECT_EQ(waitpid(child, &status, 0), child);
        if (killed) EXPECT_TRUE(WIFSIGNALED(status));
        else EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        close(opened[0]);
        close(release[1]);
        EXPECT_EQ(SetupDiChangeState(set_, &node_), TRUE);
    }
}

TEST_F(SetupApiClassInstall, RemovalTakesTheNodeItsInterfaceAndKeysAndOlderSetsFailCleanly)
{
    HDEVINFO older = SetupDiGetClassDevsA(&kCardInterface, nullptr, nullptr, DIGCF_DEVICEINTERFACE);
    SP_DEVINFO_DATA olderNode{};
    olderNode.cbSize = sizeof olderNode;
    ASSERT_EQ(SetupDiEnumDeviceInfo(older, 0, &olderNode), TRUE);

    const std::string instanceId = machine::DeviceInstanceId(machine_.Config(0));
    EXPECT_EQ(SetupDiCallClassInstaller(DIF_REMOVE, set_, &node_), TRUE);
    EXPECT_FALSE(machine_tests::KeyExists(machine_tests::EnumKeyOf(instanceId)));
    EXPECT_FALSE(machine_tests::KeyExists(machine::DeviceClassesKey(machine_.Config(0))));
    EXPECT_TRUE(machine_tests::KeyExists(machine::DeviceClassesKey(machine_.Config(1))));
    EXPECT_EQ(machine_tests::CardPaths(), std::vector<std::string>{machine_.InterfacePath(1)});

    // The snapshots still hold the element; what needs the node fails.
    SP_DEVINFO_DATA again{};
    again.cbSize = sizeof again;
    EXPECT_EQ(SetupDiEnumDeviceInfo(older, 0, &again), TRUE);
    EXPECT_TRUE(machine_tests::DetailPath(older, 0));
    char name[128];
    for (HDEVINFO set : {set_, older}) {
        SP_DEVINFO_DATA& node = set == set_ ? node_ : olderNode;
        EXPECT_EQ(SetupDiGetDeviceRegistryPropertyA(set, &node, SPDRP_FRIENDLYNAME, nullptr,
                                                    reinterpret_cast<BYTE*>(name), sizeof name, nullptr),
                  FALSE);
        EXPECT_EQ(GetLastError(), ERROR_NO_SUCH_DEVINST);
        EXPECT_EQ(SetupDiCallClassInstaller(DIF_REMOVE, set, &node), FALSE);
        EXPECT_EQ(GetLastError(), ERROR_NO_SUCH_DEVINST);
    }
    SetupDiDestroyDeviceInfoList(older);
}

TEST_F(SetupApiClassInstall, ACardRemovedWhileOpenDropsItsSettingsAndStartsCleanWhenFoundAgain)
{
    const DWORD defaultSize = machine_.Hooks(0).Settings().gsifBufferSize;
    HANDLE file = machine_tests::OpenCard(machine_.InterfacePath(0));
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD size = defaultSize * 2, returned = 0;
    ASSERT_EQ(DeviceIoControl(file, machine::sim::IOCTL_SET_GSIF_BUFFER_SIZE, &size, sizeof size, nullptr, 0,
                              &returned, nullptr),
              TRUE);
    ASSERT_EQ(SetupDiCallClassInstaller(DIF_REMOVE, set_, &node_), TRUE);
    CloseHandle(file);  // the card's last file: nothing is left to save into
    EXPECT_FALSE(machine_tests::KeyExists(machine::DeviceClassesKey(machine_.Config(0))));

    machine_.Reboot();  // the card is found again, as at the next start
    const std::string parameters = machine::DeviceParametersKey(machine_.Config(0));
    EXPECT_TRUE(machine_tests::ReadValue(parameters, "Wave config"));
    EXPECT_FALSE(machine_tests::ReadValue(parameters, "GSIF buffer size"));
    EXPECT_FALSE(machine_tests::ReadValue(parameters, "Mixer state"));
    file = machine_tests::OpenCard(machine_.InterfacePath(0));
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    size = 0;
    EXPECT_EQ(DeviceIoControl(file, machine::sim::IOCTL_GET_GSIF_BUFFER_SIZE, nullptr, 0, &size, sizeof size,
                              &returned, nullptr),
              TRUE);
    EXPECT_EQ(size, defaultSize);
    CloseHandle(file);
}

TEST_F(SetupApiClassInstall, OtherInstallFunctionsAreLeftToTheDefault)
{
    EXPECT_EQ(SetupDiCallClassInstaller(0x01 /* DIF_SELECTDEVICE */, set_, &node_), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_DI_DO_DEFAULT);
    EXPECT_TRUE(machine_tests::KeyExists(machine_tests::EnumKeyOf(machine::DeviceInstanceId(machine_.Config(0)))));
}

}  // namespace
