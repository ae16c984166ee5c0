// An event: auto-reset (a wait takes it) or manual-reset (stays set until reset).
#pragma once

#include "wait_model.h"

namespace win32 {

class EventObject final : public Waitable {
public:
    EventObject(bool manualReset, bool initialState) : manualReset_(manualReset), signalled_(initialState) {}

    ObjectKind Kind() const noexcept override { return ObjectKind::Event; }
    bool IsSignalledFor(const ThreadObject&) const override { return signalled_; }
    bool Acquire(ThreadObject&) override;

    // These take the wait lock.
    void Set();
    void Reset();
    // Wakes whoever waits now (all for manual reset, one for auto reset) and leaves the event reset.
    void Pulse();

private:
    const bool manualReset_;
    bool signalled_;  // under the wait lock
};

}  // namespace win32
