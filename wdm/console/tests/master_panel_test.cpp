// The output-bus panel: its controls' places, the names of the pairs, the
// card settings it writes and reads for the displayed pair, the nominal
// buttons that follow the busses' switch, and the sideways move.
#include "layout_fixture.h"

#include <map>
#include <string>
#include <vector>

#include "console/fader_law.h"

namespace {

using MasterPanelTest = LayoutTest;

TEST_F(MasterPanelTest, BuiltAtTheRightOfThePlaybackStrips)
{
    Build();
    const int x = panelX_;
    ASSERT_EQ(x, 734);
    EXPECT_EQ(form_->ClientWidth(), x + 124);
    CMasterPanel& panel = *master_;
    EXPECT_EQ(panel.Bevel()->BoundsRect(), Bounds(x, 274, 120, 548 - 274 - 4)) << "the lower half of the window";
    for (WORD i = 0; i < 2; ++i) {
        const int left = x + 80 * i;
        SCOPED_TRACE(i);
        EXPECT_EQ(panel.Readout(i)->BoundsRect(), Bounds(left + 7, 495, 26, 18));
        EXPECT_EQ(panel.Fader(i)->BoundsRect(), Bounds(left + 10, 340, 20, 155));
        EXPECT_EQ(panel.Fader(i)->Readout(), panel.Readout(i));
        EXPECT_EQ(panel.Fader(i)->Bus(), i);
        EXPECT_EQ(panel.Mute(i)->BoundsRect(), Bounds(left + 10, 316, 20, 20));
        EXPECT_EQ(panel.Mute(i)->Bus(), i);
        EXPECT_EQ(panel.Nominal(i)->BoundsRect(), Bounds(left + 8, 290, 24, 20));
        EXPECT_EQ(panel.Nominal(i)->Bus(), i);
        EXPECT_TRUE(panel.Nominal(i)->Visible());
        EXPECT_EQ(panel.Fader(i)->Partner(), panel.Fader(1 - i));
        EXPECT_EQ(panel.Mute(i)->Partner(), panel.Mute(1 - i));
        EXPECT_EQ(panel.Nominal(i)->Partner(), panel.Nominal(1 - i));
        EXPECT_EQ(panel.Fader(i)->Gang(), panel.GangButton());
        EXPECT_EQ(panel.Mute(i)->Gang(), panel.GangButton());
        EXPECT_EQ(panel.Nominal(i)->Gang(), panel.GangButton());
    }
    const TLabel* name = panel.NameLabel();
    EXPECT_EQ(name->BoundsRect(), Bounds(x + 10, 526, 100, 16));
    EXPECT_EQ(name->Caption(), "Analog out 1/2");
    EXPECT_EQ(name->Alignment(), taCenter);
    EXPECT_FALSE(name->AutoSize());
    EXPECT_EQ(name->Font()->Height(), 16);
    EXPECT_TRUE(name->Font()->Style().Contains(fsBold));
    EXPECT_EQ(name->Font()->Name(), "Arial");
    EXPECT_EQ(panel.GangButton()->BoundsRect(), Bounds(x + 52, 468 + 29, 16, 16)) << "centred under the faders";
    EXPECT_TRUE(panel.GangButton()->Down());
    EXPECT_EQ(panel.Meter(0)->Image()->BoundsRect(), Bounds(x + 35, 300, 10, 191));
    EXPECT_EQ(panel.Meter(0)->ScaleLabels().size(), 7u);
    EXPECT_EQ(panel.Meter(0)->ScaleLabels()[0]->Left(), x + 35 + 16);
    EXPECT_EQ(panel.Meter(1)->Image()->BoundsRect(), Bounds(x + 75, 300, 10, 191));
    EXPECT_TRUE(panel.Meter(1)->ScaleLabels().empty());
}

struct NamesCase {
    const char* what;
    std::uint16_t analog, busses;
    std::vector<std::string> names;  // the rest of the eight are empty
};

class PairNamesTest : public LayoutTest, public testing::WithParamInterface<NamesCase> {
protected:
    PairNamesTest()
        : LayoutTest(DefaultCardWith([](machine::CardConfig& card) {
              card.analogOutputBusses = GetParam().analog;
              card.outputBusses = GetParam().busses;
          }))
    {
    }
};

TEST_P(PairNamesTest, AnalogPairsFirstThenTheDigitalOnesFromOne)
{
    Build();
    const std::vector<std::string>& names = GetParam().names;
    for (int k = 0; k < MASTER_PANEL_PAIRS; ++k)
        EXPECT_EQ(master_->PairName(k), k < static_cast<int>(names.size()) ? names[k] : "") << k;
    for (WORD k = 0; k < names.size(); ++k) {
        master_->SelectBus(2 * k);
        EXPECT_EQ(master_->NameLabel()->Caption(), names[k]);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cards, PairNamesTest,
    testing::Values(NamesCase{"TwoAndSix", 2, 8, {"Analog out 1/2", "Digital out 1/2", "Digital out 3/4", "Digital out 5/6"}},
                    NamesCase{"EightAndEight", 8, 16, {"Analog out 1/2", "Analog out 3/4", "Analog out 5/6", "Analog out 7/8",
                                                       "Digital out 1/2", "Digital out 3/4", "Digital out 5/6",
                                                       "Digital out 7/8"}},
                    NamesCase{"EightPairsOfThirtyTwo", 4, 32, {"Analog out 1/2", "Analog out 3/4", "Digital out 1/2",
                                                               "Digital out 3/4", "Digital out 5/6", "Digital out 7/8",
                                                               "Digital out 9/10", "Digital out 11/12"}}),
    [](const testing::TestParamInfo<NamesCase>& param) { return std::string(param.param.what); });

TEST_F(MasterPanelTest, ASelectedPairIsReadAndWritten)
{
    SetEveryGain(-20);
    ExternalSet(CMD_SET_GAIN, 3, CHANNEL_BUS_OUT, 0, static_cast<DWORD>(Db(-9)));
    ExternalSet(CMD_SET_MUTE, 2, CHANNEL_BUS_OUT, 0, 1);
    ExternalSet(CMD_SET_NOMINAL, 3, CHANNEL_BUS_OUT, 0, static_cast<DWORD>(-10));
    Build();
    master_->SelectBus(2);
    CMasterPanel& panel = *master_;
    EXPECT_EQ(panel.Fader(0)->Bus(), 2);
    EXPECT_EQ(panel.Fader(1)->Bus(), 3);
    EXPECT_EQ(panel.Mute(0)->Bus(), 2);
    EXPECT_EQ(panel.Mute(1)->Bus(), 3);
    EXPECT_EQ(panel.Nominal(0)->Bus(), 2);
    EXPECT_EQ(panel.Nominal(1)->Bus(), 3);
    EXPECT_EQ(panel.Readout(0)->Caption(), "-20");
    EXPECT_EQ(panel.Readout(1)->Caption(), "-9");
    EXPECT_TRUE(panel.Mute(0)->Down());
    EXPECT_FALSE(panel.Mute(1)->Down());
    EXPECT_EQ(panel.Nominal(0)->Caption(), "+4");
    EXPECT_EQ(panel.Nominal(1)->Caption(), "-10");
    EXPECT_EQ(panel.NameLabel()->Caption(), "Analog out 3/4");
    EXPECT_EQ(Sent(), Settings{}) << "selecting writes nothing";

    struct Case {
        const char* what;
        TControl* control;
        Settings sent;
    };
    const Case cases[] = {
        {"mute", panel.Mute(1), {BusOutMute(3, 1), BusOutMute(2, 1)}},
        {"nominal level", panel.Nominal(0), {BusOutNominal(2, -10), BusOutNominal(3, -10)}},
    };
    for (const Case& c : cases) {
        ClearLog();
        Click(*c.control);
        EXPECT_EQ(Sent(), c.sent) << c.what;
    }
    ClearLog();
    panel.Fader(0)->SetFocus();
    Key(VK_UP);  // 500 to 517, one dB up
    EXPECT_EQ(Sent(), (Settings{BusOutGain(2, Db(-19)), BusOutGain(3, Db(PosToDb(DbToPos(-9) + 17)))}))
        << "the partner by as many positions";
}

// Output bus 1 has no nominal-level switch, busses 8 and up neither (as on
// the default card).
class NominalSwitchTest : public LayoutTest {
protected:
    NominalSwitchTest()
        : LayoutTest(DefaultCardWith([](machine::CardConfig& card) { card.outputBusFlags[1] = 0; }))
    {
    }
};

TEST_F(NominalSwitchTest, NominalButtonsShowOnlyForBussesWithTheSwitch)
{
    Build();
    CMasterPanel& panel = *master_;
    EXPECT_TRUE(panel.Nominal(0)->Visible());
    EXPECT_FALSE(panel.Nominal(1)->Visible());
    master_->SelectBus(2);
    EXPECT_TRUE(panel.Nominal(0)->Visible());
    EXPECT_TRUE(panel.Nominal(1)->Visible());
    EXPECT_EQ(panel.Nominal(1)->Bus(), 3);
    ClearLog();
    master_->SelectBus(8);
    EXPECT_FALSE(panel.Nominal(0)->Visible());
    EXPECT_FALSE(panel.Nominal(1)->Visible());
    EXPECT_EQ(panel.Nominal(0)->Bus(), 2) << "a hidden button keeps its bus";
    EXPECT_EQ(panel.Nominal(1)->Bus(), 3);
    for (const Setting& read : Reads())
        EXPECT_NE(read.command, static_cast<DWORD>(CMD_GET_NOMINAL)) << "hidden buttons are not read";
    master_->SelectBus(0);
    EXPECT_TRUE(panel.Nominal(0)->Visible());
    EXPECT_FALSE(panel.Nominal(1)->Visible());
    EXPECT_EQ(panel.Nominal(1)->Bus(), 3);
    ClearLog();
    Click(*panel.Nominal(0));
    EXPECT_EQ(Sent(), Settings{BusOutNominal(0, -10)}) << "a hidden partner takes nothing";
}

TEST_F(MasterPanelTest, PanelsAndPlaybackStripsShiftAndComeBack)
{
    Build();
    std::map<TControl*, TRect> before;
    for (int i = 0; i < form_->ControlCount(); ++i)
        before[form_->Controls(i)] = form_->Controls(i)->BoundsRect();
    std::vector<TControl*> moved{master_->Bevel(), master_->NameLabel(), master_->GangButton()};
    for (int i = 0; i < 2; ++i) {
        for (TControl* c : std::initializer_list<TControl*>{master_->Fader(i), master_->Mute(i), master_->Nominal(i),
                                                             master_->Readout(i), master_->Meter(i)->Image()})
            moved.push_back(c);
        for (TLabel* label : master_->Meter(i)->ScaleLabels())
            moved.push_back(label);
    }
    for (int k = 0; k < BUS_SELECT_PAIRS; ++k)
        moved.push_back(select_->Button(k));
    // The digital-mode layout change, one way and back.
    for (int dx : {-240, 240}) {
        for (int j = 0; j < PlaybackStrips(); ++j)
            out_[j].Shift(dx);
        master_->Shift(dx);
        select_->Shift(dx);
        if (dx > 0) continue;
        for (TControl* c : moved)
            EXPECT_EQ(c->BoundsRect(), OffsetRect(before[c], -240, 0));
    }
    for (int i = 0; i < form_->ControlCount(); ++i)
        EXPECT_EQ(form_->Controls(i)->BoundsRect(), before[form_->Controls(i)]) << i;
}

}  // namespace
