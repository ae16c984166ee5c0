// Parking, satisfying and timing out waits.
#include "wait_model.h"

#include <algorithm>
#include <chrono>
#include <optional>

#include "immortal.h"
#include "performance_count.h"
#include "thread_object.h"

namespace win32 {

struct WaitBlock {
    ThreadObject& thread;
    std::span<const std::shared_ptr<Waitable>> objects;
    bool waitAll;
    bool done = false;
    DWORD result = WAIT_TIMEOUT;
    std::condition_variable wake;
};

std::mutex& WaitLock()
{
    static Immortal<std::mutex> lock;
    return *lock;
}

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// Under the wait lock: takes the objects the block waits for when it can be
// satisfied now, and records the result.
bool TrySatisfy(WaitBlock& block)
{
    const auto objects = block.objects;
    if (block.waitAll) {
        for (const auto& object : objects)
            if (!object->IsSignalledFor(block.thread)) return false;
        std::size_t abandoned = kNone;
        for (std::size_t i = 0; i < objects.size(); ++i)
            if (objects[i]->Acquire(block.thread) && abandoned == kNone) abandoned = i;
        block.result = abandoned == kNone ? WAIT_OBJECT_0 : WAIT_ABANDONED_0 + static_cast<DWORD>(abandoned);
    } else {
        std::size_t i = 0;
        while (i < objects.size() && !objects[i]->IsSignalledFor(block.thread)) ++i;
        if (i == objects.size()) return false;
        const DWORD base = objects[i]->Acquire(block.thread) ? WAIT_ABANDONED_0 : WAIT_OBJECT_0;
        block.result = base + static_cast<DWORD>(i);
    }
    block.done = true;
    return true;
}

}  // namespace

void Park(WaitBlock& block)
{
    for (const auto& object : block.objects) object->waiters_.push_back(&block);
}

void Unpark(WaitBlock& block)
{
    for (const auto& object : block.objects) {
        auto& waiters = object->waiters_;
        waiters.erase(std::find(waiters.begin(), waiters.end(), &block));
    }
}

void Waitable::WakeWaiters()
{
    // Unpark erases the satisfied block from this list too, so the next block
    // then sits at the same position.
    for (std::size_t k = 0; k < waiters_.size();) {
        WaitBlock& block = *waiters_[k];
        if (!TrySatisfy(block)) {
            ++k;
            continue;
        }
        Unpark(block);
        // Notified under the lock: the block lives on the waiter's stack,
        // and the waiter cannot leave before it has the lock again.
        block.wake.notify_one();
    }
}

DWORD WaitForObjects(std::span<const std::shared_ptr<Waitable>> objects, bool waitAll, DWORD milliseconds)
{
    using Clock = std::chrono::steady_clock;
    std::optional<Clock::time_point> deadline;
    if (milliseconds != INFINITE) deadline = Clock::now() + std::chrono::milliseconds(milliseconds);

    WaitBlock block{CurrentThreadObjectRef(), objects, waitAll};
    const LONGLONG enteredAt = ReadPerformanceCount();
    std::unique_lock lock(WaitLock());
    ThreadWaits& probe = block.thread.Waits();
    ++probe.waitsEntered;
    probe.enteredAt = enteredAt;
    if (TrySatisfy(block) || milliseconds == 0) {
        probe.leftAt = ReadPerformanceCount();
        return block.result;
    }
    Park(block);
    probe.blocked = true;
    ProbeChanged();
    if (!deadline) {
        block.wake.wait(lock, [&] { return block.done; });
    } else if (!block.wake.wait_until(lock, *deadline, [&] { return block.done; })) {
        Unpark(block);
    }
    probe.blocked = false;
    probe.leftAt = probe.wokeAt = ReadPerformanceCount();
    return block.result;
}

}  // namespace win32
