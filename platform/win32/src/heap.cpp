// The process heap: one heap, the C allocator behind it. Its handle is a
// fixed value above 2^32, so it never equals a kernel handle (those stay
// below) and every copy of this layer in a process (a driver library links
// its own) agrees on it.
#include <cstdint>
#include <cstdlib>

#include "win32/errors.h"
#include "win32/strings.h"

namespace {

constexpr std::uintptr_t kProcessHeap = 0x1'4845'4150;  // "HEAP" above 2^32

HANDLE ProcessHeapHandle() { return reinterpret_cast<HANDLE>(kProcessHeap); }

}  // namespace

HANDLE GetProcessHeap() { return ProcessHeapHandle(); }

LPVOID HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes)
{
    if (heap != ProcessHeapHandle()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    // A zero-byte block is still a distinct block, as on Windows.
    const SIZE_T size = bytes != 0 ? bytes : 1;
    void* block = (flags & HEAP_ZERO_MEMORY) != 0 ? std::calloc(1, size) : std::malloc(size);
    if (block == nullptr) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return block;
}

BOOL HeapFree(HANDLE heap, DWORD /*flags*/, LPVOID memory)
{
    if (heap != ProcessHeapHandle()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::free(memory);
    return TRUE;
}
