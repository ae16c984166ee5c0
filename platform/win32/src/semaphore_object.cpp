// Semaphores: CreateSemaphoreA, ReleaseSemaphore.
#include "semaphore_object.h"

#include "named_objects.h"

namespace win32 {

bool SemaphoreObject::Release(LONG releaseCount, LONG& previousCount)
{
    std::lock_guard guard(WaitLock());
    if (releaseCount > maximum_ - count_) return false;
    previousCount = count_;
    count_ += releaseCount;
    WakeWaiters();
    return true;
}

}  // namespace win32

HANDLE CreateSemaphoreA(LPSECURITY_ATTRIBUTES, LONG initialCount, LONG maximumCount, LPCSTR name)
{
    using namespace win32;
    if (maximumCount <= 0 || initialCount < 0 || initialCount > maximumCount) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return CreateKernelObject<SemaphoreObject>(
        name, [=] { return std::make_shared<SemaphoreObject>(initialCount, maximumCount); });
}

BOOL ReleaseSemaphore(HANDLE handle, LONG releaseCount, LPLONG previousCount)
{
    using namespace win32;
    auto semaphore = ObjectOfHandle<SemaphoreObject>(handle);
    if (!semaphore) return FALSE;
    if (releaseCount <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    LONG previous = 0;
    if (!semaphore->Release(releaseCount, previous)) {
        SetLastError(ERROR_TOO_MANY_POSTS);
        return FALSE;
    }
    if (previousCount) *previousCount = previous;
    return TRUE;
}
