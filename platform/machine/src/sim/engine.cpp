// The card's hardware running a transport: each tick moves one period of
// audio (record pipes filled, playback pipes taken), then advances the
// position counters, then sets the event once, in that order. Ticks come
// from a test's Advance or from the card's real-time clock thread, which
// keeps absolute deadlines so that it does not drift.
#include <algorithm>
#include <system_error>

#include "card_impl.h"
#include "signal_source.h"

namespace machine {

void CardDriver::Impl::Tick(sim::Transport& transport)
{
    const std::uint32_t period = transport.Period(settings.waveBufferSize);
    for (sim::BufferMapping& buffer : transport.buffers) {
        std::int32_t* samples = buffer.Samples();
        for (std::uint32_t f = 0; f < period; ++f) {
            const std::uint64_t frame = transport.framesElapsed + f;
            std::int32_t* at = samples + (frame % buffer.frames) * buffer.width;
            for (unsigned k = 0; k < buffer.width; ++k) {
                const unsigned pipe = buffer.pipe + k;
                if (buffer.direction == 1) {
                    // A record pipe hears its input; a loopback hears the pipe's previous period.
                    const Signal* signal = pipe < inputSignals.size() ? &inputSignals[pipe] : nullptr;
                    const sim::PipeHistory* loop =
                        signal != nullptr && signal->kind == Signal::Kind::Loopback && signal->loopbackPipe < played.size()
                            ? &played[signal->loopbackPipe]
                            : nullptr;
                    at[k] = signal != nullptr ? sim::SignalSample(*signal, frame, Rate(), loop, period - 1 - f) : 0;
                } else if (pipe < played.size()) {
                    played[pipe].Push(at[k]);
                }
            }
        }
    }
    transport.framesElapsed += period;
    transport.StoreCounters();
}

void CardDriver::Impl::CollectEvent(const sim::Transport& transport)
{
    if (transport.event) eventsToSet.push_back(transport.event);
}

void CardDriver::Impl::SetCollectedEvents(std::unique_lock<std::mutex>& lock, std::vector<win32::ObjectRef>& batch)
{
    if (eventsToSet.empty()) return;
    // Copied, not swapped: what the list keeps stays with it, and an open that makes room
    // in it never touches a batch another thread is setting.
    batch.assign(eventsToSet.begin(), eventsToSet.end());
    eventsToSet.clear();
    lock.unlock();
    for (const win32::ObjectRef& event : batch)
        event.SetEvent();
    batch.clear();
    lock.lock();
}

std::uint32_t CardDriver::Impl::MaxRunningPeriod() const noexcept
{
    std::uint32_t period = 0;
    for (const sim::Transport& transport : transports)
        if (transport.state == TransportInfo::State::Running)
            period = std::max(period, transport.Period(settings.waveBufferSize));
    return period != 0 ? period : settings.waveBufferSize;
}

bool CardDriver::Impl::StartClock()
{
    if (clockThread.joinable()) return true;
    try {
        clockThread = std::thread([this] { ClockLoop(); });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void CardDriver::Impl::ClockLoop()
{
    using Clock = std::chrono::steady_clock;
    std::vector<win32::ObjectRef> batch;
    std::unique_lock lock(mutex);
    while (!clockStop) {
        if (clockMode != ClockMode::RealTime) {
            clockWake.wait(lock);
            continue;
        }
        const Clock::time_point now = Clock::now();
        Clock::time_point next = Clock::time_point::max();
        bool ticked = false;
        for (sim::Transport& transport : transports) {
            if (transport.state != TransportInfo::State::Running) continue;
            const double seconds = transport.Period(settings.waveBufferSize) / Rate();
            auto deadline = [&](std::uint64_t tick) {
                return transport.epoch +
                       std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds * tick));
            };
            const Clock::time_point due = deadline(transport.ticks + 1);
            if (due <= now) {
                Tick(transport);
                CollectEvent(transport);
                ++transport.ticks;
                ticked = true;
                // Far behind (a stopped process, a debugger): count on from now rather than race to catch up.
                if (now - due > std::chrono::seconds(1)) transport.Reanchor();
            }
            next = std::min(next, deadline(transport.ticks + 1));
        }
        if (ticked) {
            SetCollectedEvents(lock, batch);
        } else if (next == Clock::time_point::max()) {
            clockWake.wait(lock);
        } else {
            clockWake.wait_until(lock, next);
        }
    }
}

}  // namespace machine
