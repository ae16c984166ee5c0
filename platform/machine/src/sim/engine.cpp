// The card's hardware running a transport: each tick moves one period of
// audio (record pipes filled, playback pipes taken), then advances the
// position counters, then sets the event once, in that order. Ticks come
// from a test's Advance or from the card's real-time clock thread, which
// keeps absolute deadlines so that it does not drift.
#include <algorithm>
#include <chrono>

#include "card_impl.h"

namespace machine {

void CardDriver::Impl::Tick(sim::Transport& transport)
{
    const std::uint32_t period = transport.Period(settings_.waveBufferSize);
    for (sim::BufferMapping& buffer : transport.buffers) {
        std::int32_t* samples = buffer.Samples();
        for (std::uint32_t f = 0; f < period; ++f) {
            const std::uint64_t frame = transport.framesElapsed + f;
            std::int32_t* at = samples + (frame % buffer.frames) * buffer.width;
            for (unsigned k = 0; k < buffer.width; ++k) {
                const unsigned pipe = buffer.pipe + k;
                // A record pipe hears its input; a loopback hears the pipe's previous period.
                if (buffer.direction == 1) at[k] = audio_.Recorded(pipe, frame, Rate(), period - 1 - f);
                else audio_.Play(pipe, at[k]);
            }
        }
    }
    transport.framesElapsed += period;
    transport.StoreCounters();
}

bool CardDriver::Impl::StartClock()
{
    return clock_.Start([this] { ClockLoop(); });
}

void CardDriver::Impl::ClockLoop()
{
    using SteadyClock = std::chrono::steady_clock;
    std::vector<win32::ObjectRef> batch;
    std::unique_lock lock(mutex_);
    while (!clock_.Stopping()) {
        if (clock_.Mode() != ClockMode::RealTime) {
            clock_.Wait(lock);
            continue;
        }
        const SteadyClock::time_point now = SteadyClock::now();
        SteadyClock::time_point next = SteadyClock::time_point::max();
        bool ticked = false;
        for (sim::Transport& transport : transports_) {
            if (transport.state != TransportInfo::State::Running) continue;
            const double seconds = transport.Period(settings_.waveBufferSize) / Rate();
            auto deadline = [&](std::uint64_t tick) {
                return transport.epoch +
                       std::chrono::duration_cast<SteadyClock::duration>(std::chrono::duration<double>(seconds * tick));
            };
            const SteadyClock::time_point due = deadline(transport.ticks + 1);
            if (due <= now) {
                Tick(transport);
                transports_.OweEvent(transport);
                ++transport.ticks;
                ticked = true;
                // Far behind (a stopped process, a debugger): count on from now rather than race to catch up.
                if (now - due > std::chrono::seconds(1)) transport.Reanchor();
            }
            next = std::min(next, deadline(transport.ticks + 1));
        }
        if (ticked) {
            transports_.SetOwedEvents(lock, batch);
        } else if (next == SteadyClock::time_point::max()) {
            clock_.Wait(lock);
        } else {
            clock_.WaitUntil(lock, next);
        }
    }
}

}  // namespace machine
