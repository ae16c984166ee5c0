// The notifications by callback kind: open and close, and the headers a
// stream returns.
#include <atomic>

#include "stream_fixture.h"

class CallbacksTest : public WaveTest {
public:
    CallbacksTest() { Load(); }
};

TEST_F(CallbacksTest, FunctionIsCalledOnTheCallingThread)
{
    for (WaveDirection direction : {WaveDirection::Out, WaveDirection::In}) {
        const bool isOut = direction == WaveDirection::Out;
        const UINT messages[] = {isOut ? WOM_OPEN : WIM_OPEN, isOut ? WOM_CLOSE : WIM_CLOSE};
        hosts::WaveStream& stream = OpenOk(direction, 5, WaveCallback::Function);
        EXPECT_TRUE(stream.WaitFor(messages[0], 1, 1000));
        EXPECT_FALSE(stream.WaitFor(messages[1], 1, 0));
        ASSERT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
        EXPECT_EQ(stream.Count(messages[0]), 1u);
        EXPECT_EQ(stream.Count(messages[1]), 1u);
        const auto notifications = stream.Notifications();
        ASSERT_EQ(notifications.size(), 2u);
        for (std::size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(notifications[i].handle, reinterpret_cast<HDRVR>(stream.Handle()));
            EXPECT_EQ(notifications[i].message, messages[i]);
            EXPECT_EQ(notifications[i].user, stream.User());
            EXPECT_EQ(notifications[i].param1, 0u);
            EXPECT_EQ(notifications[i].param2, 0u);
            EXPECT_EQ(notifications[i].thread, GetCurrentThreadId());
        }
    }
}

TEST_F(CallbacksTest, EventIsSetForTheOpenAndTheClose)
{
    for (WaveDirection direction : {WaveDirection::Out, WaveDirection::In}) {
        hosts::WaveStream& stream = OpenOk(direction, 5, WaveCallback::Event);
        ASSERT_NE(stream.Event(), nullptr);
        EXPECT_EQ(WaitForSingleObject(stream.Event(), 0), WAIT_OBJECT_0);
        EXPECT_EQ(WaitForSingleObject(stream.Event(), 0), WAIT_TIMEOUT);
        ASSERT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
        EXPECT_EQ(WaitForSingleObject(stream.Event(), 0), WAIT_OBJECT_0);
        EXPECT_EQ(WaitForSingleObject(stream.Event(), 0), WAIT_TIMEOUT);
    }
}

// No callback, and a query with a callback, deliver nothing.
TEST_F(CallbacksTest, NothingWithoutACallbackOrForAQuery)
{
    for (WaveDirection direction : {WaveDirection::Out, WaveDirection::In}) {
        for (WaveCallback callback : {WaveCallback::Function, WaveCallback::Event}) {
            hosts::WaveStream& query =
                Client().Open({.direction = direction, .device = 5, .flags = WAVE_FORMAT_QUERY, .callback = callback});
            EXPECT_EQ(query.OpenResult(), MMSYSERR_NOERROR);
            EXPECT_TRUE(query.Notifications().empty());
            if (query.Event()) {
                EXPECT_EQ(WaitForSingleObject(query.Event(), 0), WAIT_TIMEOUT);
            }
        }
        // An open without a callback.
        hosts::WaveStream& none = OpenOk(direction, 5, WaveCallback::None);
        EXPECT_EQ(Client().Close(none), MMSYSERR_NOERROR);
        EXPECT_TRUE(none.Notifications().empty());
    }
}

// ---- Returned headers -------------------------------------------------------------------

class StreamCallbacksTest : public StreamTest {};

// WOM_DONE and WIM_DATA carry the header, done and out of the queue. The
// worker returns what the card moved; a pre-fill, a stop or a reset returns
// on the thread that asked for it.
TEST_F(StreamCallbacksTest, HeadersComeBackDoneOnTheirThreads)
{
    const DWORD self = GetCurrentThreadId();
    hosts::WaveStream& out = OpenStream(WaveDirection::Out, 0, 2, 16);
    hosts::WaveBuffer& prefilled = Buffer(out, CountingFrames(0, kRing));
    hosts::WaveBuffer& played = Buffer(out, CountingFrames(kRing, 2 * kPeriod));
    hosts::WaveBuffer& reset = Buffer(out, CountingFrames(0, kRing));
    Queue(out, prefilled);
    Queue(out, played);
    Step(out, (kRing + kPeriod) * 4);
    StepUntil(out, WOM_DONE, 2);
    Queue(out, reset);
    EXPECT_EQ(Client().Reset(out), MMSYSERR_NOERROR);

    hosts::WaveStream& in = OpenStream(WaveDirection::In, 4, 2, 16);
    hosts::WaveBuffer& filled = Buffer(in, kPeriod * 4);
    hosts::WaveBuffer& stopped = Buffer(in, 2 * kPeriod * 4);
    Queue(in, filled);
    Queue(in, stopped);
    EXPECT_EQ(Client().Start(in), MMSYSERR_NOERROR);
    StepUntil(in, WIM_DATA, 1);
    Step(in, 2 * kPeriod * 4);
    EXPECT_EQ(Client().Stop(in), MMSYSERR_NOERROR);

    const struct {
        const hosts::WaveStream& stream;
        const hosts::WaveBuffer& buffer;
        bool onTheWorker;
        DWORD bytesRecorded;
    } cases[] = {
        {out, prefilled, false, 0}, {out, played, true, 0},           {out, reset, false, 0},
        {in, filled, true, kPeriod * 4}, {in, stopped, false, kPeriod * 4},
    };
    std::vector<hosts::WaveNotification> outs, ins;
    for (const auto& n : out.Notifications())
        if (n.message == WOM_DONE) outs.push_back(n);
    for (const auto& n : in.Notifications())
        if (n.message == WIM_DATA) ins.push_back(n);
    ASSERT_EQ(outs.size(), 3u);
    ASSERT_EQ(ins.size(), 2u);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const auto& c = cases[i];
        const hosts::WaveNotification& n = i < 3 ? outs[i] : ins[i - 3];
        EXPECT_EQ(n.param1, reinterpret_cast<DWORD_PTR>(&c.buffer.Header()));
        EXPECT_EQ(n.param2, 0u);
        EXPECT_EQ(n.user, c.stream.User());
        EXPECT_EQ(n.headerFlags, WHDR_DONE | WHDR_PREPARED);
        EXPECT_EQ(n.bytesRecorded, c.bytesRecorded);
        if (c.onTheWorker) {
            EXPECT_NE(n.thread, self);
        } else {
            EXPECT_EQ(n.thread, self);
        }
    }
    EXPECT_NE(outs[1].thread, ins[0].thread) << "each stream has a worker of its own";
    EXPECT_EQ(Client().Reset(in), MMSYSERR_NOERROR);
    EXPECT_EQ(Client().Close(in), MMSYSERR_NOERROR);
    EXPECT_EQ(Client().Close(out), MMSYSERR_NOERROR);
}

// A function callback may write the stream's next header from inside WOM_DONE:
// on the writing thread while the ring pre-fills, then on the worker.
TEST_F(StreamCallbacksTest, ACallbackWritesTheNextHeader)
{
    constexpr DWORD kHeaders = 8;
    hosts::WaveStream& stream = OpenStream(WaveDirection::Out, 0, 2, 16);
    Hooks().ClearPlayed();
    std::vector<hosts::WaveBuffer*> buffers;
    for (DWORD i = 0; i < kHeaders; ++i) buffers.push_back(&Buffer(stream, CountingFrames(i * kPeriod, kPeriod)));
    std::atomic<DWORD> next{1};
    std::atomic<int> refused{0};
    stream.OnNotification([&](const hosts::WaveNotification& n) {
        if (n.message != WOM_DONE || next >= kHeaders) return;
        if (Client().Write(stream, buffers[next++]->Header()) != MMSYSERR_NOERROR) ++refused;
    });
    Queue(stream, *buffers[0]);
    EXPECT_EQ(stream.Count(WOM_DONE), 2u) << "two headers fill the ring";
    EXPECT_EQ(Position(stream), kRing * 4);
    for (DWORD k = 1; kRing + (k - 1) * kPeriod < kHeaders * kPeriod; ++k)
        Step(stream, (kRing + k * kPeriod) * 4);
    ASSERT_TRUE(stream.WaitFor(WOM_DONE, kHeaders, kDeadlineMs));
    PlayOut();
    EXPECT_EQ(refused, 0);

    const DWORD self = GetCurrentThreadId();
    std::vector<const WAVEHDR*> order;
    for (const hosts::WaveBuffer* buffer : buffers) order.push_back(&buffer->Header());
    EXPECT_EQ(Returned(stream), order);
    std::size_t i = 0;
    for (const hosts::WaveNotification& n : stream.Notifications()) {
        if (n.message != WOM_DONE) continue;
        if (i++ < 2) {
            EXPECT_EQ(n.thread, self) << i;
        } else {
            EXPECT_NE(n.thread, self) << i;
        }
    }
    const auto left = Played(0);
    ASSERT_GE(left.size(), kHeaders * kPeriod);
    for (DWORD f = 0; f < kHeaders * kPeriod; ++f) EXPECT_EQ(left[f], CountedSample(f, 0)) << f;
    EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
}

// Under the card's rate lock the rate request is refused; the stream plays
// on at the card's rate.
TEST_F(StreamCallbacksTest, AStreamPlaysThroughARefusedRate)
{
    Hooks().ExternalSet(sim::CMD_SET_FLAGS, 0, 0, 0, sim::DRIVER_FLAG_RATE_LOCK);
    Hooks().EnforceRateLock(true);
    const DWORD locked = Hooks().Settings().sampleRate;
    hosts::WaveStream& stream = OpenStream(WaveDirection::Out, 0, 2, 16, locked == 48000 ? 44100 : 48000);
    Hooks().ClearLog();
    Hooks().ClearPlayed();
    hosts::WaveBuffer& buffer = Buffer(stream, CountingFrames(0, 2 * kRing));
    Queue(stream, buffer);
    EXPECT_EQ(Hooks().CountOf(sim::IOCTL_SET_SAMPLE_RATE), 1u);
    EXPECT_EQ(Hooks().Settings().sampleRate, locked);
    EXPECT_EQ(Hooks().Transports()[0].state, machine::TransportInfo::State::Running);
    Step(stream, (kRing + kPeriod) * 4);
    Step(stream, (kRing + 2 * kPeriod) * 4);
    ASSERT_TRUE(stream.WaitFor(WOM_DONE, 1, kDeadlineMs));
    const auto left = Played(0);
    ASSERT_EQ(left.size(), 2 * kPeriod);
    for (DWORD f = 0; f < 2 * kPeriod; ++f) EXPECT_EQ(left[f], CountedSample(f, 0)) << f;
    EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
}

// Every kind of callback, both directions: OPEN, the returned header, then
// CLOSE, in that order, each kind as it delivers. The window and thread
// kinds carry the device handle as wParam and the header as lParam, read
// on the client's own thread.
TEST_F(StreamCallbacksTest, EveryKindDeliversOpenHeaderAndCloseInOrder)
{
    for (WaveDirection direction : {WaveDirection::Out, WaveDirection::In})
        for (WaveCallback kind : {WaveCallback::None, WaveCallback::Function, WaveCallback::Event,
                                  WaveCallback::Window, WaveCallback::Thread}) {
            const bool isOut = direction == WaveDirection::Out;
            SCOPED_TRACE(testing::Message() << (isOut ? "out" : "in") << ", kind " << static_cast<int>(kind));
            hosts::WaveStream& stream = Client().Open({.direction = direction,
                                                       .device = isOut ? 0u : 4u,
                                                       .format = hosts::PcmFormat(2, 48000, 16),
                                                       .callback = kind});
            ASSERT_EQ(stream.OpenResult(), MMSYSERR_NOERROR);
            auto eventSet = [&] { return WaitForSingleObject(stream.Event(), kDeadlineMs) == WAIT_OBJECT_0; };
            if (kind == WaveCallback::Event) {
                EXPECT_TRUE(eventSet()) << "open";
            }

            // Playback: the pre-fill takes the whole header; record: one period fills it.
            hosts::WaveBuffer& buffer = Buffer(stream, kPeriod * 4);
            Queue(stream, buffer);
            if (!isOut) {
                EXPECT_EQ(Client().Start(stream), MMSYSERR_NOERROR);
                Step(stream, kPeriod * 4);
            }
            if (kind == WaveCallback::Event) {
                EXPECT_TRUE(eventSet()) << "header";
            }
            EXPECT_TRUE(buffer.Header().dwFlags & WHDR_DONE);
            EXPECT_EQ(Client().Reset(stream), MMSYSERR_NOERROR);
            EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
            if (kind == WaveCallback::Event) {
                EXPECT_TRUE(eventSet()) << "close";
            }

            const UINT expected[] = {isOut ? WOM_OPEN : WIM_OPEN, isOut ? WOM_DONE : WIM_DATA,
                                     isOut ? WOM_CLOSE : WIM_CLOSE};
            if (kind == WaveCallback::None || kind == WaveCallback::Event) {
                EXPECT_TRUE(stream.Notifications().empty());
                continue;
            }
            ASSERT_TRUE(stream.WaitFor(expected[2], 1, kDeadlineMs));
            const auto notifications = stream.Notifications();
            ASSERT_EQ(notifications.size(), 3u);
            const bool posted = kind == WaveCallback::Window || kind == WaveCallback::Thread;
            for (std::size_t i = 0; i < 3; ++i) {
                const hosts::WaveNotification& n = notifications[i];
                EXPECT_EQ(n.message, expected[i]) << i;
                EXPECT_EQ(n.handle, reinterpret_cast<HDRVR>(stream.Handle())) << i;
                EXPECT_EQ(n.param1, i == 1 ? reinterpret_cast<DWORD_PTR>(&buffer.Header()) : 0u) << i;
                EXPECT_EQ(n.user, posted ? 0u : stream.User()) << i;
                if (posted) {
                    EXPECT_EQ(n.thread, stream.ListenerThread()) << i;
                }
            }
        }
}

// A window destroyed before the close gets nothing, and nothing fails.
TEST_F(StreamCallbacksTest, AWindowDestroyedBeforeTheCloseGetsNothing)
{
    for (WaveDirection direction : {WaveDirection::Out, WaveDirection::In}) {
        const bool isOut = direction == WaveDirection::Out;
        hosts::WaveStream& stream = Client().Open({.direction = direction,
                                                   .device = isOut ? 0u : 4u,
                                                   .format = hosts::PcmFormat(2, 48000, 16),
                                                   .callback = WaveCallback::Window});
        ASSERT_EQ(stream.OpenResult(), MMSYSERR_NOERROR);
        ASSERT_TRUE(stream.WaitFor(isOut ? WOM_OPEN : WIM_OPEN, 1, kDeadlineMs));
        const HWND window = stream.Window();
        stream.DestroyWindow();
        EXPECT_FALSE(IsWindow(window));
        EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
        // A marker posted to the client thread after the close arrives after anything the close sent.
        ASSERT_TRUE(PostThreadMessageA(stream.ListenerThread(), WM_USER + 2, 0, 0));
        ASSERT_TRUE(stream.WaitFor(WM_USER + 2, 1, kDeadlineMs));
        EXPECT_EQ(stream.Notifications().size(), 2u) << "the open and the marker only";
    }
}
