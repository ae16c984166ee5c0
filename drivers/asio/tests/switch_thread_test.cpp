// The buffer-switch thread against cards that do not keep step: two cards
// that must both have moved on, a counter that jumps, a card that stalls, a
// host slower than stop's wait, and the real-time clock.
#include <chrono>
#include <cmath>

#include "streaming_fixture.h"
#include "win32/kernel.h"

namespace {

using std::chrono::milliseconds;
using SteadyClock = std::chrono::steady_clock;

TEST_F(Streaming, WithTwoCardsTheSwitchWaitsForBoth)
{
    constexpr LONG kSize = 64;
    constexpr std::size_t kPeriods = 4;
    // The list holds the newest card first: outputs 0 to 9 are machine card 1's.
    Start(machine_testing::Cards({"default", "default"}));
    Create({{false, 0}, {false, 10}}, kSize, {.supportsTimeInfo = 1});
    StartStreaming();
    for (std::size_t period = 0; period < kPeriods; ++period) {
        SCOPED_TRACE(period);
        const std::size_t first = period % 2;
        StepAlone(first);
        const std::int64_t second = Now();
        Step({1 - first});
        EXPECT_EQ(Switches(), 3 + period);
        const hosts::AsioSwitchRecord r = SwitchAt(2 + period);
        EXPECT_GT(r.entered, second) << "no switch for one card alone";
        EXPECT_EQ(r.index, static_cast<LONG>(period % 2));
        EXPECT_EQ(r.samplePosition, (2 + period) * kSize);
    }
    EXPECT_EQ(Hooks(1).Played(0), RampPlayed(0, kPeriods * kSize));
    EXPECT_EQ(Hooks(0).Played(0), RampPlayed(1, kPeriods * kSize));
}

TEST_F(Streaming, VirtualOutputsBesideAnotherCard)
{
    constexpr LONG kSize = 32;
    // Outputs: the default card's 10, then the virtual card's 16; inputs 10, then 4.
    Start(machine_testing::Cards({"virtual-outputs", "default"}));
    ASIOChannelInfo last{.channel = 25, .isInput = ASIOFalse};
    ASSERT_EQ(Asio().getChannelInfo(&last), ASE_OK);
    EXPECT_STREQ(last.name, "Zavo24 Virtual 16 virtual 16");
    Hooks(0).SetInputSignal(3, machine::Signal::Ramp(3));
    Create({{false, 0}, {false, 10}, {false, 25}, {true, 13}}, kSize, {.inputRamp = 3});
    StartStreaming();
    for (int period = 0; period < 3; ++period) Step({0, 1});
    EXPECT_EQ(Hooks(1).Played(0), RampPlayed(0, 3 * kSize));
    EXPECT_EQ(Hooks(0).Played(0), RampPlayed(1, 3 * kSize));
    EXPECT_EQ(Hooks(0).Played(15), RampPlayed(2, 3 * kSize));
    for (std::size_t n = 2; n < 5; ++n) EXPECT_EQ(SwitchAt(n).inputErrors, 0u) << n;
}

TEST_F(Streaming, ACounterThatJumpsAsksOnceForAResync)
{
    constexpr LONG kSize = 64;
    Start();
    Create({{false, 0}}, kSize, {.supportsTimeInfo = 1});
    StartStreaming();
    Host().HoldNextSwitch();
    Hooks().Advance(1);
    ASSERT_TRUE(Host().WaitUntilHeld(kWait));
    // Three periods more while the host is held: twelve periods' bytes, above the limit of eight.
    Hooks().Advance(3);
    Host().ReleaseHold();
    ASSERT_TRUE(Host().WaitForSwitches(4, kWait)) << "the held switch, then the wake after it";
    Step();
    EXPECT_EQ(Host().ResyncRequests(), 1u);
    const std::vector<hosts::AsioSwitchRecord> records = Host().Switches();
    ASSERT_EQ(records.size(), 5u);
    for (std::size_t n = 2; n < 5; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(records[n].index, static_cast<LONG>(n % 2)) << "switching goes on";
        EXPECT_EQ(records[n].samplePosition, n * kSize);
    }
    EXPECT_EQ(records[3].resyncsBefore, 0u);
    EXPECT_EQ(records[4].resyncsBefore, 1u) << "sent after the switch of the wake after the release";
}

TEST_F(Streaming, ACardThatStallsHoldsTheSwitchBackPastTheTimeOut)
{
    Start(machine_testing::Cards({"default", "default"}));
    Create({{false, 0}, {false, 10}}, 64);
    StartStreaming();
    StepAlone(0);
    Sleep(1200);  // more than two of the thread's 500 ms waits
    const std::int64_t second = Now();
    Step({1});
    EXPECT_EQ(Switches(), 3u);
    EXPECT_GT(SwitchAt(2).entered, second);
    EXPECT_EQ(SwitchAt(2).index, 0);
    Step({0, 1});
    EXPECT_EQ(SwitchAt(3).index, 1);
}

TEST_F(Streaming, AHostSlowerThanStopsWaitKeepsItsBuffersUntilItReturns)
{
    Start();
    const std::size_t handles = win32::OpenHandleCount();
    Create({{false, 0}, {true, 0}}, 64);
    StartStreaming();
    Host().HoldNextSwitch(2500);
    Hooks().Advance(1);
    ASSERT_TRUE(Host().WaitUntilHeld(kWait));

    const SteadyClock::time_point stopped = SteadyClock::now();
    EXPECT_EQ(host_.Stop(), ASE_OK);
    EXPECT_GE(SteadyClock::now() - stopped, milliseconds(990)) << "stop waits its 1000 ms";
    ASSERT_TRUE(Host().Holding()) << "and no longer";
    ASSERT_EQ(Hooks().Transports().size(), 1u) << "the held switch's buffers are still the card's";
    EXPECT_EQ(Hooks().Transports().at(0).reservations.size(), 2u);

    EXPECT_EQ(host_.DisposeBuffers(), ASE_OK);
    EXPECT_FALSE(Host().Holding());
    EXPECT_EQ(Switches(), 3u) << "dispose returned after the switch";
    EXPECT_TRUE(Hooks().Transports().empty());
    EXPECT_EQ(win32::OpenHandleCount(), handles);
}

TEST_F(Streaming, AStartAfterASlowStopWaitsForTheThreadBeforeItsPreFills)
{
    Start();
    Create({{false, 0}}, 64);
    StartStreaming();
    Host().HoldNextSwitch(2000);
    Hooks().Advance(1);
    ASSERT_TRUE(Host().WaitUntilHeld(kWait));
    EXPECT_EQ(host_.Stop(), ASE_OK);
    ASSERT_TRUE(Host().Holding());
    ASSERT_EQ(host_.Start(), ASE_OK);
    // Switches are recorded as they return: the held one before the new pre-fills.
    const std::vector<hosts::AsioSwitchRecord> records = Host().Switches();
    ASSERT_EQ(records.size(), 5u);
    const DWORD hostThread = GetCurrentThreadId();
    EXPECT_NE(records[2].thread, hostThread);
    EXPECT_EQ(records[3].thread, hostThread);
    EXPECT_EQ(records[4].thread, hostThread);
    // One thread serves the new start: one period, one switch.
    const std::int64_t stepped = Now();
    Step();
    Step();
    EXPECT_EQ(Switches(), 7u);
    EXPECT_GT(SwitchAt(5).entered, stepped);
    EXPECT_EQ(SwitchAt(5).index, 0);
    EXPECT_EQ(SwitchAt(6).index, 1);
}

TEST_F(Streaming, InRealTimeEveryPeriodSwitchesAndTheRampStaysWhole)
{
#if defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the card reads what the host writes unsynchronised, as a card's DMA does";
#endif
    constexpr LONG kSize = 2048;  // about 43 ms at 48 kHz
    Boot({machine::MakePreset("default")}, {.clock = machine::ClockMode::RealTime});
    Register();
    Load();
    ASSERT_EQ(host_.Init(), ASIOTrue);
    Hooks().SetPlayedLimit(1 << 20);
    ASSERT_EQ(Asio().setSampleRate(48000), ASE_OK);
    Create({{false, 0}}, kSize, {.supportsTimeInfo = 1, .switchCapacity = 256});
    StartStreaming();
    const SteadyClock::time_point started = SteadyClock::now();
    Sleep(2000);
    const double seconds = std::chrono::duration<double>(SteadyClock::now() - started).count();
    ASSERT_EQ(host_.Stop(), ASE_OK);

    // The card's clock started within start; the last period may end as stop comes.
    const std::vector<hosts::AsioSwitchRecord> records = Host().Switches();
    const double periods = seconds * 48000 / kSize;
    const double switched = static_cast<double>(records.size() - 2);
    EXPECT_GE(switched, std::floor(periods) - 1) << seconds << " s";
    EXPECT_LE(switched, std::ceil(periods) + 1) << seconds << " s";
    for (std::size_t n = 0; n < records.size(); ++n) {
        EXPECT_EQ(records[n].index, static_cast<LONG>(n % 2)) << n;
        EXPECT_EQ(records[n].samplePosition, n * kSize) << n;
    }
    const std::vector<std::int32_t> played = Hooks().Played(0);
    EXPECT_GE(played.size(), (records.size() - 3) * kSize);
    EXPECT_EQ(played, RampPlayed(0, played.size())) << "no half missed or played twice";
}

}  // namespace
