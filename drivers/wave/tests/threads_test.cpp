// First requests from several threads at once: one build of the device
// list, and counts that are the card list's before or after its pruning.
#include <latch>
#include <set>
#include <thread>

#include "wave_fixture.h"

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
