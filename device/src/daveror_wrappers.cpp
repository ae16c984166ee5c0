// The one-line mixer operations: one message each, its status returned.
// Gains are signed 1/256 dB and travel in the same 32 bits as the other values.
#include "daveror.h"

namespace {

DWORD AsSigned(DWORD status, DWORD raw, LONG* value)
{
    *value = static_cast<LONG>(raw);
    return status;
}

}  // namespace

// Monitors: an input routed onto an output bus; no channel kind.
DWORD CDaveror::GetMonitorGain(WORD input, WORD bus, LONG* value)
{
    DWORD raw;
    DWORD status = GetRouted(CMD_GET_MONITOR_GAIN, input, NoKind, bus, &raw);
    return AsSigned(status, raw, value);
}
DWORD CDaveror::SetMonitorGain(WORD input, WORD bus, LONG value)
{
    return SetRouted(CMD_SET_MONITOR_GAIN, input, NoKind, bus, static_cast<DWORD>(value));
}
DWORD CDaveror::GetMonitorPan(WORD input, WORD bus, DWORD* value)
{
    return GetRouted(CMD_GET_MONITOR_PAN, input, NoKind, bus, value);
}
DWORD CDaveror::SetMonitorPan(WORD input, WORD bus, DWORD value)
{
    return SetRouted(CMD_SET_MONITOR_PAN, input, NoKind, bus, value);
}
DWORD CDaveror::GetMonitorMute(WORD input, WORD bus, DWORD* value)
{
    return GetRouted(CMD_GET_MONITOR_MUTE, input, NoKind, bus, value);
}
DWORD CDaveror::SetMonitorMute(WORD input, WORD bus, DWORD value)
{
    return SetRouted(CMD_SET_MONITOR_MUTE, input, NoKind, bus, value);
}

// Playback pipes on an output bus.
DWORD CDaveror::GetPipeGain(WORD pipe, WORD bus, LONG* value)
{
    DWORD raw;
    DWORD status = GetRouted(CMD_GET_GAIN, pipe, CHANNEL_PIPE_OUT, bus, &raw);
    return AsSigned(status, raw, value);
}
DWORD CDaveror::SetPipeGain(WORD pipe, WORD bus, LONG value)
{
    return SetRouted(CMD_SET_GAIN, pipe, CHANNEL_PIPE_OUT, bus, static_cast<DWORD>(value));
}
DWORD CDaveror::GetPipeMute(WORD pipe, WORD bus, DWORD* value)
{
    return GetRouted(CMD_GET_MUTE, pipe, CHANNEL_PIPE_OUT, bus, value);
}
DWORD CDaveror::SetPipeMute(WORD pipe, WORD bus, DWORD value)
{
    return SetRouted(CMD_SET_MUTE, pipe, CHANNEL_PIPE_OUT, bus, value);
}
DWORD CDaveror::GetPipePan(WORD pipe, WORD bus, DWORD* value)
{
    return GetRouted(CMD_GET_PAN, pipe, CHANNEL_PIPE_OUT, bus, value);
}
DWORD CDaveror::SetPipePan(WORD pipe, WORD bus, DWORD value)
{
    return SetRouted(CMD_SET_PAN, pipe, CHANNEL_PIPE_OUT, bus, value);
}

// Output busses.
DWORD CDaveror::GetBusOutGain(WORD bus, LONG* value)
{
    DWORD raw;
    DWORD status = GetValue(CMD_GET_GAIN, bus, CHANNEL_BUS_OUT, &raw);
    return AsSigned(status, raw, value);
}
DWORD CDaveror::SetBusOutGain(WORD bus, LONG value)
{
    return SetValue(CMD_SET_GAIN, bus, CHANNEL_BUS_OUT, static_cast<DWORD>(value));
}
DWORD CDaveror::GetBusOutMute(WORD bus, DWORD* value) { return GetValue(CMD_GET_MUTE, bus, CHANNEL_BUS_OUT, value); }
DWORD CDaveror::SetBusOutMute(WORD bus, DWORD value) { return SetValue(CMD_SET_MUTE, bus, CHANNEL_BUS_OUT, value); }
DWORD CDaveror::GetBusOutNominal(WORD bus, DWORD* value)
{
    return GetValue(CMD_GET_NOMINAL, bus, CHANNEL_BUS_OUT, value);
}
DWORD CDaveror::SetBusOutNominal(WORD bus, DWORD value)
{
    return SetValue(CMD_SET_NOMINAL, bus, CHANNEL_BUS_OUT, value);
}

// Input busses.
DWORD CDaveror::GetInputTrim(WORD input, LONG* value)
{
    DWORD raw;
    DWORD status = GetValue(CMD_GET_GAIN, input, CHANNEL_BUS_IN, &raw);
    return AsSigned(status, raw, value);
}
DWORD CDaveror::SetInputTrim(WORD input, LONG value)
{
    return SetValue(CMD_SET_GAIN, input, CHANNEL_BUS_IN, static_cast<DWORD>(value));
}
DWORD CDaveror::GetInputNominal(WORD input, DWORD* value)
{
    return GetValue(CMD_GET_NOMINAL, input, CHANNEL_BUS_IN, value);
}
DWORD CDaveror::SetInputNominal(WORD input, DWORD value)
{
    return SetValue(CMD_SET_NOMINAL, input, CHANNEL_BUS_IN, value);
}

// Whole-card settings.
DWORD CDaveror::GetInputClock(DWORD* value) { return GetWordValue(CMD_GET_INPUT_CLOCK, value); }
DWORD CDaveror::SetInputClock(DWORD value) { return SetWordValue(CMD_SET_INPUT_CLOCK, static_cast<WORD>(value)); }
DWORD CDaveror::GetOutputClock(DWORD* value) { return GetWordValue(CMD_GET_OUTPUT_CLOCK, value); }
DWORD CDaveror::SetOutputClock(DWORD value) { return SetWordValue(CMD_SET_OUTPUT_CLOCK, static_cast<WORD>(value)); }
DWORD CDaveror::GetDigitalMode(DWORD* value) { return GetValue(CMD_GET_DIGITAL_MODE, 0, NoKind, value); }
DWORD CDaveror::SetDigitalMode(DWORD value) { return SetValue(CMD_SET_DIGITAL_MODE, 0, NoKind, value); }
DWORD CDaveror::GetSpdifFormat(DWORD* value) { return GetValue(CMD_GET_SPDIF_FORMAT, 0, NoKind, value); }
DWORD CDaveror::SetSpdifFormat(DWORD value) { return SetValue(CMD_SET_SPDIF_FORMAT, 0, NoKind, value); }
DWORD CDaveror::GetLockedRate(DWORD* value) { return GetValue(CMD_GET_LOCKED_RATE, 0, NoKind, value); }
DWORD CDaveror::SetLockedRate(DWORD value) { return SetValue(CMD_SET_LOCKED_RATE, 0, NoKind, value); }
DWORD CDaveror::GetDigInAutoMute(DWORD* value) { return GetValue(CMD_GET_DIG_IN_AUTO_MUTE, 0, NoKind, value); }
DWORD CDaveror::SetDigInAutoMute(DWORD value) { return SetValue(CMD_SET_DIG_IN_AUTO_MUTE, 0, NoKind, value); }
DWORD CDaveror::GetPhantomPower(DWORD* value) { return GetValue(CMD_GET_PHANTOM_POWER, 0, NoKind, value); }
DWORD CDaveror::SetPhantomPower(DWORD value) { return SetValue(CMD_SET_PHANTOM_POWER, 0, NoKind, value); }

// Two bits of the driver flags word, set and cleared by their own commands.
DWORD CDaveror::GetSampleRateLock(DWORD* value)
{
    DWORD status = GetWordValue(CMD_GET_FLAGS, value);
    *value &= DRIVER_FLAG_RATE_LOCK;
    return status;
}
DWORD CDaveror::SetSampleRateLock(DWORD on)
{
    return SetWordValue(on ? CMD_SET_FLAGS : CMD_CLEAR_FLAGS, DRIVER_FLAG_RATE_LOCK);
}
DWORD CDaveror::GetSyncWaveDevices(DWORD* value)
{
    DWORD status = GetWordValue(CMD_GET_FLAGS, value);
    *value &= DRIVER_FLAG_SYNC_WAVE;
    return status;
}
DWORD CDaveror::SetSyncWaveDevices(DWORD on)
{
    return SetWordValue(on ? CMD_SET_FLAGS : CMD_CLEAR_FLAGS, DRIVER_FLAG_SYNC_WAVE);
}
