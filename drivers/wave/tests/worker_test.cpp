// The streams' workers end with their streams: an unload with streams
// running ends each worker in time, and opening and closing streams leaves
// no handle behind.
#include "stream_fixture.h"
#include "win32/kernel.h"
#include "win32/fault_hooks.h"
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

// A worker that cannot run at its priority is ended at once: WRITE still
// answers 0, the stream has no worker and services nothing, RESET returns
// its header, and the next WRITE starts a worker that plays.
TEST_F(WorkerTest, AWorkerRefusedItsPriorityEndsAndTheNextWriteTriesAgain)
{
    hosts::WaveStream& stream = OpenStream(WaveDirection::Out, 0, 2, 16);
    const std::size_t handles = win32::OpenHandleCount();
    std::size_t created = win32::CreatedThreads().size();
    win32::FailNextSetThreadPriority(ERROR_ACCESS_DENIED);
    hosts::WaveBuffer& refused = Buffer(stream, CountingFrames(0, kRing + kPeriod));
    EXPECT_EQ(Client().Write(stream, refused.Header()), MMSYSERR_NOERROR);
    const auto threads = win32::CreatedThreads();
    ASSERT_EQ(threads.size(), created + 1) << "a worker was made";
    EXPECT_EQ(threads.back().creatorId, GetCurrentThreadId());
    EXPECT_TRUE(win32::WaitUntilReturned(threads.back().threadId, 0)) << "and had ended when WRITE returned";
    EXPECT_EQ(win32::OpenHandleCount(), handles);

    Hooks().Advance(2);  // the transport runs, but nothing services it
    EXPECT_EQ(Position(stream), kRing * 4) << "only the pre-fill moved";
    EXPECT_EQ(stream.Count(WOM_DONE), 0u);
    EXPECT_EQ(Client().Reset(stream), MMSYSERR_NOERROR);
    EXPECT_EQ(Returned(stream), std::vector<const WAVEHDR*>{&refused.Header()});

    Hooks().ClearPlayed();
    created = win32::CreatedThreads().size();
    Queue(stream, Buffer(stream, CountingFrames(0, kRing + kPeriod)));
    const DWORD worker = NewWorker(created);
    ASSERT_NE(worker, 0u);
    StepServiced(worker);
    EXPECT_EQ(Position(stream), (kRing + kPeriod) * 4);
    EXPECT_EQ(stream.Count(WOM_DONE), 2u);
    PlayOut();
    const auto left = Played(0);
    ASSERT_GE(left.size(), kRing + kPeriod);
    for (DWORD f = 0; f < kRing + kPeriod; ++f) EXPECT_EQ(left[f], CountedSample(f, 0)) << f;
    EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
}
