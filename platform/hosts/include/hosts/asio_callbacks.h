// The callbacks an ASIO host gives the driver with its buffers. Each switch
// notes what it saw on entry, may be held there by a test, writes a ramp into
// every output half the driver names, checks the input halves against the
// ramp the card should have recorded, and is signalled to whoever waits for
// it. Each message from the driver is noted with the thread it came on. The
// records go into storage reserved beforehand, so that a switch or a message
// allocates nothing. They never call the driver: they run on the driver's
// thread, also while the host's thread is inside the driver.
//
//     hosts::AsioHostCallbacks callbacks({.supportsTimeInfo = 1});
//     driver.createBuffers(infos, count, size, callbacks.Table());
//     callbacks.Attach(infos, size);
//     driver.start();
//     callbacks.WaitForSwitches(3, 5000);   // the two pre-fills and one period
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

#include "asio/asio_types.h"

namespace hosts {

// Frame `frame` of the ramp the host plays on the output buffer numbered
// `output` among the outputs it asked for, in its own order: each output its
// own, and continuing from switch to switch.
std::int32_t OutputRamp(std::size_t output, std::uint64_t frame);

// What one buffer switch saw.
struct AsioSwitchRecord {
    std::int64_t entered = 0;  // QueryPerformanceCounter at its entry
    DWORD thread = 0;          // GetCurrentThreadId()
    int priority = 0;          // GetThreadPriority(GetCurrentThread())
    int scheduler = 0;         // sched_getscheduler(0): SCHED_FIFO when time-critical scheduling took
    LONG index = 0;
    ASIOBool directProcess = ASIOFalse;
    bool timeInfo = false;     // it came as bufferSwitchTimeInfo, with the time info's:
    DWORD flags = 0;
    std::uint64_t samplePosition = 0;
    std::uint64_t systemTime = 0;  // nanoseconds
    std::size_t inputErrors = 0;   // input samples off the ramp the card records
    unsigned resyncsBefore = 0;    // re-synchronisation requests that came before its entry
};

// What one asioMessage call brought.
struct AsioMessageRecord {
    LONG selector = 0;
    LONG value = 0;
    DWORD thread = 0;              // GetCurrentThreadId()
    bool inControlPanel = false;   // the host's thread was inside controlPanel meanwhile
};

struct AsioStreamOptions {
    LONG supportsTimeInfo = 0;         // what asioMessage answers kAsioSupportsTimeInfo
    std::size_t switchCapacity = 4096; // switches recorded; later ones are only counted
    std::size_t messageCapacity = 256; // messages recorded; later ones are only answered
    // The step of the ramp the card's inputs hear (machine::Signal::Ramp); the
    // inputs go unchecked without one.
    std::optional<std::int32_t> inputRamp;
};

class AsioHostCallbacks {
public:
    // The callbacks of one of a few slots of the process; std::runtime_error
    // when every slot is taken. Made on the host's thread, which is how the
    // switches tell start's pre-fills from the driver's own.
    explicit AsioHostCallbacks(AsioStreamOptions options = {});
    ~AsioHostCallbacks();
    AsioHostCallbacks(const AsioHostCallbacks&) = delete;
    AsioHostCallbacks& operator=(const AsioHostCallbacks&) = delete;

    // What createBuffers is given.
    ASIOCallbacks* Table() { return &table_; }
    // The buffers the driver made, before start.
    void Attach(std::span<const ASIOBufferInfo> buffers, LONG bufferSize);

    // Waits until `count` switches have returned; false on the time-out.
    bool WaitForSwitches(std::size_t count, DWORD milliseconds) const;
    std::size_t SwitchCount() const;
    std::vector<AsioSwitchRecord> Switches() const;

    // The next switch stops at its entry, before it touches a buffer, until
    // ReleaseHold, or for `milliseconds` when given.
    void HoldNextSwitch(std::optional<DWORD> milliseconds = std::nullopt);
    // Waits until that switch has stopped there (it may have gone on since).
    bool WaitUntilHeld(DWORD milliseconds) const;
    bool Holding() const;
    // Lets a held switch go on, or takes back a hold not yet begun.
    void ReleaseHold();

    unsigned ResyncRequests() const;
    // Whether the driver has asked for a reset, until the host takes the request.
    bool ResetRequested() const;
    bool TakeResetRequest();
    std::vector<ASIOSampleRate> RateChanges() const;
    std::vector<AsioMessageRecord> Messages() const;
    // The host tells while its thread is inside controlPanel.
    void SetInControlPanel(bool inside) { inControlPanel_ = inside; }

private:
    template <std::size_t Slot>
    friend struct SlotCallbacks;

    void OnSwitch(LONG index, ASIOBool directProcess, ASIOTime* time);
    void HoldHere(std::unique_lock<std::mutex>& lock);
    void WriteOutputs(LONG index);
    std::size_t CheckInputs(LONG index);
    void OnRateChange(ASIOSampleRate rate);
    LONG OnMessage(LONG selector, LONG value);
    LONG Answer(LONG selector, LONG value);

    const AsioStreamOptions options_;
    const DWORD hostThread_;
    std::size_t slot_;
    ASIOCallbacks table_{};

    // Set before start; the switches' own afterwards.
    std::vector<ASIOBufferInfo> outputs_;
    std::vector<ASIOBufferInfo> inputs_;
    LONG bufferSize_ = 0;
    std::uint64_t outputFrame_ = 0;  // goes on across starts, as the card plays on
    std::uint64_t inputFrame_ = 0;   // the card records from frame 0 after each start

    mutable std::mutex lock_;
    mutable std::condition_variable changed_;
    std::vector<AsioSwitchRecord> records_;
    std::size_t switches_ = 0;
    bool holdNext_ = false;
    std::optional<DWORD> holdFor_;
    bool held_ = false;     // the hold asked for has begun
    bool holding_ = false;  // a switch waits in it now
    unsigned resyncs_ = 0;
    bool reset_ = false;
    std::vector<ASIOSampleRate> rates_;
    std::vector<AsioMessageRecord> messages_;
    std::atomic<bool> inControlPanel_{false};
};

}  // namespace hosts
