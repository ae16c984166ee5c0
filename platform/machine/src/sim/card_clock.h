// The card's clock: how its transports tick, and in real time the one thread
// that ticks them, started once and stopped and joined before the card goes.
// The thread waits on the card's lock.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "machine/card_driver_hooks.h"

namespace machine::sim {

class CardClock {
public:
    CardClock(std::mutex& cardLock, ClockMode mode) : cardLock_(cardLock), mode_(mode) {}
    ~CardClock() { Stop(); }
    CardClock(const CardClock&) = delete;
    CardClock& operator=(const CardClock&) = delete;

    // With the card's lock held, as everything but Stop.
    ClockMode Mode() const noexcept { return mode_; }
    void SetMode(ClockMode mode) noexcept { mode_ = mode; }
    bool Started() const noexcept { return thread_.joinable(); }
    // Runs `loop` on the clock thread, unless one runs already; false when no thread can be had.
    bool Start(std::function<void()> loop);

    // The clock thread's side: it loops until told to stop, and sleeps until woken.
    bool Stopping() const noexcept { return stop_; }
    void Wait(std::unique_lock<std::mutex>& cardLock) { wake_.wait(cardLock); }
    void WaitUntil(std::unique_lock<std::mutex>& cardLock, std::chrono::steady_clock::time_point when)
    {
        wake_.wait_until(cardLock, when);
    }
    void Wake() noexcept { wake_.notify_all(); }

    // Without the card's lock held: the thread is told to stop, and joined.
    void Stop();

private:
    std::mutex& cardLock_;
    ClockMode mode_;
    std::condition_variable wake_;
    std::thread thread_;
    bool stop_ = false;
};

}  // namespace machine::sim
