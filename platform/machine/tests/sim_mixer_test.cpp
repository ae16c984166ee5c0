// Mixer messages: every command's addressing, values and statuses, the
// notifications other sessions get, and meters that follow the mix.
#include "sim_card_fixture.h"

namespace sim_test {
namespace {

class SimMixerTest : public SimCardTest {
protected:
    void SetUp() override
    {
        Boot();
        file_ = Open();
        ASSERT_NE(file_, INVALID_HANDLE_VALUE);
    }
    void TearDown() override { CloseHandle(file_); }
    HANDLE file_ = INVALID_HANDLE_VALUE;
};

TEST_F(SimMixerTest, SettersStoreWhatGettersReadBack)
{
    struct Case {
        Msg set;
        Msg get;
        bool routed;  // the value travels at 0x14
    };
    const Case cases[] = {
        {{CMD_SET_GAIN, 3, CHANNEL_BUS_OUT, 0xFFFFF000u}, {CMD_GET_GAIN, 3, CHANNEL_BUS_OUT}, false},
        {{CMD_SET_GAIN, 5, CHANNEL_BUS_IN, 0x300}, {CMD_GET_GAIN, 5, CHANNEL_BUS_IN}, false},
        {{CMD_SET_GAIN, 7, CHANNEL_PIPE_OUT, 2, 0xFFFFFA00u}, {CMD_GET_GAIN, 7, CHANNEL_PIPE_OUT, 2}, true},
        {{CMD_SET_NOMINAL, 1, CHANNEL_BUS_OUT, 0xFFFFFFF6u}, {CMD_GET_NOMINAL, 1, CHANNEL_BUS_OUT}, false},
        {{CMD_SET_NOMINAL, 2, CHANNEL_BUS_IN, 0xFFFFFFF6u}, {CMD_GET_NOMINAL, 2, CHANNEL_BUS_IN}, false},
        {{CMD_SET_MONITOR_GAIN, 4, 77, 9, 0xFFFFF800u}, {CMD_GET_MONITOR_GAIN, 4, 77, 9}, true},
        {{CMD_SET_MONITOR_MUTE, 4, 77, 9, 1}, {CMD_GET_MONITOR_MUTE, 4, 77, 9}, true},
        {{CMD_SET_MONITOR_PAN, 4, 77, 9, 1000}, {CMD_GET_MONITOR_PAN, 4, 77, 9}, true},
        {{CMD_SET_SPDIF_FORMAT, 0, 77, 1}, {CMD_GET_SPDIF_FORMAT, 0, 77}, false},
        {{CMD_SET_MUTE, 6, CHANNEL_BUS_OUT, 1}, {CMD_GET_MUTE, 6, CHANNEL_BUS_OUT}, false},
        {{CMD_SET_MUTE, 6, CHANNEL_PIPE_OUT, 3, 1}, {CMD_GET_MUTE, 6, CHANNEL_PIPE_OUT, 3}, true},
        {{CMD_SET_PAN, 6, CHANNEL_PIPE_OUT, 3, 123}, {CMD_GET_PAN, 6, CHANNEL_PIPE_OUT, 3}, true},
        {{CMD_SET_LOCKED_RATE, 0, 77, 96000}, {CMD_GET_LOCKED_RATE, 0, 77}, false},
        {{CMD_SET_DIGITAL_MODE, 0, 77, 2}, {CMD_GET_DIGITAL_MODE, 0, 77}, false},
        {{CMD_SET_DIG_IN_AUTO_MUTE, 0, 77, 1}, {CMD_GET_DIG_IN_AUTO_MUTE, 0, 77}, false},
        {{CMD_SET_PHANTOM_POWER, 0, 77, 1}, {CMD_GET_PHANTOM_POWER, 0, 77}, false},
        {{CMD_SET_INPUT_CLOCK, 0, 77, 0xABCD0004u}, {CMD_GET_INPUT_CLOCK, 0, 77}, false},
        {{CMD_SET_OUTPUT_CLOCK, 0, 77, 2}, {CMD_GET_OUTPUT_CLOCK, 0, 77}, false},
    };
    for (const Case& c : cases) {
        const MsgReply set = Send(file_, c.set);
        EXPECT_EQ(set.status, 0u) << c.set.command;
        EXPECT_EQ(set.p10, c.set.p10) << "setters echo";
        Msg get = c.get;
        get.p14 = 0x5A5A5A5A;
        if (!c.routed) get.p10 = 0x5A5A5A5A;
        const MsgReply got = Send(file_, get);
        EXPECT_EQ(got.status, 0u) << c.get.command;
        if (c.routed) {
            EXPECT_EQ(got.p14, c.set.p14) << c.get.command;
            EXPECT_EQ(got.p10, c.get.p10) << "the bus is echoed";
        } else if (c.get.command == CMD_GET_INPUT_CLOCK || c.get.command == CMD_GET_OUTPUT_CLOCK) {
            EXPECT_EQ(got.p10, c.set.p10 & 0xFFFF) << "u16 answers clear the word above";
        } else {
            EXPECT_EQ(got.p10, c.set.p10) << c.get.command;
            EXPECT_EQ(got.p14, 0x5A5A5A5Au) << "nothing else is written";
        }
    }
    const machine::sim::MixerState mixer = Hooks().Mixer();
    EXPECT_EQ(mixer.busOut[3].gain, -0x1000);
    EXPECT_EQ(mixer.Pipe(7, 2).gain, -0x600);
    EXPECT_EQ(mixer.Monitor(4, 9).pan, 1000u);
    EXPECT_EQ(mixer.inputClock, 4);
}

TEST_F(SimMixerTest, RefusalsCarryTheirStatusAndChangeNothing)
{
    const machine::sim::MixerState before = Hooks().Mixer();
    const struct {
        Msg message;
        std::uint32_t status;
    } cases[] = {
        {{CMD_SET_GAIN, 16, CHANNEL_BUS_OUT, 0}, kStatusBadChannel},
        {{CMD_SET_GAIN, 0, 7, 0}, kStatusBadChannel},
        {{CMD_SET_GAIN, 0, CHANNEL_PIPE_OUT, 16, 0}, kStatusBadChannel},
        {{CMD_SET_NOMINAL, 0, CHANNEL_PIPE_OUT, 4}, kStatusBadChannel},
        {{CMD_SET_NOMINAL, 0, CHANNEL_BUS_OUT, 5}, kStatusBadValue},
        {{CMD_SET_MONITOR_GAIN, 16, 0, 0, 0}, kStatusBadChannel},
        {{CMD_SET_MONITOR_PAN, 0, 0, 0, 1001}, kStatusBadValue},
        {{CMD_SET_INPUT_CLOCK, 0, 0, 5}, kStatusBadValue},  // Orsync: not on this card
        {{CMD_SET_INPUT_CLOCK, 0, 0, 8}, kStatusBadValue},
        {{CMD_SET_SPDIF_FORMAT, 0, 0, 2}, kStatusBadValue},
        {{CMD_SET_MUTE, 0, CHANNEL_BUS_IN, 1}, kStatusBadChannel},
        {{CMD_SET_PAN, 0, CHANNEL_BUS_OUT, 0, 10}, kStatusBadChannel},
        {{CMD_SET_LOCKED_RATE, 0, 0, 44000}, kStatusBadValue},
        {{CMD_SET_DIGITAL_MODE, 0, 0, 3}, kStatusBadValue},
        {{CMD_SET_OUTPUT_CLOCK, 0, 0, 3}, kStatusBadValue},
        {{CMD_SET_METERS, 0, 0, 1}, kStatusBadChannel},  // no session on this file
        {{0, 0, 0, 0}, kStatusBadCommand},
        {{17, 0, 0, 0}, kStatusBadCommand},
        {{43, 0, 0, 0}, kStatusBadCommand},
        {{49, 0, 0, 0}, kStatusBadCommand},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Send(file_, c.message).status, c.status) << c.message.command << " ch " << c.message.channel;
    EXPECT_EQ(Hooks().Mixer(), before);
}

TEST_F(SimMixerTest, FlagsKeepCapabilityBitsAndChangeOnlyUserBits)
{
    EXPECT_EQ(Send(file_, {CMD_GET_FLAGS}).p10, 0x8000u);
    Send(file_, {CMD_SET_FLAGS, 0, 0, 0xFFFF});
    EXPECT_EQ(Send(file_, {CMD_GET_FLAGS}).p10, 0x8014u);
    Send(file_, {CMD_CLEAR_FLAGS, 0, 0, DRIVER_FLAG_SYNC_WAVE | DRIVER_FLAG_WAVE_LINK});
    EXPECT_EQ(Send(file_, {CMD_GET_FLAGS}).p10, 0x8010u);
}

TEST_F(SimMixerTest, SeveralMessagesGetTheirOwnStatusesInOrder)
{
    // The ASIO driver's monitor route: mute, pan, gain, with 0xFFFF in the reserved word.
    const Msg route[] = {{CMD_SET_MONITOR_MUTE, 2, 0, 5, 1}, {CMD_SET_MONITOR_PAN, 2, 0, 5, 2000},
                         {CMD_SET_MONITOR_GAIN, 2, 0, 5, 0}};
    std::vector<BYTE> in = MixerRequest(route);
    for (int i = 0; i < 3; ++i)
        std::memset(in.data() + 4 + kMixerMessageSize * i, 0xFF, 2);
    in[4 + 0x20] = 0x77;  // parameter bytes nobody reads come back as they went
    const Reply reply = Ioctl(file_, IOCTL_MIXER_MESSAGE, in, 3172);
    ASSERT_EQ(reply.ok, TRUE);
    EXPECT_EQ(reply.returned, 3172u);
    EXPECT_EQ(reply.As<std::uint32_t>(4 + 0x0C), 0u);
    EXPECT_EQ(reply.As<std::uint32_t>(4 + kMixerMessageSize + 0x0C), kStatusBadValue);
    EXPECT_EQ(reply.As<std::uint32_t>(4 + 2 * kMixerMessageSize + 0x0C), 0u);
    EXPECT_EQ(reply.out[4 + 0x20], 0x77);
    EXPECT_EQ(reply.As<std::uint16_t>(4), 0xFFFF);
    EXPECT_EQ(Hooks().Mixer().Monitor(2, 5), (machine::sim::RouteState{0, 1, 500}));

    std::vector<BYTE> none(4, 0);
    EXPECT_EQ(Ioctl(file_, IOCTL_MIXER_MESSAGE, none, 4).error, ERROR_INVALID_PARAMETER);
    std::vector<BYTE> lying = MixerRequest(route);
    lying[0] = 2;  // says two, carries three
    EXPECT_EQ(Ioctl(file_, IOCTL_MIXER_MESSAGE, lying, 3172).error, ERROR_INVALID_PARAMETER);
}

TEST_F(SimMixerTest, PipeLatencyAnswersPerPipeAndDirection)
{
    Hooks().SetPipeLatency(48);         // every pipe
    Hooks().SetPipeLatency(1, 15, 96);  // one record pipe of its own
    const struct {
        std::uint32_t pipe, direction, status, samples;
    } cases[] = {
        {15, 1, kStatusDone, 96},      {15, 0, kStatusDone, 48},      {0, 1, kStatusDone, 48},
        {16, 0, kStatusBadChannel, 0}, {16, 1, kStatusBadChannel, 0}, {0, 2, kStatusBadChannel, 0},
    };
    for (const auto& c : cases) {
        // The words at 0 and 2 carry whatever the sender left there.
        const MsgReply reply = Send(file_, {CMD_GET_PIPE_LATENCY, 0xBEEF, 0xDEAD, c.pipe | (c.direction << 16), 99});
        EXPECT_EQ(reply.status, c.status) << c.pipe << "/" << c.direction;
        EXPECT_EQ(reply.p14, c.samples) << c.pipe << "/" << c.direction;
        EXPECT_EQ(reply.p10, c.pipe | (c.direction << 16)) << "the request stays as it was";
    }
}

TEST_F(SimMixerTest, DigitalModeIsRefusedWhileAnyPipeIsReserved)
{
    HANDLE other = Open();
    const std::uint32_t transport = Word(other, IOCTL_OPEN_TRANSPORT);
    EXPECT_EQ(Word(other, IOCTL_RESERVE_PIPES, Bytes(PipeReservation{transport, 1, 1, 4, 2})), 0u);
    EXPECT_EQ(Send(file_, {CMD_SET_DIGITAL_MODE, 0, 0, 1}).status, kStatusInUse);
    CloseHandle(other);
    Hooks().HoldPipes(0, 0, 1);  // another program
    EXPECT_EQ(Send(file_, {CMD_SET_DIGITAL_MODE, 0, 0, 1}).status, kStatusInUse);
    Hooks().ReleaseHeldPipes();
    EXPECT_EQ(Send(file_, {CMD_SET_DIGITAL_MODE, 0, 0, 1}).status, 0u);
    EXPECT_EQ(Hooks().Mixer().digitalMode, 1u);
}

TEST_F(SimMixerTest, NotificationsGoToOtherFilesSessionsCoalescedOldestFirst)
{
    const std::uint32_t mine = OpenMixerWithMeters(file_);
    HANDLE other = Open();
    const std::uint32_t theirs = OpenMixerWithMeters(other);
    HANDLE driver = Open();  // a driver: no session of its own

    Send(other, {CMD_SET_GAIN, 2, CHANNEL_BUS_OUT, 0});
    EXPECT_EQ(Meters(file_, mine).changesPending, 1u);
    EXPECT_EQ(Meters(other, theirs).changesPending, 0u) << "the sender is not told";

    Send(driver, {CMD_SET_GAIN, 1, CHANNEL_PIPE_OUT, 4, 0});
    Send(driver, {CMD_SET_GAIN, 1, CHANNEL_PIPE_OUT, 4, 100});  // the same key again: one entry
    Send(driver, {CMD_GET_GAIN, 1, CHANNEL_PIPE_OUT, 4});       // a getter tells nobody
    Send(driver, {CMD_SET_MONITOR_PAN, 3, 0, 6, 1});
    Send(driver, {CMD_SET_INPUT_CLOCK, 0, 0, 1});
    Send(driver, {CMD_SET_PHANTOM_POWER, 0, 0, 1});
    Send(driver, {CMD_SET_NOMINAL, 5, CHANNEL_BUS_IN, 4});
    Send(driver, {CMD_SET_SPDIF_FORMAT, 0, 0, 1});                // no type covers it
    Send(driver, {CMD_SET_MONITOR_PAN, 3, 0, 6, 2000});           // refused: nothing to tell
    Hooks().InjectNotify(0x1234, 9, 9);

    const NotifyEntry expected[] = {{NOTIFY_BUS_OUT, 2, 0, 0},  {NOTIFY_PIPE_OUT, 1, 4, 0},
                                    {NOTIFY_MONITOR, 3, 6, 0},  {NOTIFY_GLOBAL, 0, 0, 0},
                                    {NOTIFY_BUS_IN, 0, 0, 0},   {NOTIFY_BUS_IN, 5, 0, 0},
                                    {0x1234, 9, 9, 0}};
    NotifyBuffer first = Notifications(file_, mine, 4);
    ASSERT_EQ(first.count, 4u);
    EXPECT_EQ(first.cookie, mine);
    for (unsigned i = 0; i < 4; ++i)
        EXPECT_EQ(first.entries[i], expected[i]) << i;
    for (unsigned i = 4; i < kNotifyCapacity; ++i)
        EXPECT_EQ(first.entries[i], (NotifyEntry{})) << "bytes past the count are zero";
    EXPECT_EQ(Meters(file_, mine).changesPending, 1u);
    NotifyBuffer rest = Notifications(file_, mine, 50);
    ASSERT_EQ(rest.count, 3u);
    EXPECT_EQ(rest.entries[2], expected[6]);
    EXPECT_EQ(Meters(file_, mine).changesPending, 0u);
    EXPECT_EQ(Notifications(file_, mine).count, 0u);

    EXPECT_EQ(Notifications(other, theirs).count, 6u) << "the driver's changes, not its own";
    Hooks().ExternalSet(CMD_SET_MUTE, 0, CHANNEL_BUS_OUT, 0, 1);
    EXPECT_EQ(Notifications(other, theirs).count, 1u);
    EXPECT_EQ(Hooks().Mixer().busOut[0].mute, 1u);

    Hooks().SetNotificationCountOverride(11);
    EXPECT_EQ(Notifications(file_, mine).count, 11u);
    NotifyBuffer buffer{mine, 10, {}};
    EXPECT_EQ(Ioctl(other, IOCTL_GET_NOTIFICATIONS, Bytes(buffer), 88).ok, FALSE) << "another file's cookie";
    CloseHandle(other);
    CloseHandle(driver);
}

// A test can store values the mixer commands refuse; the getters hand them back and no
// session is told. A state made for another card is refused.
TEST_F(SimMixerTest, RawMixerStateIsStoredUncheckedAndTellsNobody)
{
    const std::uint32_t cookie = OpenMixerWithMeters(file_);
    MixerState state = Hooks().Mixer();
    state.Monitor(2, 1).pan = 1200;
    state.inputs[3].nominal = static_cast<std::uint32_t>(-3);
    Hooks().SetMixerRaw(state);
    EXPECT_EQ(Hooks().Mixer(), state);
    EXPECT_EQ(Send(file_, {CMD_GET_MONITOR_PAN, 2, 0, 1}).p14, 1200u);
    EXPECT_EQ(Send(file_, {CMD_GET_NOMINAL, 3, CHANNEL_BUS_IN}).p10, static_cast<std::uint32_t>(-3));
    EXPECT_EQ(Meters(file_, cookie).changesPending, 0u);

    MixerState other = state;
    other.monitors.pop_back();
    EXPECT_THROW(Hooks().SetMixerRaw(other), std::invalid_argument);
    other = state;
    ++other.inputBusses;
    EXPECT_THROW(Hooks().SetMixerRaw(other), std::invalid_argument);
    EXPECT_EQ(Hooks().Mixer(), state) << "a refused state changes nothing";
}

TEST_F(SimMixerTest, MeterRecordNeedsMetersOnAndEchoesItsCookie)
{
    const std::uint32_t cookie = Word(file_, IOCTL_OPEN_MIXER);
    MeterRecord record{};
    record.cookie = cookie;
    Reply reply = Ioctl(file_, IOCTL_GET_METERS, Bytes(record), sizeof record);
    EXPECT_EQ(reply.ok, FALSE);
    EXPECT_EQ(reply.out, std::vector<BYTE>(sizeof record, 0xEE));
    Send(file_, {CMD_SET_METERS, 0, 0, 1});
    const MeterRecord meters = Meters(file_, cookie);
    EXPECT_EQ(meters.cookie, cookie);
    EXPECT_EQ(meters.pipeMeterCount, 16u);
    EXPECT_EQ(meters.busMeterCount, 16u);
    EXPECT_EQ(meters.pipeLevels[16], kMeterFloor);
    EXPECT_EQ(meters.busLevels[16], kMeterFloor);
    EXPECT_EQ(meters.inputLevels[16], kMeterFloor);
    EXPECT_EQ(meters.detectedClocks & 1u, 1u);
    Hooks().SetDetectedClocks(0x9);
    EXPECT_EQ(Meters(file_, cookie).detectedClocks, 0x9u);
    Send(file_, {CMD_SET_METERS, 0, 0, 0});
    EXPECT_EQ(Ioctl(file_, IOCTL_GET_METERS, Bytes(record), sizeof record).ok, FALSE);
}

// A test can have the meter record carry counts the card does not have, beyond its level
// arrays even; the rest of the record stays what the card reports.
TEST_F(SimMixerTest, MeterCountsCanBeOverridden)
{
    const std::uint32_t cookie = OpenMixerWithMeters(file_);
    const MeterRecord plain = Meters(file_, cookie);
    const struct {
        std::optional<std::uint32_t> pipes, busses;
        std::uint32_t pipeCount, busCount;
    } cases[] = {
        {129, 65, 129, 65},
        {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu},
        {std::nullopt, 64, 16, 64},
        {0, std::nullopt, 0, 16},
        {std::nullopt, std::nullopt, 16, 16},
    };
    for (const auto& c : cases) {
        Hooks().SetMeterCountOverride(c.pipes, c.busses);
        const MeterRecord meters = Meters(file_, cookie);
        EXPECT_EQ(meters.cookie, cookie);
        EXPECT_EQ(meters.pipeMeterCount, c.pipeCount);
        EXPECT_EQ(meters.busMeterCount, c.busCount);
        const std::vector<BYTE> got = Bytes(meters), card = Bytes(plain);
        EXPECT_EQ(meters.inputBusCount, plain.inputBusCount);
        EXPECT_TRUE(std::equal(got.begin() + 0x10, got.end(), card.begin() + 0x10))
            << "levels, clocks and pending changes as the card has them";
    }
}

TEST_F(SimMixerTest, MetersFollowTheMix)
{
    machine::CardHooks hooks = Hooks();
    for (unsigned input = 0; input < 16; ++input)
        hooks.SetInputSignal(input, machine::Signal::Silence());
    hooks.SetInputSignal(0, machine::Signal::Tone(1000.0, -6.0));
    const std::uint32_t cookie = OpenMixerWithMeters(file_);
    // Input 0 onto bus 0 at full level.
    Send(file_, {CMD_SET_MONITOR_GAIN, 0, 0, 0, 0});
    hooks.Advance(8);
    MeterRecord meters = Meters(file_, cookie);
    EXPECT_NEAR(meters.inputLevels[0], -6 * 256, 64);
    EXPECT_EQ(meters.inputLevels[1], kMeterFloor);
    EXPECT_NEAR(meters.busLevels[0], -6 * 256, 64);
    EXPECT_EQ(meters.busLevels[1], kMeterFloor);
    EXPECT_EQ(meters.pipeLevels[0], kMeterFloor) << "nothing plays";

    // The monitor fader pulled down 20 dB: the bus meter falls to the new level.
    Send(file_, {CMD_SET_MONITOR_GAIN, 0, 0, 0, static_cast<std::uint32_t>(-20 * 256)});
    hooks.Advance(100);  // long enough for the held peak to fall back
    meters = Meters(file_, cookie);
    EXPECT_NEAR(meters.busLevels[0], -26 * 256, 64);
    // The bus's own mute silences it; its meter falls at a steady rate.
    Send(file_, {CMD_SET_MUTE, 0, CHANNEL_BUS_OUT, 1});
    hooks.Advance(43);  // 512-frame periods at 44.1 kHz: half a second
    meters = Meters(file_, cookie);
    EXPECT_NEAR(meters.busLevels[0], -36 * 256, 64);
    EXPECT_EQ(hooks.MeterLevel(machine::MeterGroup::OutputBus, 0), meters.busLevels[0]);
    hooks.SetMeterLevel(machine::MeterGroup::OutputBus, 0, -100);
    EXPECT_EQ(Meters(file_, cookie).busLevels[0], -100);
}

}  // namespace
}  // namespace sim_test
