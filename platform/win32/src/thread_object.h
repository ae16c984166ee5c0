// Threads as kernel objects. Every thread that calls into the layer has one:
// threads made by CreateThread get theirs at creation, any other thread
// (the main thread, a std::thread) on its first call. The object is signalled
// when the thread ends; mutexes the thread still owns then are abandoned.
#pragma once

#include <sys/types.h>

#include <condition_variable>
#include <memory>
#include <vector>

#include "thread_probe.h"
#include "wait_model.h"

namespace win32 {

class MutexObject;

class ThreadObject final : public Waitable {
public:
    ThreadObject(DWORD id, bool suspended);

    ObjectKind Kind() const noexcept override { return ObjectKind::Thread; }
    bool IsSignalledFor(const ThreadObject&) const override { return ended_; }
    bool Acquire(ThreadObject&) override { return false; }

    DWORD Id() const noexcept { return id_; }
    // Under the wait lock: the thread's record in the wait probe.
    ThreadWaits& Waits() const noexcept { return waits_; }

    // These take the wait lock.
    DWORD ExitCode() const;  // STILL_ACTIVE while the thread runs
    // The thread is done: abandons the mutexes it owns; the first end also
    // sets the exit code and signals waiters.
    void Finish(DWORD exitCode);
    // Ends the object (not the code running on it) and records the call;
    // false if it had ended.
    bool Terminate(DWORD exitCode);
    DWORD Resume();  // the previous suspend count
    // Called on the thread itself before its start routine: records the
    // kernel thread id, blocks while suspended; false if terminated meanwhile.
    bool Start();
    // Called on the thread when its start routine has returned, for the probe.
    void StartReturned();
    // Records a priority and applies it to the running thread. Applied under
    // the wait lock, as the start applies a priority set before it, so the
    // scheduler always ends with the last priority recorded.
    void SetPriority(int priority);
    int Priority() const;

    // The exit code for an end through ExitThread; only the thread touches it.
    DWORD exitOnEnd = 0;

    // Under the wait lock: the mutexes the thread owns, oldest first.
    std::vector<std::shared_ptr<MutexObject>> held;

private:
    void EndLocked(DWORD exitCode);

    const DWORD id_;
    ThreadWaits& waits_;
    // Under the wait lock.
    bool ended_ = false;
    DWORD exitCode_ = STILL_ACTIVE;
    DWORD suspendCount_;
    int priority_ = THREAD_PRIORITY_NORMAL;
    pid_t tid_ = 0;
    std::condition_variable resumed_;
};

DWORD NewThreadId();
HANDLE CurrentThreadPseudoHandle() noexcept;
ThreadObject& CurrentThreadObjectRef();
std::shared_ptr<ThreadObject> CurrentThreadObject();
// Makes `object` the calling thread's object (a thread made by CreateThread).
void AdoptCurrentThread(std::shared_ptr<ThreadObject> object);

}  // namespace win32
