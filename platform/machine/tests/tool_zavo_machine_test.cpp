// The zavo-machine command, run as a user runs it, on a machine of the
// test's own.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>

#include "machine/machine.h"
#include "machine/profile.h"
#include "setupapi_test_support.h"
#include "win32_testing/temp_machine_dir.h"

namespace {

struct ToolRun {
    int status = -1;
    std::string output;  // stdout and stderr together
};

ToolRun Command(const std::string& arguments)
{
    ToolRun run;
    std::FILE* pipe = ::popen((std::string("'") + ZAVO_MACHINE_TOOL + "' " + arguments + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) run.output += buffer;
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string ProfileText(const std::filesystem::path& directory)
{
    return machine_tests::FileText(machine::ProfilePath(directory));
}

class ToolZavoMachine : public win32_testing::MachineTest {
protected:
    void TearDown() override { machine::ShutDownMachine(); }
};

TEST_F(ToolZavoMachine, ListsPresetsAndTheDefaultMachine)
{
    const ToolRun presets = Command("presets");
    EXPECT_EQ(presets.status, 0);
    for (const std::string& name : machine::PresetNames()) EXPECT_NE(presets.output.find(name), std::string::npos);

    const ToolRun list = Command("list");
    EXPECT_EQ(list.status, 0) << list.output;
    EXPECT_NE(list.output.find("4&1a2b3c4d&0&2010  default"), std::string::npos) << list.output;
    EXPECT_NE(list.output.find("\"Zavo24 8x8\""), std::string::npos) << list.output;
}

TEST_F(ToolZavoMachine, AddsAndRemovesCardsThatProgramsThenSee)
{
    ToolRun run = Command("add tarnex-a0 --name 'Booth B'");
    ASSERT_EQ(run.status, 0) << run.output;
    run = Command("add absent");
    ASSERT_EQ(run.status, 0) << run.output;
    const auto profile = machine::LoadProfile(machine().path());
    ASSERT_TRUE(profile);
    ASSERT_EQ(profile->cards.size(), 3u);
    EXPECT_EQ(profile->cards[1].name, "Booth B");
    EXPECT_EQ(profile->cards[2].instance, "4&1a2b3c4d&0&2020");
    EXPECT_FALSE(profile->cards[2].present);

    machine::RebootMachine();  // this process starts after the command
    EXPECT_EQ(machine_tests::CardPaths(),
              (std::vector<std::string>{machine::InterfacePath(profile->cards[0]),
                                        machine::InterfacePath(profile->cards[1]),
                                        machine::InterfacePath(profile->cards[2])}));
    EXPECT_EQ(machine_tests::CardPaths(DIGCF_DEVICEINTERFACE | DIGCF_PRESENT).size(), 2u);

    run = Command("remove '4&1a2b3c4d&0&2018'");
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("Booth B"), std::string::npos);
    machine::RebootMachine();
    EXPECT_EQ(machine_tests::CardPaths(), (std::vector<std::string>{machine::InterfacePath(profile->cards[0]),
                                                                    machine::InterfacePath(profile->cards[2])}));
    EXPECT_FALSE(machine_tests::KeyExists(machine_tests::EnumKeyOf(machine::DeviceInstanceId(profile->cards[1]))));
}

TEST_F(ToolZavoMachine, ABadRequestSaysWhyAndChangesNothing)
{
    ASSERT_EQ(Command("list").status, 0);
    const std::string before = ProfileText(machine().path());
    struct Case {
        std::string arguments;
        int status;
        const char* expected;
    };
    const Case cases[] = {
        {"add nonesuch", 1, "unknown card preset \"nonesuch\"; nothing was changed"},
        {"add default --instance '4&1a2b3c4d&0&2010'", 1, "another card already has the instance"},
        {"add default --instance 'a#b'", 1, "holds a character"},
        {"add default --instance ''", 1, "the instance is empty"},
        {"add zavo24-10 --name " + std::string(128, 'n'), 1, "the name is longer than 127"},
        {"remove '9&9&9'", 1, "no card has the instance \"9&9&9\"; nothing was changed"},
        {"remove", 2, "remove needs one instance"},
        {"fly", 2, "unknown command \"fly\""},
        {"", 2, "usage:"},
    };
    for (const Case& c : cases) {
        const ToolRun run = Command(c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments << "\n" << run.output;
        EXPECT_NE(run.output.find(c.expected), std::string::npos) << c.arguments << "\n" << run.output;
        EXPECT_EQ(ProfileText(machine().path()), before) << c.arguments;
    }
}

}  // namespace

namespace {

TEST_F(ToolZavoMachine, AProfileThatCannotBeReadIsReportedAndKept)
{
    const std::string broken = "[card]\npreset = default\ninstance = x\npresent = often\n";
    {
        std::ofstream file(machine::ProfilePath(machine().path()));
        file << broken;
    }
    const ToolRun list = Command("list");
    EXPECT_EQ(list.status, 1);
    EXPECT_NE(list.output.find("line 4: present: expected yes or no"), std::string::npos) << list.output;
    const ToolRun add = Command("add zavo24-20");
    EXPECT_EQ(add.status, 1);
    EXPECT_NE(add.output.find("nothing was changed"), std::string::npos) << add.output;
    EXPECT_EQ(ProfileText(machine().path()), broken);
}

}  // namespace
