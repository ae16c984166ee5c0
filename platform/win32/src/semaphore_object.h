// A counting semaphore with a maximum.
#pragma once

#include "wait_model.h"

namespace win32 {

class SemaphoreObject final : public Waitable {
public:
    SemaphoreObject(LONG initialCount, LONG maximumCount) : count_(initialCount), maximum_(maximumCount) {}

    ObjectKind Kind() const noexcept override { return ObjectKind::Semaphore; }
    bool IsSignalledFor(const ThreadObject&) const override { return count_ > 0; }
    bool Acquire(ThreadObject&) override
    {
        --count_;
        return false;
    }

    // Takes the wait lock. False, with the count unchanged, when the release
    // would pass the maximum.
    bool Release(LONG releaseCount, LONG& previousCount);

private:
    LONG count_;  // under the wait lock
    const LONG maximum_;
};

}  // namespace win32
