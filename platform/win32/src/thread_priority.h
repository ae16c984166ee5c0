// Mapping Windows thread priorities onto the scheduler.
#pragma once

#include <sys/types.h>

namespace win32 {

bool IsThreadPriority(int priority) noexcept;
// Best effort: time-critical asks for real-time FIFO scheduling, the others
// for a nice value; whatever the system refuses is left as it was.
void ApplyThreadPriority(pid_t tid, int priority) noexcept;

}  // namespace win32
