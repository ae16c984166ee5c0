// The wave-client program as a user runs it: a child process on the test's
// machine directory (it inherits ZAVO_MACHINE), booting the machine itself
// and streaming in real time.
#include <sys/wait.h>

#include <cstdio>
#include <regex>
#include <string>

#include "wave_fixture.h"

namespace {

struct ProgramRun {
    int status;
    std::string output;  // stdout and stderr
};

ProgramRun RunProgram(const std::string& arguments, const std::string& driver = kDriverPath)
{
    const std::string command = std::string(ZAVO_WAVE_CLIENT_PATH) + " --driver " + driver + " " + arguments + " 2>&1";
    ProgramRun run{-1, {}};
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char chunk[512];
    while (std::fgets(chunk, sizeof chunk, pipe)) run.output += chunk;
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

}  // namespace

class WaveClientProgramTest : public WaveTest {};

TEST_F(WaveClientProgramTest, ListsEveryDeviceOfTheDefaultMachine)
{
    // What the driver lists, through the test's own client.
    std::vector<std::string> outs, ins;
    {
        hosts::WaveClient& client = Load();
        outs = Names(client.ListDevices(WaveDirection::Out));
        ins = Names(client.ListDevices(WaveDirection::In));
        Unload();
    }
    ASSERT_EQ(outs.size(), 8u);
    ASSERT_EQ(ins.size(), 8u);
    const ProgramRun run = RunProgram("list");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("8 wave-out devices\n"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("8 wave-in devices\n"), std::string::npos) << run.output;
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_NE(run.output.find("  " + std::to_string(i) + ": " + outs[i] + ", 2 channels, formats 0x00000FFF"),
                  std::string::npos)
            << outs[i];
        EXPECT_NE(run.output.find("  " + std::to_string(i) + ": " + ins[i] + ", 2 channels"), std::string::npos)
            << ins[i];
    }
}

TEST_F(WaveClientProgramTest, PlaysATone)
{
    const ProgramRun run = RunProgram("play 0 1");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("played 1.0 s of a 1000 Hz tone at -12 dBFS on wave-out device 0"), std::string::npos)
        << run.output;
}

// The default card's inputs 0 and 1 carry tones at -30 and -30.5 dBFS.
TEST_F(WaveClientProgramTest, RecordsThePeakOfEachChannel)
{
    const ProgramRun run = RunProgram("record 0 1");
    EXPECT_EQ(run.status, 0) << run.output;
    std::smatch match;
    ASSERT_TRUE(std::regex_search(run.output, match, std::regex(R"(left (-[0-9.]+) dBFS, right (-[0-9.]+) dBFS)")))
        << run.output;
    EXPECT_NEAR(std::stod(match[1]), -30.0, 0.3);
    EXPECT_NEAR(std::stod(match[2]), -30.5, 0.3);
}

TEST_F(WaveClientProgramTest, ABadDeviceOrDriverIsReportedAndFails)
{
    const struct {
        std::string arguments;
        std::string error;
    } cases[] = {
        {"play 99 1", "open of wave-out device 99: MMSYSERR_BADDEVICEID"},
        {"record 99 1", "open of wave-in device 99: MMSYSERR_BADDEVICEID"},
        {"play", "usage: wave-client"},
    };
    for (const auto& c : cases) {
        const ProgramRun run = RunProgram(c.arguments);
        EXPECT_NE(run.status, 0) << c.arguments;
        EXPECT_NE(run.output.find(c.error), std::string::npos) << c.arguments << ": " << run.output;
    }
    const ProgramRun run = RunProgram("list", "/nonexistent/Zavo24Wave.dll");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("cannot load the wave driver /nonexistent/Zavo24Wave.dll"), std::string::npos)
        << run.output;
}
