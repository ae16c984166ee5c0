// Test hooks of the card-driver simulator: faults it can be told to make,
// the request log, the clock, the audio it moves, and read-back of the
// card's state. Programs never use these; tests and the machine command do.
//
//   machine::CardHooks hooks = machine::Hooks(card);
//   hooks.SetClockMode(machine::ClockMode::Manual);
//   hooks.Advance(1);
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "machine/card_driver.h"
#include "machine/sim_state.h"
#include "win32/types.h"

namespace machine {

// How running transports tick: on the test thread by Advance, or by one
// clock thread per card at the card's sample rate.
enum class ClockMode { Manual, RealTime };

// The clock mode of cards created from now on in this process (RealTime
// unless a test asks otherwise). Each card can change its own with SetClockMode.
void SetDefaultClockMode(ClockMode mode);
ClockMode DefaultClockMode();

// One request as the card driver saw it.
struct RequestRecord {
    std::uint64_t file = 0;  // the open file: 1, 2, ... in the order the card's files were opened
    DWORD code = 0;
    DWORD inSize = 0;
    DWORD outSize = 0;
    std::vector<BYTE> input;  // a copy of the input bytes
    BOOL result = 0;
    DWORD error = 0;          // the last error set when result is FALSE
    DWORD returned = 0;       // bytes returned when result is TRUE
};

// What an input bus hears, or what an output pipe carries on its way in.
struct Signal {
    enum class Kind { Silence, Tone, Ramp, Samples, Loopback };
    Kind kind = Kind::Tone;
    double frequency = 440.0;  // Tone
    double levelDb = -24.0;    // Tone: peak level in dB below full scale
    std::int32_t rampStep = 1 << 16;      // Ramp: added per frame, wrapping
    std::vector<std::int32_t> samples;    // Samples: played in a loop
    std::uint16_t loopbackPipe = 0;       // Loopback: this output pipe's samples, one period late at most

    static Signal Silence() { Signal s; s.kind = Kind::Silence; return s; }
    static Signal Tone(double hz, double db) { Signal s; s.kind = Kind::Tone; s.frequency = hz; s.levelDb = db; return s; }
    static Signal Ramp(std::int32_t step) { Signal s; s.kind = Kind::Ramp; s.rampStep = step; return s; }
    static Signal Samples(std::vector<std::int32_t> v) { Signal s; s.kind = Kind::Samples; s.samples = std::move(v); return s; }
    static Signal Loopback(std::uint16_t pipe) { Signal s; s.kind = Kind::Loopback; s.loopbackPipe = pipe; return s; }
};

// A transport session as the card sees it.
struct TransportInfo {
    std::uint32_t cookie = 0;
    std::uint64_t file = 0;
    enum class State { Stopped, Running, Paused } state = State::Stopped;
    std::uint64_t framesElapsed = 0;
    std::uint32_t period = 0;  // frames per tick
    bool hasEvent = false;
    struct Reservation {
        std::uint32_t direction, first, count;
    };
    std::vector<Reservation> reservations;
    std::size_t bufferMappings = 0;
    std::size_t positionMappings = 0;
};

// The performance-counter readings (QueryPerformanceCounter) taken just before the card
// set a transport event, of any of its transports: the newest stamps.size() of `total`,
// oldest first.
struct EventStampLog {
    std::uint64_t total = 0;
    std::vector<std::int64_t> stamps;
};

// Meter read-back and overrides address one of the three meter groups.
enum class MeterGroup { Pipe, OutputBus, Input };

class CardHooks {
public:
    explicit CardHooks(CardDriver& card) noexcept : card_(&card.impl()) {}

    // ---- Faults -------------------------------------------------------------------
    // The next `count` requests of `code` fail with FALSE and `error`, writing nothing.
    void FailNext(DWORD code, unsigned count = 1, DWORD error = ERROR_NOT_SUPPORTED_DEFAULT);
    // As FailNext, for the requests of `code` with an output of `outSize` bytes only (the
    // 8-byte box-type request and not the capabilities, say). Taken before FailNext's.
    void FailNextOfSize(DWORD code, DWORD outSize, unsigned count = 1, DWORD error = ERROR_NOT_SUPPORTED_DEFAULT);
    void ZeroMixerCookie(bool on);      // IOCTL_OPEN_MIXER answers cookie 0
    void ZeroTransportCookie(bool on);  // IOCTL_OPEN_TRANSPORT answers cookie 0
    void RefuseEvent(bool on);          // IOCTL_SET_TRANSPORT_EVENT answers 1
    void RefuseRestart(bool on);
    void RestartLeavesConfigPending(bool on);  // a restart keeps the wave configuration not in effect
    void NameAppliesAtRestart(bool on);        // IOCTL_SET_CARD_NAME changes the caps name only at restart
    // IOCTL_SET_SAMPLE_RATE answers 2 for a rate other than the locked rate while the rate lock is on.
    void EnforceRateLock(bool on);
    void SetDriverError(bool on, std::string text);  // clock-mask bit 31 and the error text
    // The 256 bytes IOCTL_GET_ERROR_TEXT answers, exactly (e.g. with no terminator).
    void SetRawErrorText(std::span<const BYTE> bytes);
    // The 128 bytes of the card name field IOCTL_GET_CAPS answers, exactly (e.g. with no terminator).
    void SetRawCapsName(std::span<const BYTE> bytes);
    // The count the next notification replies carry, whatever was filled (e.g. above capacity).
    void SetNotificationCountOverride(std::optional<std::uint32_t> count);
    // The pipe-meter and output-bus-meter counts the next meter replies carry, whatever the card
    // has (e.g. above the record's level arrays); nullopt reports the card's own count again.
    // The levels stay the card's.
    void SetMeterCountOverride(std::optional<std::uint32_t> pipeMeters, std::optional<std::uint32_t> busMeters);

    // ---- Pipes ----------------------------------------------------------------------
    // Another program holds these pipes: reservations and checks are refused, the card is in use.
    void HoldPipes(std::uint32_t direction, std::uint16_t first, std::uint16_t count);
    void ReleaseHeldPipes();
    void MarkPipeUnusable(std::uint32_t direction, std::uint16_t pipe, bool unusable = true);

    // ---- Settings without validation -----------------------------------------------------
    void SetStoredWaveConfigRaw(const sim::WaveConfigRecord& record);  // also writes "Wave config"
    void SetWaveBufferSizeRaw(std::uint32_t samples);
    void SetDetectedClocks(std::uint32_t mask);
    void SetPipeLatency(std::uint32_t samples);  // every pipe, both directions
    void SetPipeLatency(std::uint32_t direction, std::uint16_t pipe, std::uint32_t samples);
    void SetSupportedRates(std::vector<std::uint32_t> rates);
    // Fixes a meter at `level` (1/256 dB) whatever the audio; nullopt lets it follow the audio again.
    void SetMeterLevel(MeterGroup group, unsigned index, std::optional<std::int32_t> level);
    // Stores the mixer state as given, values the mixer commands refuse included (a pan above
    // 1000, a nominal level other than +4 and -10), and tells no session. A state whose counts
    // or tables do not fit the card is refused with std::invalid_argument.
    void SetMixerRaw(const sim::MixerState& state);

    // ---- Changes from elsewhere -------------------------------------------------------
    // Applies one mixer message as another program would: every mixer session is told.
    // Returns the message's status.
    std::uint32_t ExternalSet(std::uint32_t command, std::uint16_t channel, std::uint32_t kind,
                              std::uint16_t bus, std::uint32_t value);
    // Queues a raw notification on every mixer session, unknown types included.
    void InjectNotify(std::uint16_t type, std::uint16_t channel, std::uint16_t bus);

    // ---- Clock and audio ---------------------------------------------------------------
    void SetClockMode(ClockMode mode);
    ClockMode GetClockMode() const;
    // Runs `periods` ticks of every running transport of the card, on this thread.
    void Advance(unsigned periods);
    // Runs `periods` ticks of one transport; false when no such transport runs.
    bool AdvanceTransport(std::uint32_t cookie, unsigned periods);
    void SetInputSignal(unsigned input, Signal signal);
    // The samples played on an output pipe so far (kept up to `limit` samples, oldest dropped).
    std::vector<std::int32_t> Played(unsigned pipe) const;
    void ClearPlayed();
    void SetPlayedLimit(std::size_t samples);

    // ---- Request log -------------------------------------------------------------------
    std::vector<RequestRecord> Log() const;
    std::size_t CountOf(DWORD code) const;
    void ClearLog();

    // ---- Read-back ---------------------------------------------------------------------
    sim::MixerState Mixer() const;
    sim::CardSettings Settings() const;
    std::vector<TransportInfo> Transports() const;
    // Whether the event the card holds for this transport is the object behind `event`.
    bool TransportEventIs(std::uint32_t cookie, HANDLE event) const;
    // When the card set its transport events, the newest few thousand; exact while no
    // transport of the card runs.
    EventStampLog TransportEventStamps() const;
    std::size_t OpenFiles() const;
    std::size_t MixerSessions() const;
    // The level a meter shows now, as IOCTL_GET_METERS would report it.
    std::int32_t MeterLevel(MeterGroup group, unsigned index) const;
    // Every key and value the card owns in the registry, one per line.
    std::string DumpRegistry() const;

    // ---- Whole-card state ----------------------------------------------------------------
    // Back to a clean card: defaults, no hooks, empty log. Files stay open but their
    // sessions end. Nothing is written to the registry.
    void Reset();
    // Forgets the in-process state, as a new process would: the next open loads the
    // card's saved settings again. Refused (false) while a file is open.
    bool ForgetState();

    static constexpr DWORD ERROR_NOT_SUPPORTED_DEFAULT = 50;  // ERROR_NOT_SUPPORTED

private:
    CardDriver::Impl* card_;
};

inline CardHooks Hooks(CardDriver& card) noexcept { return CardHooks(card); }

}  // namespace machine
