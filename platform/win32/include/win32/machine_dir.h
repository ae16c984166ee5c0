// Where the simulated machine lives: $ZAVO_MACHINE if set, else
// ~/.local/state/zavo-machine. Read afresh on every call, so a test that
// points ZAVO_MACHINE elsewhere gets a machine of its own.
#pragma once

#include <filesystem>

namespace win32 {

// The directory, created when missing.
std::filesystem::path MachineDirectory();

}  // namespace win32
