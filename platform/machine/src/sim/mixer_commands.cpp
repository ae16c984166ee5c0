// The mixer commands: each message addresses a bus, an input, a pipe on a
// bus or the card as a whole, and gets its own status. A setter that is
// accepted tells the other programs' mixer sessions what changed.
#include <optional>

#include "handlers.h"

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
    const unsigned busses = mixer.outputBusses, inputs = mixer.inputBusses, pipes = mixer.outputPipes;
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
            std::int32_t& gain = mixer.busOut[m.channel()].gain;
            set ? void(gain = static_cast<std::int32_t>(m.value())) : m.Reply(static_cast<std::uint32_t>(gain));
            note = NotifyEntry{NOTIFY_BUS_OUT, m.channel(), 0, 0};
        } else if (m.kind() == CHANNEL_BUS_IN && require(inputOk, kStatusBadChannel)) {
            std::int32_t& trim = mixer.inputs[m.channel()].trim;
            set ? void(trim = static_cast<std::int32_t>(m.value())) : m.Reply(static_cast<std::uint32_t>(trim));
            note = NotifyEntry{NOTIFY_BUS_IN, m.channel(), 0, 0};
        } else if (m.kind() == CHANNEL_PIPE_OUT && require(pipeRouteOk, kStatusBadChannel)) {
            std::int32_t& gain = mixer.Pipe(m.channel(), m.bus()).gain;
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
            level = &mixer.busOut[m.channel()].nominal;
            note = NotifyEntry{NOTIFY_BUS_OUT, m.channel(), 0, 0};
        } else if (m.kind() == CHANNEL_BUS_IN && inputOk) {
            level = &mixer.inputs[m.channel()].nominal;
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
            m.ReplyRouted(static_cast<std::uint32_t>(mixer.Monitor(m.channel(), m.bus()).gain));
        break;
    case CMD_SET_MONITOR_GAIN:
        if (require(monitorOk, kStatusBadChannel)) {
            mixer.Monitor(m.channel(), m.bus()).gain = static_cast<std::int32_t>(m.routed());
            note = NotifyEntry{NOTIFY_MONITOR, m.channel(), m.bus(), 0};
        }
        break;
    case CMD_GET_MONITOR_MUTE:
        if (require(monitorOk, kStatusBadChannel)) m.ReplyRouted(mixer.Monitor(m.channel(), m.bus()).mute);
        break;
    case CMD_SET_MONITOR_MUTE:
        if (require(monitorOk, kStatusBadChannel)) {
            mixer.Monitor(m.channel(), m.bus()).mute = m.routed();
            note = NotifyEntry{NOTIFY_MONITOR, m.channel(), m.bus(), 0};
        }
        break;
    case CMD_GET_MONITOR_PAN:
        if (require(monitorOk, kStatusBadChannel)) m.ReplyRouted(mixer.Monitor(m.channel(), m.bus()).pan);
        break;
    case CMD_SET_MONITOR_PAN:
        if (require(monitorOk, kStatusBadChannel) && require(m.routed() <= kMaxPan, kStatusBadValue)) {
            mixer.Monitor(m.channel(), m.bus()).pan = m.routed();
            note = NotifyEntry{NOTIFY_MONITOR, m.channel(), m.bus(), 0};
        }
        break;
    case CMD_GET_INPUT_CLOCK:
        m.Reply16(mixer.inputClock);
        break;
    case CMD_SET_INPUT_CLOCK:
        if (require(m.value16() < 8 && (config_.clockMask & (1u << m.value16())) != 0, kStatusBadValue)) {
            mixer.inputClock = m.value16();
            note = global;
        }
        break;
    case CMD_SET_METERS: {
        bool any = false;
        for (MixerSession& session : sessions) {
            if (file != 0 && session.file == file) {
                session.meters = m.value() != 0;
                any = true;
            }
        }
        require(any, kStatusBadChannel);
        break;
    }
    case CMD_GET_SPDIF_FORMAT:
        m.Reply(mixer.spdifFormat);
        break;
    case CMD_SET_SPDIF_FORMAT:
        if (require(m.value() <= 1, kStatusBadValue)) mixer.spdifFormat = m.value();
        break;
    case CMD_GET_MUTE:
    case CMD_SET_MUTE: {
        const bool set = m.command() == CMD_SET_MUTE;
        if (m.kind() == CHANNEL_BUS_OUT && require(busOk, kStatusBadChannel)) {
            std::uint32_t& mute = mixer.busOut[m.channel()].mute;
            set ? void(mute = m.value()) : m.Reply(mute);
            note = NotifyEntry{NOTIFY_BUS_OUT, m.channel(), 0, 0};
        } else if (m.kind() == CHANNEL_PIPE_OUT && require(pipeRouteOk, kStatusBadChannel)) {
            std::uint32_t& mute = mixer.Pipe(m.channel(), m.bus()).mute;
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
            m.ReplyRouted(mixer.Pipe(m.channel(), m.bus()).pan);
        break;
    case CMD_SET_PAN:
        if (require(m.kind() == CHANNEL_PIPE_OUT && pipeRouteOk, kStatusBadChannel) &&
            require(m.routed() <= kMaxPan, kStatusBadValue)) {
            mixer.Pipe(m.channel(), m.bus()).pan = m.routed();
            note = NotifyEntry{NOTIFY_PIPE_OUT, m.channel(), m.bus(), 0};
        }
        break;
    case CMD_GET_FLAGS:
        m.Reply16(static_cast<std::uint16_t>(config_.capabilityFlags | mixer.userFlags));
        break;
    case CMD_SET_FLAGS:
        mixer.userFlags = static_cast<std::uint16_t>(mixer.userFlags | (m.value16() & kUserFlagMask));
        break;
    case CMD_CLEAR_FLAGS:
        mixer.userFlags = static_cast<std::uint16_t>(mixer.userFlags & ~(m.value16() & kUserFlagMask));
        break;
    case CMD_GET_LOCKED_RATE:
        m.Reply(mixer.lockedRate);
        break;
    case CMD_SET_LOCKED_RATE:
        if (require(RateSupported(m.value()), kStatusBadValue)) mixer.lockedRate = m.value();
        break;
    case CMD_GET_DIGITAL_MODE:
        m.Reply(mixer.digitalMode);
        break;
    case CMD_SET_DIGITAL_MODE:
        if (require(config_.digitalModeSwitch, kStatusBadChannel) && require(m.value() <= 2, kStatusBadValue) &&
            require(!InUse(), kStatusInUse)) {
            mixer.digitalMode = m.value();
            note = global;
        }
        break;
    case CMD_GET_OUTPUT_CLOCK:
        m.Reply16(mixer.outputClock);
        break;
    case CMD_SET_OUTPUT_CLOCK:
        if (require(m.value16() == 1 || m.value16() == 2, kStatusBadValue)) {
            mixer.outputClock = m.value16();
            note = global;
        }
        break;
    case CMD_GET_DIG_IN_AUTO_MUTE:
        m.Reply(mixer.digInAutoMute);
        break;
    case CMD_SET_DIG_IN_AUTO_MUTE:
        mixer.digInAutoMute = m.value();
        break;
    case CMD_GET_PIPE_LATENCY: {
        const std::uint16_t pipe = Load<std::uint16_t>(bytes + 0x10);
        const std::uint16_t direction = Load<std::uint16_t>(bytes + 0x12);
        const bool ok = direction <= 1 && pipe < PipeCount(direction);
        const auto own = faults.pipeLatency.find({direction, pipe});
        m.ReplyRouted(!ok ? 0 : own != faults.pipeLatency.end() ? own->second : config_.pipeLatency);
        require(ok, kStatusBadChannel);
        break;
    }
    case CMD_GET_PHANTOM_POWER:
        m.Reply(mixer.phantomPower);
        break;
    case CMD_SET_PHANTOM_POWER:
        mixer.phantomPower = m.value();
        note = NotifyEntry{NOTIFY_BUS_IN, 0, 0, 0};
        break;
    default:
        status = kStatusBadCommand;
        break;
    }
    Store(bytes + 0x0C, status);
    if (status == kStatusDone && note) Notify(*note, file);
    return status;
}

}  // namespace machine
