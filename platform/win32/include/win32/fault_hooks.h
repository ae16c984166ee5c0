// Test hooks that make the layer answer as a failing or a fixed system would.
// They live in this shared library, so that they reach a driver the test loads.
#pragma once

#include "win32/types.h"

namespace win32 {

// The next SetThreadPriority call, on any thread, fails: FALSE, and `error`
// as the last error. It fires once.
void FailNextSetThreadPriority(DWORD error);

// The calling thread's next QueryPerformanceCounter reading has `lowBits` as
// its low 32 bits: the reading is the next value above the last one with
// those bits, so that the counter stays strictly increasing. It fires once.
void FixNextPerformanceCount(DWORD lowBits);

}  // namespace win32
