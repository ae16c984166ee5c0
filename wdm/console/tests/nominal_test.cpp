// The nominal-level buttons and the phantom-power toggle.
#include "console_fixture.h"

namespace {

using NominalTest = ConsoleTest;

constexpr LONG Minus10 = -10;

TEST_F(NominalTest, BuiltAsTheStripAndThePanelPlaceThem)
{
    TNominalInputButton* input = AddNominalInput(40, 0);
    TNominalOutButton* output = AddNominalOut(0, 0);
    EXPECT_EQ(input->BoundsRect(), Bounds(51, 45, 18, 14));
    EXPECT_EQ(input->Font()->Name(), "Small Fonts");
    EXPECT_EQ(input->Font()->Height(), 10);
    EXPECT_EQ(input->Margin(), -1);
    EXPECT_EQ(input->GroupIndex(), 0) << "not a toggle";
    EXPECT_EQ(output->BoundsRect(), Bounds(8, 290, 24, 20));
    EXPECT_EQ(output->Font()->Name(), "Arial") << "the parent's";
    EXPECT_EQ(input->Caption(), "+4");
    EXPECT_EQ(output->Caption(), "+4");
}

TEST_F(NominalTest, ClicksSwitchBetweenPlus4AndMinus10)
{
    TNominalInputButton* input = AddNominalInput(0, 2);
    TNominalOutButton* output = AddNominalOut(40, 5);
    ShowForm();
    ClearLog();
    Click(*input);
    EXPECT_EQ(input->Caption(), "-10");
    EXPECT_FALSE(input->Down());
    Click(*input);
    EXPECT_EQ(input->Caption(), "+4");
    Click(*output);
    EXPECT_EQ(output->Caption(), "-10");
    EXPECT_EQ(Sent(), (Settings{InputNominal(2, Minus10), InputNominal(2, 4), BusOutNominal(5, Minus10)}));
    EXPECT_EQ(Hooks().Mixer().busOut[5].nominal, static_cast<DWORD>(Minus10));
}

TEST_F(NominalTest, GangedClickSetsBothEvenWhenThePartnerShowedItAlready)
{
    TNominalOutButton* a = AddNominalOut(0, 0);
    TNominalOutButton* b = AddNominalOut(40, 1);
    Link<TNominalButton<TButton>>(a, b, AddGang(0));
    ShowForm();
    ClearLog();
    Click(*a);
    EXPECT_EQ(b->Caption(), "-10");
    Click(*b);
    EXPECT_EQ(a->Caption(), "+4");
    Hold(VK_SHIFT);
    Click(*a);  // Shift: this one alone
    Hold(VK_SHIFT, false);
    EXPECT_EQ(b->Caption(), "+4");
    Click(*b);  // b to -10, and a, which shows -10 already, is written again
    EXPECT_EQ(Sent(), (Settings{BusOutNominal(0, Minus10), BusOutNominal(1, Minus10), BusOutNominal(1, 4),
                                BusOutNominal(0, 4), BusOutNominal(0, Minus10), BusOutNominal(1, Minus10),
                                BusOutNominal(0, Minus10)}));
}

TEST_F(NominalTest, HiddenPartnerTakesNoCopy)
{
    TNominalOutButton* a = AddNominalOut(0, 0);
    TNominalOutButton* b = AddNominalOut(40, 1);
    Link<TNominalButton<TButton>>(a, b, AddGang(0));
    b->Hide();
    ShowForm();
    ClearLog();
    Click(*a);
    EXPECT_EQ(Sent(), Settings{BusOutNominal(0, Minus10)});
    EXPECT_EQ(b->Caption(), "+4");
}

TEST_F(NominalTest, OtherLevelReadShowsMinus10AndTheNextClickSendsPlus4)
{
    machine::sim::MixerState mixer = Hooks().Mixer();
    mixer.inputs[1].nominal = static_cast<DWORD>(-3);
    Hooks().SetMixerRaw(mixer);
    TNominalInputButton* input = AddNominalInput(0, 1);
    EXPECT_EQ(input->Caption(), "-10");
    EXPECT_EQ(input->Nominal(), -3) << "kept as read";
    ShowForm();
    ClearLog();
    Click(*input);
    EXPECT_EQ(input->Caption(), "+4");
    EXPECT_EQ(Sent(), Settings{InputNominal(1, 4)});
}

TEST_F(NominalTest, PhantomPowerToggles)
{
    TPhantomButton* phantom = AddPhantom();
    EXPECT_EQ(phantom->BoundsRect(), Bounds(20, 25, 40, 20));
    EXPECT_EQ(phantom->Caption(), "+48v");
    EXPECT_TRUE(phantom->AllowAllUp());
    EXPECT_FALSE(phantom->Down());
    ShowForm();
    ClearLog();
    Click(*phantom);
    EXPECT_TRUE(phantom->Down());
    EXPECT_EQ(Sent(), Settings{PhantomPower(1)});
    Click(*phantom);
    EXPECT_FALSE(phantom->Down());
    ExternalSet(CMD_SET_PHANTOM_POWER, 0, 0, 0, 1);
    phantom->UpdateFromDriver();
    EXPECT_TRUE(phantom->Down());
    EXPECT_EQ(Sent(), (Settings{PhantomPower(1), PhantomPower(0)}));
}

}  // namespace
