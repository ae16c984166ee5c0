// The clock panel: the input-clock buttons of the sources the card offers,
// their LEDs, and the digital-mode (or output-clock) buttons.
#include <gtest/gtest.h>

#include "console/card_features.h"
#include "console/mode_panel.h"
#include "console_window_fixture.h"

namespace {

std::vector<machine::CardConfig> ClockMask(std::uint32_t mask, const char* preset = "default")
{
    return CardWith([mask](machine::CardConfig& c) { c.clockMask = mask; }, preset);
}

class ClockPanel : public ConsoleWindowTest {
protected:
    explicit ClockPanel(std::vector<machine::CardConfig> cards = DefaultCard()) : ConsoleWindowTest(std::move(cards)) {}

    const CModePanel& Panel() const { return *form_->ModePanel(); }
    std::vector<std::string> Captions() const
    {
        std::vector<std::string> captions;
        for (DWORD k = 0; k < Panel().ButtonCount(); ++k) captions.push_back(Panel().Entry(k).Button->Caption());
        return captions;
    }
    std::vector<TSpeedButton*> ClockButtons() const
    {
        return {form_->InternalButton, form_->ClockButton1, form_->ClockButton2, form_->ClockButton3,
                form_->ClockButton4};
    }
    std::vector<TShape*> Leds() const
    {
        return {form_->InternalLed, form_->ClockLed1, form_->ClockLed2, form_->ClockLed3, form_->ClockLed4};
    }
    void StoreOnCard(void (*change)(machine::sim::MixerState&))
    {
        machine::sim::MixerState mixer = Hooks().Mixer();
        change(mixer);
        Hooks().SetMixerRaw(mixer);
    }
};

TEST_F(ClockPanel, TheDefaultCardsSources)
{
    ASSERT_TRUE(Open());
    // ADAT has no button of its own; S/PDIF's shows it in the ADAT mode.
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Internal", "Word", "Super", "S/PDIF"}));
    EXPECT_EQ(Panel().DigitalClockSlot(), 3);
    EXPECT_EQ(Panel().Entry(3).Mask, 0x08u);
    EXPECT_FALSE(form_->ClockButton4->Visible());
    EXPECT_FALSE(form_->ClockLed4->Visible());
    EXPECT_TRUE(form_->InternalButton->Down());
    EXPECT_TRUE(form_->SpdifRcaButton->Down());
    EXPECT_TRUE(form_->ClockLabel->Visible());
    EXPECT_TRUE(form_->DMSLabel->Visible());
    EXPECT_EQ(form_->DMSLabel->Caption(), "Digital mode");
    for (TControl* c :
         std::vector<TControl*>{form_->SpdifRcaButton, form_->SpdifOpticalButton, form_->AdatOpticalButton})
        EXPECT_TRUE(c->Visible());
}

class ThreeSources : public ClockPanel {
protected:
    ThreeSources() : ClockPanel(ClockMask(0x0B)) {}
};

TEST_F(ThreeSources, ShowThreeButtons)
{
    ASSERT_TRUE(Open());
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Internal", "Word", "S/PDIF"}));
    EXPECT_EQ(Panel().DigitalClockSlot(), 2);
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(ClockButtons()[k]->Visible(), k < 3) << k;
        EXPECT_EQ(Leds()[k]->Visible(), k < 3) << k;
    }
}

class EverySource : public ClockPanel {
protected:
    EverySource() : ClockPanel({machine::MakePreset("tarnex-b0")}) {}
};

TEST_F(EverySource, TheFirstFiveGetButtons)
{
    ASSERT_TRUE(Open());
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Internal", "Word", "Super", "S/PDIF", "Orsync"}));
    EXPECT_EQ(Panel().FindClockButton(7), 5u) << "MTC: none";
}

TEST_F(ClockPanel, TheAdatModeRelabelsTheSpdifButtonWithItsLedDark)
{
    ASSERT_TRUE(Open());
    Hooks().SetDetectedClocks(0x01 | 0x08);
    Tick();
    ASSERT_EQ(form_->ClockLed3->Brush()->Color, clLime);
    Click(*form_->AdatOpticalButton);
    EXPECT_EQ(Hooks().Mixer().digitalMode, 2u);
    EXPECT_EQ(Panel().DigitalMode(), DIGITAL_MODE_ADAT);
    EXPECT_EQ(form_->ClockButton3->Caption(), "ADAT");
    EXPECT_EQ(Panel().Entry(3).ClockIndex, 4);
    EXPECT_EQ(Panel().Entry(3).Mask, 0x10u);
    EXPECT_EQ(form_->ClockLed3->Brush()->Color, clBlack) << "until the next tick";
    Tick();
    EXPECT_EQ(form_->ClockLed3->Brush()->Color, clBlack) << "S/PDIF is there, ADAT is not";
    Hooks().SetDetectedClocks(0x01 | 0x10);
    Tick();
    EXPECT_EQ(form_->ClockLed3->Brush()->Color, clLime);
    Click(*form_->SpdifOpticalButton);
    EXPECT_EQ(form_->ClockButton3->Caption(), "S/PDIF");
    EXPECT_EQ(Panel().Entry(3).Mask, 0x08u);
}

class NoSpdifSource : public ClockPanel {
protected:
    NoSpdifSource() : ClockPanel(ClockMask(0x33)) {}  // Internal, Word, ADAT, Orsync
};

TEST_F(NoSpdifSource, NothingIsRelabelled)
{
    ASSERT_TRUE(Open());
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Internal", "Word", "Orsync"}));
    EXPECT_EQ(Panel().DigitalClockSlot(), 2);
    Click(*form_->AdatOpticalButton);
    Click(*form_->SpdifRcaButton);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Internal", "Word", "Orsync"}));
    EXPECT_EQ(Panel().Entry(2).ClockIndex, 5);
}

TEST_F(ClockPanel, ASourceThatIsNotThereCannotBeChosen)
{
    ASSERT_TRUE(Open());
    Click(*form_->ClockButton1);  // Word, not present
    EXPECT_TRUE(form_->InternalButton->Down());
    EXPECT_FALSE(form_->ClockButton1->Down());
    EXPECT_EQ(Hooks().Mixer().inputClock, 0);
    EXPECT_TRUE(desktop().Boxes().empty()) << "refused without a word";

    Hooks().SetDetectedClocks(0x01 | 0x02);
    Tick();
    Click(*form_->ClockButton1);
    EXPECT_TRUE(form_->ClockButton1->Down());
    EXPECT_EQ(Hooks().Mixer().inputClock, 1);
    EXPECT_EQ(Panel().InputClock(), 1);
}

TEST_F(ClockPanel, WithAClockNoButtonShowsARefusalPressesNothing)
{
    StoreOnCard([](machine::sim::MixerState& m) { m.inputClock = 6; });  // Orsync96: not on this card
    ASSERT_TRUE(Open());
    EXPECT_EQ(Panel().InputClock(), 6);
    EXPECT_EQ(Panel().FindClockButton(6), Panel().ButtonCount());
    Click(*form_->ClockButton2);
    EXPECT_TRUE(form_->ClockButton2->Down());
    EXPECT_EQ(Hooks().Mixer().inputClock, 6);
}

TEST_F(ClockPanel, AModeChangeRefusedWhileTheCardIsInUse)
{
    ASSERT_TRUE(Open());
    const int width = form_->Width();
    Hooks().HoldPipes(0, 0, 2);
    Click(*form_->AdatOpticalButton);
    EXPECT_EQ(Hooks().Mixer().digitalMode, 0u);
    EXPECT_TRUE(form_->SpdifRcaButton->Down());
    EXPECT_FALSE(form_->AdatOpticalButton->Down());
    ASSERT_EQ(desktop().Boxes().size(), 1u);
    EXPECT_EQ(desktop().Boxes()[0].text, "The digital mode cannot be changed while your hardware is in use.");
    EXPECT_EQ(desktop().Boxes()[0].caption, "Zavo24 8x8 Console");
    EXPECT_EQ(form_->Width(), width);
    EXPECT_EQ(form_->ClockButton3->Caption(), "S/PDIF");
}

class OutputClockFamily : public ClockPanel {
protected:
    OutputClockFamily() : ClockPanel({machine::MakePreset("zavo24-30")}) {}
};

TEST_F(OutputClockFamily, TheModeButtonsSetTheOutputClock)
{
    StoreOnCard([](machine::sim::MixerState& m) { m.outputClock = 2; });
    ASSERT_TRUE(Open());
    EXPECT_EQ(form_->SpdifRcaButton->Caption(), "Word out");
    EXPECT_EQ(form_->SpdifOpticalButton->Caption(), "Super out");
    EXPECT_FALSE(form_->AdatOpticalButton->Visible());
    EXPECT_EQ(form_->DMSLabel->Caption(), "Output clock");
    EXPECT_TRUE(form_->SpdifOpticalButton->Down());
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Internal", "Word", "Super", "S/PDIF"}));

    Click(*form_->SpdifRcaButton);
    EXPECT_EQ(Hooks().Mixer().outputClock, 1);
    Click(*form_->SpdifOpticalButton);
    EXPECT_EQ(Hooks().Mixer().outputClock, 2);

    // Read back from the card, anything but 1 is the super clock.
    Click(*form_->SpdifRcaButton);
    StoreOnCard([](machine::sim::MixerState& m) { m.outputClock = 3; });
    Hooks().InjectNotify(NOTIFY_GLOBAL, 0, 0);
    Tick();
    EXPECT_TRUE(form_->SpdifOpticalButton->Down());
}

TEST_F(OutputClockFamily, AtSetUpOnlyTheTwoClocksPressAButton)
{
    StoreOnCard([](machine::sim::MixerState& m) { m.outputClock = 3; });
    ASSERT_TRUE(Open());
    EXPECT_TRUE(form_->SpdifRcaButton->Down()) << "as designed";
    EXPECT_FALSE(form_->SpdifOpticalButton->Down());
}

class InternalClockOnly : public ClockPanel {
protected:
    InternalClockOnly() : ClockPanel(CardWith([](machine::CardConfig& c) {
        c.clockMask = 0x1;
        c.digitalModeSwitch = false;
    }, "zavo24-10")) {}
};

TEST_F(InternalClockOnly, ShowsNoClockButtons)
{
    ASSERT_TRUE(Open());
    EXPECT_EQ(Panel().ButtonCount(), 1u);
    for (TSpeedButton* b : ClockButtons()) EXPECT_FALSE(b->Visible());
    for (TShape* led : Leds()) EXPECT_FALSE(led->Visible());
    EXPECT_FALSE(form_->ClockLabel->Visible());
    // Nor mode buttons without the switch.
    EXPECT_FALSE(form_->DMSLabel->Visible());
    EXPECT_FALSE(form_->SpdifRcaButton->Visible());
    EXPECT_FALSE(form_->AdatOpticalButton->Visible());
}

}  // namespace
