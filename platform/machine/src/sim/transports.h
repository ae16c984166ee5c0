// The card's transport sessions: each opened by a file, with its pipe
// reservations, the event the card sets each period, and the pipe buffers and
// position counters it shares with its client.
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <vector>

#include "event_stamps.h"
#include "machine/card_driver_hooks.h"
#include "open_files.h"
#include "shared_pages.h"
#include "win32/object_ref.h"

namespace machine::sim {

struct Reservation {
    std::uint32_t direction = 0;
    std::uint16_t first = 0, count = 0;
    bool Holds(std::uint32_t dir, unsigned pipe) const noexcept
    {
        return dir == direction && pipe >= first && pipe < first + count;
    }
};

struct BufferMapping {
    SharedPages pages;
    std::uint32_t direction = 0;
    std::uint16_t pipe = 0;   // first pipe of the reservation
    std::uint16_t width = 1;  // pipes per frame
    std::uint32_t frames = 0;
    std::int32_t* Samples() const noexcept { return reinterpret_cast<std::int32_t*>(pages.Data()); }
};

struct PositionMapping {
    SharedPages pages;
    std::uint32_t direction = 0;
    std::uint16_t pipe = 0;
    std::uint16_t width = 1;
    std::uint32_t* Counter() const noexcept { return reinterpret_cast<std::uint32_t*>(pages.Data()); }
};

struct Transport {
    std::uint32_t cookie = 0;
    std::uint64_t file = 0;
    TransportInfo::State state = TransportInfo::State::Stopped;
    std::uint64_t framesElapsed = 0;
    std::vector<Reservation> reservations;
    win32::ObjectRef event;
    std::vector<BufferMapping> buffers;
    std::vector<PositionMapping> positions;
    // The real-time clock's absolute deadlines: epoch + ticks x period.
    std::chrono::steady_clock::time_point epoch{};
    std::uint64_t ticks = 0;

    const Reservation* Find(std::uint32_t direction, unsigned pipe) const noexcept;
    // Frames per tick: half the shortest mapped buffer, else the wave buffer size.
    std::uint32_t Period(std::uint32_t waveBufferSize) const noexcept;
    void StoreCounters() noexcept;
    // The real-time clock counts this transport's deadlines from now.
    void Reanchor() noexcept;
};

class TransportSessions {
public:
    // A new stopped transport of `file`. Room is kept for its event among those the
    // ticks owe, so that the clock never allocates.
    Transport& Open(std::uint32_t cookie, std::uint64_t file);
    Transport* Find(std::uint32_t cookie, std::uint64_t file) noexcept;
    // The running transport with this cookie, of any file.
    Transport* FindRunning(std::uint32_t cookie) noexcept;
    // Ends a transport: stopped, reservations and event dropped, its mappings kept by its
    // file until the file closes.
    void Close(const Transport& transport, OpenFiles& files);
    void CloseFile(std::uint64_t file, OpenFiles& files);
    void CloseAll(OpenFiles& files);

    auto begin() noexcept { return transports_.begin(); }
    auto end() noexcept { return transports_.end(); }

    // A transport holds the pipe.
    bool Reserved(std::uint32_t direction, unsigned pipe) const noexcept;
    bool AnyReservation() const noexcept;
    // The longest period of the running transports, else the wave buffer size.
    std::uint32_t MaxRunningPeriod(std::uint32_t waveBufferSize) const noexcept;
    // Every transport counts its real-time deadlines from now.
    void Reanchor() noexcept;

    // A tick owes the transport's event, if it has one.
    void OweEvent(const Transport& transport);
    // Sets the events the ticks owe with the card's lock let go, through the caller's own
    // batch: each thread that ticks (the clock, a test's Advance) brings one.
    void SetOwedEvents(std::unique_lock<std::mutex>& cardLock, std::vector<win32::ObjectRef>& batch);
    // When the events were set, with or without the card's lock.
    const EventStamps& Stamps() const noexcept { return stamps_; }

private:
    std::vector<Transport>::iterator CloseAt(std::vector<Transport>::iterator transport, OpenFiles& files);

    std::vector<Transport> transports_;
    std::vector<win32::ObjectRef> owedEvents_;
    EventStamps stamps_;
};

}  // namespace machine::sim
