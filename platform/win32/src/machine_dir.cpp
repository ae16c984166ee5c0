// Where the simulated machine lives. The environment is read on every call,
// so a test that points ZAVO_MACHINE elsewhere gets a machine of its own.
#include "win32/machine_dir.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>

namespace win32 {
namespace {

std::filesystem::path HomeDirectory()
{
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
    // No HOME (a service, a stripped environment): ask the user database.
    passwd entry{};
    passwd* found = nullptr;
    char buffer[4096];
    if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found != nullptr &&
        found->pw_dir != nullptr && *found->pw_dir != '\0')
        return found->pw_dir;
    return std::filesystem::temp_directory_path();
}

}  // namespace

std::filesystem::path MachineDirectory()
{
    std::filesystem::path directory;
    if (const char* chosen = std::getenv("ZAVO_MACHINE"); chosen != nullptr && *chosen != '\0')
        directory = chosen;
    else
        directory = HomeDirectory() / ".local" / "state" / "zavo-machine";
    // A directory that cannot be made is left to the callers: their file
    // operations fail there with a clear error.
    std::error_code ignored;
    std::filesystem::create_directories(directory, ignored);
    return directory;
}

}  // namespace win32
