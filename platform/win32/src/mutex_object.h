// A mutex: recursive for its owner; abandoned when the owner ends without
// releasing it, which the next wait that takes it reports.
#pragma once

#include <memory>

#include "wait_model.h"

namespace win32 {

class MutexObject final : public Waitable, public std::enable_shared_from_this<MutexObject> {
public:
    ObjectKind Kind() const noexcept override { return ObjectKind::Mutex; }
    bool IsSignalledFor(const ThreadObject& thread) const override;
    bool Acquire(ThreadObject& thread) override;

    // Under the wait lock. Release is false when `thread` is not the owner.
    bool Release(ThreadObject& thread);
    void Abandon();

private:
    ThreadObject* owner_ = nullptr;
    DWORD recursion_ = 0;
    bool abandoned_ = false;
};

}  // namespace win32
