// The sample rate of all cards together, latencies, buffer sizes, the clock
// source and the rest of what a host asks a driver it has initialised.
#include <cmath>
#include <limits>

#include "asio_driver_fixture.h"

namespace {

class Rates : public AsioDriverTest {
protected:
    ASIOSampleRate Rate()
    {
        ASIOSampleRate rate = -1;
        EXPECT_EQ(Asio().getSampleRate(&rate), ASE_OK);
        return rate;
    }
    std::size_t RequestsSent()
    {
        std::size_t requests = 0;
        for (std::size_t i = 0; i < Machine().CardCount(); ++i) requests += Hooks(i).Log().size();
        return requests;
    }
};

TEST_F(Rates, CheckStopsAtTheFirstCardThatRefuses)
{
    // The list holds the newest card first: machine card 1, then card 0.
    Start(machine_testing::Cards({"default", "zavo24-8x8"}));
    Hooks(1).SetSupportedRates({44100, 96000});
    ClearLogs();
    EXPECT_EQ(Asio().canSampleRate(48000), ASE_NoClock);
    EXPECT_EQ(RatesSent(1, IOCTL_CHECK_SAMPLE_RATE), std::vector<DWORD>{48000});
    EXPECT_TRUE(Hooks(0).Log().empty());

    EXPECT_EQ(Asio().canSampleRate(96000.75), ASE_OK);  // asked as whole hertz
    EXPECT_EQ(RatesSent(0, IOCTL_CHECK_SAMPLE_RATE), std::vector<DWORD>{96000});
}

TEST_F(Rates, SetGoesToEveryCardOnlyWhenItChanges)
{
    Start(machine_testing::Cards({"default", "zavo24-8x8"}));
    ClearLogs();
    EXPECT_EQ(Asio().setSampleRate(44100), ASE_OK);
    EXPECT_TRUE(RatesSent(0, IOCTL_SET_SAMPLE_RATE).empty());
    EXPECT_TRUE(RatesSent(1, IOCTL_SET_SAMPLE_RATE).empty());

    EXPECT_EQ(Asio().setSampleRate(48000), ASE_OK);
    EXPECT_EQ(Rate(), 48000);
    for (std::size_t card = 0; card < 2; ++card) {
        EXPECT_EQ(RatesSent(card, IOCTL_SET_SAMPLE_RATE), std::vector<DWORD>{48000}) << card;
        EXPECT_EQ(Hooks(card).Settings().sampleRate, 48000u);
    }

    // A rate one card cannot run at changes no card.
    Hooks(0).SetSupportedRates({44100, 48000});
    ClearLogs();
    EXPECT_EQ(Asio().setSampleRate(96000), ASE_NoClock);
    EXPECT_EQ(Rate(), 48000);
    EXPECT_TRUE(RatesSent(0, IOCTL_SET_SAMPLE_RATE).empty());
    EXPECT_TRUE(RatesSent(1, IOCTL_SET_SAMPLE_RATE).empty());
}

TEST_F(Rates, WhatIsNoRateIsRefusedUnasked)
{
    Start();
    ClearLogs();
    const ASIOSampleRate notRates[] = {std::numeric_limits<double>::quiet_NaN(),
                                       std::numeric_limits<double>::infinity(),
                                       -std::numeric_limits<double>::infinity(),
                                       0.0,
                                       0.5,
                                       -44100.0,
                                       4294967296.0,
                                       1e300};
    for (const ASIOSampleRate rate : notRates) {
        EXPECT_EQ(Asio().canSampleRate(rate), ASE_NoClock) << rate;
        EXPECT_EQ(Asio().setSampleRate(rate), ASE_NoClock) << rate;
    }
    EXPECT_EQ(RequestsSent(), 0u);
    EXPECT_EQ(Rate(), 44100);

    // The ends of what a rate can be are asked about.
    Hooks().SetSupportedRates({1, 4294967295u});
    EXPECT_EQ(Asio().canSampleRate(1.0), ASE_OK);
    EXPECT_EQ(Asio().canSampleRate(4294967295.0), ASE_OK);
}

TEST_F(Rates, BeforeInitNoRateIsTaken)
{
    Boot();
    Register();
    Load();
    EXPECT_EQ(Asio().canSampleRate(44100), ASE_NoClock);
    EXPECT_EQ(Asio().setSampleRate(48000), ASE_NoClock);
    EXPECT_EQ(Rate(), 44100);
    EXPECT_EQ(RequestsSent(), 0u);
}

TEST_F(Rates, LatenciesAndBufferSizeAreTheBufferSize)
{
    for (const DWORD stored : {0u, 256u}) {
        SCOPED_TRACE(stored);
        Boot();
        Register();
        if (stored) StoreSettings(44100, stored, 1, 0, 0);
        Load();
        ASSERT_EQ(host_.Init(), ASIOTrue);
        const LONG size = stored ? static_cast<LONG>(stored) : 512;
        LONG input = 0, output = 0;
        EXPECT_EQ(Asio().getLatencies(&input, &output), ASE_OK);
        EXPECT_EQ(input, size);
        EXPECT_EQ(output, size);
        LONG minimum = 0, maximum = 0, preferred = 0, granularity = -1;
        EXPECT_EQ(Asio().getBufferSize(&minimum, &maximum, &preferred, &granularity), ASE_OK);
        EXPECT_EQ(minimum, size);
        EXPECT_EQ(maximum, size);
        EXPECT_EQ(preferred, size);
        EXPECT_EQ(granularity, 0);
        ASSERT_TRUE(host_.Unload());
    }
}

TEST_F(Rates, OneClockSource)
{
    Start();
    ASIOClockSource clocks[2];
    std::memset(clocks, 0x55, sizeof clocks);
    LONG count = 2;
    EXPECT_EQ(Asio().getClockSources(clocks, &count), ASE_OK);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(clocks[0].index, 0);
    EXPECT_EQ(clocks[0].associatedChannel, -1);
    EXPECT_EQ(clocks[0].associatedGroup, -1);
    EXPECT_EQ(clocks[0].isCurrentSource, ASIOTrue);
    EXPECT_STREQ(clocks[0].name, "Select from console");
    EXPECT_EQ(clocks[1].index, 0x55555555);  // one entry written, no more

    count = 0;
    EXPECT_EQ(Asio().getClockSources(nullptr, &count), ASE_OK);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(Asio().getClockSources(clocks, nullptr), ASE_InvalidParameter);
    EXPECT_EQ(Asio().setClockSource(5), ASE_OK);
}

TEST_F(Rates, NullOutputsFromAHost)
{
    Start();
    LONG a = 0, b = 0, c = 0;
    const ASIOError answers[] = {
        Asio().getChannels(nullptr, &a),
        Asio().getChannels(&a, nullptr),
        Asio().getLatencies(nullptr, &a),
        Asio().getLatencies(&a, nullptr),
        Asio().getBufferSize(nullptr, &a, &b, &c),
        Asio().getBufferSize(&a, nullptr, &b, &c),
        Asio().getBufferSize(&a, &b, nullptr, &c),
        Asio().getBufferSize(&a, &b, &c, nullptr),
        Asio().getSampleRate(nullptr),
        Asio().getChannelInfo(nullptr),
    };
    for (const ASIOError answer : answers) EXPECT_EQ(answer, ASE_InvalidParameter);
    Asio().getDriverName(nullptr);
    Asio().getErrorMessage(nullptr);
}

TEST_F(Rates, WhatTheDriverSaysOfItself)
{
    Start();
    EXPECT_EQ(host_.DriverName(), "ASIO Zavo PCI");
    EXPECT_EQ(Asio().getDriverVersion(), 1);
    EXPECT_EQ(Asio().outputReady(), ASE_NotPresent);
    EXPECT_EQ(Asio().future(kAsioCanInputMonitor, nullptr), ASE_SUCCESS);
    for (const LONG selector : {0, 1, 2, 4, 5, 6, 7, 8, 10, -1})
        EXPECT_EQ(Asio().future(selector, nullptr), ASE_NotPresent) << selector;
}

}  // namespace
