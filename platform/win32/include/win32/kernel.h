// Kernel objects and threads: handles, mutexes, events, semaphores,
// waits, threads and priorities, critical sections, interlocked operations.
// Every waitable object shares one wait model, so that a wait on several
// objects at once is exact.
#pragma once

#include <cstddef>

#include "win32/errors.h"
#include "win32/types.h"

constexpr DWORD INFINITE = 0xFFFFFFFF;
constexpr DWORD WAIT_OBJECT_0 = 0x00000000;
constexpr DWORD WAIT_ABANDONED = 0x00000080;
constexpr DWORD WAIT_ABANDONED_0 = 0x00000080;
constexpr DWORD WAIT_TIMEOUT = 0x00000102;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
constexpr DWORD MAXIMUM_WAIT_OBJECTS = 64;
constexpr DWORD STILL_ACTIVE = 0x00000103;

constexpr int THREAD_PRIORITY_IDLE = -15;
constexpr int THREAD_PRIORITY_LOWEST = -2;
constexpr int THREAD_PRIORITY_BELOW_NORMAL = -1;
constexpr int THREAD_PRIORITY_NORMAL = 0;
constexpr int THREAD_PRIORITY_ABOVE_NORMAL = 1;
constexpr int THREAD_PRIORITY_HIGHEST = 2;
constexpr int THREAD_PRIORITY_TIME_CRITICAL = 15;
constexpr int THREAD_PRIORITY_ERROR_RETURN = 0x7FFFFFFF;

constexpr DWORD CREATE_SUSPENDED = 0x00000004;

BOOL CloseHandle(HANDLE handle);

HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES attributes, BOOL initialOwner, LPCSTR name);
BOOL ReleaseMutex(HANDLE mutex);

HANDLE CreateEventA(LPSECURITY_ATTRIBUTES attributes, BOOL manualReset, BOOL initialState, LPCSTR name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);
BOOL PulseEvent(HANDLE event);

HANDLE CreateSemaphoreA(LPSECURITY_ATTRIBUTES attributes, LONG initialCount, LONG maximumCount, LPCSTR name);
BOOL ReleaseSemaphore(HANDLE semaphore, LONG releaseCount, LPLONG previousCount);

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds);

using LPTHREAD_START_ROUTINE = DWORD (*)(LPVOID parameter);
HANDLE CreateThread(LPSECURITY_ATTRIBUTES attributes, SIZE_T stackSize, LPTHREAD_START_ROUTINE start,
                    LPVOID parameter, DWORD creationFlags, LPDWORD threadId);
DWORD ResumeThread(HANDLE thread);
BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode);
BOOL TerminateThread(HANDLE thread, DWORD exitCode);
[[noreturn]] void ExitThread(DWORD exitCode);
DWORD GetCurrentThreadId();
HANDLE GetCurrentThread();
DWORD GetCurrentProcessId();
BOOL SetThreadPriority(HANDLE thread, int priority);
int GetThreadPriority(HANDLE thread);
void Sleep(DWORD milliseconds);

// A critical section is an opaque, recursive lock; the layout only has to
// hold the platform's pointer to it.
struct CRITICAL_SECTION {
    void* impl;
    LONG LockCount;
    LONG RecursionCount;
    HANDLE OwningThread;
};
using LPCRITICAL_SECTION = CRITICAL_SECTION*;
void InitializeCriticalSection(LPCRITICAL_SECTION section);
void DeleteCriticalSection(LPCRITICAL_SECTION section);
void EnterCriticalSection(LPCRITICAL_SECTION section);
BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section);
void LeaveCriticalSection(LPCRITICAL_SECTION section);

LONG InterlockedIncrement(LONG volatile* value);
LONG InterlockedDecrement(LONG volatile* value);
LONG InterlockedExchange(LONG volatile* target, LONG value);
LONG InterlockedExchangeAdd(LONG volatile* target, LONG value);
LONG InterlockedCompareExchange(LONG volatile* target, LONG exchange, LONG comparand);

namespace win32 {

// The handles open in the process now, for a test that a cycle leaks none.
std::size_t OpenHandleCount();

}  // namespace win32
