// The card driver's control codes, mixer commands and the values they carry.
#pragma once

#include <windows.h>

constexpr DWORD DaverorCode(DWORD function) noexcept
{
    return CTL_CODE(FILE_DEVICE_SOUND, function, METHOD_BUFFERED, FILE_ANY_ACCESS);
}

constexpr DWORD IOCTL_GET_DRIVER_VERSION = DaverorCode(0x800);
constexpr DWORD IOCTL_GET_CAPS = DaverorCode(0x801);
constexpr DWORD IOCTL_OPEN_MIXER = DaverorCode(0x802);
constexpr DWORD IOCTL_CLOSE_MIXER = DaverorCode(0x803);
constexpr DWORD IOCTL_MIXER_MESSAGE = DaverorCode(0x804);
constexpr DWORD IOCTL_GET_METERS = DaverorCode(0x805);
constexpr DWORD IOCTL_GET_NOTIFICATIONS = DaverorCode(0x806);
constexpr DWORD IOCTL_GET_SPEAKER_DELAY = DaverorCode(0x807);
constexpr DWORD IOCTL_GET_ERROR_TEXT = DaverorCode(0x808);
constexpr DWORD IOCTL_SET_SPEAKER_DELAY = DaverorCode(0x809);
constexpr DWORD IOCTL_GET_WAVE_CONFIG = DaverorCode(0x80A);
constexpr DWORD IOCTL_SET_WAVE_CONFIG = DaverorCode(0x80B);
constexpr DWORD IOCTL_SET_CARD_NAME = DaverorCode(0x80C);
constexpr DWORD IOCTL_GET_WAVE_BUFFER_SIZE = DaverorCode(0x80E);
constexpr DWORD IOCTL_SET_WAVE_BUFFER_SIZE = DaverorCode(0x80F);
constexpr DWORD IOCTL_OPEN_TRANSPORT = DaverorCode(0x900);
constexpr DWORD IOCTL_CLOSE_TRANSPORT = DaverorCode(0x901);
constexpr DWORD IOCTL_MAP_PIPE_BUFFER = DaverorCode(0x902);
constexpr DWORD IOCTL_SET_TRANSPORT_EVENT = DaverorCode(0x903);
constexpr DWORD IOCTL_MAP_PIPE_POSITION = DaverorCode(0x904);
constexpr DWORD IOCTL_START_TRANSPORT = DaverorCode(0x905);
constexpr DWORD IOCTL_STOP_TRANSPORT = DaverorCode(0x906);
constexpr DWORD IOCTL_RESERVE_PIPES = DaverorCode(0x907);
constexpr DWORD IOCTL_CHECK_SAMPLE_RATE = DaverorCode(0x908);
constexpr DWORD IOCTL_SET_SAMPLE_RATE = DaverorCode(0x909);
constexpr DWORD IOCTL_CHECK_PIPES = DaverorCode(0x90A);
constexpr DWORD IOCTL_GET_GSIF_BUFFER_SIZE = DaverorCode(0x90B);
constexpr DWORD IOCTL_SET_GSIF_BUFFER_SIZE = DaverorCode(0x90C);
constexpr DWORD IOCTL_PAUSE_TRANSPORT = DaverorCode(0x90D);

static_assert(IOCTL_GET_DRIVER_VERSION == 0x1D2000);
static_assert(IOCTL_SET_WAVE_BUFFER_SIZE == 0x1D203C);
static_assert(IOCTL_OPEN_TRANSPORT == 0x1D2400);
static_assert(IOCTL_PAUSE_TRANSPORT == 0x1D2434);

// Mixer commands (MixerMessage::Command).
enum : DWORD {
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

// Channel kinds (MixerMessage::Kind).
enum : DWORD {
    CHANNEL_BUS_OUT = 0,
    CHANNEL_BUS_IN = 1,
    CHANNEL_PIPE_OUT = 2,
};

// Bits of the driver flags word (CMD_GET_FLAGS).
enum : WORD {
    DRIVER_FLAG_SYNC_WAVE = 0x0004,
    DRIVER_FLAG_RATE_LOCK = 0x0010,
    DRIVER_FLAG_DIG_IN_AUTO_MUTE = 0x4000,
    DRIVER_FLAG_WAVE_LINK = 0x8000,
};

// Change notification types (NotifyEntry::Type).
enum : WORD {
    NOTIFY_BUS_OUT = 0,
    NOTIFY_BUS_IN = 1,
    NOTIFY_PIPE_OUT = 2,
    NOTIFY_MONITOR = 4,
    NOTIFY_GLOBAL = 0xFFFF,
};

// Card-object results besides the device request's own.
enum : int {
    DAVEROR_OK = 0,
    DAVEROR_NO_HANDLE = 3,
    DAVEROR_NO_MEMORY = 15,
    DAVEROR_NO_METERS = 19,
    DAVEROR_NO_COOKIE = 37,
};

// The status or result word a request gets when it never reached the card
// driver or the card driver failed it: nonzero, so that callers who test for
// 0 = done or 0 = reserved take it as the refusal it is.
constexpr DWORD DAVEROR_FAILED = 0xFFFFFFFF;

// The card driver's device interface class.
inline constexpr GUID GUID_DAVEROR_INTERFACE = {0xC0D4A2E9, 0x71B3, 0x4C58, {0x9F, 0x26, 0xE3, 0x8B, 0x1D, 0x7A, 0x04, 0x56}};
