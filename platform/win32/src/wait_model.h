// The one wait model of every waitable object. One process-wide lock guards
// the state of all of them; a waiting thread parks a wait block on each
// object it waits for. Whoever makes an object signalled satisfies the
// parked blocks in arrival order, taking the objects on the waiter's behalf
// while still holding the lock, so a wait on several objects takes all of
// them at one moment or none.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "kernel_object.h"
#include "win32/kernel.h"

namespace win32 {

class ThreadObject;
class Waitable;
struct WaitBlock;

// The lock of the wait model; everything marked "under the wait lock" needs it.
std::mutex& WaitLock();

class Waitable : public KernelObject {
public:
    // Under the wait lock: whether a wait by `thread` would be satisfied now.
    virtual bool IsSignalledFor(const ThreadObject& thread) const = 0;
    // Under the wait lock, only when signalled for `thread`: takes the object
    // (an auto-reset event resets, a semaphore count goes, a mutex becomes
    // owned). True when the wait is to report the object as abandoned.
    virtual bool Acquire(ThreadObject& thread) = 0;

protected:
    // Under the wait lock, after the object may have become signalled.
    void WakeWaiters();

private:
    friend void Park(WaitBlock& block);
    friend void Unpark(WaitBlock& block);
    std::vector<WaitBlock*> waiters_;
};

// Waits for one (`waitAll` false) or all of `objects` (distinct, at most
// MAXIMUM_WAIT_OBJECTS); returns WAIT_OBJECT_0 + i, WAIT_ABANDONED_0 + i or
// WAIT_TIMEOUT. Arguments are checked by the callers.
DWORD WaitForObjects(std::span<const std::shared_ptr<Waitable>> objects, bool waitAll, DWORD milliseconds);

}  // namespace win32
