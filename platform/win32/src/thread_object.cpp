// Thread objects and the calling thread's own object.
#include "thread_object.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>

#include "mutex_object.h"
#include "thread_priority.h"
#include "thread_records.h"

namespace win32 {

namespace {

ThreadWaits& NewProbeRecord(DWORD id)
{
    std::lock_guard guard(WaitLock());
    return ProbeRecord(id);
}

}  // namespace

ThreadObject::ThreadObject(DWORD id, bool suspended)
    : id_(id), waits_(NewProbeRecord(id)), suspendCount_(suspended ? 1 : 0)
{
}

void ThreadObject::StartReturned()
{
    std::lock_guard guard(WaitLock());
    waits_.startReturned = true;
    ProbeChanged();
}

DWORD ThreadObject::ExitCode() const
{
    std::lock_guard guard(WaitLock());
    return exitCode_;
}

void ThreadObject::Finish(DWORD exitCode)
{
    std::lock_guard guard(WaitLock());
    EndLocked(exitCode);
}

bool ThreadObject::Terminate(DWORD exitCode)
{
    std::lock_guard guard(WaitLock());
    if (ended_) return false;
    // Recorded before waiters wake, so that whoever sees the end sees the record.
    RecordTerminatedThread({id_, exitCode});
    EndLocked(exitCode);
    return true;
}

void ThreadObject::EndLocked(DWORD exitCode)
{
    // Abandon newest first; moved out so that nothing re-enters the list.
    auto owned = std::move(held);
    held.clear();
    for (auto mutex = owned.rbegin(); mutex != owned.rend(); ++mutex) (*mutex)->Abandon();
    if (ended_) return;
    ended_ = true;
    exitCode_ = exitCode;
    WakeWaiters();
    resumed_.notify_all();
}

DWORD ThreadObject::Resume()
{
    std::lock_guard guard(WaitLock());
    const DWORD previous = suspendCount_;
    if (suspendCount_ > 0 && --suspendCount_ == 0) resumed_.notify_all();
    return previous;
}

bool ThreadObject::Start()
{
    const auto tid = static_cast<pid_t>(::syscall(SYS_gettid));
    std::unique_lock lock(WaitLock());
    tid_ = tid;
    // A priority set before the thread ran could not be applied then.
    if (priority_ != THREAD_PRIORITY_NORMAL) ApplyThreadPriority(tid_, priority_);
    resumed_.wait(lock, [&] { return suspendCount_ == 0 || ended_; });
    return !ended_;
}

void ThreadObject::SetPriority(int priority)
{
    std::lock_guard guard(WaitLock());
    priority_ = priority;
    // An ended thread's kernel id may already name another thread.
    if (!ended_) ApplyThreadPriority(tid_, priority);
}

int ThreadObject::Priority() const
{
    std::lock_guard guard(WaitLock());
    return priority_;
}

DWORD NewThreadId()
{
    // Small, never reused, multiples of 4 as on Windows.
    static std::atomic<DWORD> next{4};
    return next.fetch_add(4, std::memory_order_relaxed);
}

HANDLE CurrentThreadPseudoHandle() noexcept { return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-2)); }

namespace {

// The calling thread's object; ending the thread ends the object, for
// CreateThread's threads and for every other thread alike.
struct CurrentThread {
    std::shared_ptr<ThreadObject> object;
    ~CurrentThread()
    {
        if (object) object->Finish(object->exitOnEnd);
    }
};

thread_local CurrentThread current;

}  // namespace

ThreadObject& CurrentThreadObjectRef()
{
    if (!current.object) {
        auto object = std::make_shared<ThreadObject>(NewThreadId(), false);
        object->Start();
        current.object = std::move(object);
    }
    return *current.object;
}

std::shared_ptr<ThreadObject> CurrentThreadObject()
{
    CurrentThreadObjectRef();
    return current.object;
}

void AdoptCurrentThread(std::shared_ptr<ThreadObject> object) { current.object = std::move(object); }

}  // namespace win32
