// Where the layer takes the test hooks of win32/fault_hooks.h.
#pragma once

#include <optional>

#include "win32/fault_hooks.h"

namespace win32 {

// The armed SetThreadPriority failure's error, disarming it.
std::optional<DWORD> TakePriorityFailure();
// The calling thread's armed low bits, disarming them.
std::optional<DWORD> TakeFixedCountBits();

}  // namespace win32
