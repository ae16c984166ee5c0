// Bringing a wave-device configuration into effect: the in-use test on a
// card object of its own, the restart of the card driver with the card
// reopened in every case, and the comparison of two configurations.
#include <gtest/gtest.h>

#include "console/card_restart.h"
#include "console/peak_meter.h"
#include "console_window_fixture.h"

namespace {

const char* const InUse =
    "Zavo24 8x8 is either in use or turned off; your changes will take effect when you restart your computer";
const char* const Late =
    "The driver cannot be restarted right now; your changes will take effect when you restart your computer";

class CardRestart : public ConsoleWindowTest {
protected:
    bool Restart() { return RestartCard(*form_, *card_, InUse, Late); }
    std::vector<std::string> BoxTexts() const
    {
        std::vector<std::string> texts;
        for (const auto& box : const_cast<CardRestart*>(this)->desktop().Boxes()) texts.push_back(box.text);
        return texts;
    }
    // The console's card still works: a meter read and a mixer message go through.
    void ExpectCardWorks()
    {
        EXPECT_EQ(card_->IsValid(), 1);
        EXPECT_NE(card_->ReadMeters(), 0);
        LONG gain = 0;
        EXPECT_EQ(card_->GetMonitorGain(0, 0, &gain), 0u);
    }
};

TEST_F(CardRestart, AFreeCardIsNotInUse)
{
    ASSERT_TRUE(Open());
    EXPECT_FALSE(IsCardInUse(*card_));
    // Every pair of both directions, and the transport closed after them.
    EXPECT_EQ(Requests(IOCTL_RESERVE_PIPES), 16u);
    EXPECT_EQ(Requests(IOCTL_CLOSE_TRANSPORT), 1u);
    EXPECT_TRUE(Hooks().Transports().empty());
    EXPECT_EQ(Hooks().OpenFiles(), 1u) << "the probe's file is closed again";
    ExpectCardWorks();
}

TEST_F(CardRestart, APairHeldElsewhereMeansInUse)
{
    ASSERT_TRUE(Open());
    Hooks().HoldPipes(0, 0, 2);
    EXPECT_TRUE(IsCardInUse(*card_));
    EXPECT_EQ(Requests(IOCTL_RESERVE_PIPES), 1u) << "no pair tried after the first refused";
    EXPECT_TRUE(Hooks().Transports().empty());
    ExpectCardWorks();

    Hooks().ReleaseHeldPipes();
    Hooks().HoldPipes(1, 6, 2);
    ClearLog();
    EXPECT_TRUE(IsCardInUse(*card_));
    EXPECT_EQ(Requests(IOCTL_RESERVE_PIPES), 8u + 4u);
}

TEST_F(CardRestart, ARefusedTransportLeavesTheConsolesCardWorking)
{
    ASSERT_TRUE(Open());
    Hooks().ZeroTransportCookie(true);
    EXPECT_TRUE(IsCardInUse(*card_));
    EXPECT_EQ(Requests(IOCTL_RESERVE_PIPES), 0u);
    ExpectCardWorks();
    Tick();
    EXPECT_TRUE(desktop().Boxes().empty());
}

TEST_F(CardRestart, ARestartReopensTheCard)
{
    ASSERT_TRUE(Open());
    const DWORD cookie = card_->GetMixerCookie();
    EXPECT_TRUE(Restart());
    EXPECT_TRUE(BoxTexts().empty());
    EXPECT_EQ(card_->IsOpen(), 1);
    EXPECT_NE(card_->GetMixerCookie(), cookie);
    EXPECT_EQ(Hooks().MixerSessions(), 1u);
    ExpectCardWorks();
}

TEST_F(CardRestart, ARestartRefusedWhileAnotherFileIsOpenSaysSo)
{
    ASSERT_TRUE(Open());
    CDaveror other(card_->GetPath(), INVALID_HANDLE_VALUE, 0);
    other.Open();
    EXPECT_FALSE(Restart());
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{InUse}));
    EXPECT_EQ(desktop().Boxes()[0].caption, "Korvane3");
    EXPECT_EQ(Hooks().MixerSessions(), 1u);
    ExpectCardWorks();
}

TEST_F(CardRestart, AConfigurationStillPendingAfterTheRestartIsLate)
{
    ASSERT_TRUE(Open());
    Hooks().RestartLeavesConfigPending(true);
    EXPECT_FALSE(Restart());
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{Late}));
    EXPECT_EQ(desktop().Boxes()[0].caption, "Korvane3");
    // The card was reopened first.
    EXPECT_EQ(card_->IsOpen(), 1);
    ExpectCardWorks();
}

TEST_F(CardRestart, AConfigurationThatCannotBeReadIsNotInEffect)
{
    ASSERT_TRUE(Open());
    Hooks().FailNext(IOCTL_GET_WAVE_CONFIG);
    EXPECT_FALSE(Restart());
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{Late}));
}

TEST_F(CardRestart, ACardThatDoesNotComeBackShowsItsError)
{
    ASSERT_TRUE(Open());
    Hooks().FailNext(IOCTL_GET_CAPS);
    EXPECT_TRUE(Restart()) << "the card driver restarted, with its configuration in effect";
    // The card object's last error: the mixer it could not open on the card it could not read.
    ASSERT_EQ(BoxTexts(), (std::vector<std::string>{"Could not turn on meters\n"}));
    EXPECT_EQ(desktop().Boxes()[0].caption, "Korvane3 Error");
    EXPECT_EQ(card_->IsValid(), 0);
    Tick();  // the meter tick on a dead card shows nothing
    EXPECT_EQ(desktop().Boxes().size(), 1u);
}

TEST_F(CardRestart, ACardObjectWithoutADeviceNodeKeepsOneMixerSession)
{
    ASSERT_TRUE(Open());
    CDaveror nodeless(card_->GetPath(), INVALID_HANDLE_VALUE, 0);
    nodeless.Open();
    ASSERT_EQ(nodeless.OpenMixer(), 0);
    ASSERT_EQ(Hooks().MixerSessions(), 2u);
    EXPECT_FALSE(RestartCard(*form_, nodeless, InUse, Late));
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{InUse}));
    EXPECT_EQ(Hooks().MixerSessions(), 2u) << "the console's and the one reopened";
    EXPECT_EQ(nodeless.IsValid(), 1);
}

TEST_F(CardRestart, TheMeterTimerTicksOnTheClosedCardWhileTheBoxIsUp)
{
    ASSERT_TRUE(Open());
    Hooks().SetMeterLevel(machine::MeterGroup::Input, 0, -12 * 256);
    Tick();
    ASSERT_EQ(form_->InStrips[0].Meter()->Level(), -12);
    Hooks().RefuseRestart(true);
    int ticks = 0;
    desktop().SetWhileOpen([&] {
        const std::size_t reads = Requests(IOCTL_GET_METERS);
        for (int t = 0; t < 5; ++t) Tick();
        ticks = static_cast<int>(Requests(IOCTL_GET_METERS) - reads);
        EXPECT_EQ(card_->IsOpen(), 0) << "closed while the box is up";
        EXPECT_EQ(form_->InStrips[0].Meter()->Level(), -12);
    });
    Hooks().SetMeterLevel(machine::MeterGroup::Input, 0, -30 * 256);
    EXPECT_FALSE(Restart());
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{InUse}));
    EXPECT_EQ(ticks, 0) << "a closed card sends nothing";
    EXPECT_EQ(form_->InStrips[0].Meter()->Level(), -12);
    Tick();
    EXPECT_EQ(form_->InStrips[0].Meter()->Level(), -30);
}

TEST(WaveConfigComparison, CountsAndTheEntriesWithinThem)
{
    WaveConfigRecord a{};
    a.OutputCount = 2;
    a.Outputs[0] = {WAVE_MODE_NIMBREL, 2};
    a.Outputs[1] = {WAVE_MODE_WDM, 4};
    a.InputCount = 1;
    a.Inputs[0] = {WAVE_MODE_NIMBREL, 2};
    const struct {
        const char* change;
        void (*apply)(WaveConfigRecord&);
        bool same;
    } cases[] = {
        {"nothing", [](WaveConfigRecord&) {}, true},
        {"the flags", [](WaveConfigRecord& r) { r.Flags = 1; }, true},
        {"an output past the count", [](WaveConfigRecord& r) { r.Outputs[2] = {1, 2}; }, true},
        {"an input past the count", [](WaveConfigRecord& r) { r.Inputs[15] = {1, 8}; }, true},
        {"an output's mode", [](WaveConfigRecord& r) { r.Outputs[1].Mode = WAVE_MODE_NIMBREL; }, false},
        {"an output's width", [](WaveConfigRecord& r) { r.Outputs[0].Width = 4; }, false},
        {"an input's width", [](WaveConfigRecord& r) { r.Inputs[0].Width = 6; }, false},
        {"the output count", [](WaveConfigRecord& r) { r.OutputCount = 3; }, false},
        {"the input count", [](WaveConfigRecord& r) { r.InputCount = 0; }, false},
    };
    for (const auto& c : cases) {
        WaveConfigRecord b = a;
        c.apply(b);
        EXPECT_EQ(SameWaveConfig(a, b), c.same) << c.change;
        EXPECT_EQ(SameWaveConfig(b, a), c.same) << c.change;
    }
    // Counts past the entries compare the 16 there are.
    WaveConfigRecord big{}, other{};
    big.OutputCount = other.OutputCount = 40;
    EXPECT_TRUE(SameWaveConfig(big, other));
    other.Outputs[15].Width = 2;
    EXPECT_FALSE(SameWaveConfig(big, other));
}

}  // namespace
