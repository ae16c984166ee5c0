// Both ends of the wire: the device library declares the card driver's
// protocol, and so does the simulated card driver, each pinning its own
// numbers. A number, size or flag that one side changes breaks the other,
// so every entry is held against its twin here.
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

#include <gtest/gtest.h>

#include "daveror_codes.h"
#include "daveror_records.h"
#include "machine/card_config.h"
#include "machine/sim_records.h"

namespace {

namespace sim = machine::sim;

struct Twin {
    const char* name;
    std::uint64_t device;
    std::uint64_t machine;
};

// One name on both sides: the device's global, the machine's in machine::sim.
#define BOTH(name) Twin{#name, static_cast<std::uint64_t>(name), static_cast<std::uint64_t>(sim::name)}
#define BOTH_SIZE(record) Twin{"sizeof " #record, sizeof(::record), sizeof(sim::record)}

const Twin kControlCodes[] = {
    BOTH(IOCTL_GET_DRIVER_VERSION),
    BOTH(IOCTL_GET_CAPS),
    BOTH(IOCTL_OPEN_MIXER),
    BOTH(IOCTL_CLOSE_MIXER),
    BOTH(IOCTL_MIXER_MESSAGE),
    BOTH(IOCTL_GET_METERS),
    BOTH(IOCTL_GET_NOTIFICATIONS),
    BOTH(IOCTL_GET_SPEAKER_DELAY),
    BOTH(IOCTL_GET_ERROR_TEXT),
    BOTH(IOCTL_SET_SPEAKER_DELAY),
    BOTH(IOCTL_GET_WAVE_CONFIG),
    BOTH(IOCTL_SET_WAVE_CONFIG),
    BOTH(IOCTL_SET_CARD_NAME),
    BOTH(IOCTL_GET_WAVE_BUFFER_SIZE),
    BOTH(IOCTL_SET_WAVE_BUFFER_SIZE),
    BOTH(IOCTL_OPEN_TRANSPORT),
    BOTH(IOCTL_CLOSE_TRANSPORT),
    BOTH(IOCTL_MAP_PIPE_BUFFER),
    BOTH(IOCTL_SET_TRANSPORT_EVENT),
    BOTH(IOCTL_MAP_PIPE_POSITION),
    BOTH(IOCTL_START_TRANSPORT),
    BOTH(IOCTL_STOP_TRANSPORT),
    BOTH(IOCTL_RESERVE_PIPES),
    BOTH(IOCTL_CHECK_SAMPLE_RATE),
    BOTH(IOCTL_SET_SAMPLE_RATE),
    BOTH(IOCTL_CHECK_PIPES),
    BOTH(IOCTL_GET_GSIF_BUFFER_SIZE),
    BOTH(IOCTL_SET_GSIF_BUFFER_SIZE),
    BOTH(IOCTL_PAUSE_TRANSPORT),
};

const Twin kCommands[] = {
    BOTH(CMD_GET_GAIN),
    BOTH(CMD_SET_GAIN),
    BOTH(CMD_GET_NOMINAL),
    BOTH(CMD_SET_NOMINAL),
    BOTH(CMD_GET_MONITOR_GAIN),
    BOTH(CMD_SET_MONITOR_GAIN),
    BOTH(CMD_GET_INPUT_CLOCK),
    BOTH(CMD_SET_INPUT_CLOCK),
    BOTH(CMD_SET_METERS),
    BOTH(CMD_GET_SPDIF_FORMAT),
    BOTH(CMD_SET_SPDIF_FORMAT),
    BOTH(CMD_GET_MUTE),
    BOTH(CMD_SET_MUTE),
    BOTH(CMD_GET_MONITOR_MUTE),
    BOTH(CMD_SET_MONITOR_MUTE),
    BOTH(CMD_GET_MONITOR_PAN),
    BOTH(CMD_SET_MONITOR_PAN),
    BOTH(CMD_GET_FLAGS),
    BOTH(CMD_SET_FLAGS),
    BOTH(CMD_CLEAR_FLAGS),
    BOTH(CMD_GET_LOCKED_RATE),
    BOTH(CMD_SET_LOCKED_RATE),
    BOTH(CMD_GET_DIGITAL_MODE),
    BOTH(CMD_SET_DIGITAL_MODE),
    BOTH(CMD_GET_PAN),
    BOTH(CMD_SET_PAN),
    BOTH(CMD_GET_OUTPUT_CLOCK),
    BOTH(CMD_SET_OUTPUT_CLOCK),
    BOTH(CMD_GET_DIG_IN_AUTO_MUTE),
    BOTH(CMD_SET_DIG_IN_AUTO_MUTE),
    BOTH(CMD_GET_PIPE_LATENCY),
    BOTH(CMD_GET_PHANTOM_POWER),
    BOTH(CMD_SET_PHANTOM_POWER),
};

const Twin kValues[] = {
    BOTH(CHANNEL_BUS_OUT),
    BOTH(CHANNEL_BUS_IN),
    BOTH(CHANNEL_PIPE_OUT),
    BOTH(NOTIFY_BUS_OUT),
    BOTH(NOTIFY_BUS_IN),
    BOTH(NOTIFY_PIPE_OUT),
    BOTH(NOTIFY_MONITOR),
    BOTH(NOTIFY_GLOBAL),
    BOTH(DRIVER_FLAG_SYNC_WAVE),
    BOTH(DRIVER_FLAG_RATE_LOCK),
    BOTH(DRIVER_FLAG_DIG_IN_AUTO_MUTE),
    BOTH(DRIVER_FLAG_WAVE_LINK),
    BOTH(WAVE_MODE_WDM),
    BOTH(WAVE_MODE_NIMBREL),
    BOTH(WAVE_CONFIG_IN_EFFECT),
    Twin{"notification capacity", NOTIFY_CAPACITY, sim::kNotifyCapacity},
    Twin{"wave-configuration entries", WAVE_CONFIG_ENTRIES, sim::kWaveConfigEntries},
};

const Twin kRecordSizes[] = {
    BOTH_SIZE(CapabilitiesRecord),
    BOTH_SIZE(BoxTypeRecord),
    BOTH_SIZE(MixerMessage),
    BOTH_SIZE(MeterRecord),
    BOTH_SIZE(NotifyEntry),
    BOTH_SIZE(NotifyBuffer),
    BOTH_SIZE(SpeakerDelayRecord),
    BOTH_SIZE(WaveConfigEntry),
    BOTH_SIZE(WaveConfigRecord),
    BOTH_SIZE(PipeReservation),
    BOTH_SIZE(PipeCheck),
    BOTH_SIZE(TransportEventRecord),
    BOTH_SIZE(PipeBufferRequest),
    BOTH_SIZE(PipePositionRequest),
};

#undef BOTH
#undef BOTH_SIZE

void ExpectTwins(std::span<const Twin> twins)
{
    for (const Twin& twin : twins)
        EXPECT_EQ(twin.device, twin.machine) << twin.name;
}

// The registry's form of a GUID, as the machine names its interface class.
std::string GuidText(const GUID& guid)
{
    char text[39];
    std::snprintf(text, sizeof text, "{%08x-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x}", guid.Data1,
                  guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4],
                  guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return text;
}

}  // namespace

TEST(WireTest, ControlCodesAreTheSimulatorsCodes)
{
    ExpectTwins(kControlCodes);
}

TEST(WireTest, MixerCommandsAreTheSimulatorsCommands)
{
    ExpectTwins(kCommands);
}

TEST(WireTest, KindsTypesFlagsModesAndCountsAgree)
{
    ExpectTwins(kValues);
}

TEST(WireTest, EveryRecordHasTheSimulatorsSize)
{
    ExpectTwins(kRecordSizes);
}

TEST(WireTest, InterfaceClassIsTheMachinesInterfaceClass)
{
    EXPECT_EQ(GuidText(GUID_DAVEROR_INTERFACE), machine::kInterfaceClassGuid);
}
