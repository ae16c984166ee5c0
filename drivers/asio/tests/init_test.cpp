// init: the cards found, the ones kept, the rate they are given, and what a
// failed init leaves behind.
#include "allocation_hooks.h"
#include "asio_driver_fixture.h"
#include "daveror.h"

namespace {

constexpr char kOpenFailure[] = "ASIO Driver open Failure!";

class Init : public AsioDriverTest {
protected:
    // Registered and loaded, not initialised.
    void Prepare(std::vector<machine::CardConfig> cards)
    {
        Boot(std::move(cards));
        Register();
        Load();
    }
    std::pair<LONG, LONG> ChannelCounts()
    {
        LONG inputs = -1, outputs = -1;
        EXPECT_EQ(Asio().getChannels(&inputs, &outputs), ASE_OK);
        return {inputs, outputs};
    }
};

TEST_F(Init, NoCardIsNoDevice)
{
    Prepare(machine_testing::Cards({"absent"}));
    EXPECT_EQ(host_.ErrorMessage(), "");
    std::string error;
    EXPECT_EQ(host_.Init(&error), ASIOFalse);
    EXPECT_EQ(error, kOpenFailure);
    EXPECT_EQ(ChannelCounts(), std::make_pair(0, 0));
    EXPECT_EQ(OpenFiles(), 0u);
}

TEST_F(Init, CardsThatAllReportADriverErrorAreNoDevice)
{
    Prepare(machine_testing::Cards({"driver-error"}));
    std::string error;
    EXPECT_EQ(host_.Init(&error), ASIOFalse);
    EXPECT_EQ(error, kOpenFailure);
    EXPECT_EQ(ChannelCounts(), std::make_pair(0, 0));
    EXPECT_EQ(OpenFiles(), 0u);

    // The state stayed "loaded": once the card is well, the same object finds it.
    Hooks().SetDriverError(false, "");
    EXPECT_EQ(host_.Init(), ASIOTrue);
    EXPECT_EQ(ChannelCounts(), std::make_pair(10, 10));
    EXPECT_EQ(host_.ErrorMessage(), kOpenFailure);  // the text stays, as the interface has it
}

TEST_F(Init, SecondInitFindsNothingAgain)
{
    Start();
    ClearLogs();
    EXPECT_EQ(host_.Init(), ASIOTrue);
    EXPECT_TRUE(Hooks().Log().empty());
    EXPECT_EQ(Hooks().OpenFiles(), 1u);
}

TEST_F(Init, StoredRateGoesToEveryKeptCardOnly)
{
    Boot(machine_testing::Cards({"driver-error", "default", "zavo24-10"}));
    Register();
    StoreSetting("Sample rate", 48000);
    Load();
    ASSERT_EQ(host_.Init(), ASIOTrue);
    EXPECT_TRUE(RatesSent(0, IOCTL_SET_SAMPLE_RATE).empty());
    EXPECT_EQ(RatesSent(1, IOCTL_SET_SAMPLE_RATE), std::vector<DWORD>{48000});
    EXPECT_EQ(RatesSent(2, IOCTL_SET_SAMPLE_RATE), std::vector<DWORD>{48000});
    EXPECT_EQ(Hooks(1).Settings().sampleRate, 48000u);
    // A card with no channels to offer is still opened, and closed with the rest.
    EXPECT_EQ(OpenFiles(), 3u);
    EXPECT_EQ(ChannelCounts(), std::make_pair(10 + 4, 10 + 4));
}

TEST_F(Init, OnlyCardsThatTake96kHzWhenAsked)
{
    struct Case {
        const char* what;
        std::vector<machine::CardConfig> cards;
        std::pair<LONG, LONG> channels;  // inputs, outputs
        std::vector<bool> rateSet;       // per card of the machine
    };
    const Case cases[] = {
        {"one of two takes 96 kHz", machine_testing::Cards({"zavo24-10", "default"}), {10, 10}, {false, true}},
        {"neither takes it: both stay", machine_testing::Cards({"zavo24-10", "zavo24-20"}), {4 + 6, 4 + 6},
         {true, true}},
        {"both take it", machine_testing::Cards({"default", "zavo24-8x8"}), {20, 20}, {true, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Boot(c.cards);
        Register();
        StoreSettings(44100, 512, 1, 1, 0);
        Load();
        ASSERT_EQ(host_.Init(), ASIOTrue);
        EXPECT_EQ(ChannelCounts(), c.channels);
        for (std::size_t card = 0; card < c.rateSet.size(); ++card)
            EXPECT_EQ(RatesSent(card, IOCTL_SET_SAMPLE_RATE).size(), c.rateSet[card] ? 1u : 0u) << card;
        ASSERT_TRUE(host_.Unload());
        EXPECT_EQ(OpenFiles(), 0u);
    }
}

TEST_F(Init, MemoryThatCannotBeHadFailsEachStep)
{
    Prepare(machine_testing::Cards({"default", "zavo24-20"}));
    // How many allocations of its own a successful init makes.
    unsigned steps;
    {
        allocation_hooks::NothrowAllocations count;
        ASSERT_EQ(host_.Init(), ASIOTrue);
        steps = count.Count();
    }
    EXPECT_EQ(steps, 6u);  // the list, the card table, two card records, two channel tables

    for (unsigned step = 0; step < steps; ++step) {
        SCOPED_TRACE(step);
        ASSERT_TRUE(host_.Unload());
        Load();
        {
            allocation_hooks::NothrowAllocations refuse(step);
            EXPECT_EQ(host_.Init(), ASIOFalse);
        }
        EXPECT_EQ(OpenFiles(), 0u);
        EXPECT_EQ(ChannelCounts(), std::make_pair(0, 0));
        EXPECT_EQ(host_.Init(), ASIOTrue);
        EXPECT_EQ(ChannelCounts(), std::make_pair(10 + 6, 10 + 6));
    }
    // The card list's own cards, made with a throwing new.
    for (unsigned card = 0; card < 2; ++card) {
        SCOPED_TRACE(card);
        ASSERT_TRUE(host_.Unload());
        Load();
        {
            allocation_hooks::ThrowingAllocationsOfSize refuse(sizeof(CDaveror), card);
            EXPECT_EQ(host_.Init(), ASIOFalse);
            EXPECT_TRUE(refuse.Refused());
        }
        EXPECT_EQ(OpenFiles(), 0u);
        EXPECT_EQ(host_.Init(), ASIOTrue);
    }
}

}  // namespace
