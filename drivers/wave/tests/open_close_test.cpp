// Opening a stream on the card and closing it: the requests in their order,
// what the card holds meanwhile, every way an open fails, and the close.
#include <cstring>
#include <functional>

#include "wave_fixture.h"

namespace sim = machine::sim;

class OpenCloseTest : public WaveTest {
public:
    OpenCloseTest()
    {
        Load();
        Client().ListDevices(WaveDirection::Out);  // the device list is built
    }
};

TEST_F(OpenCloseTest, OpenSendsItsRequestsInOrder)
{
    for (WaveDirection direction : {WaveDirection::Out, WaveDirection::In}) {
        SCOPED_TRACE(static_cast<int>(direction));
        Hooks().ClearLog();
        hosts::WaveStream& stream = OpenOk(direction, 2, WaveCallback::Function);

        const auto log = Hooks().Log();
        const std::vector<DWORD> expected = {sim::IOCTL_GET_CAPS,          sim::IOCTL_OPEN_TRANSPORT,
                                             sim::IOCTL_RESERVE_PIPES,     sim::IOCTL_GET_WAVE_BUFFER_SIZE,
                                             sim::IOCTL_MAP_PIPE_BUFFER,   sim::IOCTL_MAP_PIPE_POSITION,
                                             sim::IOCTL_SET_TRANSPORT_EVENT};
        std::vector<DWORD> codes;
        for (const auto& request : log) codes.push_back(request.code);
        ASSERT_EQ(codes, expected);
        // The capabilities on a file of their own; the stream's requests on the file it keeps.
        for (std::size_t i = 2; i < log.size(); ++i) EXPECT_EQ(log[i].file, log[1].file);
        EXPECT_NE(log[0].file, log[1].file);
        // The ring is twice the card's wave buffer, in frames.
        sim::PipeBufferRequest ring;
        std::memcpy(&ring, log[4].input.data(), sizeof ring);
        EXPECT_EQ(ring.frames, 2 * Hooks().Settings().waveBufferSize);
        EXPECT_EQ(ring.direction, static_cast<std::uint32_t>(direction));
        EXPECT_EQ(ring.pipe, 4);

        const auto transports = Hooks().Transports();
        ASSERT_EQ(transports.size(), 1u);
        ASSERT_EQ(transports[0].reservations.size(), 1u);
        EXPECT_EQ(transports[0].reservations[0].direction, static_cast<std::uint32_t>(direction));
        EXPECT_EQ(transports[0].reservations[0].first, 4u);
        EXPECT_EQ(transports[0].reservations[0].count, 2u);
        EXPECT_EQ(transports[0].bufferMappings, 1u);
        EXPECT_EQ(transports[0].positionMappings, 1u);
        EXPECT_TRUE(transports[0].hasEvent);
        EXPECT_EQ(transports[0].state, machine::TransportInfo::State::Stopped);
        EXPECT_EQ(Hooks().OpenFiles(), 1u);

        const auto notifications = stream.Notifications();
        ASSERT_EQ(notifications.size(), 1u);
        EXPECT_EQ(notifications[0].message, direction == WaveDirection::Out ? WOM_OPEN : WIM_OPEN);
        EXPECT_EQ(notifications[0].param1, 0u);
        EXPECT_NE(stream.Instance(), 0u);
        EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
    }
}

// Each fault answers its code and leaves the card as it was: no transport,
// no file, no notification, and an instance word of 0.
TEST_F(OpenCloseTest, OpenFailures)
{
    const struct {
        const char* what;
        std::function<void(machine::CardHooks, std::uint32_t direction)> fault;
        MMRESULT expected;
    } cases[] = {
        {"capabilities", [](machine::CardHooks h, std::uint32_t) { h.FailNext(sim::IOCTL_GET_CAPS); },
         MMSYSERR_NODRIVER},
        {"pipes held", [](machine::CardHooks h, std::uint32_t d) { h.HoldPipes(d, 4, 2); }, MMSYSERR_NODRIVER},
        {"half the pipes held", [](machine::CardHooks h, std::uint32_t d) { h.HoldPipes(d, 5, 1); },
         MMSYSERR_NODRIVER},
        {"buffer size 0", [](machine::CardHooks h, std::uint32_t) { h.SetWaveBufferSizeRaw(0); }, MMSYSERR_NODRIVER},
        {"buffer size 48", [](machine::CardHooks h, std::uint32_t) { h.SetWaveBufferSizeRaw(48); }, MMSYSERR_NODRIVER},
        {"a ring past 32 bits", [](machine::CardHooks h, std::uint32_t) { h.SetWaveBufferSizeRaw(1u << 28); },
         MMSYSERR_NODRIVER},
        {"buffer size unread", [](machine::CardHooks h, std::uint32_t) { h.FailNext(sim::IOCTL_GET_WAVE_BUFFER_SIZE); },
         MMSYSERR_NODRIVER},
        {"ring", [](machine::CardHooks h, std::uint32_t) { h.FailNext(sim::IOCTL_MAP_PIPE_BUFFER); }, MMSYSERR_NOMEM},
        {"position", [](machine::CardHooks h, std::uint32_t) { h.FailNext(sim::IOCTL_MAP_PIPE_POSITION); },
         MMSYSERR_NOMEM},
        {"event refused", [](machine::CardHooks h, std::uint32_t) { h.RefuseEvent(true); }, MMSYSERR_NOMEM},
    };
    for (const auto& c : cases)
        for (WaveDirection direction : {WaveDirection::Out, WaveDirection::In}) {
            SCOPED_TRACE(testing::Message() << c.what << " direction " << static_cast<int>(direction));
            c.fault(Hooks(), static_cast<std::uint32_t>(direction));
            hosts::WaveStream& stream = Client().Open({.direction = direction, .device = 2, .callback = WaveCallback::Function});
            EXPECT_EQ(stream.OpenResult(), c.expected);
            EXPECT_EQ(stream.Instance(), 0u);
            EXPECT_TRUE(stream.Notifications().empty());
            EXPECT_TRUE(Hooks().Transports().empty());
            EXPECT_EQ(Hooks().OpenFiles(), 0u);
            Hooks().Reset();
            Hooks().ReleaseHeldPipes();
            // The fault gone, the device opens.
            hosts::WaveStream& again = OpenOk(direction, 2);
            EXPECT_EQ(Client().Close(again), MMSYSERR_NOERROR);
        }
}

TEST_F(OpenCloseTest, CloseReleasesTheStream)
{
    for (WaveDirection direction : {WaveDirection::Out, WaveDirection::In}) {
        SCOPED_TRACE(static_cast<int>(direction));
        hosts::WaveStream& stream = OpenOk(direction, 7, WaveCallback::Function);
        ASSERT_EQ(Hooks().Transports().size(), 1u);
        EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);

        const auto notifications = stream.Notifications();
        ASSERT_EQ(notifications.size(), 2u);
        EXPECT_EQ(notifications[1].message, direction == WaveDirection::Out ? WOM_CLOSE : WIM_CLOSE);
        EXPECT_EQ(notifications[1].param1, 0u);
        EXPECT_TRUE(Hooks().Transports().empty());
        EXPECT_EQ(Hooks().OpenFiles(), 0u);

        // The instance names nothing any more.
        EXPECT_EQ(Client().Close(stream), MMSYSERR_INVALPARAM);
        const std::vector<UINT> streamMessages =
            direction == WaveDirection::Out
                ? std::vector<UINT>{WODM_WRITE, WODM_PAUSE, WODM_RESTART, WODM_RESET, WODM_GETPOS, WODM_GETVOLUME,
                                    WODM_SETVOLUME}
                : std::vector<UINT>{WIDM_ADDBUFFER, WIDM_START, WIDM_STOP, WIDM_RESET, WIDM_GETPOS};
        for (UINT message : streamMessages) EXPECT_EQ(Client().Send(stream, message), MMSYSERR_INVALPARAM) << message;
        EXPECT_EQ(stream.Notifications().size(), 2u);

        hosts::WaveStream& again = OpenOk(direction, 7);
        EXPECT_EQ(Hooks().Transports().size(), 1u);
        EXPECT_EQ(Client().Close(again), MMSYSERR_NOERROR);
    }
}

// Open streams on every device of both directions at once, each on pipes of its own.
TEST_F(OpenCloseTest, EveryDeviceAtOnce)
{
    std::vector<hosts::WaveStream*> streams;
    for (WaveDirection direction : {WaveDirection::Out, WaveDirection::In})
        for (UINT id = 0; id < 8; ++id) streams.push_back(&OpenOk(direction, id));
    const auto transports = Hooks().Transports();
    ASSERT_EQ(transports.size(), 16u);
    for (std::size_t i = 0; i < 16; ++i) {
        ASSERT_EQ(transports[i].reservations.size(), 1u);
        EXPECT_EQ(transports[i].reservations[0].direction, i / 8);
        EXPECT_EQ(transports[i].reservations[0].first, 2 * (i % 8));
    }
    for (hosts::WaveStream* stream : streams) EXPECT_EQ(Client().Close(*stream), MMSYSERR_NOERROR);
    EXPECT_EQ(Hooks().OpenFiles(), 0u);
}

// An open without an instance word, a description or a format opens nothing.
TEST_F(OpenCloseTest, OpenWithoutItsPointers)
{
    const hosts::WaveOpenRequest defaults;
    for (WaveDirection direction : {WaveDirection::Out, WaveDirection::In}) {
        const UINT open = direction == WaveDirection::Out ? WODM_OPEN : WIDM_OPEN;
        DWORD_PTR instance = hosts::WaveStream::kUnset;
        WAVEOPENDESC description{};
        description.lpFormat = &defaults.format.Format;
        const auto word = reinterpret_cast<DWORD_PTR>(&instance);
        const auto full = reinterpret_cast<DWORD_PTR>(&description);
        EXPECT_EQ(Client().Send(direction, 0, open, 0, full, 0), MMSYSERR_INVALPARAM);
        EXPECT_EQ(Client().Send(direction, 0, open, word, 0, 0), MMSYSERR_INVALPARAM);
        description.lpFormat = nullptr;
        EXPECT_EQ(Client().Send(direction, 0, open, word, full, 0), MMSYSERR_INVALPARAM);
        EXPECT_EQ(instance, hosts::WaveStream::kUnset);
    }
    EXPECT_TRUE(Hooks().Transports().empty());
}
