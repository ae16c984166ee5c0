// The wait probe, for tests and benchmarks: what each thread's waits are
// doing, and which threads CreateThread made and for whom. With it a test
// that steps a clock waits until a worker is blocked in its next wait
// instead of sleeping.
#pragma once

#include <vector>

#include "win32/types.h"

namespace win32 {

// One thread's waits. Times are QueryPerformanceCounter readings (taken
// without the counter's test hook), 0 before the first.
struct ThreadWaits {
    DWORD waitsEntered = 0;  // every WaitForSingleObject or WaitForMultipleObjects call so far
    bool blocked = false;    // parked in a wait now
    LONGLONG enteredAt = 0;  // the last wait's entry
    LONGLONG leftAt = 0;     // the last wait's return
    LONGLONG wokeAt = 0;     // the return of the last wait it blocked in
    bool startReturned = false;  // a CreateThread thread's start routine has returned
};

// The thread's waits; false for a thread id never seen by this layer.
bool ProbeThread(DWORD threadId, ThreadWaits* waits);

struct CreatedThread {
    DWORD threadId;
    DWORD creatorId;  // the thread that called CreateThread
};

// Every thread made by CreateThread in this process, in order.
std::vector<CreatedThread> CreatedThreads();

// Waits until the thread has entered more than `waitsBefore` waits and is
// blocked in its current one; false when `timeoutMs` passed first.
bool WaitUntilBlocked(DWORD threadId, DWORD waitsBefore, DWORD timeoutMs);
// Waits until the thread's start routine has returned; false on the time-out.
bool WaitUntilReturned(DWORD threadId, DWORD timeoutMs);

}  // namespace win32
