// Bringing a sent wave configuration into effect from the wave dialog: the
// card in use, the user's choice in the confirmation dialog, the restart of
// the card driver with the dialog's buttons held meanwhile, the reboot offer
// on Windows 95/98/Me, and the meter timer ticking through every nested
// dialog and box.
#include <gtest/gtest.h>

#include <memory>

#include "console/peak_meter.h"
#include "dialog_fixture.h"

namespace {

const char* const InUse =
    "Zavo24 8x8 is either in use or turned off; your changes will take effect when you restart your computer";
const char* const Reboot =
    "Your changes will not take effect until you restart your computer.  Would you like to restart now?";

class WaveRestart : public DialogTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Open());
        cookie_ = card_->GetMixerCookie();
    }
    TWaveConfig& Make()
    {
        dialog_ = std::make_unique<TWaveConfig>(form_, card_);
        return *dialog_;
    }
    // A changed configuration: the first two output pairs linked into one WDM device.
    void ChangeAndApply()
    {
        TWaveConfig& d = Make();
        d.Show();
        Click(*d.Row(true, 0).Link);
        ASSERT_EQ(d.Row(true, 0).Width, 4);
        Click(*d.ApplyButton);
    }
    bool Restarted() { return card_->GetMixerCookie() != cookie_; }
    void ExpectButtons(TWaveConfig& d, const char* okCaption, bool enabled)
    {
        EXPECT_EQ(d.OkButton->Caption(), okCaption);
        for (TButton* b : {d.OkButton, d.ApplyButton, d.CancelButton, d.HelpButton})
            EXPECT_EQ(b->Enabled(), enabled) << b->Caption();
    }
    // The console's first input meter, after a tick, shows `dB`.
    void ExpectMeterFollows(int dB)
    {
        Hooks().SetMeterLevel(machine::MeterGroup::Input, 0, Db(dB));
        Tick();
        EXPECT_EQ(form_->InStrips[0].Meter()->Level(), dB);
    }
    std::unique_ptr<TWaveConfig> dialog_;
    DWORD cookie_ = 0;
};

TEST_F(WaveRestart, ACardInUseIsNotRestartedAndTheUserIsTold)
{
    Hooks().HoldPipes(0, 0, 2);
    ChangeAndApply();
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{InUse}));
    EXPECT_EQ(desktop().Boxes()[0].caption, "Korvane3");
    EXPECT_FALSE(Restarted());
    EXPECT_FALSE(Hooks().Settings().waveConfigInEffect) << "sent, for the next restart";
    ExpectButtons(*dialog_, "&OK", true);
}

TEST_F(WaveRestart, WaitingForTheComputersRestartSendsNothingMore)
{
    InConfirm([](TConfirmDriverRestart& c) {
        EXPECT_EQ(c.Caption(), "Wave configuration change");
        EXPECT_TRUE(c.ApplyNowRadio->Checked());
        EXPECT_TRUE(c.Label1->WordWrap());
        EXPECT_EQ(c.OkButton->ModalResult(), mrNone);
        Click(*c.ApplyLaterRadio);
        Click(*c.OkButton);
        EXPECT_EQ(c.ModalResult(), mrCancel);
    });
    ChangeAndApply();
    const auto log = Hooks().Log();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back().code, IOCTL_CLOSE_TRANSPORT) << "the in-use test's last request";
    EXPECT_FALSE(Restarted());
    EXPECT_FALSE(Hooks().Settings().waveConfigInEffect);
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(WaveRestart, ClosingTheConfirmationOtherwiseIsNoUpdate)
{
    InConfirm([](TConfirmDriverRestart& c) { gui::CloseBox(c); });
    ChangeAndApply();
    EXPECT_FALSE(Restarted());
}

TEST_F(WaveRestart, UpdateNowRestartsTheCardDriverWithTheNewConfiguration)
{
    InConfirm([](TConfirmDriverRestart& c) { gui::PressKey(c, VK_RETURN); });
    ChangeAndApply();
    EXPECT_TRUE(Restarted());
    EXPECT_TRUE(BoxTexts().empty());
    const auto settings = Hooks().Settings();
    EXPECT_TRUE(settings.waveConfigInEffect);
    EXPECT_EQ(settings.effectiveWaveConfig.outputs[0].mode, WAVE_MODE_WDM);
    EXPECT_EQ(settings.effectiveWaveConfig.outputs[0].width, 4);
    EXPECT_EQ(settings.effectiveWaveConfig, settings.storedWaveConfig);
    EXPECT_EQ(Hooks().MixerSessions(), 1u);
    ExpectButtons(*dialog_, "&OK", true);
    ExpectMeterFollows(-9);
}

TEST_F(WaveRestart, ARefusedRestartHoldsTheButtonsWhileTheBoxIsUpAndGivesThemBack)
{
    Hooks().RefuseRestart(true);
    InConfirm([](TConfirmDriverRestart& c) { Click(*c.OkButton); });
    bool looked = false;
    desktop().SetWhileOpen([&] {
        looked = true;
        ExpectButtons(*dialog_, "Hang on...", false);
        EXPECT_EQ(card_->IsOpen(), 0) << "closed for the restart";
    });
    ChangeAndApply();
    EXPECT_TRUE(looked);
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{InUse}));
    ExpectButtons(*dialog_, "&OK", true);
    EXPECT_EQ(card_->IsOpen(), 1);
    EXPECT_EQ(Hooks().MixerSessions(), 1u);
    ExpectMeterFollows(-15);
}

TEST_F(WaveRestart, OnWindows9xYesAsksForARebootAndTheConsoleCarriesOnWhenNoneComes)
{
    OnWindows9x();
    desktop().QueueAnswers({IDYES});
    ChangeAndApply();
    ASSERT_EQ(BoxTexts(), (std::vector<std::string>{Reboot}));
    EXPECT_EQ(desktop().Boxes()[0].caption, "Wave configuration");
    EXPECT_EQ(desktop().Boxes()[0].type & 0xF, MB_YESNO);
    ASSERT_EQ(desktop().ExitRequests().size(), 1u);
    EXPECT_EQ(desktop().ExitRequests()[0].flags, EWX_REBOOT);
    EXPECT_EQ(Requests(IOCTL_OPEN_TRANSPORT), 0u) << "no in-use test";
    EXPECT_EQ(card_->IsOpen(), 1);
    EXPECT_EQ(Hooks().MixerSessions(), 1u);
    EXPECT_TRUE(Restarted()) << "a new mixer session";
    ExpectMeterFollows(-21);
}

TEST_F(WaveRestart, OnWindows9xNoDoesNothing)
{
    OnWindows9x();
    desktop().QueueAnswers({IDNO});
    ChangeAndApply();
    EXPECT_EQ(BoxTexts().size(), 1u);
    EXPECT_TRUE(desktop().ExitRequests().empty());
    EXPECT_FALSE(Restarted());
    EXPECT_EQ(card_->IsOpen(), 1);
}

TEST_F(WaveRestart, TheMeterTimerTicksInEveryNestedDialogAndBox)
{
    Hooks().RefuseRestart(true);
    std::vector<std::string> depths;
    desktop().SetWhileOpen([&] {
        depths.push_back("box");
        // The card is closed for the restart: ticks go on and show nothing new.
        Hooks().SetMeterLevel(machine::MeterGroup::Input, 0, Db(-40));
        Tick(3);
        EXPECT_EQ(form_->InStrips[0].Meter()->Level(), -5);
    });
    InSettings([&](TSettingsDialog& s) {
        depths.push_back("settings");
        ExpectMeterFollows(-2);
        InWaveConfig([&](TWaveConfig& w) {
            depths.push_back("wave");
            ExpectMeterFollows(-3);
            InConfirm([&](TConfirmDriverRestart& c) {
                depths.push_back("confirm");
                ExpectMeterFollows(-5);
                Click(*c.OkButton);
            });
            Click(*w.Row(true, 0).ModeLabel);
            Click(*w.ApplyButton);
            ExpectMeterFollows(-7);
            Click(*w.CancelButton);
        });
        Click(*s.AdvancedButton);
        Click(*s.CancelButton);
    });
    Click(*form_->SettingsButton);
    EXPECT_EQ(depths, (std::vector<std::string>{"settings", "wave", "confirm", "box"}));
    ExpectMeterFollows(-11);
}

}  // namespace
