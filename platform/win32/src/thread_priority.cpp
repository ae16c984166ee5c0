// SetThreadPriority, GetThreadPriority and their scheduler mapping.
#include "thread_priority.h"

#include <sched.h>
#include <sys/resource.h>

#include "fault_hooks.h"
#include "thread_object.h"

namespace win32 {
namespace {

struct PriorityMapping {
    int priority;
    int nice;
};

constexpr PriorityMapping kMappings[] = {
    {THREAD_PRIORITY_IDLE, 19},          {THREAD_PRIORITY_LOWEST, 10},  {THREAD_PRIORITY_BELOW_NORMAL, 5},
    {THREAD_PRIORITY_NORMAL, 0},         {THREAD_PRIORITY_ABOVE_NORMAL, -5}, {THREAD_PRIORITY_HIGHEST, -10},
    {THREAD_PRIORITY_TIME_CRITICAL, -20},
};

}  // namespace

bool IsThreadPriority(int priority) noexcept
{
    for (const auto& mapping : kMappings)
        if (mapping.priority == priority) return true;
    return false;
}

void ApplyThreadPriority(pid_t tid, int priority) noexcept
{
    if (tid == 0) return;
    sched_param param{};
    if (priority == THREAD_PRIORITY_TIME_CRITICAL) {
        param.sched_priority = sched_get_priority_min(SCHED_FIFO) + 1;
        if (sched_setscheduler(tid, SCHED_FIFO, &param) == 0) return;
    } else {
        // Leave real time for the ordinary policy.
        sched_setscheduler(tid, SCHED_OTHER, &param);
    }
    for (const auto& mapping : kMappings)
        if (mapping.priority == priority) setpriority(PRIO_PROCESS, static_cast<id_t>(tid), mapping.nice);
}

}  // namespace win32

BOOL SetThreadPriority(HANDLE handle, int priority)
{
    using namespace win32;
    if (const auto error = TakePriorityFailure()) {
        SetLastError(*error);
        return FALSE;
    }
    auto thread = ObjectOfHandle<ThreadObject>(handle);
    if (!thread) return FALSE;
    if (!IsThreadPriority(priority)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    thread->SetPriority(priority);
    return TRUE;
}

int GetThreadPriority(HANDLE handle)
{
    using namespace win32;
    auto thread = ObjectOfHandle<ThreadObject>(handle);
    if (!thread) return THREAD_PRIORITY_ERROR_RETURN;
    return thread->Priority();
}
