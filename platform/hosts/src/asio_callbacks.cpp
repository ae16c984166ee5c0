#include "hosts/asio_callbacks.h"

#include <sched.h>

#include <array>
#include <atomic>
#include <chrono>
#include <stdexcept>
#include <utility>

#include <windows.h>

namespace hosts {
namespace {

constexpr std::size_t kSlots = 8;

// The callbacks are plain functions: each slot's find their object here.
std::array<std::atomic<AsioHostCallbacks*>, kSlots> g_Slots{};

}  // namespace

template <std::size_t Slot>
struct SlotCallbacks {
    static AsioHostCallbacks& Host() { return *g_Slots[Slot].load(std::memory_order_acquire); }
    static void BufferSwitch(LONG index, ASIOBool directProcess) { Host().OnSwitch(index, directProcess, nullptr); }
    static ASIOTime* BufferSwitchTimeInfo(ASIOTime* time, LONG index, ASIOBool directProcess)
    {
        Host().OnSwitch(index, directProcess, time);
        return time;
    }
    static void SampleRateDidChange(ASIOSampleRate rate) { Host().OnRateChange(rate); }
    static LONG AsioMessage(LONG selector, LONG value, void*, double*) { return Host().OnMessage(selector, value); }
    static constexpr ASIOCallbacks kTable = {&BufferSwitch, &SampleRateDidChange, &AsioMessage, &BufferSwitchTimeInfo};
};

namespace {

template <std::size_t... Slot>
constexpr std::array<ASIOCallbacks, kSlots> MakeTables(std::index_sequence<Slot...>)
{
    return {SlotCallbacks<Slot>::kTable...};
}
constexpr std::array<ASIOCallbacks, kSlots> kTables = MakeTables(std::make_index_sequence<kSlots>());

std::uint64_t Join(DWORD hi, DWORD lo) { return (static_cast<std::uint64_t>(hi) << 32) | lo; }

}  // namespace

std::int32_t OutputRamp(std::size_t output, std::uint64_t frame)
{
    // A step of 256 a frame on top of each output's own offset.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(output + 1) * 0x01000000u +
                                     static_cast<std::uint32_t>(frame) * 256u);
}

AsioHostCallbacks::AsioHostCallbacks(AsioStreamOptions options)
    : options_(std::move(options)), hostThread_(GetCurrentThreadId()), slot_(kSlots)
{
    records_.reserve(options_.switchCapacity);
    messages_.reserve(options_.messageCapacity);
    for (std::size_t slot = 0; slot < kSlots; ++slot) {
        AsioHostCallbacks* none = nullptr;
        if (g_Slots[slot].compare_exchange_strong(none, this, std::memory_order_acq_rel)) {
            slot_ = slot;
            table_ = kTables[slot];
            return;
        }
    }
    throw std::runtime_error("every slot of ASIO host callbacks is taken");
}

AsioHostCallbacks::~AsioHostCallbacks() { g_Slots[slot_].store(nullptr, std::memory_order_release); }

void AsioHostCallbacks::Attach(std::span<const ASIOBufferInfo> buffers, LONG bufferSize)
{
    outputs_.clear();
    inputs_.clear();
    for (const ASIOBufferInfo& info : buffers) (info.isInput ? inputs_ : outputs_).push_back(info);
    bufferSize_ = bufferSize;
}

void AsioHostCallbacks::OnSwitch(LONG index, ASIOBool directProcess, ASIOTime* time)
{
    AsioSwitchRecord record;
    LARGE_INTEGER entered;
    QueryPerformanceCounter(&entered);
    record.entered = entered.QuadPart;
    record.thread = GetCurrentThreadId();
    record.priority = GetThreadPriority(GetCurrentThread());
    record.scheduler = sched_getscheduler(0);
    record.index = index;
    record.directProcess = directProcess;
    if (time) {
        record.timeInfo = true;
        // setSampleRate changes the flags on the host's thread meanwhile.
        record.flags = std::atomic_ref<DWORD>(time->timeInfo.flags).load(std::memory_order_relaxed);
        record.samplePosition = Join(time->timeInfo.samplePosition.hi, time->timeInfo.samplePosition.lo);
        record.systemTime = Join(time->timeInfo.systemTime.hi, time->timeInfo.systemTime.lo);
    }

    std::unique_lock lock(lock_);
    record.resyncsBefore = resyncs_;
    if (holdNext_) HoldHere(lock);
    lock.unlock();

    if (index == 0 || index == 1) {
        // start's pre-fills come on the host's thread; the card records from its start on.
        const bool preFill = record.thread == hostThread_;
        if (preFill) inputFrame_ = 0;
        WriteOutputs(index);
        if (!preFill && options_.inputRamp) record.inputErrors = CheckInputs(index);
    }

    lock.lock();
    if (records_.size() < records_.capacity()) records_.push_back(record);
    ++switches_;
    changed_.notify_all();
}

void AsioHostCallbacks::HoldHere(std::unique_lock<std::mutex>& lock)
{
    holdNext_ = false;
    held_ = true;
    holding_ = true;
    changed_.notify_all();
    const auto released = [this] { return !holding_; };
    if (holdFor_)
        changed_.wait_for(lock, std::chrono::milliseconds(*holdFor_), released);
    else
        changed_.wait(lock, released);
    holding_ = false;
}

void AsioHostCallbacks::WriteOutputs(LONG index)
{
    for (std::size_t output = 0; output < outputs_.size(); ++output) {
        auto* half = static_cast<std::int32_t*>(outputs_[output].buffers[index]);
        for (LONG f = 0; f < bufferSize_; ++f) half[f] = OutputRamp(output, outputFrame_ + f);
    }
    outputFrame_ += static_cast<std::uint64_t>(bufferSize_);
}

std::size_t AsioHostCallbacks::CheckInputs(LONG index)
{
    const auto step = static_cast<std::uint32_t>(*options_.inputRamp);
    std::size_t errors = 0;
    for (const ASIOBufferInfo& input : inputs_) {
        const auto* half = static_cast<const std::int32_t*>(input.buffers[index]);
        for (LONG f = 0; f < bufferSize_; ++f) {
            const auto expected = static_cast<std::int32_t>(static_cast<std::uint32_t>(inputFrame_ + f) * step);
            if (half[f] != expected) ++errors;
        }
    }
    inputFrame_ += static_cast<std::uint64_t>(bufferSize_);
    return errors;
}

void AsioHostCallbacks::OnRateChange(ASIOSampleRate rate)
{
    std::lock_guard guard(lock_);
    rates_.push_back(rate);
}

LONG AsioHostCallbacks::OnMessage(LONG selector, LONG value)
{
    const AsioMessageRecord record{selector, value, GetCurrentThreadId(), inControlPanel_.load()};
    {
        std::lock_guard guard(lock_);
        if (messages_.size() < messages_.capacity()) messages_.push_back(record);
    }
    return Answer(selector, value);
}

LONG AsioHostCallbacks::Answer(LONG selector, LONG value)
{
    switch (selector) {
    case kAsioSelectorSupported:
        return value == kAsioSelectorSupported || value == kAsioResetRequest || value == kAsioResyncRequest ||
                       value == kAsioSupportsTimeInfo
                   ? 1
                   : 0;
    case kAsioSupportsTimeInfo:
        return options_.supportsTimeInfo;
    case kAsioResetRequest: {
        // Only noted: the host's thread may be inside the driver now.
        std::lock_guard guard(lock_);
        reset_ = true;
        return 1;
    }
    case kAsioResyncRequest: {
        std::lock_guard guard(lock_);
        ++resyncs_;
        return 1;
    }
    default:
        return 0;
    }
}

bool AsioHostCallbacks::WaitForSwitches(std::size_t count, DWORD milliseconds) const
{
    std::unique_lock lock(lock_);
    return changed_.wait_for(lock, std::chrono::milliseconds(milliseconds), [&] { return switches_ >= count; });
}

std::size_t AsioHostCallbacks::SwitchCount() const
{
    std::lock_guard guard(lock_);
    return switches_;
}

std::vector<AsioSwitchRecord> AsioHostCallbacks::Switches() const
{
    std::lock_guard guard(lock_);
    return records_;
}

void AsioHostCallbacks::HoldNextSwitch(std::optional<DWORD> milliseconds)
{
    std::lock_guard guard(lock_);
    holdNext_ = true;
    holdFor_ = milliseconds;
    held_ = false;
}

bool AsioHostCallbacks::WaitUntilHeld(DWORD milliseconds) const
{
    std::unique_lock lock(lock_);
    return changed_.wait_for(lock, std::chrono::milliseconds(milliseconds), [&] { return held_; });
}

bool AsioHostCallbacks::Holding() const
{
    std::lock_guard guard(lock_);
    return holding_;
}

void AsioHostCallbacks::ReleaseHold()
{
    {
        std::lock_guard guard(lock_);
        holdNext_ = false;
        holding_ = false;
    }
    changed_.notify_all();
}

unsigned AsioHostCallbacks::ResyncRequests() const
{
    std::lock_guard guard(lock_);
    return resyncs_;
}

bool AsioHostCallbacks::ResetRequested() const
{
    std::lock_guard guard(lock_);
    return reset_;
}

bool AsioHostCallbacks::TakeResetRequest()
{
    std::lock_guard guard(lock_);
    return std::exchange(reset_, false);
}

std::vector<ASIOSampleRate> AsioHostCallbacks::RateChanges() const
{
    std::lock_guard guard(lock_);
    return rates_;
}

std::vector<AsioMessageRecord> AsioHostCallbacks::Messages() const
{
    std::lock_guard guard(lock_);
    return messages_;
}

}  // namespace hosts
