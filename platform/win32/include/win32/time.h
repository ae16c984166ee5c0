// Clocks: 32-bit millisecond ticks that wrap, and the performance counter.
#pragma once

#include "win32/types.h"

DWORD GetTickCount();
DWORD timeGetTime();
// Nanoseconds, strictly increasing across calls in a process: two equal
// readings would give two transports the same event name.
BOOL QueryPerformanceCounter(LARGE_INTEGER* count);
BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency);

namespace win32 {

// Milliseconds added to GetTickCount and timeGetTime from now on, in the whole
// process: a test places the 32-bit wrap where it needs it.
void SetTickOffset(DWORD milliseconds);

}  // namespace win32
