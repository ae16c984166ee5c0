// What tests may do to a card beyond the requests a program sends.
#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "card_impl.h"
#include "handlers.h"

namespace machine {
namespace {

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
    const auto lock = card_->Lock();
    card_->Faults().failNext[{code, std::nullopt}] = {count, error};
}

void CardHooks::FailNextOfSize(DWORD code, DWORD outSize, unsigned count, DWORD error)
{
    const auto lock = card_->Lock();
    card_->Faults().failNext[{code, outSize}] = {count, error};
}

void CardHooks::ZeroMixerCookie(bool on) { const auto lock = card_->Lock(); card_->Faults().zeroMixerCookie = on; }
void CardHooks::ZeroTransportCookie(bool on) { const auto lock = card_->Lock(); card_->Faults().zeroTransportCookie = on; }
void CardHooks::RefuseEvent(bool on) { const auto lock = card_->Lock(); card_->Faults().refuseEvent = on; }
void CardHooks::RefuseRestart(bool on) { const auto lock = card_->Lock(); card_->Faults().refuseRestart = on; }
void CardHooks::NameAppliesAtRestart(bool on) { const auto lock = card_->Lock(); card_->Faults().nameAppliesAtRestart = on; }
void CardHooks::EnforceRateLock(bool on) { const auto lock = card_->Lock(); card_->Faults().enforceRateLock = on; }

void CardHooks::RestartLeavesConfigPending(bool on)
{
    const auto lock = card_->Lock();
    card_->Faults().restartLeavesConfigPending = on;
}

void CardHooks::SetDriverError(bool on, std::string text)
{
    const auto lock = card_->Lock();
    card_->SetDriverError(on, std::move(text));
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
    const auto lock = card_->Lock();
    card_->Faults().rawErrorText = RawField(bytes, sim::kErrorTextSize);
}

void CardHooks::SetRawCapsName(std::span<const BYTE> bytes)
{
    const auto lock = card_->Lock();
    card_->Faults().rawCapsName = RawField(bytes, sim::kCardNameSize);
}

void CardHooks::SetNotificationCountOverride(std::optional<std::uint32_t> count)
{
    const auto lock = card_->Lock();
    card_->Faults().notificationCount = count;
}

void CardHooks::SetMeterCountOverride(std::optional<std::uint32_t> pipeMeters, std::optional<std::uint32_t> busMeters)
{
    const auto lock = card_->Lock();
    card_->Faults().pipeMeterCount = pipeMeters;
    card_->Faults().busMeterCount = busMeters;
}

void CardHooks::HoldPipes(std::uint32_t direction, std::uint16_t first, std::uint16_t count)
{
    const auto lock = card_->Lock();
    card_->Faults().heldPipes.push_back({direction, first, count});
}

void CardHooks::ReleaseHeldPipes()
{
    const auto lock = card_->Lock();
    card_->Faults().heldPipes.clear();
}

void CardHooks::MarkPipeUnusable(std::uint32_t direction, std::uint16_t pipe, bool unusable)
{
    const auto lock = card_->Lock();
    auto& marks = card_->Faults().unusablePipes;
    std::erase_if(marks, [&](const sim::Reservation& r) { return r.Holds(direction, pipe); });
    if (unusable) marks.push_back({direction, pipe, 1});
}

void CardHooks::SetStoredWaveConfigRaw(const sim::WaveConfigRecord& record)
{
    const auto lock = card_->Lock();
    card_->Settings().storedWaveConfig = record;
    card_->WriteWaveConfigValue();
}

void CardHooks::SetWaveBufferSizeRaw(std::uint32_t samples)
{
    const auto lock = card_->Lock();
    card_->Settings().waveBufferSize = samples;
}

void CardHooks::SetDetectedClocks(std::uint32_t mask) { const auto lock = card_->Lock(); card_->Faults().detectedClocks = mask; }
void CardHooks::SetPipeLatency(std::uint32_t samples)
{
    const auto lock = card_->Lock();
    card_->SetPipeLatency(samples);
    card_->Faults().pipeLatency.clear();
}

void CardHooks::SetPipeLatency(std::uint32_t direction, std::uint16_t pipe, std::uint32_t samples)
{
    const auto lock = card_->Lock();
    card_->Faults().pipeLatency[{direction, pipe}] = samples;
}

void CardHooks::SetSupportedRates(std::vector<std::uint32_t> rates)
{
    const auto lock = card_->Lock();
    card_->SetSupportedRates(std::move(rates));
}

void CardHooks::SetMeterLevel(MeterGroup group, unsigned index, std::optional<std::int32_t> level)
{
    const auto lock = card_->Lock();
    card_->Audio().SetMeterLevel(group, index, level);
}

void CardHooks::SetMixerRaw(const sim::MixerState& state)
{
    const auto lock = card_->Lock();
    sim::MixerState& now = card_->Mixer();
    if (state.outputBusses != now.outputBusses || state.inputBusses != now.inputBusses ||
        state.outputPipes != now.outputPipes || state.busOut.size() != now.busOut.size() ||
        state.inputs.size() != now.inputs.size() || state.monitors.size() != now.monitors.size() ||
        state.pipes.size() != now.pipes.size())
        throw std::invalid_argument("the mixer state does not fit the card");
    now = state;
}

std::uint32_t CardHooks::ExternalSet(std::uint32_t command, std::uint16_t channel, std::uint32_t kind,
                                     std::uint16_t bus, std::uint32_t value)
{
    const auto lock = card_->Lock();
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
    const auto lock = card_->Lock();
    card_->Sessions().Notify({type, channel, bus, 0}, 0);
}

void CardHooks::SetClockMode(ClockMode mode)
{
    const auto lock = card_->Lock();
    card_->Clock().SetMode(mode);
    card_->Transports().Reanchor();
    if (mode == ClockMode::RealTime) card_->StartClock();  // without a thread, running transports wait
    card_->Clock().Wake();
}

ClockMode CardHooks::GetClockMode() const
{
    const auto lock = card_->Lock();
    return card_->Clock().Mode();
}

void CardHooks::Advance(unsigned periods)
{
    std::vector<win32::ObjectRef> batch;
    auto lock = card_->Lock();
    sim::TransportSessions& transports = card_->Transports();
    for (unsigned i = 0; i < periods; ++i) {
        for (sim::Transport& transport : transports) {
            if (transport.state != TransportInfo::State::Running) continue;
            card_->Tick(transport);
            transports.OweEvent(transport);
        }
        card_->Audio().OweMeterFrames(transports.MaxRunningPeriod(card_->Settings().waveBufferSize));
        transports.SetOwedEvents(lock, batch);
    }
}

bool CardHooks::AdvanceTransport(std::uint32_t cookie, unsigned periods)
{
    std::vector<win32::ObjectRef> batch;
    auto lock = card_->Lock();
    sim::TransportSessions& transports = card_->Transports();
    for (unsigned i = 0; i < periods; ++i) {
        sim::Transport* found = transports.FindRunning(cookie);
        if (found == nullptr) return false;
        card_->Tick(*found);
        transports.OweEvent(*found);
        card_->Audio().OweMeterFrames(found->Period(card_->Settings().waveBufferSize));
        transports.SetOwedEvents(lock, batch);
    }
    return true;
}

void CardHooks::SetInputSignal(unsigned input, Signal signal)
{
    const auto lock = card_->Lock();
    card_->Audio().SetInputSignal(input, std::move(signal));
}

std::vector<std::int32_t> CardHooks::Played(unsigned pipe) const
{
    const auto lock = card_->Lock();
    return card_->Audio().Played(pipe);
}

void CardHooks::ClearPlayed()
{
    const auto lock = card_->Lock();
    card_->Audio().ClearPlayed();
}

void CardHooks::SetPlayedLimit(std::size_t samples)
{
    const auto lock = card_->Lock();
    card_->Audio().SetPlayedLimit(samples);
}

std::vector<RequestRecord> CardHooks::Log() const
{
    const auto lock = card_->Lock();
    const sim::RequestLog& log = card_->Log();
    return {log.records.begin(), log.records.end()};
}

std::size_t CardHooks::CountOf(DWORD code) const
{
    const auto lock = card_->Lock();
    const std::map<DWORD, std::size_t>& counts = card_->Log().counts;
    const auto found = counts.find(code);
    return found == counts.end() ? 0 : found->second;
}

void CardHooks::ClearLog()
{
    const auto lock = card_->Lock();
    card_->Log() = {};
}

sim::MixerState CardHooks::Mixer() const
{
    const auto lock = card_->Lock();
    return card_->Mixer();
}

sim::CardSettings CardHooks::Settings() const
{
    const auto lock = card_->Lock();
    return card_->Settings();
}

std::vector<TransportInfo> CardHooks::Transports() const
{
    const auto lock = card_->Lock();
    std::vector<TransportInfo> infos;
    for (const sim::Transport& transport : card_->Transports()) {
        TransportInfo info;
        info.cookie = transport.cookie;
        info.file = transport.file;
        info.state = transport.state;
        info.framesElapsed = transport.framesElapsed;
        info.period = transport.Period(card_->Settings().waveBufferSize);
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
    const auto lock = card_->Lock();
    for (const sim::Transport& transport : card_->Transports())
        if (transport.cookie == cookie) return object && transport.event.SameObject(object);
    return false;
}

EventStampLog CardHooks::TransportEventStamps() const { return card_->Transports().Stamps().Read(); }

std::size_t CardHooks::OpenFiles() const
{
    const auto lock = card_->Lock();
    return card_->Files().Count();
}

std::size_t CardHooks::MixerSessions() const
{
    const auto lock = card_->Lock();
    return card_->Sessions().Count();
}

std::int32_t CardHooks::MeterLevel(MeterGroup group, unsigned index) const
{
    const auto lock = card_->Lock();
    card_->RunMeters();
    return card_->Audio().Level(group, index);
}

std::string CardHooks::DumpRegistry() const
{
    const auto lock = card_->Lock();
    return card_->DumpRegistry();
}

void CardHooks::Reset()
{
    const auto lock = card_->Lock();
    card_->Reset();
}

bool CardHooks::ForgetState()
{
    const auto lock = card_->Lock();
    return card_->ForgetState();
}

}  // namespace machine
