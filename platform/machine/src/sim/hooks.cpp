// What tests may do to a card beyond the requests a program sends.
#include <algorithm>
#include <cstring>

#include "card_impl.h"
#include "handlers.h"
#include "signal_source.h"

namespace machine {
namespace {

using Lock = std::lock_guard<std::mutex>;

bool Routed(std::uint32_t command, std::uint32_t kind) noexcept
{
    switch (command) {
    case sim::CMD_GET_MONITOR_GAIN:
    case sim::CMD_SET_MONITOR_GAIN:
    case sim::CMD_GET_MONITOR_MUTE:
    case sim::CMD_SET_MONITOR_MUTE:
    case sim::CMD_GET_MONITOR_PAN:
    case sim::CMD_SET_MONITOR_PAN:
        return true;
    default:
        return kind == sim::CHANNEL_PIPE_OUT;
    }
}

}  // namespace

void CardHooks::FailNext(DWORD code, unsigned count, DWORD error)
{
    Lock lock(card_->mutex);
    card_->faults.failNext[{code, std::nullopt}] = {count, error};
}

void CardHooks::FailNextOfSize(DWORD code, DWORD outSize, unsigned count, DWORD error)
{
    Lock lock(card_->mutex);
    card_->faults.failNext[{code, outSize}] = {count, error};
}

void CardHooks::ZeroMixerCookie(bool on) { Lock lock(card_->mutex); card_->faults.zeroMixerCookie = on; }
void CardHooks::ZeroTransportCookie(bool on) { Lock lock(card_->mutex); card_->faults.zeroTransportCookie = on; }
void CardHooks::RefuseEvent(bool on) { Lock lock(card_->mutex); card_->faults.refuseEvent = on; }
void CardHooks::RefuseRestart(bool on) { Lock lock(card_->mutex); card_->faults.refuseRestart = on; }
void CardHooks::NameAppliesAtRestart(bool on) { Lock lock(card_->mutex); card_->faults.nameAppliesAtRestart = on; }
void CardHooks::EnforceRateLock(bool on) { Lock lock(card_->mutex); card_->faults.enforceRateLock = on; }

void CardHooks::RestartLeavesConfigPending(bool on)
{
    Lock lock(card_->mutex);
    card_->faults.restartLeavesConfigPending = on;
}

void CardHooks::SetDriverError(bool on, std::string text)
{
    Lock lock(card_->mutex);
    card_->config_.clockMask = on ? card_->config_.clockMask | 0x80000000u : card_->config_.clockMask & 0x7FFFFFFFu;
    card_->config_.driverErrorText = std::move(text);
}

namespace {

// A text field of `size` bytes holding `bytes`, zero-padded or cut.
std::vector<BYTE> RawField(std::span<const BYTE> bytes, std::size_t size)
{
    std::vector<BYTE> raw(size, 0);
    std::copy_n(bytes.begin(), std::min(bytes.size(), raw.size()), raw.begin());
    return raw;
}

}  // namespace

void CardHooks::SetRawErrorText(std::span<const BYTE> bytes)
{
    Lock lock(card_->mutex);
    card_->faults.rawErrorText = RawField(bytes, sim::kErrorTextSize);
}

void CardHooks::SetRawCapsName(std::span<const BYTE> bytes)
{
    Lock lock(card_->mutex);
    card_->faults.rawCapsName = RawField(bytes, sim::kCardNameSize);
}

void CardHooks::SetNotificationCountOverride(std::optional<std::uint32_t> count)
{
    Lock lock(card_->mutex);
    card_->faults.notificationCount = count;
}

void CardHooks::SetMeterCountOverride(std::optional<std::uint32_t> pipeMeters, std::optional<std::uint32_t> busMeters)
{
    Lock lock(card_->mutex);
    card_->faults.pipeMeterCount = pipeMeters;
    card_->faults.busMeterCount = busMeters;
}

void CardHooks::HoldPipes(std::uint32_t direction, std::uint16_t first, std::uint16_t count)
{
    Lock lock(card_->mutex);
    card_->faults.heldPipes.push_back({direction, first, count});
}

void CardHooks::ReleaseHeldPipes()
{
    Lock lock(card_->mutex);
    card_->faults.heldPipes.clear();
}

void CardHooks::MarkPipeUnusable(std::uint32_t direction, std::uint16_t pipe, bool unusable)
{
    Lock lock(card_->mutex);
    auto& marks = card_->faults.unusablePipes;
    std::erase_if(marks, [&](const sim::Reservation& r) { return r.Holds(direction, pipe); });
    if (unusable) marks.push_back({direction, pipe, 1});
}

void CardHooks::SetStoredWaveConfigRaw(const sim::WaveConfigRecord& record)
{
    Lock lock(card_->mutex);
    card_->settings.storedWaveConfig = record;
    card_->WriteWaveConfigValue();
}

void CardHooks::SetWaveBufferSizeRaw(std::uint32_t samples)
{
    Lock lock(card_->mutex);
    card_->settings.waveBufferSize = samples;
}

void CardHooks::SetDetectedClocks(std::uint32_t mask) { Lock lock(card_->mutex); card_->faults.detectedClocks = mask; }
void CardHooks::SetPipeLatency(std::uint32_t samples)
{
    Lock lock(card_->mutex);
    card_->config_.pipeLatency = samples;
    card_->faults.pipeLatency.clear();
}

void CardHooks::SetPipeLatency(std::uint32_t direction, std::uint16_t pipe, std::uint32_t samples)
{
    Lock lock(card_->mutex);
    card_->faults.pipeLatency[{direction, pipe}] = samples;
}

void CardHooks::SetSupportedRates(std::vector<std::uint32_t> rates)
{
    Lock lock(card_->mutex);
    card_->config_.sampleRates = std::move(rates);
}

void CardHooks::SetMeterLevel(MeterGroup group, unsigned index, std::optional<std::int32_t> level)
{
    Lock lock(card_->mutex);
    card_->meters.SetOverride(group, index, level);
}

std::uint32_t CardHooks::ExternalSet(std::uint32_t command, std::uint16_t channel, std::uint32_t kind,
                                     std::uint16_t bus, std::uint32_t value)
{
    Lock lock(card_->mutex);
    std::vector<BYTE> message(sim::kMixerMessageSize, 0);
    sim::Store(message.data() + 0x02, channel);
    sim::Store(message.data() + 0x04, kind);
    sim::Store(message.data() + 0x08, command);
    if (Routed(command, kind)) {
        sim::Store(message.data() + 0x10, bus);
        sim::Store(message.data() + 0x14, value);
    } else {
        sim::Store(message.data() + 0x10, value);
    }
    return card_->ApplyMixerMessage(message.data(), 0);
}

void CardHooks::InjectNotify(std::uint16_t type, std::uint16_t channel, std::uint16_t bus)
{
    Lock lock(card_->mutex);
    card_->Notify({type, channel, bus, 0}, 0);
}

void CardHooks::SetClockMode(ClockMode mode)
{
    Lock lock(card_->mutex);
    card_->clockMode = mode;
    for (sim::Transport& transport : card_->transports)
        transport.Reanchor();
    if (mode == ClockMode::RealTime) card_->StartClock();  // without a thread, running transports wait
    card_->clockWake.notify_all();
}

ClockMode CardHooks::GetClockMode() const
{
    Lock lock(card_->mutex);
    return card_->clockMode;
}

void CardHooks::Advance(unsigned periods)
{
    std::vector<win32::ObjectRef> batch;
    std::unique_lock lock(card_->mutex);
    for (unsigned i = 0; i < periods; ++i) {
        for (sim::Transport& transport : card_->transports) {
            if (transport.state != TransportInfo::State::Running) continue;
            card_->Tick(transport);
            card_->CollectEvent(transport);
        }
        card_->manualMeterFrames += card_->MaxRunningPeriod();
        card_->SetCollectedEvents(lock, batch);
    }
}

bool CardHooks::AdvanceTransport(std::uint32_t cookie, unsigned periods)
{
    std::vector<win32::ObjectRef> batch;
    std::unique_lock lock(card_->mutex);
    for (unsigned i = 0; i < periods; ++i) {
        auto found = std::find_if(card_->transports.begin(), card_->transports.end(), [cookie](const sim::Transport& t) {
            return t.cookie == cookie && t.state == TransportInfo::State::Running;
        });
        if (found == card_->transports.end()) return false;
        card_->Tick(*found);
        card_->CollectEvent(*found);
        card_->manualMeterFrames += found->Period(card_->settings.waveBufferSize);
        card_->SetCollectedEvents(lock, batch);
    }
    return true;
}

void CardHooks::SetInputSignal(unsigned input, Signal signal)
{
    Lock lock(card_->mutex);
    if (input < card_->inputSignals.size()) card_->inputSignals[input] = std::move(signal);
}

std::vector<std::int32_t> CardHooks::Played(unsigned pipe) const
{
    Lock lock(card_->mutex);
    return pipe < card_->played.size() ? card_->played[pipe].Kept() : std::vector<std::int32_t>{};
}

void CardHooks::ClearPlayed()
{
    Lock lock(card_->mutex);
    for (sim::PipeHistory& history : card_->played)
        history.Clear();
}

void CardHooks::SetPlayedLimit(std::size_t samples)
{
    Lock lock(card_->mutex);
    card_->playedLimit = samples;
    for (sim::PipeHistory& history : card_->played)
        history.SetLimit(samples);
}

std::vector<RequestRecord> CardHooks::Log() const
{
    Lock lock(card_->mutex);
    return {card_->log.records.begin(), card_->log.records.end()};
}

std::size_t CardHooks::CountOf(DWORD code) const
{
    Lock lock(card_->mutex);
    const auto found = card_->log.counts.find(code);
    return found == card_->log.counts.end() ? 0 : found->second;
}

void CardHooks::ClearLog()
{
    Lock lock(card_->mutex);
    card_->log = {};
}

sim::MixerState CardHooks::Mixer() const
{
    Lock lock(card_->mutex);
    return card_->mixer;
}

sim::CardSettings CardHooks::Settings() const
{
    Lock lock(card_->mutex);
    return card_->settings;
}

std::vector<TransportInfo> CardHooks::Transports() const
{
    Lock lock(card_->mutex);
    std::vector<TransportInfo> infos;
    for (const sim::Transport& transport : card_->transports) {
        TransportInfo info;
        info.cookie = transport.cookie;
        info.file = transport.file;
        info.state = transport.state;
        info.framesElapsed = transport.framesElapsed;
        info.period = transport.Period(card_->settings.waveBufferSize);
        info.hasEvent = static_cast<bool>(transport.event);
        for (const sim::Reservation& r : transport.reservations)
            info.reservations.push_back({r.direction, r.first, r.count});
        info.bufferMappings = transport.buffers.size();
        info.positionMappings = transport.positions.size();
        infos.push_back(std::move(info));
    }
    return infos;
}

bool CardHooks::TransportEventIs(std::uint32_t cookie, HANDLE event) const
{
    const win32::ObjectRef object = win32::ObjectRef::FromHandle(event);
    Lock lock(card_->mutex);
    for (const sim::Transport& transport : card_->transports)
        if (transport.cookie == cookie) return object && transport.event.SameObject(object);
    return false;
}

std::size_t CardHooks::OpenFiles() const
{
    Lock lock(card_->mutex);
    return card_->files.size();
}

std::size_t CardHooks::MixerSessions() const
{
    Lock lock(card_->mutex);
    return card_->sessions.size();
}

std::int32_t CardHooks::MeterLevel(MeterGroup group, unsigned index) const
{
    Lock lock(card_->mutex);
    card_->RunMeters();
    return card_->meters.Level(group, index);
}

std::string CardHooks::DumpRegistry() const
{
    Lock lock(card_->mutex);
    return card_->DumpRegistry();
}

void CardHooks::Reset()
{
    Lock lock(card_->mutex);
    CardDriver::Impl& card = *card_;
    card.sessions.clear();
    for (auto t = card.transports.begin(); t != card.transports.end();)
        t = card.CloseTransport(t);
    card.config_ = card.original;
    card.mixer = sim::MixerState::Defaults(card.config_);
    card.settings = sim::CardSettings::Defaults(card.config_);
    card.faults = {};
    card.log = {};
    for (unsigned input = 0; input < card.inputSignals.size(); ++input)
        card.inputSignals[input] = sim::DefaultInputSignal(input);
    for (sim::PipeHistory& history : card.played)
        history.Clear();
    card.meters.Reset();
    card.manualMeterFrames = 0;
    card.clockMode = DefaultClockMode();
    if (card.clockMode == ClockMode::RealTime && card.clockThread.joinable()) card.clockWake.notify_all();
}

bool CardHooks::ForgetState()
{
    Lock lock(card_->mutex);
    if (!card_->files.empty()) return false;
    card_->loaded = false;
    card_->mixer = sim::MixerState::Defaults(card_->config_);
    card_->settings = sim::CardSettings::Defaults(card_->config_);
    return true;
}

}  // namespace machine
