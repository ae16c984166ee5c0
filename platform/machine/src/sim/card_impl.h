// The card driver's inside: one card's sessions, state, engine and hooks,
// all under one lock. Requests come from the card's open files (SimFile),
// ticks from the clock thread or from a test's Advance.
#pragma once

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
#include <utility>
#include <vector>

#include "card_audio.h"
#include "card_clock.h"
#include "machine/card_driver.h"
#include "machine/card_driver_hooks.h"
#include "machine/sim_records.h"
#include "machine/sim_state.h"
#include "mixer_session.h"
#include "open_files.h"
#include "stored_state.h"
#include "transports.h"

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

    // The card's lock: everything below runs with it held.
    [[nodiscard]] std::unique_lock<std::mutex> Lock() { return std::unique_lock(mutex_); }

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
    void RunMeters() { audio_.RunMeters(mixer_, clock_.Mode(), Rate()); }

    // Engine.
    void Tick(sim::Transport& transport);
    // False when no clock thread can be had.
    bool StartClock();
    double Rate() const noexcept { return settings_.sampleRate; }

    // Registry.
    void WriteWaveConfigValue() const { sim::StoredState::WriteWaveConfig(config_, settings_.storedWaveConfig); }
    std::string DumpRegistry() const { return sim::StoredState::Dump(config_); }

    // The card's model as tests change it; Reset brings back the card as it was built.
    void SetDriverError(bool on, std::string text);
    void SetPipeLatency(std::uint32_t samples) noexcept { config_.pipeLatency = samples; }
    void SetSupportedRates(std::vector<std::uint32_t> rates) { config_.sampleRates = std::move(rates); }
    // Back to a clean card: defaults, no hooks, empty log; files stay open, their sessions end.
    void Reset();
    // Forgets the in-process state, as a new process would; false while a file is open.
    bool ForgetState();

    // The card's state, each part keeping its own rules.
    sim::MixerState& Mixer() noexcept { return mixer_; }
    sim::CardSettings& Settings() noexcept { return settings_; }
    sim::Faults& Faults() noexcept { return faults_; }
    sim::RequestLog& Log() noexcept { return log_; }
    sim::OpenFiles& Files() noexcept { return files_; }
    sim::MixerSessions& Sessions() noexcept { return sessions_; }
    sim::TransportSessions& Transports() noexcept { return transports_; }
    sim::CardAudio& Audio() noexcept { return audio_; }
    sim::CardClock& Clock() noexcept { return clock_; }

    // Open files reach the card through the gate, which outlives it.
    struct Gate {
        std::shared_mutex lock;
        Impl* card = nullptr;
    };

private:
    void ClockLoop();

    const CardConfig original_;  // as built, before any test changed it
    CardConfig config_;
    std::mutex mutex_;
    sim::MixerState mixer_;
    sim::CardSettings settings_;
    sim::Faults faults_;
    sim::RequestLog log_;
    sim::OpenFiles files_;
    sim::MixerSessions sessions_;
    sim::TransportSessions transports_;
    sim::StoredState stored_;
    sim::CardAudio audio_;
    sim::CardClock clock_;
    std::shared_ptr<Gate> gate_;
    std::uint32_t nextCookie_ = 0x00010001;
};

}  // namespace machine
