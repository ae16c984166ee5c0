#include "win32_testing/temp_machine_dir.h"

#include <cstdlib>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace win32_testing {

namespace {

constexpr const char* kMachineVariable = "ZAVO_MACHINE";

std::filesystem::path MakeTemporaryDirectory()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "zavo-machine-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (::mkdtemp(name.data()) == nullptr)
        throw std::system_error(errno, std::generic_category(), "mkdtemp " + pattern);
    return std::filesystem::path(name.data());
}

}  // namespace

TempMachineDir::TempMachineDir() : path_(MakeTemporaryDirectory())
{
    if (const char* old = std::getenv(kMachineVariable)) previous_ = old;
    ::setenv(kMachineVariable, path_.c_str(), 1);
}

TempMachineDir::~TempMachineDir()
{
    if (previous_)
        ::setenv(kMachineVariable, previous_->c_str(), 1);
    else
        ::unsetenv(kMachineVariable);
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace win32_testing
