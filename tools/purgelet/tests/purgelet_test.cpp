// Purgelet run as a user runs it: the real program in a process of its own,
// headless, on the test's machine, with the tree read afterwards from here.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <juce_core/juce_core.h>

#include "cleanup_machine.h"

extern char** environ;

namespace purgelet_tests {
namespace {

struct ToolRun {
    int status = -1;     // the exit status; -1 when the program did not end by itself
    std::string errors;  // what it wrote to stderr
};

// The program with exactly these arguments, no display and the machine of
// this process (ZAVO_MACHINE is inherited). JUCE still tries ":0.0" without
// DISPLAY; where a server answers there, the X libraries keep their
// connection to the end, as in the display phase of the tests.
ToolRun RunPurgelet(const std::vector<std::string>& arguments)
{
    std::vector<std::string> environment;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const std::string_view entry(*variable);
        if (entry.starts_with("DISPLAY=") || entry.starts_with("ZAVO_GUI_HEADLESS=") ||
            entry.starts_with("LSAN_OPTIONS="))
            continue;
        environment.emplace_back(entry);
    }
    environment.push_back("ZAVO_GUI_HEADLESS=1");
    environment.push_back(std::string("LSAN_OPTIONS=suppressions=") + LSAN_DISPLAY_SUPPRESSIONS);
    std::vector<char*> argv{const_cast<char*>(PURGELET_PROGRAM)};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);

    ToolRun run;
    int errors[2];
    if (::pipe2(errors, O_CLOEXEC) != 0) return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, errors[1], STDERR_FILENO);
    pid_t child = 0;
    const int spawned = ::posix_spawn(&child, PURGELET_PROGRAM, &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(errors[1]);
    if (spawned != 0) {
        ::close(errors[0]);
        run.errors = std::string("cannot start ") + PURGELET_PROGRAM + ": " + std::strerror(spawned);
        return run;
    }
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(60);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            ::kill(child, SIGKILL);
            run.errors += "\n(killed: it did not end within a minute)";
            break;
        }
        pollfd readable{errors[0], POLLIN, 0};
        if (::poll(&readable, 1, static_cast<int>(left.count())) <= 0) continue;
        char buffer[4096];
        const ssize_t got = ::read(errors[0], buffer, sizeof buffer);
        if (got <= 0) break;
        run.errors.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(errors[0]);
    int status = 0;
    if (::waitpid(child, &status, 0) == child && WIFEXITED(status)) run.status = WEXITSTATUS(status);
    return run;
}

// The box of a wrong key, as the console desktop prints it. A debug build of
// JUCE writes lines of its own beside it.
bool ShowedInvalidFamily(const ToolRun& run)
{
    std::istringstream lines(run.errors);
    for (std::string line; std::getline(lines, line);)
        if (line == "[PCI cleanup] Invalid family") return true;
    return false;
}

struct CommandLine {
    const char* name;
    std::vector<std::string> arguments;
    std::string removed;  // the letters of the nodes it removes
    bool invalidFamily;
};

const CommandLine kCommandLines[] = {
    {"KeyInCapitals", {"ZAVO24"}, "acdfgk", false},
    {"KeyWithSpacesAroundInOneArgument", {" zavo24 "}, "acdfgk", false},
    {"TwoKeys", {"zavo24", "tarnex"}, "", true},
    {"NoKey", {}, "", true},
    {"PartOfAKey", {"zavo"}, "", true},
    {"Tarnex", {"tarnex"}, "h", false},
    {"Dazarorora", {"dazarorora"}, "i", false},
};

void PrintTo(const CommandLine& line, std::ostream* out) { *out << line.name; }

class PurgeletCommandLine : public CleanupMachine, public ::testing::WithParamInterface<CommandLine> {};

TEST_P(PurgeletCommandLine, RemovesTheNodesOfTheFamilyNamedAndNothingElse)
{
    const CommandLine& line = GetParam();
    const TreeSnapshot before = SnapshotTree();
    const ToolRun run = RunPurgelet(line.arguments);
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(RemovedNodes(), line.removed);
    EXPECT_EQ(Differences(WithoutNodes(before, NodesOf(line.removed)), SnapshotTree()), "");
    EXPECT_EQ(ShowedInvalidFamily(run), line.invalidFamily) << run.errors;
}

INSTANTIATE_TEST_SUITE_P(Purgelet, PurgeletCommandLine, ::testing::ValuesIn(kCommandLines),
                         [](const ::testing::TestParamInfo<CommandLine>& row) { return row.param.name; });

class PurgeletInstances : public CleanupMachine {};

TEST_F(PurgeletInstances, ASecondInstanceEndsAtOnceWithoutLookingAtItsKey)
{
    const TreeSnapshot before = SnapshotTree();
    juce::InterProcessLock first("Purgelet lock");
    ASSERT_TRUE(first.enter(0)) << "another Purgelet is running on this computer";

    ToolRun run = RunPurgelet({"zavo24"});
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(Differences(before, SnapshotTree()), "");

    run = RunPurgelet({"bogus"});
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_FALSE(ShowedInvalidFamily(run)) << run.errors;

    first.exit();
    run = RunPurgelet({"zavo24"});
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(RemovedNodes(), "acdfgk");
}

}  // namespace
}  // namespace purgelet_tests
