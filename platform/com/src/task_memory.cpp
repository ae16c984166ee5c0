// The task allocator over the C heap, with the test seam that refuses the
// next allocations. Both live in this shared library, so a server's
// StringFromCLSID and the test that arms the seam share them.
#include "com/task_memory.h"

#include <atomic>
#include <cstdlib>

namespace {

std::atomic<unsigned> g_RefuseCount{0};

// True once for each of the armed refusals.
bool TakeRefusal()
{
    unsigned left = g_RefuseCount.load();
    while (left > 0)
        if (g_RefuseCount.compare_exchange_weak(left, left - 1)) return true;
    return false;
}

}  // namespace

LPVOID CoTaskMemAlloc(SIZE_T size)
{
    if (TakeRefusal()) return nullptr;
    // A block of 0 bytes is still a block of its own.
    return std::malloc(size != 0 ? size : 1);
}

void CoTaskMemFree(LPVOID memory) { std::free(memory); }

namespace com_testing {

void FailNextCoTaskMemAlloc(unsigned count) { g_RefuseCount = count; }

}  // namespace com_testing
