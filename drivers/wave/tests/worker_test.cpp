// The streams' workers end with their streams: an unload with streams
// running ends each worker in time, and opening and closing streams leaves
// no handle behind.
#include "stream_fixture.h"
#include "win32/kernel.h"
#include "win32/thread_records.h"

class WorkerTest : public StreamTest {};

// At detach the streams are destroyed as they stand, running: each worker is
// told to end and waited for, none is terminated, and the card is left clean.
TEST_F(WorkerTest, AnUnloadEndsRunningStreams)
{
    const std::size_t terminated = win32::TerminatedThreads().size();
    hosts::WaveStream& out = OpenStream(WaveDirection::Out, 0, 2, 16);
    hosts::WaveStream& in = OpenStream(WaveDirection::In, 4, 2, 16);
    hosts::WaveBuffer& played = Buffer(out, CountingFrames(0, 4 * kRing));
    Queue(out, played);
    for (int i = 0; i < 2; ++i) {
        hosts::WaveBuffer& recorded = Buffer(in, 4 * kRing * 4);
        Queue(in, recorded);
    }
    EXPECT_EQ(Client().Start(in), MMSYSERR_NOERROR);
    Hooks().Advance(1);  // both streams move a period
    EXPECT_EQ(Client().WaitForPosition(out, (kRing + kPeriod) * 4, kDeadlineMs), (kRing + kPeriod) * 4);
    EXPECT_EQ(Client().WaitForPosition(in, kPeriod * 4, kDeadlineMs), kPeriod * 4);
    const auto transports = Hooks().Transports();
    ASSERT_EQ(transports.size(), 2u);
    for (const auto& transport : transports) EXPECT_EQ(transport.state, machine::TransportInfo::State::Running);

    Unload();
    EXPECT_EQ(win32::TerminatedThreads().size(), terminated) << "a worker did not end in time";
    EXPECT_EQ(GetModuleHandleA("Zavo24Wave.dll"), nullptr);
    EXPECT_TRUE(Hooks().Transports().empty());
    EXPECT_EQ(Hooks().OpenFiles(), 0u);
}

TEST_F(WorkerTest, OpenAndCloseCyclesLeakNoHandle)
{
    auto cycle = [&] {
        hosts::WaveStream& stream = OpenStream(WaveDirection::Out, 0, 2, 16);
        hosts::WaveBuffer& buffer = Buffer(stream, CountingFrames(0, 2 * kRing));
        Queue(stream, buffer);
        Step(stream, (kRing + kPeriod) * 4);
        EXPECT_EQ(Client().Reset(stream), MMSYSERR_NOERROR);
        EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
    };
    cycle();  // whatever the process makes once
    const std::size_t handles = win32::OpenHandleCount();
    for (int i = 0; i < 100 && !HasFailure(); ++i) cycle();
    EXPECT_EQ(win32::OpenHandleCount(), handles);
}
