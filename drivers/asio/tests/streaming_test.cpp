// Streaming through the host: start's two pre-fills, then one switch per
// period on the driver's time-critical thread, what the card played and
// recorded meanwhile, both kinds of switch, sample-rate changes, the sample
// position and its time stamp, and the state errors.
#include "allocation_hooks.h"
#include "streaming_fixture.h"
#include "win32/time.h"

namespace {

constexpr std::int32_t kInputStep = 1 << 12;
constexpr DWORD kTimeInfoFlags = kSystemTimeValid | kSamplePositionValid | kSampleRateValid;

struct Mode {
    const char* name;
    LONG supportsTimeInfo;
};

TEST_F(Streaming, EachPeriodSwitchesOnceAndTheCardPlaysEveryHalfOnce)
{
    constexpr LONG kSize = 64;
    constexpr std::size_t kPeriods = 20;
    for (const Mode mode : {Mode{"plain", 0}, Mode{"time info", 1}}) {
        SCOPED_TRACE(mode.name);
        ASSERT_TRUE(host_.Unload());
        Start();
        Hooks().SetInputSignal(0, machine::Signal::Ramp(kInputStep));
        Hooks().SetInputSignal(7, machine::Signal::Ramp(kInputStep));
        // Outputs 0 and 5 in the host's order 5, 0; inputs 7 and 0.
        Create({{false, 5}, {true, 7}, {false, 0}, {true, 0}}, kSize,
               {.supportsTimeInfo = mode.supportsTimeInfo, .inputRamp = kInputStep});
        const bool timeInfo = mode.supportsTimeInfo != 0;
        StartStreaming();
        EXPECT_EQ(SamplePosition(), 2u * kSize);

        unsigned allocations;
        {
            allocation_hooks::NothrowAllocations count;
            for (std::size_t period = 0; period < kPeriods; ++period) Step();
            allocations = count.Count();
        }
        EXPECT_EQ(allocations, 0u) << "the switch thread allocates nothing";
        ASSERT_EQ(host_.Stop(), ASE_OK);
        EXPECT_EQ(SamplePosition(), (2 + kPeriods) * kSize);

        const std::vector<hosts::AsioSwitchRecord> records = Host().Switches();
        ASSERT_EQ(records.size(), 2 + kPeriods);
        const DWORD hostThread = GetCurrentThreadId();
        for (std::size_t n = 0; n < records.size(); ++n) {
            SCOPED_TRACE(n);
            const hosts::AsioSwitchRecord& r = records[n];
            EXPECT_EQ(r.index, static_cast<LONG>(n % 2));
            EXPECT_EQ(r.timeInfo, timeInfo);
            EXPECT_EQ(r.directProcess, timeInfo ? ASIOFalse : ASIOTrue);
            if (timeInfo) {
                EXPECT_EQ(r.flags, kTimeInfoFlags);
                EXPECT_EQ(r.samplePosition, n * kSize);
                EXPECT_GE(r.systemTime, records[n == 0 ? 0 : n - 1].systemTime);
            }
            EXPECT_EQ(r.inputErrors, 0u);
            if (n < 2) {
                EXPECT_EQ(r.thread, hostThread) << "a pre-fill";
            } else {
                EXPECT_NE(r.thread, hostThread);
                EXPECT_EQ(r.thread, records[2].thread) << "one thread";
                EXPECT_EQ(r.priority, THREAD_PRIORITY_TIME_CRITICAL);
            }
        }
        // The card played each half once, in order; both pre-fills first.
        EXPECT_EQ(Hooks().Played(5), RampPlayed(0, kPeriods * kSize));
        EXPECT_EQ(Hooks().Played(0), RampPlayed(1, kPeriods * kSize));
        EXPECT_TRUE(Hooks().Played(1).empty());
    }
}

TEST_F(Streaming, InputsAreCheckedAgainstWhatTheCardRecords)
{
    // The check itself can fail: a card recording another ramp is caught.
    Start();
    Hooks().SetInputSignal(2, machine::Signal::Ramp(2 * kInputStep));
    Create({{true, 2}}, 32, {.inputRamp = kInputStep});
    StartStreaming();
    Step();
    EXPECT_EQ(SwitchAt(2).inputErrors, 31u) << "all but frame 0";
}

TEST_F(Streaming, ASizeThatIsNoPowerOfTwoSwitchesAtTheHalves)
{
    constexpr LONG kSize = 300;
    constexpr std::size_t kPeriods = 20;
    Start();
    Hooks().SetInputSignal(3, machine::Signal::Ramp(kInputStep));
    Create({{false, 2}, {true, 3}}, kSize, {.supportsTimeInfo = 1, .inputRamp = kInputStep});
    StartStreaming();
    for (std::size_t period = 0; period < kPeriods; ++period) {
        Step();
        const hosts::AsioSwitchRecord r = SwitchAt(2 + period);
        EXPECT_EQ(r.index, static_cast<LONG>(period % 2)) << period;
        EXPECT_EQ(r.samplePosition, (2 + period) * kSize) << period;
        EXPECT_EQ(r.inputErrors, 0u) << period;
    }
    EXPECT_EQ(Hooks().Played(2), RampPlayed(0, kPeriods * kSize));
}

TEST_F(Streaming, ARateChangeIsToldAndFlaggedInTheNextSwitchOnly)
{
    Start();
    Create({{false, 0}}, 64, {.supportsTimeInfo = 1});
    StartStreaming();
    Step();
    ASSERT_EQ(Asio().setSampleRate(48000), ASE_OK);
    EXPECT_EQ(Host().RateChanges(), std::vector<ASIOSampleRate>{48000});
    EXPECT_EQ(Hooks().Settings().sampleRate, 48000u);
    Step();
    Step();
    EXPECT_EQ(SwitchAt(2).flags, kTimeInfoFlags);
    EXPECT_EQ(SwitchAt(3).flags, kTimeInfoFlags | kSampleRateChanged);
    EXPECT_EQ(SwitchAt(4).flags, kTimeInfoFlags);
    // The same rate again is no change.
    ASSERT_EQ(Asio().setSampleRate(48000), ASE_OK);
    EXPECT_EQ(Host().RateChanges().size(), 1u);
}

TEST_F(Streaming, StopAndStartOnlyInTheirStates)
{
    Start();
    EXPECT_EQ(Asio().stop(), ASE_NotPresent) << "no buffers";
    Create({{false, 0}}, 64);
    EXPECT_EQ(Asio().stop(), ASE_NotPresent) << "not started";
    ClearLogs();
    StartStreaming();
    EXPECT_EQ(host_.Start(), ASE_OK) << "running: nothing happens";
    EXPECT_EQ(Switches(), 2u);
    EXPECT_EQ(Hooks().CountOf(IOCTL_START_TRANSPORT), 1u);
    Step();
    EXPECT_EQ(host_.Stop(), ASE_OK);
    EXPECT_EQ(Hooks().Transports().at(0).state, machine::TransportInfo::State::Stopped);
    ClearLogs();
    EXPECT_EQ(host_.Stop(), ASE_NotPresent);
    EXPECT_TRUE(Hooks().Log().empty()) << "and sends nothing";

    // Started again, from the start.
    ASSERT_EQ(host_.Start(), ASE_OK);
    EXPECT_EQ(Switches(), 5u);
    EXPECT_EQ(SamplePosition(), 128u);
    Step();
    EXPECT_EQ(SwitchAt(5).index, 0);
    EXPECT_EQ(SwitchAt(5).priority, THREAD_PRIORITY_TIME_CRITICAL);
}

TEST_F(Streaming, StartWantsCallbacks)
{
    Start();
    ASIOBufferInfo info{ASIOFalse, 0, {nullptr, nullptr}};
    ASSERT_EQ(Asio().createBuffers(&info, 1, 64, nullptr), ASE_OK);
    EXPECT_NE(info.buffers[0], nullptr);
    EXPECT_EQ(Asio().start(), ASE_NotPresent);
    EXPECT_EQ(Hooks().CountOf(IOCTL_START_TRANSPORT), 0u);
    EXPECT_EQ(Asio().disposeBuffers(), ASE_OK);
}

TEST_F(Streaming, OneDriverObjectStreamsAtATime)
{
    Start();
    Create({{false, 0}}, 64);
    StartStreaming();
    {
        hosts::AsioHost other;
        ASSERT_EQ(other.Load(kDriverName), S_OK);
        ASSERT_EQ(other.Init(), ASIOTrue);
        ASSERT_EQ(other.CreateBuffers({{false, 1}}, 64), ASE_OK);
        EXPECT_EQ(other.Start(), ASE_NotPresent) << "the process's one thread serves the first";
        Step();
        EXPECT_EQ(SwitchAt(2).index, 0);

        ASSERT_EQ(host_.Stop(), ASE_OK);
        EXPECT_EQ(other.Start(), ASE_OK) << "free again";
        EXPECT_EQ(other.Callbacks().SwitchCount(), 2u);
        EXPECT_EQ(host_.Start(), ASE_NotPresent);
        EXPECT_FALSE(other.Unload()) << "the first host's object keeps the library";
    }
    EXPECT_EQ(host_.Start(), ASE_OK);
}

TEST_F(Streaming, TimeStampsComeFromTheWakesAndRideOverTheClockWrap)
{
    Start();
    Create({{false, 0}}, 64, {.supportsTimeInfo = 1});
    // A second before timeGetTime wraps.
    win32::SetTickOffset(0u - 1000u - timeGetTime());
    struct TickOffsetReset {
        ~TickOffsetReset() { win32::SetTickOffset(0); }
    } reset;
    const DWORD before = timeGetTime();
    StartStreaming();
    const DWORD after = timeGetTime();
    // The pre-fills carry start's time.
    EXPECT_EQ(SwitchAt(0).systemTime, SwitchAt(1).systemTime);
    EXPECT_GE(SwitchAt(0).systemTime, before * 1000000ull);
    EXPECT_LE(SwitchAt(0).systemTime, after * 1000000ull);

    const std::int64_t a = Now();
    Step();
    const std::int64_t b = Now();
    while (timeGetTime() > 0x80000000u) Sleep(10);
    const std::int64_t c = Now();
    Step();
    const std::int64_t d = Now();
    const std::uint64_t first = SwitchAt(2).systemTime;
    const std::uint64_t second = SwitchAt(3).systemTime;
    ASSERT_LT(first, 0x100000000ull * 1000000) << "the first wake came before the wrap";
    ASSERT_GT(second, first);
    const std::int64_t elapsed = static_cast<std::int64_t>(second - first);
    // Milliseconds between the wakes, which came between a and b and between c and d.
    EXPECT_GE(elapsed, c - b - 1000000);
    EXPECT_LE(elapsed, d - a + 1000000);

    // On the host's thread it reports the last wake's time; stop's own wake is none.
    ASSERT_EQ(host_.Stop(), ASE_OK);
    std::uint64_t position = 0, stamp = 0;
    ASSERT_EQ(host_.SamplePosition(&position, &stamp), ASE_OK);
    EXPECT_EQ(position, 4u * 64);
    EXPECT_EQ(stamp, second);
    ASIOSamples samples;
    EXPECT_EQ(Asio().getSamplePosition(&samples, nullptr), ASE_InvalidParameter);
    ASIOTimeStamp time;
    EXPECT_EQ(Asio().getSamplePosition(nullptr, &time), ASE_InvalidParameter);
}

}  // namespace
