// Critical sections: recursive locks owned by a thread. The structure only
// holds the platform's lock; the counts mirror what Windows shows in it.
#include <mutex>

#include "win32/kernel.h"

namespace {

std::recursive_mutex& LockOf(LPCRITICAL_SECTION section) { return *static_cast<std::recursive_mutex*>(section->impl); }

void Entered(LPCRITICAL_SECTION section)
{
    ++section->RecursionCount;
    section->OwningThread = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(GetCurrentThreadId()));
}

}  // namespace

void InitializeCriticalSection(LPCRITICAL_SECTION section)
{
    section->impl = new std::recursive_mutex;  // the structure is C-like: it owns its lock by pointer
    section->LockCount = -1;
    section->RecursionCount = 0;
    section->OwningThread = nullptr;
}

void DeleteCriticalSection(LPCRITICAL_SECTION section)
{
    delete static_cast<std::recursive_mutex*>(section->impl);
    section->impl = nullptr;
}

void EnterCriticalSection(LPCRITICAL_SECTION section)
{
    LockOf(section).lock();
    Entered(section);
}

BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section)
{
    if (!LockOf(section).try_lock()) return FALSE;
    Entered(section);
    return TRUE;
}

void LeaveCriticalSection(LPCRITICAL_SECTION section)
{
    if (--section->RecursionCount == 0) section->OwningThread = nullptr;
    LockOf(section).unlock();
}
