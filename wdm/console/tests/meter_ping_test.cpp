// The meter tick: every meter and clock LED from one meter read a tick, and
// the card's change notifications applied to exactly what they name, never
// under a control the user holds.
#include <gtest/gtest.h>

#include <algorithm>

#include "console/card_features.h"
#include "console/fader.h"
#include "console/fader_readout.h"
#include "console/master_panel.h"
#include "console/mode_panel.h"
#include "console/mute.h"
#include "console/nominal.h"
#include "console_window_fixture.h"

namespace {

using machine::MeterGroup;

class MeterTick : public ConsoleWindowTest {
protected:
    explicit MeterTick(std::vector<machine::CardConfig> cards = DefaultCard()) : ConsoleWindowTest(std::move(cards)) {}

    void Level(MeterGroup group, unsigned index, int dB) { Hooks().SetMeterLevel(group, index, Db(dB)); }
    bool ReadAny(DWORD command, WORD channel) const
    {
        const Settings reads = const_cast<MeterTick*>(this)->Reads();
        return std::any_of(reads.begin(), reads.end(),
                           [&](const Setting& s) { return s.command == command && s.channel == channel; });
    }
    // A change another program makes: every mixer session hears of it.
    void ElsewhereSet(DWORD command, WORD channel, DWORD kind, WORD bus, LONG value)
    {
        ASSERT_EQ(Hooks().ExternalSet(command, channel, kind, bus, static_cast<DWORD>(value)), 0u);
    }
};

TEST_F(MeterTick, EveryMeterFollowsTheCard)
{
    ASSERT_TRUE(Open());
    Key(VK_F1 + 1);  // busses 2 and 3
    Level(MeterGroup::Input, 0, -3);
    Level(MeterGroup::Input, 9, -20);
    Level(MeterGroup::Input, 15, -40);  // hidden in S/PDIF mode, fed all the same
    Level(MeterGroup::OutputBus, 2, -6);
    Level(MeterGroup::OutputBus, 3, -9);
    Level(MeterGroup::OutputBus, 14, -30);
    Level(MeterGroup::Pipe, 0, -1);
    Tick();
    EXPECT_EQ(form_->InStrips[0].Meter()->Level(), -3);
    EXPECT_EQ(form_->InStrips[9].Meter()->Level(), -20);
    EXPECT_EQ(form_->InStrips[15].Meter()->Level(), -40);
    EXPECT_EQ(form_->MasterPanel()->Meter(0)->Level(), -6);
    EXPECT_EQ(form_->MasterPanel()->Meter(1)->Level(), -9);
    EXPECT_EQ(form_->BusSelectPanel()->Button(1)->Level(0), -6);
    EXPECT_EQ(form_->BusSelectPanel()->Button(1)->Level(1), -9);
    EXPECT_EQ(form_->BusSelectPanel()->Button(7)->Level(0), -30);
    // Without virtual outputs the playback meters are not fed.
    EXPECT_EQ(form_->OutStrips[0].Meter()->Level(), -128);

    // A level between whole dB shows its whole dB below: an arithmetic shift.
    Hooks().SetMeterLevel(MeterGroup::Input, 0, -3 * 256 - 1);
    Tick();
    EXPECT_EQ(form_->InStrips[0].Meter()->Level(), -4);
}

TEST_F(MeterTick, TheClockLedsShowTheSourcesPresent)
{
    ASSERT_TRUE(Open());
    const CModePanel& panel = *form_->ModePanel();
    ASSERT_EQ(panel.ButtonCount(), 4u);  // Internal, Word, Super, S/PDIF
    Hooks().SetDetectedClocks(0x1 | 0x4 | 0x8);
    Tick();
    EXPECT_EQ(form_->InternalLed->Brush()->Color, clLime);
    EXPECT_EQ(form_->ClockLed1->Brush()->Color, clBlack);
    EXPECT_EQ(form_->ClockLed2->Brush()->Color, clLime);
    EXPECT_EQ(form_->ClockLed3->Brush()->Color, clLime);
    Hooks().SetDetectedClocks(0x2);
    Tick();
    EXPECT_EQ(form_->InternalLed->Brush()->Color, clLime) << "the first LED keeps its colour";
    EXPECT_EQ(form_->ClockLed1->Brush()->Color, clLime);
    EXPECT_EQ(form_->ClockLed2->Brush()->Color, clBlack);
    // What the LED shows is on the screen after the tick.
    const TBitmap picture = gui::ComposeForm(*form_);
    const TPoint led = form_->ClockLed1->FormOrigin();
    EXPECT_EQ(picture.Surface().at(led.X + 3, led.Y + 3), ColorToRGB(clLime));
}

TEST_F(MeterTick, OneMeterReadAndAtMostOneFetchATick)
{
    ASSERT_TRUE(Open());
    Tick();
    EXPECT_EQ(Requests(IOCTL_GET_METERS), 1u);
    EXPECT_EQ(Requests(IOCTL_GET_NOTIFICATIONS), 0u) << "nothing pending";
    ClearLog();
    for (WORD n = 0; n < 25; ++n) Hooks().InjectNotify(NOTIFY_BUS_IN, n, 0);
    Tick();
    EXPECT_EQ(Requests(IOCTL_GET_METERS), 1u);
    EXPECT_EQ(Requests(IOCTL_GET_NOTIFICATIONS), 1u);
    ClearLog();
    Tick(3);
    EXPECT_EQ(Requests(IOCTL_GET_METERS), 3u);
    EXPECT_EQ(Requests(IOCTL_GET_NOTIFICATIONS), 2u) << "25 entries, 10 a fetch";
}

TEST_F(MeterTick, AChangeElsewhereShowsAtTheNextTick)
{
    ASSERT_TRUE(Open());
    ElsewhereSet(CMD_SET_MONITOR_GAIN, 1, 0, 0, Db(-10));
    ElsewhereSet(CMD_SET_MUTE, 1, CHANNEL_BUS_OUT, 0, 1);
    ElsewhereSet(CMD_SET_GAIN, 3, CHANNEL_BUS_IN, 0, Db(6));
    EXPECT_EQ(form_->InStrips[1].Readout()->Caption(), "-128");
    Tick();
    EXPECT_EQ(form_->InStrips[1].Readout()->Caption(), "-10");
    EXPECT_TRUE(form_->MasterPanel()->Mute(1)->Down());
    EXPECT_EQ(form_->InStrips[3].TrimReadout()->Caption(), "+6");

    // Another card object of the program's own, on the same card.
    CDaveror other(card_->GetPath(), INVALID_HANDLE_VALUE, 0);
    other.Open();
    ASSERT_EQ(other.OpenMixer(), 0);
    ASSERT_EQ(other.SetMonitorGain(2, 0, Db(-20)), 0u);
    Tick();
    EXPECT_EQ(form_->InStrips[2].Readout()->Caption(), "-20");
    EXPECT_EQ(form_->InStrips[2].Fader()->GetGainDriver(), -20 * 256);
}

TEST_F(MeterTick, NothingIsReReadUnderAHeldFader)
{
    ASSERT_TRUE(Open());
    TMonitorFader& fader = *form_->InStrips[0].Fader();
    const TRect thumb = fader.ThumbRect();
    const int x = (thumb.Left + thumb.Right) / 2, y = (thumb.Top + thumb.Bottom) / 2;
    gui_testing::PressOn(fader, x, y);
    ASSERT_EQ(NotificationApplyFlag, 0);
    ElsewhereSet(CMD_SET_MONITOR_GAIN, 0, 0, 0, Db(-3));
    ClearLog();
    Level(MeterGroup::Input, 0, -12);
    Tick(2);
    EXPECT_EQ(Requests(IOCTL_GET_NOTIFICATIONS), 0u);
    EXPECT_TRUE(Reads().empty());
    EXPECT_EQ(form_->InStrips[0].Meter()->Level(), -12) << "the meters go on";
    gui_testing::ReleaseOn(fader, x, y);
    ASSERT_EQ(NotificationApplyFlag, 1);
    Tick();
    EXPECT_EQ(Requests(IOCTL_GET_NOTIFICATIONS), 1u);
    EXPECT_EQ(form_->InStrips[0].Readout()->Caption(), "-3");
}

TEST_F(MeterTick, OnlyNotificationsOfThePairShownAreApplied)
{
    ASSERT_TRUE(Open());
    Key(VK_F1 + 2);  // busses 4 and 5
    ClearLog();
    Hooks().InjectNotify(NOTIFY_PIPE_OUT, 5, 5);
    Tick();
    EXPECT_TRUE(ReadAny(CMD_GET_GAIN, 5)) << "bus 5 is on the pair 4/5";
    ClearLog();
    Hooks().InjectNotify(NOTIFY_PIPE_OUT, 7, 6);
    Hooks().InjectNotify(NOTIFY_MONITOR, 3, 7);
    Tick();
    EXPECT_TRUE(Reads().empty());
    ClearLog();
    Hooks().InjectNotify(NOTIFY_MONITOR, 3, 4);
    Tick();
    EXPECT_TRUE(ReadAny(CMD_GET_MONITOR_GAIN, 3));
    EXPECT_FALSE(ReadAny(CMD_GET_MONITOR_GAIN, 2));

    // An output-bus change refreshes the pair shown, whatever its channel.
    ClearLog();
    Hooks().InjectNotify(NOTIFY_BUS_OUT, 12, 0);
    Tick();
    const Settings reads = Reads();
    EXPECT_NE(std::find(reads.begin(), reads.end(), Setting{CMD_GET_GAIN, 4, CHANNEL_BUS_OUT, 0, 0}), reads.end());
    EXPECT_NE(std::find(reads.begin(), reads.end(), Setting{CMD_GET_MUTE, 5, CHANNEL_BUS_OUT, 0, 0}), reads.end());
    EXPECT_FALSE(ReadAny(CMD_GET_GAIN, 12));

    // An input's own settings.
    ClearLog();
    Hooks().InjectNotify(NOTIFY_BUS_IN, 6, 0);
    Tick();
    const Settings input = Reads();
    EXPECT_EQ(input, (Settings{{CMD_GET_NOMINAL, 6, CHANNEL_BUS_IN, 0, 0}, {CMD_GET_GAIN, 6, CHANNEL_BUS_IN, 0, 0}}));
}

TEST_F(MeterTick, ADigitalModeChangeElsewhereReLaysTheWindow)
{
    ASSERT_TRUE(Open());
    const int width = form_->Width();
    ASSERT_EQ(form_->DigitalLayoutMode, DIGITAL_MODE_SPDIF_RCA);
    ElsewhereSet(CMD_SET_DIGITAL_MODE, 0, 0, 0, DIGITAL_MODE_ADAT);
    Tick();
    EXPECT_EQ(form_->DigitalLayoutMode, DIGITAL_MODE_ADAT);
    EXPECT_EQ(form_->Width(), width + 240);
    EXPECT_EQ(form_->Left(), 20);
    EXPECT_TRUE(form_->AdatOpticalButton->Down());
    EXPECT_EQ(form_->ClockButton3->Caption(), "ADAT");
    EXPECT_EQ(form_->BusCount, 16);
    ElsewhereSet(CMD_SET_INPUT_CLOCK, 0, 0, 0, 4);
    Tick();
    EXPECT_EQ(form_->ModePanel()->InputClock(), 4);
    EXPECT_TRUE(form_->ClockButton3->Down());
    EXPECT_FALSE(form_->InternalButton->Down());
}

TEST_F(MeterTick, WhatTheCardCannotMeanChangesNothing)
{
    ASSERT_TRUE(Open());
    // A fetch that fails.
    Hooks().InjectNotify(NOTIFY_BUS_IN, 0, 0);
    Hooks().FailNext(IOCTL_GET_NOTIFICATIONS);
    Tick();
    EXPECT_EQ(Requests(IOCTL_GET_NOTIFICATIONS), 1u);
    EXPECT_TRUE(Reads().empty());
    Tick();  // the entry, at last
    ClearLog();
    // Types the console does not know, channels past the strips.
    Hooks().InjectNotify(7, 0, 0);
    Hooks().InjectNotify(0x8000, 1, 0);
    Hooks().InjectNotify(NOTIFY_BUS_IN, 16, 0);
    Hooks().InjectNotify(NOTIFY_BUS_IN, 400, 0);
    Hooks().InjectNotify(NOTIFY_MONITOR, 31, 0);
    Tick();
    EXPECT_EQ(Requests(IOCTL_GET_NOTIFICATIONS), 1u);
    EXPECT_TRUE(Reads().empty());
    // A reply that claims more entries than the buffer holds: at most 10 are applied.
    // The reply's one entry, then nine empty ones: output-bus changes.
    ClearLog();
    Hooks().InjectNotify(NOTIFY_BUS_IN, 2, 0);
    Hooks().SetNotificationCountOverride(5000);
    Tick();
    Hooks().SetNotificationCountOverride(std::nullopt);
    const Settings reads = Reads();
    EXPECT_EQ(std::count(reads.begin(), reads.end(), Setting{CMD_GET_NOMINAL, 2, CHANNEL_BUS_IN, 0, 0}), 1);
    EXPECT_EQ(std::count(reads.begin(), reads.end(), Setting{CMD_GET_GAIN, 0, CHANNEL_BUS_OUT, 0, 0}), 9);
}

class VirtualOutputsTick : public MeterTick {
protected:
    VirtualOutputsTick() : MeterTick({machine::MakePreset("virtual-outputs")}) {}
};

TEST_F(VirtualOutputsTick, PlaybackMetersAndNotificationsOfEveryStrip)
{
    ASSERT_TRUE(Open());
    Level(MeterGroup::Pipe, 0, -2);
    Level(MeterGroup::Pipe, 15, -25);
    Tick();
    EXPECT_EQ(form_->OutStrips[0].Meter()->Level(), -2);
    EXPECT_EQ(form_->OutStrips[15].Meter()->Level(), -25);
    ClearLog();
    Hooks().InjectNotify(NOTIFY_PIPE_OUT, 11, 1);
    Hooks().InjectNotify(NOTIFY_PIPE_OUT, 16, 0);
    Tick();
    const Settings reads = Reads();
    EXPECT_NE(std::find(reads.begin(), reads.end(), Setting{CMD_GET_GAIN, 11, CHANNEL_PIPE_OUT, 0, 0}), reads.end());
    EXPECT_FALSE(ReadAny(CMD_GET_GAIN, 16));
}

class ManyChannelsTick : public MeterTick {
protected:
    ManyChannelsTick() : MeterTick({ManyChannelsCard()}) {}
};

TEST_F(ManyChannelsTick, FeedsOnlyTheStripsBuilt)
{
    ASSERT_TRUE(Open());
    Level(MeterGroup::Input, 20, -5);
    Level(MeterGroup::Pipe, 40, -5);
    Level(MeterGroup::Input, 15, -7);
    Level(MeterGroup::Pipe, 15, -8);
    Tick();
    EXPECT_EQ(form_->InStrips[15].Meter()->Level(), -7);
    EXPECT_EQ(form_->OutStrips[15].Meter()->Level(), -8);
    ClearLog();
    Hooks().InjectNotify(NOTIFY_MONITOR, 20, 0);
    Hooks().InjectNotify(NOTIFY_PIPE_OUT, 40, 0);
    Tick();
    EXPECT_TRUE(Reads().empty());
}

}  // namespace
