// The card driver's inside: one card's sessions, state, engine and hooks,
// all under one lock. Requests come from the card's open files (SimFile),
// ticks from the clock thread or from a test's Advance.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <span>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "machine/card_driver.h"
#include "machine/card_driver_hooks.h"
#include "machine/sim_records.h"
#include "machine/sim_state.h"
#include "meter_bank.h"
#include "open_files_lock.h"
#include "pipe_history.h"
#include "shared_pages.h"
#include "win32/object_ref.h"

namespace machine {
namespace sim {

// The answer to one request: TRUE with the bytes returned, or FALSE with an error.
struct Outcome {
    BOOL ok = TRUE;
    DWORD error = 0;
    DWORD returned = 0;
    static Outcome Done(DWORD returned) noexcept { return {TRUE, 0, returned}; }
    static Outcome Fail(DWORD error) noexcept { return {FALSE, error, 0}; }
};

// One request as it reaches the driver: the system buffer and the caller's sizes.
struct Request {
    std::uint64_t file;
    DWORD code;
    std::span<BYTE> buffer;
    DWORD inSize;
    DWORD outSize;
};

struct MixerSession {
    std::uint32_t cookie = 0;
    std::uint64_t file = 0;
    bool meters = false;
    std::deque<NotifyEntry> queue;
};

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

struct OpenFileState {
    bool open = true;
    std::vector<SharedPages> quarantine;  // mappings of closed transports, kept until the file closes
};

// Faults and options a test has asked for.
struct Faults {
    struct Failure {
        unsigned count = 0;
        DWORD error = 0;
    };
    std::map<std::pair<DWORD, std::optional<DWORD>>, Failure> failNext;  // {code, output size or any}
    bool zeroMixerCookie = false;
    bool zeroTransportCookie = false;
    bool refuseEvent = false;
    bool refuseRestart = false;
    bool restartLeavesConfigPending = false;
    bool nameAppliesAtRestart = false;
    bool enforceRateLock = false;
    std::optional<std::vector<BYTE>> rawErrorText;
    std::optional<std::vector<BYTE>> rawCapsName;
    std::optional<std::uint32_t> notificationCount;
    std::optional<std::uint32_t> pipeMeterCount;
    std::optional<std::uint32_t> busMeterCount;
    std::optional<std::uint32_t> detectedClocks;
    std::vector<Reservation> heldPipes;
    std::vector<Reservation> unusablePipes;
    std::map<std::pair<std::uint32_t, std::uint16_t>, std::uint32_t> pipeLatency;  // {direction, pipe}: samples

    // The error of a failure armed for this request, counting it off; nullopt when none is.
    std::optional<DWORD> TakeFailure(DWORD code, DWORD outSize);
};

// The request log keeps the newest requests; the counters count them all.
struct RequestLog {
    static constexpr std::size_t kKept = 4096;
    std::deque<RequestRecord> records;
    std::map<DWORD, std::size_t> counts;
    void Add(RequestRecord record);
};

}  // namespace sim

class CardDriver::Impl {
public:
    Impl(CardConfig config, const std::filesystem::path& machineDirectory);
    ~Impl();
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

    const CardConfig& Config() const noexcept { return config_; }
    std::shared_ptr<win32::DeviceFile> OpenFile(DWORD& error);
    BOOL Restart(DWORD& error);

    // From the card's open files.
    BOOL Control(std::uint64_t file, DWORD code, std::span<BYTE> buffer, DWORD inSize, DWORD outSize,
                 DWORD& returned);
    void Cleanup(std::uint64_t file);

    // Everything below runs with `mutex` held.
    std::mutex mutex;
    sim::Outcome Dispatch(const sim::Request& request);
    bool InUse() const noexcept;
    bool PipeReserved(std::uint32_t direction, unsigned pipe) const noexcept;
    std::uint16_t PipeCount(std::uint32_t direction) const noexcept;
    bool RateSupported(std::uint32_t rate) const noexcept;
    std::uint32_t DetectedClocks() const noexcept;
    std::uint32_t NextCookie() noexcept { return nextCookie_++; }
    void FillCaps(sim::CapabilitiesRecord& caps) const;

    // Mixer messages; `file` 0 is another program.
    std::uint32_t ApplyMixerMessage(BYTE* message, std::uint64_t file);
    void Notify(sim::NotifyEntry entry, std::uint64_t exceptFile);
    void RunMeters();
    sim::MixerSession* FindSession(std::uint32_t cookie, std::uint64_t file) noexcept;
    sim::Transport* FindTransport(std::uint32_t cookie, std::uint64_t file) noexcept;
    // Ends a transport: stopped, reservations and event dropped, mappings kept aside until
    // its file closes. Returns the next transport.
    std::vector<sim::Transport>::iterator CloseTransport(std::vector<sim::Transport>::iterator transport);

    // Engine.
    void Tick(sim::Transport& transport);
    void CollectEvent(const sim::Transport& transport);
    // Sets the events the ticks owe with the lock let go, through the caller's own batch:
    // each thread that ticks (the clock, a test's Advance) brings one.
    void SetCollectedEvents(std::unique_lock<std::mutex>& lock, std::vector<win32::ObjectRef>& batch);
    // False when no clock thread can be had.
    bool StartClock();
    void ClockLoop();
    double Rate() const noexcept { return settings.sampleRate; }
    std::uint32_t MaxRunningPeriod() const noexcept;

    // Registry.
    void WriteWaveConfigValue() const;
    void LoadState();
    void SaveState();
    std::string DumpRegistry() const;

    // State.
    const CardConfig original;  // as built, before any test changed it
    CardConfig config_;
    sim::MixerState mixer;
    sim::CardSettings settings;
    sim::Faults faults;
    sim::RequestLog log;
    std::map<std::uint64_t, sim::OpenFileState> files;
    sim::OpenFilesLock sharing;  // held while `files` is not empty
    std::uint64_t nextFile = 1;
    std::vector<sim::MixerSession> sessions;
    std::vector<sim::Transport> transports;
    bool loaded = false;
    // What the registry holds as far as this process knows; a save that would change nothing writes nothing.
    std::optional<std::pair<sim::MixerState, sim::CardSettings>> persisted;

    // Audio.
    std::vector<Signal> inputSignals;        // [input bus]
    std::vector<sim::PipeHistory> played;    // [output pipe]
    std::size_t playedLimit = 1 << 15;
    sim::MeterBank meters;
    std::uint64_t manualMeterFrames = 0;     // card time advanced by the manual clock, not yet metered
    std::chrono::steady_clock::time_point lastMeterRun{};
    // Events the ticks owe, handed to a batch and set once the lock is let go. Room for one
    // per transport is kept, so that the clock allocates nothing once it runs.
    std::vector<win32::ObjectRef> eventsToSet;

    // Clock.
    ClockMode clockMode;
    std::condition_variable clockWake;
    std::thread clockThread;
    bool clockStop = false;

    // Open files reach the card through the gate, which outlives it.
    struct Gate {
        std::shared_mutex lock;
        Impl* card = nullptr;
    };
    std::shared_ptr<Gate> gate;

private:
    std::uint32_t nextCookie_ = 0x00010001;
};

}  // namespace machine
