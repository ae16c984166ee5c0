// A simulated machine of the test's own: a fresh temporary directory that
// ZAVO_MACHINE points to while the object lives. At the end the previous
// value of ZAVO_MACHINE (or its absence) is restored and the directory is
// removed with everything in it.
//
//     class CardTest : public win32_testing::MachineTest {};   // one machine per test
//     TEST_F(CardTest, Opens) { ... machine().path() ... }
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include <gtest/gtest.h>

namespace win32_testing {

class TempMachineDir {
public:
    TempMachineDir();
    ~TempMachineDir();
    TempMachineDir(const TempMachineDir&) = delete;
    TempMachineDir& operator=(const TempMachineDir&) = delete;

    const std::filesystem::path& path() const noexcept { return path_; }

private:
    std::filesystem::path path_;
    std::optional<std::string> previous_;
};

// Base for test fixtures: every test gets a machine directory of its own,
// made before the fixture's constructor body runs and removed after it.
class MachineTest : public ::testing::Test {
protected:
    const TempMachineDir& machine() const noexcept { return machine_; }

private:
    TempMachineDir machine_;
};

}  // namespace win32_testing
