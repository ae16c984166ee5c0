// Streams stepped in lockstep with their worker through underruns and
// overruns: after each period of the card's clock the test waits, through
// the wait probe, until the worker has serviced it and waits again, so that
// every period is serviced exactly once and the capture is exact.
#include <cstring>

#include "stream_fixture.h"

class LockstepTest : public StreamTest {
public:
    // Playback: counting frames of `a` then `b`, with `a` written at the
    // start and `b` after `periods` serviced periods; steps until both have
    // played out.
    struct Capture {
        std::vector<std::int32_t> left;
        DWORD bAt;  // the frame of the capture where B's first frame is, or the capture's size
    };
    Capture PlayWithALateSecondBuffer(DWORD a, DWORD b, unsigned periods)
    {
        hosts::WaveStream& stream = OpenStream(WaveDirection::Out, 0, 2, 16);
        Hooks().ClearPlayed();
        const std::size_t created = win32::CreatedThreads().size();
        Queue(stream, Buffer(stream, CountingFrames(0, a)));
        const DWORD worker = NewWorker(created);
        EXPECT_NE(worker, 0u);
        StepServiced(worker, periods);
        Queue(stream, Buffer(stream, CountingFrames(a, b)));
        // Until B has come back, then the ring's last frames.
        for (int k = 0; stream.Count(WOM_DONE) < 2 && k < 1000 && !HasFatalFailure(); ++k) StepServiced(worker);
        StepServiced(worker, kRing / kPeriod);
        EXPECT_EQ(Client().Reset(stream), MMSYSERR_NOERROR);
        EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
        Capture played{Played(0), 0};
        const std::int32_t first = CountedSample(a, 0);
        while (played.bAt < played.left.size() && played.left[played.bAt] != first) ++played.bAt;
        return played;
    }

    // The capture is A, silence up to `bAt`, B, then silence: every frame once and in order.
    static void ExpectAThenB(const Capture& played, DWORD a, DWORD b)
    {
        const auto& left = played.left;
        ASSERT_LE(played.bAt + b, left.size()) << "B was not played whole";
        ASSERT_GE(played.bAt, a);
        for (DWORD f = 0; f < left.size(); ++f) {
            const std::int32_t expected = f < a                                  ? CountedSample(f, 0)
                                          : f >= played.bAt && f < played.bAt + b ? CountedSample(a + f - played.bAt, 0)
                                                                                  : 0;
            ASSERT_EQ(left[f], expected) << "frame " << f << " of the capture";
        }
    }
};

// The first buffers of the short-buffer table, with the second buffer
// written one, two or three periods after the start instead of at once.
TEST_F(LockstepTest, AShortFirstBufferThenALateSecondOne)
{
    constexpr DWORD kB = 3 * kRing;
    for (DWORD a : {1u, kPeriod - 1, kPeriod, kPeriod + 1, kRing - 1, kRing, 2 * kRing + 3})
        for (unsigned periods : {1u, 2u, 3u}) {
            SCOPED_TRACE(testing::Message() << "A = " << a << ", B after " << periods << " periods");
            ExpectAThenB(PlayWithALateSecondBuffer(a, kB, periods), a, kB);
            if (HasFatalFailure()) return;
        }
}

// An underrun in mid-stream: B starts at the first frame the worker had not
// filled when B was written, which is a ring ahead of what the card played.
TEST_F(LockstepTest, AnUnderrunInMidStreamResumesAtTheFirstFrameNotFilled)
{
    constexpr DWORD kB = 2 * kRing;
    const struct {
        DWORD a;
        unsigned periods;
    } cases[] = {{kRing + 1, 3}, {kRing + kPeriod, 3}, {2 * kRing + kPeriod - 1, 5}, {kRing + kPeriod + 1, 6}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "A = " << c.a << ", B after " << c.periods << " periods");
        ASSERT_GT(c.periods * kPeriod + kRing, c.a) << "the case has no underrun";
        const Capture played = PlayWithALateSecondBuffer(c.a, kB, c.periods);
        EXPECT_EQ(played.bAt, c.periods * kPeriod + kRing);
        ExpectAThenB(played, c.a, kB);
    }
}

// A record overrun drops exactly the periods stepped while no header was queued.
TEST_F(LockstepTest, ARecordOverrunDropsExactlyThePeriodsWithoutAHeader)
{
    Hooks().SetInputSignal(8, machine::Signal::Ramp(1));  // 32-bit samples count frames
    for (unsigned dropped : {1u, 2u, 5u}) {
        SCOPED_TRACE(testing::Message() << dropped << " periods dropped");
        hosts::WaveStream& stream = OpenStream(WaveDirection::In, 4, 2, 32);
        hosts::WaveBuffer& first = Buffer(stream, kPeriod * 8);
        hosts::WaveBuffer& second = Buffer(stream, 2 * kPeriod * 8);
        Queue(stream, first);
        const std::size_t created = win32::CreatedThreads().size();
        EXPECT_EQ(Client().Start(stream), MMSYSERR_NOERROR);
        const DWORD worker = NewWorker(created);
        ASSERT_NE(worker, 0u);
        StepServiced(worker);
        ASSERT_EQ(stream.Count(WIM_DATA), 1u);
        StepServiced(worker, dropped);
        Queue(stream, second);
        StepServiced(worker, 2);
        ASSERT_EQ(stream.Count(WIM_DATA), 2u);

        auto frame = [](const hosts::WaveBuffer& buffer, DWORD i) {
            std::int32_t value;
            std::memcpy(&value, buffer.Data().data() + 8 * i, 4);
            return value;
        };
        const std::int32_t start = frame(first, 0);
        for (DWORD i = 0; i < kPeriod; ++i) EXPECT_EQ(frame(first, i), start + static_cast<std::int32_t>(i)) << i;
        for (DWORD i = 0; i < 2 * kPeriod; ++i)
            EXPECT_EQ(frame(second, i), start + static_cast<std::int32_t>((1 + dropped) * kPeriod + i)) << i;
        EXPECT_EQ(Client().Reset(stream), MMSYSERR_NOERROR);
        EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
    }
}
