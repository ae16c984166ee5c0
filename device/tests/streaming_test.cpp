// The streaming operations both drivers use, with their records as the card
// driver receives them.
#include <functional>
#include <regex>
#include <string>

#include "device_fixture.h"
#include "transport_event.h"

class StreamingTest : public DeviceTest {
protected:
    // An open card with a transport and two output pipes reserved, as a wave stream has.
    std::unique_ptr<CDaveror> StreamingCard()
    {
        auto card = OpenCard();
        EXPECT_EQ(card->OpenTransport(), DAVEROR_OK);
        EXPECT_EQ(card->ReservePipes(1, 0, 2, 2), 0u);
        Hooks().ClearLog();
        return card;
    }
};

TEST_F(StreamingTest, CheckPipesNeedsNoTransport)
{
    auto card = OpenCard();
    EXPECT_EQ(card->CheckPipes(1, 4, 2), 0u);
    auto request = Log().back();
    ExpectRequest(request, IOCTL_CHECK_PIPES, 8u, 4u);
    auto check = Input<PipeCheck>(request);
    EXPECT_EQ(check.Direction, 1u);
    EXPECT_EQ(check.FirstPipe, 4);
    EXPECT_EQ(check.PipeCount, 2);

    Hooks().HoldPipes(1, 4, 1);
    EXPECT_NE(card->CheckPipes(1, 4, 2), 0u);
    Hooks().ReleaseHeldPipes();
    Hooks().FailNext(IOCTL_CHECK_PIPES);
    EXPECT_NE(card->CheckPipes(1, 4, 2), 0u);
    card->Close();
}

TEST_F(StreamingTest, MapBufferAndPosition)
{
    auto card = StreamingCard();
    DWORD cookie = card->GetTransportCookie();
    void* buffer = card->MapPipeBuffer(0, 2, 1024);
    ASSERT_NE(buffer, nullptr);
    DWORD* position = card->MapPipePosition(0, 2);
    ASSERT_NE(position, nullptr);
    EXPECT_EQ(CDaveror::ReadPosition(position), 0u);

    auto log = Log();
    ASSERT_EQ(log.size(), 2u);
    ExpectRequest(log[0], IOCTL_MAP_PIPE_BUFFER, 16u, 4u);
    auto map = Input<PipeBufferRequest>(log[0]);
    EXPECT_EQ(map.TransportCookie, cookie);
    EXPECT_EQ(map.Direction, 0u);
    EXPECT_EQ(map.Pipe, 2);
    EXPECT_EQ(map.Frames, 1024u);
    EXPECT_EQ(log[1].code, IOCTL_MAP_PIPE_POSITION);
    EXPECT_EQ(log[1].inSize, 12u);
    auto where = Input<PipePositionRequest>(log[1]);
    EXPECT_EQ(where.TransportCookie, cookie);
    EXPECT_EQ(where.Direction, 0u);
    EXPECT_EQ(where.Pipe, 2);

    // The buffer is the card's: what is written there is played.
    static_cast<LONG*>(buffer)[0] = 0x12345600;
    ASSERT_NE(card->GetTransportEvent(), nullptr);
    EXPECT_EQ(card->StartTransport(), 0u);
    Hooks().Advance(1);
    EXPECT_GT(CDaveror::ReadPosition(position), 0u);
    ASSERT_FALSE(Hooks().Played(2).empty());
    EXPECT_EQ(Hooks().Played(2)[0], 0x12345600);
    card->Close();
}

TEST_F(StreamingTest, FailedMappingsGiveNull)
{
    auto card = StreamingCard();
    Hooks().FailNext(IOCTL_MAP_PIPE_BUFFER);
    Hooks().FailNext(IOCTL_MAP_PIPE_POSITION);
    EXPECT_EQ(card->MapPipeBuffer(0, 2, 1024), nullptr);
    EXPECT_EQ(card->MapPipePosition(0, 2), nullptr);
    // A pipe that is not reserved is not mapped.
    EXPECT_EQ(card->MapPipeBuffer(0, 8, 1024), nullptr);
    card->Close();
}

TEST_F(StreamingTest, TransportEventIsNamedMadeOnceAndSetByTheCard)
{
    auto card = StreamingCard();
    HANDLE event = card->GetTransportEvent();
    ASSERT_NE(event, nullptr);
    EXPECT_TRUE(std::regex_match(std::string(card->GetTransportEventName()),
                                 std::regex("Daveror transport 0x[0-9a-f]*[0-9a-f]{8}")));
    auto log = Log();
    ASSERT_EQ(log.size(), 1u);
    ExpectRequest(log[0], IOCTL_SET_TRANSPORT_EVENT, 8u, 4u);
    auto record = Input<TransportEventRecord>(log[0]);
    EXPECT_EQ(record.TransportCookie, card->GetTransportCookie());
    EXPECT_EQ(record.Event, static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(event)));

    // A second call hands back the same event and sends nothing.
    EXPECT_EQ(card->GetTransportEvent(), event);
    EXPECT_EQ(Log().size(), 1u);

    // The card sets it once per period while the transport runs.
    card->MapPipeBuffer(0, 2, 256);
    card->StartTransport();
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    Hooks().Advance(1);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);  // auto-reset
    card->Close();
}

TEST_F(StreamingTest, RefusedOrFailedEventIsNotKept)
{
    auto card = StreamingCard();
    Hooks().RefuseEvent(true);
    EXPECT_EQ(card->GetTransportEvent(), nullptr);
    Hooks().RefuseEvent(false);
    Hooks().FailNext(IOCTL_SET_TRANSPORT_EVENT);
    EXPECT_EQ(card->GetTransportEvent(), nullptr);
    EXPECT_EQ(Hooks().CountOf(IOCTL_SET_TRANSPORT_EVENT), 2u);
    EXPECT_FALSE(Hooks().Transports().at(0).hasEvent);
    // Asked again, it tries again.
    EXPECT_NE(card->GetTransportEvent(), nullptr);
    EXPECT_TRUE(Hooks().Transports().at(0).hasEvent);
    card->Close();
}

namespace {

LONGLONG g_Readings[3];
int g_Reading;

BOOL ScriptedCounter(LARGE_INTEGER* count)
{
    count->QuadPart = g_Readings[g_Reading++ % 3];
    return TRUE;
}

}  // namespace

TEST(TransportEventName, FormatAndRetryOnAnExistingName)
{
    g_Readings[0] = 0x0000000100000002LL;
    g_Readings[1] = 0x0000000100000002LL;
    g_Readings[2] = 0x00000ABC0000DEF0LL;
    g_Reading = 0;
    char name[128];
    HANDLE first = CreateTransportEvent(name, ScriptedCounter);
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(name, "Daveror transport 0x100000002");

    // The same reading again names an event that exists: a fresh one is taken.
    HANDLE second = CreateTransportEvent(name, ScriptedCounter);
    ASSERT_NE(second, nullptr);
    EXPECT_STREQ(name, "Daveror transport 0xabc0000def0");
    EXPECT_EQ(g_Reading, 3);
    SetEvent(second);
    EXPECT_EQ(WaitForSingleObject(first, 0), WAIT_TIMEOUT);
    CloseHandle(first);
    CloseHandle(second);
}

TEST_F(StreamingTest, SampleRateStartStopPause)
{
    auto card = StreamingCard();
    DWORD cookie = card->GetTransportCookie();
    EXPECT_NE(card->CheckSampleRate(48000), 0u);
    EXPECT_EQ(card->CheckSampleRate(12345), 0u);
    EXPECT_EQ(card->SetSampleRate(48000), 0u);
    EXPECT_EQ(Hooks().Settings().sampleRate, 48000u);
    card->MapPipeBuffer(0, 2, 256);
    EXPECT_EQ(card->StartTransport(), 0u);
    EXPECT_EQ(Hooks().Transports().at(0).state, machine::TransportInfo::State::Running);
    EXPECT_EQ(card->PauseTransport(), 0u);
    EXPECT_EQ(Hooks().Transports().at(0).state, machine::TransportInfo::State::Paused);
    EXPECT_EQ(card->StopTransport(), 0u);
    EXPECT_EQ(Hooks().Transports().at(0).state, machine::TransportInfo::State::Stopped);

    auto log = Log();
    ASSERT_EQ(log.size(), 7u);
    const DWORD codes[7] = {IOCTL_CHECK_SAMPLE_RATE, IOCTL_CHECK_SAMPLE_RATE, IOCTL_SET_SAMPLE_RATE,
                            IOCTL_MAP_PIPE_BUFFER,   IOCTL_START_TRANSPORT,   IOCTL_PAUSE_TRANSPORT,
                            IOCTL_STOP_TRANSPORT};
    const DWORD inputs[7] = {48000, 12345, 48000, cookie, cookie, cookie, cookie};
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(log[i].code, codes[i]);
        EXPECT_EQ(log[i].outSize, 4u);
        if (i != 3) {
            EXPECT_EQ(log[i].inSize, 4u);
            EXPECT_EQ(Input<DWORD>(log[i]), inputs[i]);
        }
    }

    // Requests that fail report failure, and "cannot run at this rate".
    Hooks().FailNext(IOCTL_CHECK_SAMPLE_RATE);
    EXPECT_EQ(card->CheckSampleRate(48000), 0u);
    for (DWORD code : {IOCTL_SET_SAMPLE_RATE, IOCTL_START_TRANSPORT, IOCTL_STOP_TRANSPORT, IOCTL_PAUSE_TRANSPORT})
        Hooks().FailNext(code);
    EXPECT_NE(card->SetSampleRate(48000), 0u);
    EXPECT_NE(card->StartTransport(), 0u);
    EXPECT_NE(card->StopTransport(), 0u);
    EXPECT_NE(card->PauseTransport(), 0u);
    card->Close();
}

TEST_F(StreamingTest, SetMonitorIsOneThreeMessageRequest)
{
    auto card = OpenCard();
    EXPECT_EQ(card->SetMonitor(3, 6, 1, -4 * 256, 800), 0u);
    auto log = Log();
    ASSERT_EQ(log.size(), 1u);
    ExpectRequest(log[0], IOCTL_MIXER_MESSAGE, 3172u, 3172u);
    EXPECT_EQ(Input<DWORD>(log[0]), 3u);
    const DWORD commands[3] = {CMD_SET_MONITOR_MUTE, CMD_SET_MONITOR_PAN, CMD_SET_MONITOR_GAIN};
    const DWORD values[3] = {1, 800, static_cast<DWORD>(-4 * 256)};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        MixerMessage message = Message(log[0], i);
        EXPECT_EQ(message.Reserved, 0xFFFF);
        EXPECT_EQ(message.Channel, 3);
        EXPECT_EQ(message.Command, commands[i]);
        EXPECT_EQ(message.GetWord(0x10), 6);
        EXPECT_EQ(message.GetDword(0x14), values[i]);
    }
    const machine::sim::MixerState mixer = Hooks().Mixer();
    const auto& route = mixer.Monitor(3, 6);
    EXPECT_EQ(route.mute, 1u);
    EXPECT_EQ(route.pan, 800u);
    EXPECT_EQ(route.gain, -4 * 256);

    // The first message's status comes back; a request that fails is a refusal.
    EXPECT_NE(card->SetMonitor(200, 6, 1, 0, 500), 0u);
    Hooks().FailNext(IOCTL_MIXER_MESSAGE);
    EXPECT_EQ(card->SetMonitor(3, 6, 0, 0, 500), DAVEROR_FAILED);
    card->Close();
}

TEST_F(StreamingTest, PipeLatency)
{
    auto card = OpenCard();
    Hooks().SetPipeLatency(96);
    EXPECT_EQ(card->GetPipeLatency(5, 1), 96u);
    auto request = Log().back();
    EXPECT_EQ(request.inSize, 1060u);
    MixerMessage message = Message(request);
    EXPECT_EQ(message.Command, CMD_GET_PIPE_LATENCY);
    EXPECT_EQ(message.GetWord(0x10), 5);
    EXPECT_EQ(message.GetWord(0x12), 1);

    Hooks().FailNext(IOCTL_MIXER_MESSAGE);
    EXPECT_EQ(card->GetPipeLatency(5, 1), 0u);
    card->Close();
}

namespace {

struct OkFlagCase {
    const char* name;
    std::function<void(CDaveror&)> call;
    DWORD code;
    bool sent;
};

const OkFlagCase kOkFlagCases[] = {
    {"CheckPipes", [](CDaveror& c) { c.CheckPipes(0, 2, 2); }, IOCTL_CHECK_PIPES, true},
    {"MapPipeBuffer", [](CDaveror& c) { c.MapPipeBuffer(0, 2, 256); }, IOCTL_MAP_PIPE_BUFFER, true},
    {"MapPipePosition", [](CDaveror& c) { c.MapPipePosition(0, 2); }, IOCTL_MAP_PIPE_POSITION, true},
    {"GetTransportEvent", [](CDaveror& c) { c.GetTransportEvent(); }, IOCTL_SET_TRANSPORT_EVENT, true},
    {"CheckSampleRate", [](CDaveror& c) { c.CheckSampleRate(48000); }, IOCTL_CHECK_SAMPLE_RATE, true},
    {"SetSampleRate", [](CDaveror& c) { c.SetSampleRate(48000); }, IOCTL_SET_SAMPLE_RATE, true},
    {"StartTransport", [](CDaveror& c) { c.StartTransport(); }, IOCTL_START_TRANSPORT, true},
    {"StopTransport", [](CDaveror& c) { c.StopTransport(); }, IOCTL_STOP_TRANSPORT, true},
    {"PauseTransport", [](CDaveror& c) { c.PauseTransport(); }, IOCTL_PAUSE_TRANSPORT, true},
    {"SetMonitor", [](CDaveror& c) { EXPECT_EQ(c.SetMonitor(0, 0, 1, 0, 500), DAVEROR_FAILED); },
     IOCTL_MIXER_MESSAGE, false},
    {"GetPipeLatency", [](CDaveror& c) { EXPECT_EQ(c.GetPipeLatency(2, 0), 0u); }, IOCTL_MIXER_MESSAGE, false},
};

}  // namespace

TEST_F(StreamingTest, OnlyTheMixerRequestsHeedTheOkFlag)
{
    auto card = StreamingCard();
    // A failed mixer session clears the ok flag; the transport stays open.
    Hooks().ZeroMixerCookie(true);
    ASSERT_EQ(card->OpenMixer(), DAVEROR_NO_COOKIE);
    ASSERT_EQ(card->IsValid(), 0);
    for (const OkFlagCase& test : kOkFlagCases) {
        SCOPED_TRACE(test.name);
        Hooks().ClearLog();
        test.call(*card);
        auto log = Log();
        if (test.sent) {
            ASSERT_EQ(log.size(), 1u);
            EXPECT_EQ(log[0].code, test.code);
        } else {
            EXPECT_TRUE(log.empty());
        }
    }
    card->Close();
}
