// Several client threads at once: first requests (one build of the device
// list, and counts that are the card list's before or after its pruning),
// and streams written, polled, paused and closed from different threads.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <latch>
#include <set>
#include <thread>

#include "stream_fixture.h"

namespace sim = machine::sim;

class ThreadsTest : public WaveTest {};

TEST_F(ThreadsTest, TheDeviceListIsBuiltOnce)
{
    Load();
    constexpr UINT kThreads = 8;
    std::latch start(kThreads);
    std::vector<DWORD> counts(kThreads);
    std::vector<MMRESULT> caps(kThreads);
    std::vector<hosts::WaveStream*> streams(kThreads);
    std::vector<DWORD> threadIds(kThreads);
    std::vector<std::thread> threads;
    for (UINT i = 0; i < kThreads; ++i)
        threads.emplace_back([&, i] {
            threadIds[i] = GetCurrentThreadId();
            start.arrive_and_wait();
            counts[i] = Client().GetNumDevs(WaveDirection::Out);
            WAVEOUTCAPSW outCaps;
            caps[i] = Client().GetDevCaps(i, outCaps);
            streams[i] = &Client().Open(
                {.direction = i % 2 ? WaveDirection::In : WaveDirection::Out, .device = i, .callback = WaveCallback::Function});
        });
    for (std::thread& thread : threads) thread.join();

    for (UINT i = 0; i < kThreads; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(counts[i], 8u);
        EXPECT_EQ(caps[i], MMSYSERR_NOERROR);
        ASSERT_EQ(streams[i]->OpenResult(), MMSYSERR_NOERROR);
        const auto notifications = streams[i]->Notifications();
        ASSERT_EQ(notifications.size(), 1u);
        EXPECT_EQ(notifications[0].thread, threadIds[i]);
    }
    // One read to prune, one for the device list's card, one per stream.
    EXPECT_EQ(Hooks().CountOf(sim::IOCTL_GET_CAPS), 2u + kThreads);
    EXPECT_EQ(Hooks().Transports().size(), kThreads);
    for (hosts::WaveStream* stream : streams) EXPECT_EQ(Client().Close(*stream), MMSYSERR_NOERROR);
}

TEST_F(ThreadsTest, CountsDuringThePruneAreBeforeOrAfterIt)
{
    Boot({"default", "default"});
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        Load();
        Hooks(0).FailNext(sim::IOCTL_GET_CAPS);
        constexpr int kCounters = 4, kBuilders = 2;
        std::latch start(kCounters + kBuilders);
        std::vector<std::multiset<DWORD>> answers(kCounters);
        std::vector<std::thread> threads;
        for (int i = 0; i < kCounters; ++i)
            threads.emplace_back([&, i] {
                start.arrive_and_wait();
                for (int n = 0; n < 50; ++n) answers[i].insert(Client().GetNumDevs(n % 2 ? WaveDirection::In : WaveDirection::Out));
            });
        for (int i = 0; i < kBuilders; ++i)
            threads.emplace_back([&, i] {
                start.arrive_and_wait();
                WAVEINCAPSW caps;
                EXPECT_EQ(Client().GetDevCaps(static_cast<UINT>(i), caps), MMSYSERR_NOERROR);
            });
        for (std::thread& thread : threads) thread.join();
        for (const auto& seen : answers)
            for (DWORD count : seen) EXPECT_TRUE(count == 16 || count == 8) << count;
        EXPECT_EQ(Client().GetNumDevs(WaveDirection::Out), 8u);
        Unload();
    }
}

// ---- Streams from several client threads ----------------------------------------------------

class StreamThreadsTest : public StreamTest {
public:
    static constexpr DWORD kPool = 6;  // headers of one period, written again as they come back

    // Writes `count` one-period headers of counting frames from a pool,
    // each again once it is back, on the calling thread.
    void WriteAll(hosts::WaveStream& stream, const std::vector<hosts::WaveBuffer*>& pool, DWORD count,
                  std::atomic<DWORD>& written)
    {
        for (DWORD i = 0; i < count; ++i) {
            hosts::WaveBuffer& buffer = *pool[i % pool.size()];
            if (i >= pool.size() && !stream.WaitFor(WOM_DONE, i - pool.size() + 1, kDeadlineMs)) {
                ADD_FAILURE() << "header " << i - pool.size() << " did not come back";
                return;
            }
            const std::vector<BYTE> frames = CountingFrames(i * kPeriod, kPeriod);
            std::copy(frames.begin(), frames.end(), buffer.Data().begin());
            EXPECT_EQ(Client().Write(stream, buffer.Header()), MMSYSERR_NOERROR);
            ++written;
        }
    }

    std::vector<hosts::WaveBuffer*> Pool(const hosts::WaveStream& stream)
    {
        std::vector<hosts::WaveBuffer*> pool;
        for (DWORD i = 0; i < kPool; ++i) pool.push_back(&Buffer(stream, kPeriod * 4));
        return pool;
    }

    // Steps the card while the writer keeps at least three periods queued
    // beyond the ring, so that each step moves a full period.
    void StepBehind(hosts::WaveStream& stream, DWORD headers, const std::atomic<DWORD>& written,
                    const std::function<void()>& betweenSteps = {})
    {
        for (DWORD k = 1; kRing / kPeriod + k <= headers; ++k) {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kDeadlineMs);
            while (written < std::min(headers, kRing / kPeriod + k + 1) && std::chrono::steady_clock::now() < deadline)
                std::this_thread::yield();
            if (betweenSteps) betweenSteps();
            Step(stream, (kRing + k * kPeriod) * 4);
            if (HasFatalFailure()) return;
        }
    }

    void ExpectEveryFrameOnce(DWORD headers)
    {
        const auto left = Played(0);
        ASSERT_GE(left.size(), headers * kPeriod);
        for (DWORD f = 0; f < headers * kPeriod; ++f) ASSERT_EQ(left[f], CountedSample(f, 0)) << "frame " << f;
    }
};

// A writer and a poller of the position on two client threads while the card plays.
TEST_F(StreamThreadsTest, AWriterAndAPositionPoller)
{
    constexpr DWORD kHeaders = 300;
    Hooks().SetPlayedLimit(2 * kHeaders * kPeriod);
    hosts::WaveStream& stream = OpenStream(WaveDirection::Out, 0, 2, 16);
    Hooks().ClearPlayed();
    const auto pool = Pool(stream);
    std::atomic<DWORD> written{0};
    std::atomic<bool> done{false};
    std::thread writer([&] { WriteAll(stream, pool, kHeaders, written); });
    std::thread poller([&] {
        DWORD last = 0;
        while (!done) {
            MMTIME time{};
            time.wType = TIME_SAMPLES;
            EXPECT_EQ(Client().GetPosition(stream, time), MMSYSERR_NOERROR);
            EXPECT_EQ(time.wType, UINT{TIME_SAMPLES});
            EXPECT_GE(time.u.sample, last) << "the position never goes back";
            EXPECT_LE(time.u.sample, kHeaders * kPeriod);
            last = time.u.sample;
        }
    });
    StepBehind(stream, kHeaders, written);
    EXPECT_TRUE(stream.WaitFor(WOM_DONE, kHeaders, kDeadlineMs));
    done = true;
    writer.join();
    poller.join();
    Hooks().Advance(kRing / kPeriod);
    ExpectEveryFrameOnce(kHeaders);
    EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
}

// PAUSE and RESTART from one thread while another writes: no deadlock, and
// each header written comes back once.
TEST_F(StreamThreadsTest, PauseAndRestartWhileAnotherThreadWrites)
{
    constexpr DWORD kHeaders = 120;
    hosts::WaveStream& stream = OpenStream(WaveDirection::Out, 0, 2, 16);
    Hooks().ClearPlayed();
    const auto pool = Pool(stream);
    std::atomic<DWORD> written{0};
    std::thread writer([&] { WriteAll(stream, pool, kHeaders, written); });
    StepBehind(stream, kHeaders, written, [&] {
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(Client().Pause(stream), MMSYSERR_NOERROR);
            EXPECT_EQ(Client().Restart(stream), MMSYSERR_NOERROR);
        }
    });
    EXPECT_TRUE(stream.WaitFor(WOM_DONE, kHeaders, kDeadlineMs));
    writer.join();
    Hooks().Advance(kRing / kPeriod);
    EXPECT_EQ(stream.Count(WOM_DONE), kHeaders);
    ExpectEveryFrameOnce(kHeaders);
    EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
}

// A writer that has reset its stream and stopped; another thread closes it.
TEST_F(StreamThreadsTest, ACloseFromAnotherThread)
{
    hosts::WaveStream& stream = OpenStream(WaveDirection::Out, 0, 2, 16);
    std::thread writer([&] {
        hosts::WaveBuffer& buffer = Buffer(stream, CountingFrames(0, 3 * kRing));
        Queue(stream, buffer);
        Step(stream, (kRing + kPeriod) * 4);
        EXPECT_EQ(Client().Reset(stream), MMSYSERR_NOERROR);
    });
    writer.join();
    std::thread closer([&] { EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR); });
    closer.join();
    EXPECT_EQ(stream.Count(WOM_DONE), 1u);
    EXPECT_EQ(stream.Count(WOM_CLOSE), 1u);
    EXPECT_TRUE(Hooks().Transports().empty());
}
