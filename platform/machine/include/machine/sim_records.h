// The card driver's control codes and the records they carry, byte for byte
// as they cross DeviceIoControl. Little-endian, packed where the wire is.
#pragma once

#include <cstddef>
#include <cstdint>

namespace machine::sim {

constexpr std::uint32_t CardControlCode(std::uint32_t function) noexcept
{
    return (0x1Du << 16) | (function << 2);  // FILE_DEVICE_SOUND, METHOD_BUFFERED, FILE_ANY_ACCESS
}

inline constexpr std::uint32_t IOCTL_GET_DRIVER_VERSION = CardControlCode(0x800);
inline constexpr std::uint32_t IOCTL_GET_CAPS = CardControlCode(0x801);
inline constexpr std::uint32_t IOCTL_OPEN_MIXER = CardControlCode(0x802);
inline constexpr std::uint32_t IOCTL_CLOSE_MIXER = CardControlCode(0x803);
inline constexpr std::uint32_t IOCTL_MIXER_MESSAGE = CardControlCode(0x804);
inline constexpr std::uint32_t IOCTL_GET_METERS = CardControlCode(0x805);
inline constexpr std::uint32_t IOCTL_GET_NOTIFICATIONS = CardControlCode(0x806);
inline constexpr std::uint32_t IOCTL_GET_SPEAKER_DELAY = CardControlCode(0x807);
inline constexpr std::uint32_t IOCTL_GET_ERROR_TEXT = CardControlCode(0x808);
inline constexpr std::uint32_t IOCTL_SET_SPEAKER_DELAY = CardControlCode(0x809);
inline constexpr std::uint32_t IOCTL_GET_WAVE_CONFIG = CardControlCode(0x80A);
inline constexpr std::uint32_t IOCTL_SET_WAVE_CONFIG = CardControlCode(0x80B);
inline constexpr std::uint32_t IOCTL_SET_CARD_NAME = CardControlCode(0x80C);
inline constexpr std::uint32_t IOCTL_GET_WAVE_BUFFER_SIZE = CardControlCode(0x80E);
inline constexpr std::uint32_t IOCTL_SET_WAVE_BUFFER_SIZE = CardControlCode(0x80F);
inline constexpr std::uint32_t IOCTL_OPEN_TRANSPORT = CardControlCode(0x900);
inline constexpr std::uint32_t IOCTL_CLOSE_TRANSPORT = CardControlCode(0x901);
inline constexpr std::uint32_t IOCTL_MAP_PIPE_BUFFER = CardControlCode(0x902);
inline constexpr std::uint32_t IOCTL_SET_TRANSPORT_EVENT = CardControlCode(0x903);
inline constexpr std::uint32_t IOCTL_MAP_PIPE_POSITION = CardControlCode(0x904);
inline constexpr std::uint32_t IOCTL_START_TRANSPORT = CardControlCode(0x905);
inline constexpr std::uint32_t IOCTL_STOP_TRANSPORT = CardControlCode(0x906);
inline constexpr std::uint32_t IOCTL_RESERVE_PIPES = CardControlCode(0x907);
inline constexpr std::uint32_t IOCTL_CHECK_SAMPLE_RATE = CardControlCode(0x908);
inline constexpr std::uint32_t IOCTL_SET_SAMPLE_RATE = CardControlCode(0x909);
inline constexpr std::uint32_t IOCTL_CHECK_PIPES = CardControlCode(0x90A);
inline constexpr std::uint32_t IOCTL_GET_GSIF_BUFFER_SIZE = CardControlCode(0x90B);
inline constexpr std::uint32_t IOCTL_SET_GSIF_BUFFER_SIZE = CardControlCode(0x90C);
inline constexpr std::uint32_t IOCTL_PAUSE_TRANSPORT = CardControlCode(0x90D);

// Mixer commands.
enum MixerCommand : std::uint32_t {
    CMD_GET_GAIN = 2,
    CMD_SET_GAIN = 3,
    CMD_GET_NOMINAL = 4,
    CMD_SET_NOMINAL = 5,
    CMD_GET_MONITOR_GAIN = 6,
    CMD_SET_MONITOR_GAIN = 7,
    CMD_GET_INPUT_CLOCK = 8,
    CMD_SET_INPUT_CLOCK = 9,
    CMD_SET_METERS = 12,
    CMD_GET_SPDIF_FORMAT = 13,
    CMD_SET_SPDIF_FORMAT = 14,
    CMD_GET_MUTE = 15,
    CMD_SET_MUTE = 16,
    CMD_GET_MONITOR_MUTE = 19,
    CMD_SET_MONITOR_MUTE = 20,
    CMD_GET_MONITOR_PAN = 23,
    CMD_SET_MONITOR_PAN = 24,
    CMD_GET_FLAGS = 27,
    CMD_SET_FLAGS = 28,
    CMD_CLEAR_FLAGS = 29,
    CMD_GET_LOCKED_RATE = 30,
    CMD_SET_LOCKED_RATE = 31,
    CMD_GET_DIGITAL_MODE = 37,
    CMD_SET_DIGITAL_MODE = 38,
    CMD_GET_PAN = 39,
    CMD_SET_PAN = 40,
    CMD_GET_OUTPUT_CLOCK = 41,
    CMD_SET_OUTPUT_CLOCK = 42,
    CMD_GET_DIG_IN_AUTO_MUTE = 44,
    CMD_SET_DIG_IN_AUTO_MUTE = 45,
    CMD_GET_PIPE_LATENCY = 46,
    CMD_GET_PHANTOM_POWER = 47,
    CMD_SET_PHANTOM_POWER = 48,
};

enum ChannelKind : std::uint32_t { CHANNEL_BUS_OUT = 0, CHANNEL_BUS_IN = 1, CHANNEL_PIPE_OUT = 2 };

// Per-message status written by the card.
enum MixerStatus : std::uint32_t {
    kStatusDone = 0,
    kStatusBadCommand = 1,
    kStatusBadChannel = 2,
    kStatusBadValue = 3,
    kStatusInUse = 4,
};

inline constexpr std::uint16_t DRIVER_FLAG_SYNC_WAVE = 0x0004;
inline constexpr std::uint16_t DRIVER_FLAG_RATE_LOCK = 0x0010;
inline constexpr std::uint16_t DRIVER_FLAG_DIG_IN_AUTO_MUTE = 0x4000;
inline constexpr std::uint16_t DRIVER_FLAG_WAVE_LINK = 0x8000;
inline constexpr std::uint16_t kUserFlagMask = DRIVER_FLAG_SYNC_WAVE | DRIVER_FLAG_RATE_LOCK;

enum NotifyType : std::uint16_t {
    NOTIFY_BUS_OUT = 0,
    NOTIFY_BUS_IN = 1,
    NOTIFY_PIPE_OUT = 2,
    NOTIFY_MONITOR = 4,
    NOTIFY_GLOBAL = 0xFFFF,
};

inline constexpr std::uint8_t WAVE_MODE_WDM = 0;
inline constexpr std::uint8_t WAVE_MODE_NIMBREL = 1;
// Wave-configuration flags: the configuration is the one the card runs with.
inline constexpr std::uint32_t WAVE_CONFIG_IN_EFFECT = 0x1;

// Level of a silent or unused meter, 1/256 dB.
inline constexpr std::int32_t kMeterFloor = -32768;

#pragma pack(push, 1)

struct CapabilitiesRecord {
    char name[128];
    std::uint16_t family;
    std::uint8_t reserved082[6];
    std::uint32_t inputClockMask;
    std::uint32_t digitalModeFlags;  // bit 2: switchable digital mode
    std::uint32_t virtualOutputs;
    std::uint16_t outputPipes;
    std::uint16_t inputPipes;
    std::uint16_t outputBusses;
    std::uint16_t inputBusses;
    std::uint16_t analogOutputBusses;
    std::uint16_t analogInputBusses;
    std::uint16_t analogOutputPipes;
    std::uint16_t analogInputPipes;
    std::uint32_t outputPipeFlags[64];
    std::uint32_t outputBusFlags[32];
    std::uint32_t inputFlags[32];
    std::uint32_t reserved2A4;
};
static_assert(sizeof(CapabilitiesRecord) == 680);
static_assert(offsetof(CapabilitiesRecord, family) == 0x080);
static_assert(offsetof(CapabilitiesRecord, inputClockMask) == 0x088);
static_assert(offsetof(CapabilitiesRecord, outputPipes) == 0x094);
static_assert(offsetof(CapabilitiesRecord, analogInputPipes) == 0x0A2);
static_assert(offsetof(CapabilitiesRecord, outputPipeFlags) == 0x0A4);
static_assert(offsetof(CapabilitiesRecord, outputBusFlags) == 0x1A4);
static_assert(offsetof(CapabilitiesRecord, inputFlags) == 0x224);

struct BoxTypeRecord {
    std::uint8_t bytes[8];
};
static_assert(sizeof(BoxTypeRecord) == 8);

inline constexpr std::uint32_t kMixerMessageSize = 1056;
inline constexpr std::uint32_t kMaxMixerMessages = 64;

struct MixerMessage {
    std::uint16_t reserved;
    std::uint16_t channel;
    std::uint32_t kind;
    std::uint32_t command;
    std::uint32_t status;
    std::uint8_t params[kMixerMessageSize - 16];
};
static_assert(sizeof(MixerMessage) == kMixerMessageSize);
static_assert(offsetof(MixerMessage, params) == 0x10);
static_assert(offsetof(MixerMessage, channel) == 0x02 && offsetof(MixerMessage, kind) == 0x04);
static_assert(offsetof(MixerMessage, command) == 0x08 && offsetof(MixerMessage, status) == 0x0C);

struct MeterRecord {
    std::uint32_t cookie;
    std::uint32_t pipeMeterCount;
    std::uint32_t inputBusCount;
    std::uint32_t busMeterCount;
    std::uint8_t reserved010[132];
    std::int32_t pipeLevels[128];
    std::int32_t busLevels[64];
    std::int32_t inputLevels[32];
    std::uint32_t detectedClocks;
    std::uint32_t changesPending;
};
static_assert(sizeof(MeterRecord) == 1052);
static_assert(offsetof(MeterRecord, pipeMeterCount) == 4 && offsetof(MeterRecord, busMeterCount) == 0x0C);
static_assert(offsetof(MeterRecord, pipeLevels) == 148);
static_assert(offsetof(MeterRecord, busLevels) == 660);
static_assert(offsetof(MeterRecord, inputLevels) == 916);
static_assert(offsetof(MeterRecord, detectedClocks) == 1044);
static_assert(offsetof(MeterRecord, changesPending) == 1048);

struct NotifyEntry {
    std::uint16_t type;
    std::uint16_t channel;
    std::uint16_t bus;
    std::uint16_t unused;
    friend bool operator==(const NotifyEntry&, const NotifyEntry&) = default;
};
static_assert(sizeof(NotifyEntry) == 8);

inline constexpr std::uint32_t kNotifyCapacity = 10;

struct NotifyBuffer {
    std::uint32_t cookie;
    std::uint32_t count;  // in: capacity; out: entries filled
    NotifyEntry entries[kNotifyCapacity];
};
static_assert(sizeof(NotifyBuffer) == 88);
static_assert(offsetof(NotifyBuffer, count) == 4 && offsetof(NotifyBuffer, entries) == 8);

struct SpeakerDelayRecord {
    std::uint32_t speaker;
    std::uint32_t delay;
};
static_assert(sizeof(SpeakerDelayRecord) == 8);

struct WaveConfigEntry {
    std::uint8_t mode;
    std::uint8_t width;
    friend bool operator==(const WaveConfigEntry&, const WaveConfigEntry&) = default;
};
static_assert(sizeof(WaveConfigEntry) == 2);

inline constexpr std::uint32_t kWaveConfigEntries = 16;

struct WaveConfigRecord {
    std::uint32_t flags;  // bit 0: in effect
    std::uint16_t outputCount;
    WaveConfigEntry outputs[kWaveConfigEntries];
    std::uint16_t inputCount;
    WaveConfigEntry inputs[kWaveConfigEntries];
    friend bool operator==(const WaveConfigRecord&, const WaveConfigRecord&) = default;
};
static_assert(sizeof(WaveConfigRecord) == 72);
static_assert(offsetof(WaveConfigRecord, outputs) == 6);
static_assert(offsetof(WaveConfigRecord, inputCount) == 38);
static_assert(offsetof(WaveConfigRecord, inputs) == 40);

struct PipeReservation {
    std::uint32_t cookie;
    std::uint32_t mode;
    std::uint32_t direction;
    std::uint16_t firstPipe;
    std::uint16_t count;
};
static_assert(sizeof(PipeReservation) == 16);
static_assert(offsetof(PipeReservation, direction) == 8 && offsetof(PipeReservation, firstPipe) == 12);
static_assert(offsetof(PipeReservation, count) == 14);

struct PipeCheck {
    std::uint32_t direction;
    std::uint16_t firstPipe;
    std::uint16_t count;
};
static_assert(sizeof(PipeCheck) == 8);
static_assert(offsetof(PipeCheck, firstPipe) == 4 && offsetof(PipeCheck, count) == 6);

struct TransportEventRecord {
    std::uint32_t cookie;
    std::uint32_t event;  // the caller's handle value
};
static_assert(sizeof(TransportEventRecord) == 8);

struct PipeBufferRequest {
    std::uint32_t cookie;
    std::uint32_t direction;
    std::uint16_t pipe;
    std::uint16_t reserved;
    std::uint32_t frames;
};
static_assert(sizeof(PipeBufferRequest) == 16);
static_assert(offsetof(PipeBufferRequest, pipe) == 8 && offsetof(PipeBufferRequest, frames) == 12);

struct PipePositionRequest {
    std::uint32_t cookie;
    std::uint32_t direction;
    std::uint16_t pipe;
    std::uint16_t reserved;
};
static_assert(sizeof(PipePositionRequest) == 12);
static_assert(offsetof(PipePositionRequest, pipe) == 8);

#pragma pack(pop)

inline constexpr std::uint32_t kErrorTextSize = 256;
inline constexpr std::uint32_t kCardNameSize = 128;
inline constexpr std::uint32_t kSpeakers = 8;
inline constexpr std::uint32_t kMaxSpeakerDelay = 250;

}  // namespace machine::sim
