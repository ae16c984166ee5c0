// The records that cross to the card driver. Every one has the exact size and
// offsets the card driver reads and writes; the asserts below keep them so.
#pragma once

#include <cstddef>
#include <cstdint>

#include <windows.h>

// Answer of IOCTL_GET_CAPS with a 680-byte output.
struct CapabilitiesRecord {
    char CardName[128];            // 0x000 the name the user sets; see CDaveror::GetCardName
    WORD Family;                   // 0x080 family code; 0x100 = a card with an external Kaltor box
    BYTE Reserved082[6];           // 0x082
    DWORD InputClockMask;          // 0x088 one bit per input clock; bit 31 = driver error
    DWORD DigitalModeFlags;        // 0x08C bit 2: switchable digital mode
    DWORD VirtualOutputs;          // 0x090 nonzero: the outputs are virtual outputs
    WORD OutputPipes;              // 0x094
    WORD InputPipes;               // 0x096
    WORD OutputBusses;             // 0x098
    WORD InputBusses;              // 0x09A
    WORD AnalogOutputBusses;       // 0x09C
    WORD AnalogInputBusses;        // 0x09E
    WORD AnalogOutputPipes;        // 0x0A0
    WORD AnalogInputPipes;         // 0x0A2
    DWORD OutputPipeFlags[64];     // 0x0A4 0x20 meter, 0x10 pan
    DWORD OutputBusFlags[32];      // 0x1A4 0x80 nominal-level switch
    DWORD InputFlags[32];          // 0x224 0x40000000 absent, 0x20000000 phantom, 0x80 nominal, 0x20 meter, 0x01 trim
    DWORD Reserved2A4;             // 0x2A4
};
static_assert(sizeof(CapabilitiesRecord) == 680);
static_assert(offsetof(CapabilitiesRecord, Family) == 0x080);
static_assert(offsetof(CapabilitiesRecord, InputClockMask) == 0x088);
static_assert(offsetof(CapabilitiesRecord, OutputPipes) == 0x094);
static_assert(offsetof(CapabilitiesRecord, AnalogInputPipes) == 0x0A2);
static_assert(offsetof(CapabilitiesRecord, OutputPipeFlags) == 0x0A4);
static_assert(offsetof(CapabilitiesRecord, OutputBusFlags) == 0x1A4);
static_assert(offsetof(CapabilitiesRecord, InputFlags) == 0x224);

// Bits of the per-pipe, per-bus and per-input flags.
constexpr DWORD PIPE_FLAG_PAN = 0x10;
constexpr DWORD PIPE_FLAG_METER = 0x20;
constexpr DWORD BUS_FLAG_NOMINAL = 0x80;
constexpr DWORD INPUT_FLAG_TRIM = 0x01;
constexpr DWORD INPUT_FLAG_METER = 0x20;
constexpr DWORD INPUT_FLAG_NOMINAL = 0x80;
constexpr DWORD INPUT_FLAG_PHANTOM = 0x20000000;  // input 0 only
constexpr DWORD INPUT_FLAG_ABSENT = 0x40000000;

constexpr WORD FAMILY_KALTOR_BOX = 0x100;
constexpr DWORD CLOCK_MASK_DRIVER_ERROR = 0x80000000;

// Second answer of IOCTL_GET_CAPS (output size 8), family 0x100 only.
struct BoxTypeRecord {
    BYTE Bytes[8];
};
static_assert(sizeof(BoxTypeRecord) == 8);

// One mixer message; the parameter area holds one of three forms.
struct MixerMessage {
    WORD Reserved;   // 0x00
    WORD Channel;    // 0x02 input bus, output pipe or output bus
    DWORD Kind;      // 0x04 CHANNEL_*; only for the commands that take one
    DWORD Command;   // 0x08 CMD_*
    DWORD Status;    // 0x0C written by the card driver, 0 = done
    BYTE Params[1040];  // 0x10 value, routed or latency form

    // Offsets are from the message start, as the card driver counts them.
    void SetWord(std::size_t offset, WORD value) { CopyMemory(Params + offset - 0x10, &value, sizeof value); }
    void SetDword(std::size_t offset, DWORD value) { CopyMemory(Params + offset - 0x10, &value, sizeof value); }
    WORD GetWord(std::size_t offset) const
    {
        WORD value;
        CopyMemory(&value, Params + offset - 0x10, sizeof value);
        return value;
    }
    DWORD GetDword(std::size_t offset) const
    {
        DWORD value;
        CopyMemory(&value, Params + offset - 0x10, sizeof value);
        return value;
    }
};
static_assert(sizeof(MixerMessage) == 1056);
static_assert(offsetof(MixerMessage, Status) == 0x0C);
static_assert(offsetof(MixerMessage, Params) == 0x10);

// The in/out buffer of IOCTL_MIXER_MESSAGE: a count and that many messages.
template <int N>
struct MixerRequestOf {
    DWORD Count;
    MixerMessage Messages[N];
};
using MixerRequest = MixerRequestOf<1>;
using MonitorRequest = MixerRequestOf<3>;
static_assert(sizeof(MixerRequest) == 1060);
static_assert(sizeof(MonitorRequest) == 3172);

// In and out buffer of IOCTL_GET_METERS, kept in the card object.
struct MeterRecord {
    DWORD MixerCookie;        // 0x000 in
    DWORD PipeMeterCount;     // 0x004
    DWORD Reserved008;        // 0x008
    DWORD BusMeterCount;      // 0x00C
    BYTE Reserved010[132];    // 0x010
    LONG PipeLevels[128];     // 0x094 1/256 dB
    LONG BusLevels[64];       // 0x294
    LONG InputLevels[32];     // 0x394
    DWORD DetectedClocks;     // 0x414
    DWORD ChangesPending;     // 0x418
};
static_assert(sizeof(MeterRecord) == 1052);
static_assert(offsetof(MeterRecord, BusMeterCount) == 0x00C);
static_assert(offsetof(MeterRecord, PipeLevels) == 0x094);
static_assert(offsetof(MeterRecord, BusLevels) == 0x294);
static_assert(offsetof(MeterRecord, InputLevels) == 0x394);
static_assert(offsetof(MeterRecord, DetectedClocks) == 0x414);
static_assert(offsetof(MeterRecord, ChangesPending) == 0x418);

constexpr DWORD MAX_PIPE_METERS = 128;
constexpr DWORD MAX_BUS_METERS = 64;

struct NotifyEntry {
    WORD Type;     // NOTIFY_*
    WORD Channel;  // output bus, input bus, pipe or input
    WORD Bus;      // output bus, for NOTIFY_PIPE_OUT and NOTIFY_MONITOR
    WORD Unused;
};
static_assert(sizeof(NotifyEntry) == 8);

constexpr DWORD NOTIFY_CAPACITY = 10;

// In and out buffer of IOCTL_GET_NOTIFICATIONS, allocated on first use.
struct NotifyBuffer {
    DWORD MixerCookie;  // in
    DWORD Count;        // in: capacity; out: entries filled
    NotifyEntry Entries[NOTIFY_CAPACITY];
};
static_assert(sizeof(NotifyBuffer) == 88);

struct WaveConfigEntry {
    BYTE Mode;   // WAVE_MODE_*
    BYTE Width;  // pipes of the device
};
static_assert(sizeof(WaveConfigEntry) == 2);

constexpr int WAVE_CONFIG_ENTRIES = 16;

// The wave-device configuration; also the registry value "Wave config".
struct WaveConfigRecord {
    DWORD Flags;                                  // 0  bit 0: in effect
    WORD OutputCount;                             // 4
    WaveConfigEntry Outputs[WAVE_CONFIG_ENTRIES]; // 6
    WORD InputCount;                              // 38
    WaveConfigEntry Inputs[WAVE_CONFIG_ENTRIES];  // 40
};
static_assert(sizeof(WaveConfigRecord) == 72);
static_assert(offsetof(WaveConfigRecord, Outputs) == 6);
static_assert(offsetof(WaveConfigRecord, InputCount) == 38);
static_assert(offsetof(WaveConfigRecord, Inputs) == 40);

// Flags: the configuration is the one the card driver runs with.
constexpr DWORD WAVE_CONFIG_IN_EFFECT = 0x1;

constexpr BYTE WAVE_MODE_WDM = 0;
constexpr BYTE WAVE_MODE_NIMBREL = 1;

struct SpeakerDelayRecord {
    DWORD Speaker;  // 0 to 7
    DWORD Delay;
};
static_assert(sizeof(SpeakerDelayRecord) == 8);

// Input of IOCTL_RESERVE_PIPES.
struct PipeReservation {
    DWORD TransportCookie;
    DWORD Mode;       // 1 in every request
    DWORD Direction;  // 0 output pipes, 1 input pipes
    WORD FirstPipe;
    WORD PipeCount;
};
static_assert(sizeof(PipeReservation) == 16);
static_assert(offsetof(PipeReservation, FirstPipe) == 12);

// Input of IOCTL_MAP_PIPE_BUFFER.
struct PipeBufferRequest {
    DWORD TransportCookie;
    DWORD Direction;
    WORD Pipe;
    WORD Reserved;
    DWORD Frames;
};
static_assert(sizeof(PipeBufferRequest) == 16);
static_assert(offsetof(PipeBufferRequest, Pipe) == 8);
static_assert(offsetof(PipeBufferRequest, Frames) == 12);

// Input of IOCTL_MAP_PIPE_POSITION.
struct PipePositionRequest {
    DWORD TransportCookie;
    DWORD Direction;
    WORD Pipe;
    WORD Reserved;
};
static_assert(sizeof(PipePositionRequest) == 12);

// Input of IOCTL_SET_TRANSPORT_EVENT; the handle travels as 32 bits.
struct TransportEventRecord {
    DWORD TransportCookie;
    DWORD Event;
};
static_assert(sizeof(TransportEventRecord) == 8);

// Input of IOCTL_CHECK_PIPES; no cookie, it may precede any transport.
struct PipeCheck {
    DWORD Direction;
    WORD FirstPipe;
    WORD PipeCount;
};
static_assert(sizeof(PipeCheck) == 8);
static_assert(offsetof(PipeCheck, FirstPipe) == 4);
