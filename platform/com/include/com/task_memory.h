// The task allocator: memory that one module allocates and another frees,
// such as the text StringFromCLSID hands back.
#pragma once

#include "win32/types.h"

// Null when the memory cannot be had.
LPVOID CoTaskMemAlloc(SIZE_T size);
// Null is ignored.
void CoTaskMemFree(LPVOID memory);

namespace com_testing {

// The next `count` CoTaskMemAlloc calls of the process fail, whichever module
// makes them; 0 lifts what is left of an earlier count.
void FailNextCoTaskMemAlloc(unsigned count);

}  // namespace com_testing
