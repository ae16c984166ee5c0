// The mixer commands: each message addresses a bus, an input, a pipe on a
// bus or the card as a whole, and gets its own status. A setter that is
// accepted tells the other programs' mixer sessions what changed.
#include <optional>

#include "handlers.h"
#include "win32/errors.h"

namespace machine {
namespace {

using sim::Load;
using sim::Store;

constexpr std::uint32_t kNominalPlus4 = 4;
constexpr std::uint32_t kNominalMinus10 = 0xFFFFFFF6u;
constexpr std::uint32_t kMaxPan = 1000;

bool ValidNominal(std::uint32_t level) noexcept { return level == kNominalPlus4 || level == kNominalMinus10; }

// The fields of one message, with the addressing checks every command shares.
struct Message {
    BYTE* bytes;
    std::uint16_t channel() const noexcept { return Load<std::uint16_t>(bytes + 0x02); }
    std::uint32_t kind() const noexcept { return Load<std::uint32_t>(bytes + 0x04); }
    std::uint32_t command() const noexcept { return Load<std::uint32_t>(bytes + 0x08); }
    std::uint32_t value() const noexcept { return Load<std::uint32_t>(bytes + 0x10); }
    std::uint16_t value16() const noexcept { return Load<std::uint16_t>(bytes + 0x10); }
    std::uint16_t bus() const noexcept { return Load<std::uint16_t>(bytes + 0x10); }
    std::uint32_t routed() const noexcept { return Load<std::uint32_t>(bytes + 0x14); }
    void Reply(std::uint32_t v) const noexcept { Store(bytes + 0x10, v); }
    void Reply16(std::uint16_t v) const noexcept
    {
        Store(bytes + 0x10, v);
        Store(bytes + 0x12, std::uint16_t{0});
    }
    void ReplyRouted(std::uint32_t v) const noexcept { Store(bytes + 0x14, v); }
};

}  // namespace

std::uint32_t CardDriver::Impl::ApplyMixerMessage(BYTE* bytes, std::uint64_t file)
{
    using namespace sim;
    const Message m{bytes};
    const unsigned busses = mixer_.outputBusses, inputs = mixer_.inputBusses, pipes = mixer_.outputPipes;
    const bool busOk = m.channel() < busses;
    const bool inputOk = m.channel() < inputs;
    const bool monitorOk = inputOk && m.bus() < busses;
    const bool pipeRouteOk = m.channel() < pipes && m.bus() < busses;
    std::uint32_t status = kStatusDone;
    std::optional<NotifyEntry> note;
    const NotifyEntry global{NOTIFY_GLOBAL, 0, 0, 0};

    // Status for a check that failed, else runs the command.
    auto require = [&status](bool ok, std::uint32_t failure) {
        if (!ok) status = failure;
        return ok;
    };

    switch (m.command()) {
    case CMD_GET_GAIN:
    case CMD_SET_GAIN: {
        const bool set = m.command() == CMD_SET_GAIN;
        if (m.kind() == CHANNEL_BUS_OUT && require(busOk, kStatusBadChannel)) {
            std::int32_t& gain = mixer_.busOut[m.channel()].gain;
            set ? void(gain = static_cast<std::int32_t>(m.value())) : m.Reply(static_cast<std::uint32_t>(gain));
            note = NotifyEntry{NOTIFY_BUS_OUT, m.channel(), 0, 0};
        } else if (m.kind() == CHANNEL_BUS_IN && require(inputOk, kStatusBadChannel)) {
            std::int32_t& trim = mixer_.inputs[m.channel()].trim;
            set ? void(trim = static_cast<std::int32_t>(m.value())) : m.Reply(static_cast<std::uint32_t>(trim));
            note = NotifyEntry{NOTIFY_BUS_IN, m.channel(), 0, 0};
        } else if (m.kind() == CHANNEL_PIPE_OUT && require(pipeRouteOk, kStatusBadChannel)) {
            std::int32_t& gain = mixer_.Pipe(m.channel(), m.bus()).gain;
            set ? void(gain = static_cast<std::int32_t>(m.routed())) : m.ReplyRouted(static_cast<std::uint32_t>(gain));
            note = NotifyEntry{NOTIFY_PIPE_OUT, m.channel(), m.bus(), 0};
        } else {
            status = kStatusBadChannel;
        }
        if (!set) note.reset();
        break;
    }
    case CMD_GET_NOMINAL:
    case CMD_SET_NOMINAL: {
        const bool set = m.command() == CMD_SET_NOMINAL;
        std::uint32_t* level = nullptr;
        if (m.kind() == CHANNEL_BUS_OUT && busOk) {
            level = &mixer_.busOut[m.channel()].nominal;
            note = NotifyEntry{NOTIFY_BUS_OUT, m.channel(), 0, 0};
        } else if (m.kind() == CHANNEL_BUS_IN && inputOk) {
            level = &mixer_.inputs[m.channel()].nominal;
            note = NotifyEntry{NOTIFY_BUS_IN, m.channel(), 0, 0};
        }
        if (!require(level != nullptr, kStatusBadChannel)) break;
        if (!set) {
            m.Reply(*level);
            note.reset();
        } else if (require(ValidNominal(m.value()), kStatusBadValue)) {
            *level = m.value();
        }
        break;
    }
    case CMD_GET_MONITOR_GAIN:
        if (require(monitorOk, kStatusBadChannel))
            m.ReplyRouted(static_cast<std::uint32_t>(mixer_.Monitor(m.channel(), m.bus()).gain));
        break;
    case CMD_SET_MONITOR_GAIN:
        if (require(monitorOk, kStatusBadChannel)) {
            mixer_.Monitor(m.channel(), m.bus()).gain = static_cast<std::int32_t>(m.routed());
            note = NotifyEntry{NOTIFY_MONITOR, m.channel(), m.bus(), 0};
        }
        break;
    case CMD_GET_MONITOR_MUTE:
        if (require(monitorOk, kStatusBadChannel)) m.ReplyRouted(mixer_.Monitor(m.channel(), m.bus()).mute);
        break;
    case CMD_SET_MONITOR_MUTE:
        if (require(monitorOk, kStatusBadChannel)) {
            mixer_.Monitor(m.channel(), m.bus()).mute = m.routed();
            note = NotifyEntry{NOTIFY_MONITOR, m.channel(), m.bus(), 0};
        }
        break;
    case CMD_GET_MONITOR_PAN:
        if (require(monitorOk, kStatusBadChannel)) m.ReplyRouted(mixer_.Monitor(m.channel(), m.bus()).pan);
        break;
    case CMD_SET_MONITOR_PAN:
        if (require(monitorOk, kStatusBadChannel) && require(m.routed() <= kMaxPan, kStatusBadValue)) {
            mixer_.Monitor(m.channel(), m.bus()).pan = m.routed();
            note = NotifyEntry{NOTIFY_MONITOR, m.channel(), m.bus(), 0};
        }
        break;
    case CMD_GET_INPUT_CLOCK:
        m.Reply16(mixer_.inputClock);
        break;
    case CMD_SET_INPUT_CLOCK:
        if (require(m.value16() < 8 && (config_.clockMask & (1u << m.value16())) != 0, kStatusBadValue)) {
            mixer_.inputClock = m.value16();
            note = global;
        }
        break;
    case CMD_SET_METERS:
        require(sessions_.SetMeters(file, m.value() != 0), kStatusBadChannel);
        break;
    case CMD_GET_SPDIF_FORMAT:
        m.Reply(mixer_.spdifFormat);
        break;
    case CMD_SET_SPDIF_FORMAT:
        if (require(m.value() <= 1, kStatusBadValue)) mixer_.spdifFormat = m.value();
        break;
    case CMD_GET_MUTE:
    case CMD_SET_MUTE: {
        const bool set = m.command() == CMD_SET_MUTE;
        if (m.kind() == CHANNEL_BUS_OUT && require(busOk, kStatusBadChannel)) {
            std::uint32_t& mute = mixer_.busOut[m.channel()].mute;
            set ? void(mute = m.value()) : m.Reply(mute);
            note = NotifyEntry{NOTIFY_BUS_OUT, m.channel(), 0, 0};
        } else if (m.kind() == CHANNEL_PIPE_OUT && require(pipeRouteOk, kStatusBadChannel)) {
            std::uint32_t& mute = mixer_.Pipe(m.channel(), m.bus()).mute;
            set ? void(mute = m.routed()) : m.ReplyRouted(mute);
            note = NotifyEntry{NOTIFY_PIPE_OUT, m.channel(), m.bus(), 0};
        } else {
            status = kStatusBadChannel;
        }
        if (!set) note.reset();
        break;
    }
    case CMD_GET_PAN:
        if (require(m.kind() == CHANNEL_PIPE_OUT && pipeRouteOk, kStatusBadChannel))
            m.ReplyRouted(mixer_.Pipe(m.channel(), m.bus()).pan);
        break;
    case CMD_SET_PAN:
        if (require(m.kind() == CHANNEL_PIPE_OUT && pipeRouteOk, kStatusBadChannel) &&
            require(m.routed() <= kMaxPan, kStatusBadValue)) {
            mixer_.Pipe(m.channel(), m.bus()).pan = m.routed();
            note = NotifyEntry{NOTIFY_PIPE_OUT, m.channel(), m.bus(), 0};
        }
        break;
    case CMD_GET_FLAGS:
        m.Reply16(static_cast<std::uint16_t>(config_.capabilityFlags | mixer_.userFlags));
        break;
    case CMD_SET_FLAGS:
        mixer_.userFlags = static_cast<std::uint16_t>(mixer_.userFlags | (m.value16() & kUserFlagMask));
        break;
    case CMD_CLEAR_FLAGS:
        mixer_.userFlags = static_cast<std::uint16_t>(mixer_.userFlags & ~(m.value16() & kUserFlagMask));
        break;
    case CMD_GET_LOCKED_RATE:
        m.Reply(mixer_.lockedRate);
        break;
    case CMD_SET_LOCKED_RATE:
        if (require(RateSupported(m.value()), kStatusBadValue)) mixer_.lockedRate = m.value();
        break;
    case CMD_GET_DIGITAL_MODE:
        m.Reply(mixer_.digitalMode);
        break;
    case CMD_SET_DIGITAL_MODE:
        if (require(config_.digitalModeSwitch, kStatusBadChannel) && require(m.value() <= 2, kStatusBadValue) &&
            require(!InUse(), kStatusInUse)) {
            mixer_.digitalMode = m.value();
            note = global;
        }
        break;
    case CMD_GET_OUTPUT_CLOCK:
        m.Reply16(mixer_.outputClock);
        break;
    case CMD_SET_OUTPUT_CLOCK:
        if (require(m.value16() == 1 || m.value16() == 2, kStatusBadValue)) {
            mixer_.outputClock = m.value16();
            note = global;
        }
        break;
    case CMD_GET_DIG_IN_AUTO_MUTE:
        m.Reply(mixer_.digInAutoMute);
        break;
    case CMD_SET_DIG_IN_AUTO_MUTE:
        mixer_.digInAutoMute = m.value();
        break;
    case CMD_GET_PIPE_LATENCY: {
        const std::uint16_t pipe = Load<std::uint16_t>(bytes + 0x10);
        const std::uint16_t direction = Load<std::uint16_t>(bytes + 0x12);
        const bool ok = direction <= 1 && pipe < PipeCount(direction);
        const auto own = faults_.pipeLatency.find({direction, pipe});
        m.ReplyRouted(!ok ? 0 : own != faults_.pipeLatency.end() ? own->second : config_.pipeLatency);
        require(ok, kStatusBadChannel);
        break;
    }
    case CMD_GET_PHANTOM_POWER:
        m.Reply(mixer_.phantomPower);
        break;
    case CMD_SET_PHANTOM_POWER:
        mixer_.phantomPower = m.value();
        note = NotifyEntry{NOTIFY_BUS_IN, 0, 0, 0};
        break;
    default:
        status = kStatusBadCommand;
        break;
    }
    Store(bytes + 0x0C, status);
    if (status == kStatusDone && note) sessions_.Notify(*note, file);
    return status;
}

}  // namespace machine

namespace machine::sim {

Outcome MixerMessage(Card& card, const Request& request)
{
    if (request.inSize < 4) return Outcome::Fail(ERROR_INVALID_PARAMETER);
    const std::uint32_t count = Load<std::uint32_t>(request.buffer.data());
    const std::uint64_t size = 4 + std::uint64_t{kMixerMessageSize} * count;
    if (count < 1 || count > kMaxMixerMessages || request.inSize != size || request.outSize != size)
        return Outcome::Fail(ERROR_INVALID_PARAMETER);
    for (std::uint32_t i = 0; i < count; ++i)
        card.ApplyMixerMessage(request.buffer.data() + 4 + std::size_t{kMixerMessageSize} * i, request.file);
    return Outcome::Done(request.inSize);
}

}  // namespace machine::sim
