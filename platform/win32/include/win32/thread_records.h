// What TerminateThread did. A thread cannot be stopped safely from outside,
// so TerminateThread only ends the thread's object (exit code, waiters
// signalled, mutexes abandoned) and leaves the code running on it to finish
// by itself; each call is recorded here so that tests can see it.
#pragma once

#include <vector>

#include "win32/types.h"

namespace win32 {

struct TerminatedThread {
    DWORD threadId;
    DWORD exitCode;
};

// Every thread terminated in this process so far, in call order.
std::vector<TerminatedThread> TerminatedThreads();

}  // namespace win32
