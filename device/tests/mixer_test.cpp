// The mixer session and every mixer wrapper, byte for byte as the card
// driver receives them.
#include <array>
#include <functional>
#include <string>

#include "device_fixture.h"

using ::testing::ElementsAre;

namespace {

using Params = std::array<BYTE, 8>;  // the parameter bytes at 0x10..0x17

Params None() { return {}; }
Params Value(DWORD v) { return {BYTE(v), BYTE(v >> 8), BYTE(v >> 16), BYTE(v >> 24), 0, 0, 0, 0}; }
Params Word(WORD v) { return {BYTE(v), BYTE(v >> 8), 0, 0, 0, 0, 0, 0}; }
Params Routed(WORD bus, DWORD v)
{
    return {BYTE(bus), BYTE(bus >> 8), 0, 0, BYTE(v), BYTE(v >> 8), BYTE(v >> 16), BYTE(v >> 24)};
}
Params Bus(WORD bus) { return Word(bus); }

Params ParamsOf(const MixerMessage& message)
{
    Params params;
    std::memcpy(params.data(), message.Params, params.size());
    return params;
}

constexpr DWORD kNoKind = 0;  // the request is zeroed: an unset kind travels as 0

// One setting written with its set operation and read back with its get operation.
struct RoundTrip {
    std::string name;
    std::function<DWORD(CDaveror&)> set;
    std::function<DWORD(CDaveror&, DWORD*)> get;
    DWORD setCommand;
    DWORD getCommand;
    WORD channel;
    DWORD kind;
    Params setParams;
    Params getParams;
    DWORD value;  // what the get operation hands back
};

template <typename Get>
std::function<DWORD(CDaveror&, DWORD*)> Signed(Get get)
{
    return [get](CDaveror& card, DWORD* value) {
        LONG gain = 0x5A5A5A5A;
        DWORD status = get(card, &gain);
        *value = static_cast<DWORD>(gain);
        return status;
    };
}

const DWORD kMinus6dB = static_cast<DWORD>(-6 * 256);
const DWORD kMinus10 = static_cast<DWORD>(-10);

std::vector<RoundTrip> RoundTrips()
{
    return {
        {"MonitorGain", [](CDaveror& c) { return c.SetMonitorGain(3, 5, -6 * 256); },
         Signed([](CDaveror& c, LONG* v) { return c.GetMonitorGain(3, 5, v); }), 7, 6, 3, kNoKind,
         Routed(5, kMinus6dB), Bus(5), kMinus6dB},
        {"MonitorPan", [](CDaveror& c) { return c.SetMonitorPan(3, 5, 250); },
         [](CDaveror& c, DWORD* v) { return c.GetMonitorPan(3, 5, v); }, 24, 23, 3, kNoKind, Routed(5, 250), Bus(5),
         250},
        {"MonitorMute", [](CDaveror& c) { return c.SetMonitorMute(3, 5, 1); },
         [](CDaveror& c, DWORD* v) { return c.GetMonitorMute(3, 5, v); }, 20, 19, 3, kNoKind, Routed(5, 1), Bus(5), 1},
        {"PipeGain", [](CDaveror& c) { return c.SetPipeGain(6, 5, -6 * 256); },
         Signed([](CDaveror& c, LONG* v) { return c.GetPipeGain(6, 5, v); }), 3, 2, 6, CHANNEL_PIPE_OUT,
         Routed(5, kMinus6dB), Bus(5), kMinus6dB},
        {"PipeMute", [](CDaveror& c) { return c.SetPipeMute(6, 5, 1); },
         [](CDaveror& c, DWORD* v) { return c.GetPipeMute(6, 5, v); }, 16, 15, 6, CHANNEL_PIPE_OUT, Routed(5, 1),
         Bus(5), 1},
        {"PipePan", [](CDaveror& c) { return c.SetPipePan(6, 5, 700); },
         [](CDaveror& c, DWORD* v) { return c.GetPipePan(6, 5, v); }, 40, 39, 6, CHANNEL_PIPE_OUT, Routed(5, 700),
         Bus(5), 700},
        {"BusOutGain", [](CDaveror& c) { return c.SetBusOutGain(5, -6 * 256); },
         Signed([](CDaveror& c, LONG* v) { return c.GetBusOutGain(5, v); }), 3, 2, 5, CHANNEL_BUS_OUT,
         Value(kMinus6dB), None(), kMinus6dB},
        {"BusOutMute", [](CDaveror& c) { return c.SetBusOutMute(5, 1); },
         [](CDaveror& c, DWORD* v) { return c.GetBusOutMute(5, v); }, 16, 15, 5, CHANNEL_BUS_OUT, Value(1), None(), 1},
        {"BusOutNominal", [](CDaveror& c) { return c.SetBusOutNominal(1, kMinus10); },
         [](CDaveror& c, DWORD* v) { return c.GetBusOutNominal(1, v); }, 5, 4, 1, CHANNEL_BUS_OUT, Value(kMinus10),
         None(), kMinus10},
        {"InputTrim", [](CDaveror& c) { return c.SetInputTrim(1, -6 * 256); },
         Signed([](CDaveror& c, LONG* v) { return c.GetInputTrim(1, v); }), 3, 2, 1, CHANNEL_BUS_IN, Value(kMinus6dB),
         None(), kMinus6dB},
        {"InputNominal", [](CDaveror& c) { return c.SetInputNominal(1, kMinus10); },
         [](CDaveror& c, DWORD* v) { return c.GetInputNominal(1, v); }, 5, 4, 1, CHANNEL_BUS_IN, Value(kMinus10),
         None(), kMinus10},
        {"InputClock", [](CDaveror& c) { return c.SetInputClock(1); },
         [](CDaveror& c, DWORD* v) { return c.GetInputClock(v); }, 9, 8, 0, kNoKind, Word(1), None(), 1},
        {"OutputClock", [](CDaveror& c) { return c.SetOutputClock(2); },
         [](CDaveror& c, DWORD* v) { return c.GetOutputClock(v); }, 42, 41, 0, kNoKind, Word(2), None(), 2},
        {"DigitalMode", [](CDaveror& c) { return c.SetDigitalMode(2); },
         [](CDaveror& c, DWORD* v) { return c.GetDigitalMode(v); }, 38, 37, 0, kNoKind, Value(2), None(), 2},
        {"SpdifFormat", [](CDaveror& c) { return c.SetSpdifFormat(1); },
         [](CDaveror& c, DWORD* v) { return c.GetSpdifFormat(v); }, 14, 13, 0, kNoKind, Value(1), None(), 1},
        {"LockedRate", [](CDaveror& c) { return c.SetLockedRate(48000); },
         [](CDaveror& c, DWORD* v) { return c.GetLockedRate(v); }, 31, 30, 0, kNoKind, Value(48000), None(), 48000},
        {"DigInAutoMute", [](CDaveror& c) { return c.SetDigInAutoMute(1); },
         [](CDaveror& c, DWORD* v) { return c.GetDigInAutoMute(v); }, 45, 44, 0, kNoKind, Value(1), None(), 1},
        {"PhantomPower", [](CDaveror& c) { return c.SetPhantomPower(1); },
         [](CDaveror& c, DWORD* v) { return c.GetPhantomPower(v); }, 48, 47, 0, kNoKind, Value(1), None(), 1},
        {"SampleRateLockOn", [](CDaveror& c) { return c.SetSampleRateLock(1); },
         [](CDaveror& c, DWORD* v) { return c.GetSampleRateLock(v); }, 28, 27, 0, kNoKind, Word(0x0010), None(),
         0x0010},
        {"SyncWaveDevicesOn", [](CDaveror& c) { return c.SetSyncWaveDevices(1); },
         [](CDaveror& c, DWORD* v) { return c.GetSyncWaveDevices(v); }, 28, 27, 0, kNoKind, Word(0x0004), None(),
         0x0004},
    };
}

}  // namespace

class MixerRoundTrip : public DeviceTest, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(MixerRoundTrip, SendsExactBytesAndReadsBack)
{
    const RoundTrip& trip = GetParam();
    auto card = OpenCard();

    EXPECT_EQ(trip.set(*card), 0u);
    DWORD value = 0x5A5A5A5A;
    EXPECT_EQ(trip.get(*card, &value), 0u);
    EXPECT_EQ(value, trip.value);

    auto log = Log();
    ASSERT_EQ(log.size(), 2u);
    const std::pair<DWORD, Params> expected[2] = {{trip.setCommand, trip.setParams},
                                                 {trip.getCommand, trip.getParams}};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i == 0 ? "set" : "get");
        ExpectRequest(log[i], IOCTL_MIXER_MESSAGE, 1060u, 1060u);
        EXPECT_EQ(Input<DWORD>(log[i]), 1u);
        MixerMessage message = Message(log[i]);
        EXPECT_EQ(message.Reserved, 0);
        EXPECT_EQ(message.Command, expected[i].first);
        EXPECT_EQ(message.Channel, trip.channel);
        EXPECT_EQ(message.Kind, trip.kind);
        EXPECT_EQ(message.Status, 0u);
        EXPECT_EQ(ParamsOf(message), expected[i].second);
    }
    card->Close();
}

INSTANTIATE_TEST_SUITE_P(Wrappers, MixerRoundTrip, ::testing::ValuesIn(RoundTrips()),
                         [](const ::testing::TestParamInfo<RoundTrip>& trip) { return trip.param.name; });

class MixerTest : public DeviceTest {};

TEST_F(MixerTest, FlagBitsClearWithTheirOwnCommandAndGettersMask)
{
    auto card = OpenCard();
    card->SetSampleRateLock(1);
    card->SetSyncWaveDevices(1);
    DWORD value = 0;
    EXPECT_EQ(card->GetSampleRateLock(&value), 0u);
    EXPECT_EQ(value, 0x0010u);
    EXPECT_EQ(card->GetSyncWaveDevices(&value), 0u);
    EXPECT_EQ(value, 0x0004u);
    Hooks().ClearLog();

    EXPECT_EQ(card->SetSampleRateLock(0), 0u);
    EXPECT_EQ(card->SetSyncWaveDevices(0), 0u);
    auto log = Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(Message(log[0]).Command, CMD_CLEAR_FLAGS);
    EXPECT_EQ(ParamsOf(Message(log[0])), Word(0x0010));
    EXPECT_EQ(Message(log[1]).Command, CMD_CLEAR_FLAGS);
    EXPECT_EQ(ParamsOf(Message(log[1])), Word(0x0004));
    EXPECT_EQ(card->GetSampleRateLock(&value), 0u);
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(card->GetSyncWaveDevices(&value), 0u);
    EXPECT_EQ(value, 0u);
    card->Close();
}

TEST_F(MixerTest, WrapperReturnsTheMessageStatus)
{
    auto card = OpenCard();
    // Output bus 200 does not exist: the card driver refuses the message.
    DWORD mute = 0x5A5A5A5A;
    DWORD status = card->GetBusOutMute(200, &mute);
    EXPECT_NE(status, 0u);
    EXPECT_NE(status, DAVEROR_FAILED);
    EXPECT_EQ(mute, 0u);
    card->Close();
}

TEST_F(MixerTest, NothingIsSentWhileTheOkFlagIsClear)
{
    Hooks().FailNext(IOCTL_GET_CAPS);
    auto card = NewCard();
    card->Open();
    ASSERT_EQ(card->IsValid(), 0);
    Hooks().ClearLog();

    LONG gain = 0x5A5A5A5A;
    DWORD mute = 0x5A5A5A5A;
    EXPECT_EQ(card->GetMonitorGain(0, 0, &gain), DAVEROR_FAILED);
    EXPECT_EQ(gain, 0);
    EXPECT_EQ(card->GetBusOutMute(0, &mute), DAVEROR_FAILED);
    EXPECT_EQ(mute, 0u);
    EXPECT_EQ(card->SetPipeGain(0, 0, 0), DAVEROR_FAILED);
    MixerRequest request{};
    request.Count = 1;
    EXPECT_EQ(card->SendMixerMessage(&request, sizeof request), 0);
    EXPECT_TRUE(Log().empty());
    card->Close();
}

TEST_F(MixerTest, FailedRequestGivesAFailureAndZero)
{
    auto card = OpenCard();
    Hooks().FailNext(IOCTL_MIXER_MESSAGE, 2);
    DWORD clock = 0x5A5A5A5A;
    LONG trim = 0x5A5A5A5A;
    EXPECT_EQ(card->GetInputClock(&clock), DAVEROR_FAILED);
    EXPECT_EQ(clock, 0u);
    EXPECT_EQ(card->GetInputTrim(0, &trim), DAVEROR_FAILED);
    EXPECT_EQ(trim, 0);
    EXPECT_EQ(Hooks().CountOf(IOCTL_MIXER_MESSAGE), 2u);
    card->Close();
}

TEST_F(MixerTest, OpenMixerTurnsMetersOn)
{
    auto card = OpenCard();
    EXPECT_EQ(card->OpenMixer(), DAVEROR_OK);
    EXPECT_EQ(card->IsValid(), 1);
    DWORD cookie = card->GetMixerCookie();
    EXPECT_NE(cookie, 0u);
    EXPECT_EQ(card->Meters().MixerCookie, cookie);
    EXPECT_EQ(Hooks().MixerSessions(), 1u);

    auto log = Log();
    ASSERT_EQ(log.size(), 2u);
    ExpectRequest(log[0], IOCTL_OPEN_MIXER, 0, 4);
    EXPECT_EQ(Message(log[1]).Command, CMD_SET_METERS);
    EXPECT_EQ(ParamsOf(Message(log[1])), Value(1));
    card->Close();
    EXPECT_EQ(Hooks().MixerSessions(), 0u);
}

TEST_F(MixerTest, OpenMixerOnACardNotOpen)
{
    // No file: no cookie is asked for, and the meters cannot be turned on.
    auto card = NewCard();
    Hooks().ClearLog();
    EXPECT_EQ(card->OpenMixer(), DAVEROR_NO_METERS);
    EXPECT_STREQ(card->GetErrorText(), "Could not turn on meters\n");
    EXPECT_EQ(card->IsValid(), 0);
    EXPECT_EQ(card->GetMixerCookie(), 0u);
    EXPECT_TRUE(Log().empty());
}

TEST_F(MixerTest, OpenMixerKeepsAClearedOkFlagClear)
{
    // The ok flag takes the meters-on result, and a card whose flag is clear sends
    // no message: a session opened after a failure does not make the card usable.
    auto card = OpenCard();
    Hooks().ZeroTransportCookie(true);
    ASSERT_EQ(card->OpenTransport(), DAVEROR_NO_COOKIE);
    Hooks().ClearLog();
    EXPECT_EQ(card->OpenMixer(), DAVEROR_NO_METERS);
    EXPECT_EQ(card->IsValid(), 0);
    EXPECT_STREQ(card->GetErrorText(), "Could not turn on meters\n");
    EXPECT_THAT(Codes(), ElementsAre(IOCTL_OPEN_MIXER));
    card->Close();
    EXPECT_EQ(Hooks().MixerSessions(), 0u);
}

TEST_F(MixerTest, NoMixerCookie)
{
    auto card = OpenCard();
    Hooks().ZeroMixerCookie(true);
    EXPECT_EQ(card->OpenMixer(), DAVEROR_NO_COOKIE);
    EXPECT_STREQ(card->GetErrorText(), "Could not get mixer cookie");
    EXPECT_EQ(card->IsValid(), 0);
    EXPECT_THAT(Codes(), ElementsAre(IOCTL_OPEN_MIXER));
    card->Close();

    auto other = OpenCard();
    Hooks().ZeroMixerCookie(false);
    Hooks().FailNext(IOCTL_OPEN_MIXER);
    EXPECT_EQ(other->OpenMixer(), DAVEROR_NO_COOKIE);
    EXPECT_EQ(other->GetMixerCookie(), 0u);
    other->Close();
}

TEST_F(MixerTest, MetersThatCannotBeTurnedOn)
{
    auto card = OpenCard();
    Hooks().FailNext(IOCTL_MIXER_MESSAGE);
    EXPECT_EQ(card->OpenMixer(), DAVEROR_NO_METERS);
    EXPECT_STREQ(card->GetErrorText(), "Could not turn on meters\n");
    EXPECT_EQ(card->IsValid(), 0);
    // With the flag clear, the close sends nothing; the file still closes.
    Hooks().ClearLog();
    card->Close();
    EXPECT_TRUE(Log().empty());
    EXPECT_EQ(Hooks().OpenFiles(), 0u);
}

TEST_F(MixerTest, CloseMixerWithoutSessionSendsNothing)
{
    auto card = OpenCard();
    EXPECT_EQ(card->CloseMixer(), 0);
    EXPECT_TRUE(Log().empty());
    card->Close();
}

TEST_F(MixerTest, CloseMixerEndsTheSession)
{
    auto card = OpenCard();
    card->OpenMixer();
    DWORD cookie = card->GetMixerCookie();
    Hooks().ClearLog();
    EXPECT_EQ(card->CloseMixer(), 0);
    auto log = Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(Message(log[0]).Command, CMD_SET_METERS);
    EXPECT_EQ(ParamsOf(Message(log[0])), Value(0));
    ExpectRequest(log[1], IOCTL_CLOSE_MIXER, 4, 0);
    EXPECT_EQ(Input<DWORD>(log[1]), cookie);
    EXPECT_EQ(card->GetMixerCookie(), 0u);
    EXPECT_EQ(Hooks().MixerSessions(), 0u);
    card->Close();
}

TEST_F(MixerTest, SecondOpenMixerEndsTheFirstSession)
{
    auto card = OpenCard();
    card->OpenMixer();
    DWORD first = card->GetMixerCookie();
    Hooks().ClearLog();
    EXPECT_EQ(card->OpenMixer(), DAVEROR_OK);
    EXPECT_NE(card->GetMixerCookie(), first);
    EXPECT_EQ(Hooks().MixerSessions(), 1u);
    auto log = Log();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[1].code, IOCTL_CLOSE_MIXER);
    EXPECT_EQ(Input<DWORD>(log[1]), first);
    card->Close();
}
