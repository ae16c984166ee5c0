// Mutexes: CreateMutexA, ReleaseMutex.
#include "mutex_object.h"

#include <algorithm>

#include "named_objects.h"
#include "thread_object.h"

namespace win32 {

bool MutexObject::IsSignalledFor(const ThreadObject& thread) const { return !owner_ || owner_ == &thread; }

bool MutexObject::Acquire(ThreadObject& thread)
{
    if (owner_ == &thread) {
        ++recursion_;
        return false;
    }
    owner_ = &thread;
    recursion_ = 1;
    thread.held.push_back(shared_from_this());
    const bool wasAbandoned = abandoned_;
    abandoned_ = false;
    return wasAbandoned;
}

bool MutexObject::Release(ThreadObject& thread)
{
    if (owner_ != &thread) return false;
    if (--recursion_ > 0) return true;
    owner_ = nullptr;
    // Keeps the mutex alive through WakeWaiters even if this was the last reference.
    auto self = shared_from_this();
    auto& held = thread.held;
    held.erase(std::find(held.rbegin(), held.rend(), self).base() - 1);
    WakeWaiters();
    return true;
}

void MutexObject::Abandon()
{
    owner_ = nullptr;
    recursion_ = 0;
    abandoned_ = true;
    WakeWaiters();
}

}  // namespace win32

HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL initialOwner, LPCSTR name)
{
    using namespace win32;
    return CreateKernelObject<MutexObject>(name, [initialOwner] {
        auto mutex = std::make_shared<MutexObject>();
        if (initialOwner) {
            ThreadObject& self = CurrentThreadObjectRef();
            std::lock_guard guard(WaitLock());
            mutex->Acquire(self);
        }
        return mutex;
    });
}

BOOL ReleaseMutex(HANDLE handle)
{
    using namespace win32;
    auto mutex = ObjectOfHandle<MutexObject>(handle);
    if (!mutex) return FALSE;
    ThreadObject& self = CurrentThreadObjectRef();
    std::lock_guard guard(WaitLock());
    if (!mutex->Release(self)) {
        SetLastError(ERROR_NOT_OWNER);
        return FALSE;
    }
    return TRUE;
}
