// The mixer strips as the console window builds them: the places of their
// controls, the card settings their clicks and drags write on the displayed
// output-bus pair, the order in which a new pair is read, the gang state
// kept per pair, labels, visibility and the sideways move.
#include "layout_fixture.h"

#include <algorithm>
#include <functional>
#include <map>
#include <string>

namespace {

using StripTest = LayoutTest;

TEST_F(StripTest, InputStripsPlaceTheirControlsByTheirX)
{
    Build();
    struct Case {
        WORD input;
        int x;
        const char* label;
        bool even;
        bool analog;  // the default card's analog inputs have nominal buttons and trims
    };
    const Case cases[] = {
        {0, 0, "1", true, true},     {1, 40, "2", false, true},  {7, 280, "8", false, true},
        {8, 322, "1", true, false},  {9, 362, "2", false, false}, {15, 602, "8", false, false},
    };
    for (const Case& c : cases) {
        const CBusInStrip& strip = in_[c.input];
        const int x = c.x;
        SCOPED_TRACE(c.input);
        EXPECT_EQ(inputX_[c.input], x);
        EXPECT_EQ(strip.Readout()->BoundsRect(), Bounds(x + 7, 495, 26, 18));
        EXPECT_EQ(strip.Fader()->BoundsRect(), Bounds(x + 10, 312, 20, 181));
        EXPECT_EQ(strip.Pan()->BoundsRect(), Bounds(x + 5, 260, 30, 20));
        EXPECT_EQ(strip.Mute()->BoundsRect(), Bounds(x + 10, 285, 20, 20));
        const TLabel* label = strip.ChannelLabel();
        EXPECT_EQ(label->BoundsRect(), Bounds(x + 5, 516, 30, 15));
        EXPECT_EQ(label->Caption(), c.label);
        EXPECT_FALSE(label->AutoSize());
        EXPECT_EQ(label->Alignment(), taCenter);
        EXPECT_EQ(label->Font()->Height(), 15);
        EXPECT_TRUE(label->Font()->Style().Contains(fsBold));
        EXPECT_EQ(label->Font()->Name(), "Arial");
        ASSERT_NE(strip.Meter(), nullptr);
        EXPECT_EQ(strip.Meter()->Image()->BoundsRect(), Bounds(x + 15, 64, 10, 191));
        EXPECT_EQ(strip.Meter()->ScaleLabels().size(), c.even ? 7u : 0u) << "the scale on even strips";
        if (c.even) {
            ASSERT_NE(strip.Bevel(), nullptr);
            EXPECT_EQ(strip.Bevel()->BoundsRect(), Bounds(x, 0, 80, 532));
            ASSERT_NE(strip.GangButton(), nullptr);
            EXPECT_EQ(strip.GangButton()->BoundsRect(), Bounds(x + 32, 468, 16, 16));
        } else {
            EXPECT_EQ(strip.Bevel(), nullptr);
            EXPECT_EQ(strip.GangButton(), nullptr);
        }
        ASSERT_EQ(strip.Nominal() != nullptr, c.analog);
        ASSERT_EQ(strip.Trim() != nullptr, c.analog);
        if (c.analog) {
            EXPECT_EQ(strip.Nominal()->BoundsRect(), Bounds(x + 11, 45, 18, 14));
            EXPECT_EQ(strip.Trim()->BoundsRect(), Bounds(x + 10, 5, 20, 20));
            EXPECT_EQ(strip.TrimReadout()->BoundsRect(), Bounds(x + 7, 27, 26, 15));
            EXPECT_EQ(strip.Trim()->Readout(), strip.TrimReadout());
        }
        EXPECT_EQ(strip.Phantom(), nullptr) << "the default card has no phantom power";
    }
}

// The card with the breakout box: phantom power on input 0, whose toggle keeps
// its own place where a trim would stand on the other cards.
class PhantomStripTest : public LayoutTest {
protected:
    PhantomStripTest() : LayoutTest(machine::MakePreset("kaltor-100")) {}
};

TEST_F(PhantomStripTest, TheFirstInputHasTheToggleWhichWritesAndRereadsThePower)
{
    Build();
    ASSERT_NE(in_[0].Phantom(), nullptr);
    EXPECT_EQ(in_[0].Phantom()->BoundsRect(), Bounds(20, 25, 40, 20));
    for (WORD input = 0; input < Caps().InputBusses; ++input) {
        SCOPED_TRACE(input);
        EXPECT_EQ(in_[input].Trim(), nullptr);
        if (input != 0) {
            EXPECT_EQ(in_[input].Phantom(), nullptr) << "phantom power on input 0 only";
        }
    }

    ClearLog();
    Click(*in_[0].Phantom());
    EXPECT_EQ(Sent(), Settings{PhantomPower(1)});

    ExternalSet(CMD_SET_PHANTOM_POWER, 0, 0, 0, 0);
    EXPECT_TRUE(in_[0].Phantom()->Down());
    in_[0].Refresh();
    EXPECT_FALSE(in_[0].Phantom()->Down());

    in_[0].SetVisible(false);
    EXPECT_FALSE(in_[0].Phantom()->Visible());
    in_[0].SetVisible(true);
    EXPECT_TRUE(in_[0].Phantom()->Visible());
}

TEST_F(StripTest, PairsShareTheEvenStripsGangButtonAndPartnerEverythingButPans)
{
    Build();
    for (int even : {0, 2, 8}) {
        CBusInStrip& a = in_[even];
        CBusInStrip& b = in_[even + 1];
        SCOPED_TRACE(even);
        TGang* gang = a.GangButton();
        EXPECT_EQ(a.Fader()->Gang(), gang);
        EXPECT_EQ(b.Fader()->Gang(), gang);
        EXPECT_EQ(a.Mute()->Gang(), gang);
        EXPECT_EQ(b.Mute()->Gang(), gang);
        EXPECT_EQ(a.Fader()->Partner(), b.Fader());
        EXPECT_EQ(b.Fader()->Partner(), a.Fader());
        EXPECT_EQ(a.Mute()->Partner(), b.Mute());
        EXPECT_EQ(b.Mute()->Partner(), a.Mute());
        if (a.Nominal() != nullptr) {
            EXPECT_EQ(a.Nominal()->Partner(), b.Nominal());
            EXPECT_EQ(b.Nominal()->Partner(), a.Nominal());
            EXPECT_EQ(b.Nominal()->Gang(), gang);
            EXPECT_EQ(a.Trim()->Partner(), b.Trim());
            EXPECT_EQ(b.Trim()->Partner(), a.Trim());
            EXPECT_EQ(a.Trim()->Gang(), gang);
            EXPECT_EQ(b.Trim()->Gang(), gang);
        }
    }
    for (int j : {0, 1}) {
        EXPECT_EQ(out_[j].Fader()->Gang(), out_[0].GangButton());
        EXPECT_EQ(out_[j].Mute()->Gang(), out_[0].GangButton());
        EXPECT_EQ(out_[j].Fader()->Partner(), out_[1 - j].Fader());
        EXPECT_EQ(out_[j].Mute()->Partner(), out_[1 - j].Mute());
    }
}

// Input 3 has neither a nominal button nor a trim: input 2's have no partner.
class LoneInputSettingsTest : public LayoutTest {
protected:
    LoneInputSettingsTest()
        : LayoutTest(DefaultCardWith([](machine::CardConfig& card) { card.inputFlags[3] = INPUT_FLAG_METER; }))
    {
    }
};

TEST_F(LoneInputSettingsTest, APartnerWithoutTheButtonLeavesItUnpaired)
{
    Build();
    EXPECT_EQ(in_[3].Nominal(), nullptr);
    EXPECT_EQ(in_[3].Trim(), nullptr);
    EXPECT_EQ(in_[3].Meter()->ScaleLabels().size(), 0u);
    EXPECT_EQ(in_[2].Nominal()->Partner(), nullptr);
    EXPECT_EQ(in_[2].Trim()->Partner(), nullptr);
    EXPECT_EQ(in_[2].Nominal()->Gang(), in_[2].GangButton());
    ClearLog();
    Click(*in_[2].Nominal());
    EXPECT_EQ(Sent(), Settings{InputNominal(2, -10)}) << "ganged, but alone";
}

TEST_F(StripTest, PlaybackStripsStandAfterTheInputs)
{
    Build();
    EXPECT_EQ(playbackX_, 648);
    for (WORD j = 0; j < 2; ++j) {
        const CPipeOutStrip& strip = out_[j];
        const int x = 648 + 40 * j;
        SCOPED_TRACE(j);
        EXPECT_EQ(strip.Pipe(), j);
        EXPECT_EQ(strip.Fader()->Pipe(), j);
        EXPECT_EQ(strip.Fader()->OutputBus(), j) << "without virtual outputs pipe j plays on bus j";
        EXPECT_EQ(strip.Mute()->Pipe(), j);
        EXPECT_EQ(strip.Mute()->OutputBus(), j);
        ASSERT_NE(strip.Pan(), nullptr);
        EXPECT_EQ(strip.Pan()->Pipe(), j);
        EXPECT_EQ(strip.Pan()->OutputBus(), j);
        EXPECT_EQ(strip.Fader()->BoundsRect(), Bounds(x + 10, 312, 20, 181));
        EXPECT_EQ(strip.Mute()->BoundsRect(), Bounds(x + 10, 285, 20, 20));
        EXPECT_EQ(strip.Pan()->BoundsRect(), Bounds(x + 5, 260, 30, 20));
        EXPECT_EQ(strip.Readout()->BoundsRect(), Bounds(x + 7, 495, 26, 18));
        EXPECT_EQ(strip.ChannelLabel()->BoundsRect(), Bounds(x + 5, 516, 30, 15));
        EXPECT_EQ(strip.ChannelLabel()->Caption(), j == 0 ? "A1" : "A2");
        EXPECT_EQ(strip.Meter()->Image()->BoundsRect(), Bounds(x + 15, 64, 10, 191));
    }
    EXPECT_EQ(out_[0].Bevel()->BoundsRect(), Bounds(648, 55, 80, 477)) << "the frame starts at 55";
    EXPECT_EQ(out_[0].GangButton()->BoundsRect(), Bounds(680, 468, 16, 16));
    EXPECT_EQ(out_[1].Bevel(), nullptr);
    EXPECT_EQ(out_[1].GangButton(), nullptr);
}

// Without the pan and meter flags a playback strip has neither.
class PlainPipesTest : public LayoutTest {
protected:
    PlainPipesTest() : LayoutTest(DefaultCardWith([](machine::CardConfig& card) { card.outputPipeFlags = {}; })) {}
};

TEST_F(PlainPipesTest, NoPanNoMeter)
{
    Build();
    EXPECT_EQ(out_[0].Pan(), nullptr);
    EXPECT_EQ(out_[0].Meter(), nullptr);
    SelectBus(2);
    EXPECT_EQ(out_[0].Fader()->Pipe(), 2);
    out_[0].Shift(-240);
    EXPECT_EQ(out_[0].Fader()->Left(), 658 - 240);
}

TEST_F(StripTest, ClicksAndDragsWriteTheirChannelOnTheDisplayedPair)
{
    SetEveryGain(-20);  // every fader at 500
    Build();
    SelectBus(2);
    ClearLog();

    // A drag: the thumb jumps to the point (507), then follows it to 627; the
    // ganged partner moves by as many positions and writes its own gain.
    TMonitorFader& fader = *in_[3].Fader();
    PressOn(fader, 10, 119);
    MoveOn(fader, 10, 90);
    ReleaseOn(fader, 10, 90);
    EXPECT_EQ(Sent(), (Settings{MonitorGain(3, 2, Db(-19)), MonitorGain(2, 2, Db(-19)), MonitorGain(3, 2, Db(-13)),
                                MonitorGain(2, 2, Db(-13))}));
    EXPECT_EQ(Hooks().Mixer().Monitor(2, 2).gain, Db(-13));

    struct Case {
        const char* what;
        TControl* control;
        Settings sent;
    };
    const Case cases[] = {
        {"monitor mute", in_[6].Mute(), {MonitorMute(6, 2, 1), MonitorMute(7, 2, 1)}},
        {"nominal level", in_[5].Nominal(), {InputNominal(5, -10), InputNominal(4, -10)}},
        {"playback mute", out_[1].Mute(), {PipeMute(3, 3, 1), PipeMute(2, 2, 1)}},
    };
    for (const Case& c : cases) {
        ClearLog();
        Click(*c.control);
        EXPECT_EQ(Sent(), c.sent) << c.what;
    }

    ClearLog();
    TMonitorPan& pan = *in_[5].Pan();
    PressOn(pan, 3, 10);
    ReleaseOn(pan, 3, 10);
    EXPECT_NE(pan.Value(), 500);
    EXPECT_EQ(Sent(), Settings{MonitorPan(5, 2, pan.Value())}) << "pans are never ganged";

    ClearLog();
    TInputTrim& trim = *in_[1].Trim();
    PressOn(trim, 10, 10);
    MoveOn(trim, 14, 10);
    ReleaseOn(trim, 14, 10);
    EXPECT_EQ(Sent(), (Settings{InputTrim(1, 2 * 128), InputTrim(0, 2 * 128)}));

    ClearLog();
    TPipeOutFader& playback = *out_[0].Fader();
    PressOn(playback, 10, 119);
    ReleaseOn(playback, 10, 119);
    EXPECT_EQ(Sent(), (Settings{PipeGain(2, 2, Db(-19)), PipeGain(3, 3, Db(-19))}));
}

TEST_F(StripTest, ANewPairIsReadInTheStripsOrder)
{
    Build();
    in_[3].SetBus(2);
    EXPECT_EQ(Reads(), (Settings{{CMD_GET_MONITOR_PAN, 3, 0, 2}, {CMD_GET_MONITOR_MUTE, 3, 0, 2},
                                 {CMD_GET_MONITOR_GAIN, 3, 0, 2}}))
        << "pan, mute, fader";
    EXPECT_EQ(Sent(), Settings{}) << "reading writes nothing";
    ClearLog();
    out_[0].SetBus(2);
    EXPECT_EQ(Reads(), (Settings{{CMD_GET_MUTE, 2, CHANNEL_PIPE_OUT, 2}, {CMD_GET_GAIN, 2, CHANNEL_PIPE_OUT, 2},
                                 {CMD_GET_PAN, 2, CHANNEL_PIPE_OUT, 2}}))
        << "mute, fader, pan";
    EXPECT_EQ(Sent(), Settings{});
}

TEST_F(StripTest, ChangesMadeElsewhereShowOnTheNextPairOrRefresh)
{
    Build();
    ExternalSet(CMD_SET_MONITOR_GAIN, 3, 0, 2, static_cast<DWORD>(Db(-6)));
    ExternalSet(CMD_SET_MONITOR_MUTE, 3, 0, 2, 1);
    ExternalSet(CMD_SET_MONITOR_PAN, 3, 0, 2, 200);
    ExternalSet(CMD_SET_GAIN, 2, CHANNEL_PIPE_OUT, 2, static_cast<DWORD>(Db(-12)));
    ExternalSet(CMD_SET_MUTE, 2, CHANNEL_PIPE_OUT, 2, 1);
    ExternalSet(CMD_SET_PAN, 2, CHANNEL_PIPE_OUT, 2, 900);
    SelectBus(2);
    EXPECT_EQ(in_[3].Fader()->Readout()->Caption(), "-6");
    EXPECT_EQ(in_[3].Fader()->Value(), 812);
    EXPECT_TRUE(in_[3].Mute()->Down());
    EXPECT_EQ(in_[3].Pan()->Value(), 200);
    EXPECT_FALSE(in_[2].Mute()->Down());
    EXPECT_EQ(out_[0].Readout()->Caption(), "-12");
    EXPECT_TRUE(out_[0].Mute()->Down());
    EXPECT_EQ(out_[0].Pan()->Value(), 900);
    EXPECT_EQ(out_[0].DisplayedBus(), 2);
    EXPECT_EQ(out_[1].DisplayedBus(), 3);

    ExternalSet(CMD_SET_NOMINAL, 3, CHANNEL_BUS_IN, 0, static_cast<DWORD>(-10));
    ExternalSet(CMD_SET_GAIN, 3, CHANNEL_BUS_IN, 0, static_cast<DWORD>(Db(5)));
    ExternalSet(CMD_SET_MONITOR_GAIN, 3, 0, 2, static_cast<DWORD>(Db(-30)));
    ClearLog();
    in_[3].Refresh();
    EXPECT_EQ(in_[3].Nominal()->Caption(), "-10");
    EXPECT_EQ(in_[3].Trim()->Position(), 10);
    EXPECT_EQ(in_[3].Fader()->Readout()->Caption(), "-6") << "a refresh reads the input's own settings only";
    const Settings reads = Reads();
    EXPECT_EQ(reads.size(), 2u);
    EXPECT_EQ(reads[0].command, static_cast<DWORD>(CMD_GET_NOMINAL));
    EXPECT_EQ(reads[1].command, static_cast<DWORD>(CMD_GET_GAIN));
}

// A strip's or the output-bus panel's gang states, through one face.
struct GangHolder {
    const char* name;
    TGang* button;
    std::function<std::vector<BYTE>(int)> get;
    std::function<void(std::vector<BYTE>)> set;
};

class GangTest : public LayoutTest {
protected:
    static GangHolder Strip(const char* name, CStrip& strip)
    {
        return {name, strip.GangButton(),
                [&strip](int n) {
                    std::vector<BYTE> bytes(static_cast<std::size_t>(n), 0xEE);
                    EXPECT_TRUE(strip.GetGangs(bytes.data(), n));
                    return bytes;
                },
                [&strip](std::vector<BYTE> bytes) {
                    EXPECT_TRUE(strip.SetGangs(bytes.data(), static_cast<int>(bytes.size())));
                }};
    }
    std::vector<GangHolder> Holders()
    {
        CMasterPanel& panel = *master_;
        return {Strip("input pair 3/4", in_[2]), Strip("playback pair", out_[0]),
                {"output-bus panel", panel.GangButton(),
                 [&panel](int n) {
                     std::vector<BYTE> bytes(static_cast<std::size_t>(n), 0xEE);
                     panel.GetGangStates(bytes.data(), n);
                     return bytes;
                 },
                 [&panel](std::vector<BYTE> bytes) {
                     panel.SetGangStates(bytes.data(), static_cast<int>(bytes.size()));
                 }}};
    }
};

TEST_F(GangTest, EveryPairStartsGangedOnEveryOutputPair)
{
    Build();
    for (const GangHolder& h : Holders()) {
        EXPECT_TRUE(h.button->Down()) << h.name;
        EXPECT_EQ(h.get(8), std::vector<BYTE>(8, 1)) << h.name;
    }
    for (int i = 0; i < 16; i += 2) {
        EXPECT_TRUE(in_[i].GangButton()->Down()) << i;
        BYTE bytes[8] = {};
        ASSERT_TRUE(in_[i].GetGangs(bytes, 8));
        EXPECT_TRUE(std::ranges::all_of(bytes, [](BYTE b) { return b == 1; })) << i;
    }
}

TEST_F(GangTest, EachOutputPairKeepsItsOwnGangState)
{
    Build();
    for (const GangHolder& h : Holders()) {
        SCOPED_TRACE(h.name);
        TGang* gang = h.button;
        Click(*gang);  // ungang on 0/1
        EXPECT_FALSE(gang->Down());
        EXPECT_EQ(h.get(2), (std::vector<BYTE>{0, 1})) << "the new state, read right after the click";
        SelectBus(2);
        EXPECT_TRUE(gang->Down()) << "2/3 has its own state, ganged";
        SelectBus(0);
        EXPECT_FALSE(gang->Down()) << "0/1 unganged again";
        SelectBus(2);
        EXPECT_EQ(h.get(8), (std::vector<BYTE>{0, 1, 1, 1, 1, 1, 1, 1}));
        SelectBus(0);
    }
}

TEST_F(GangTest, GangStatesComeInAsLongAsTheSourceIs)
{
    Build();
    SelectBus(4);
    for (const GangHolder& h : Holders()) {
        SCOPED_TRACE(h.name);
        h.set({1, 1, 0, 1, 0, 0, 0, 0});
        EXPECT_FALSE(h.button->Down()) << "the button shows the displayed pair's";
        h.set({1, 0, 1});
        EXPECT_TRUE(h.button->Down());
        EXPECT_EQ(h.get(8), (std::vector<BYTE>{1, 0, 1, 1, 0, 0, 0, 0})) << "a shorter source leaves the rest";
        EXPECT_EQ(h.get(0), std::vector<BYTE>{});
    }
    // Ganging follows the displayed pair's state: mutes of input 2 and 3.
    in_[2].SetGangs(std::vector<BYTE>(8, 0).data(), 8);
    ClearLog();
    Click(*in_[2].Mute());
    EXPECT_EQ(Sent(), Settings{MonitorMute(2, 4, 1)});
}

TEST_F(GangTest, OddStripsKeepNoGangs)
{
    Build();
    BYTE bytes[8] = {7, 7, 7, 7, 7, 7, 7, 7};
    for (CStrip* strip : std::initializer_list<CStrip*>{&in_[1], &in_[15], &out_[1]}) {
        EXPECT_FALSE(strip->GetGangs(bytes, 8));
        EXPECT_FALSE(strip->SetGangs(bytes, 8));
    }
    EXPECT_EQ(bytes[0], 7);
}

TEST_F(StripTest, PlaybackStripsWithoutVirtualOutputsShowThePipesOfThePair)
{
    Build();
    SelectBus(4);
    ClearLog();
    for (WORD j = 0; j < 2; ++j) {
        const WORD pipe = 4 + j;
        EXPECT_EQ(out_[j].Pipe(), pipe);
        EXPECT_EQ(out_[j].Fader()->Pipe(), pipe);
        EXPECT_EQ(out_[j].Fader()->OutputBus(), pipe);
        EXPECT_EQ(out_[j].Mute()->Pipe(), pipe);
        EXPECT_EQ(out_[j].Pan()->Pipe(), pipe);
        EXPECT_EQ(out_[j].Pan()->OutputBus(), pipe);
    }
    EXPECT_EQ(out_[0].ChannelLabel()->Caption(), "A5");
    EXPECT_EQ(out_[1].ChannelLabel()->Caption(), "A6");
    Click(*out_[1].Mute());
    EXPECT_EQ(Sent(), (Settings{PipeMute(5, 5, 1), PipeMute(4, 4, 1)}));
}

// The analog pipe count decides a playback label's letter and number.
class PipeLabelTest : public LayoutTest, public testing::WithParamInterface<int> {
protected:
    PipeLabelTest()
        : LayoutTest(DefaultCardWith(
              [](machine::CardConfig& card) { card.analogOutputPipes = static_cast<std::uint16_t>(GetParam()); }))
    {
    }
};

TEST_P(PipeLabelTest, PairFourFiveIsNamedByTheAnalogPipes)
{
    const std::map<int, std::pair<const char*, const char*>> expected{
        {8, {"A5", "A6"}}, {4, {"D1", "D2"}}, {5, {"A5", "D1"}}, {0, {"D5", "D6"}}};
    Build();
    SelectBus(4);
    EXPECT_EQ(out_[0].ChannelLabel()->Caption(), expected.at(GetParam()).first);
    EXPECT_EQ(out_[1].ChannelLabel()->Caption(), expected.at(GetParam()).second);
}

INSTANTIATE_TEST_SUITE_P(AnalogPipes, PipeLabelTest, testing::Values(8, 4, 5, 0));

class VirtualOutputsTest : public LayoutTest {
protected:
    VirtualOutputsTest() : LayoutTest(machine::MakePreset("virtual-outputs")) {}
};

TEST_F(VirtualOutputsTest, EveryPipeHasAStripThatTakesTheBus)
{
    Build();
    ASSERT_EQ(PlaybackStrips(), 16);
    EXPECT_EQ(playbackX_, inputX_[Caps().InputBusses - 1] + 40 + 6);
    for (WORD j = 0; j < 16; ++j) {
        EXPECT_EQ(out_[j].Fader()->OutputBus(), 0) << "output bus 0 first";
        EXPECT_EQ(out_[j].ChannelLabel()->Caption(), std::to_string(j + 1));
        EXPECT_EQ(out_[j].Fader()->Left(), playbackX_ + 40 * j + 10);
    }
    SelectBus(2);
    for (WORD j = 0; j < 16; ++j) {
        SCOPED_TRACE(j);
        EXPECT_EQ(out_[j].Pipe(), j);
        EXPECT_EQ(out_[j].Fader()->Pipe(), j);
        EXPECT_EQ(out_[j].Fader()->OutputBus(), 2);
        EXPECT_EQ(out_[j].Mute()->OutputBus(), 2);
        EXPECT_EQ(out_[j].Pan()->OutputBus(), 2);
        EXPECT_EQ(out_[j].ChannelLabel()->Caption(), std::to_string(j + 1));
    }
    ClearLog();
    Click(*out_[7].Mute());
    EXPECT_EQ(Sent(), (Settings{PipeMute(7, 2, 1), PipeMute(6, 2, 1)}));
}

TEST_F(StripTest, HiddenInputStripKeepsItsTrim)
{
    Build();
    CBusInStrip& strip = in_[0];
    strip.SetVisible(false);
    std::vector<TControl*> hidden{strip.Bevel(),  strip.GangButton(), strip.Nominal(), strip.ChannelLabel(),
                                  strip.Mute(),   strip.Pan(),        strip.Fader(),   strip.Readout(),
                                  strip.Meter()->Image()};
    for (TLabel* label : strip.Meter()->ScaleLabels())
        hidden.push_back(label);
    for (TControl* control : hidden)
        EXPECT_FALSE(control->Visible()) << control->BoundsRect().Left << "," << control->BoundsRect().Top;
    EXPECT_TRUE(strip.Trim()->Visible());
    EXPECT_TRUE(strip.TrimReadout()->Visible());
    EXPECT_TRUE(in_[1].Fader()->Visible()) << "its neighbour stays";
    strip.SetVisible(true);
    for (TControl* control : hidden)
        EXPECT_TRUE(control->Visible());
}

TEST_F(StripTest, ShiftMovesEveryControlOfAPlaybackStripAndBack)
{
    Build();
    std::map<TControl*, TRect> before;
    for (int i = 0; i < form_->ControlCount(); ++i)
        before[form_->Controls(i)] = form_->Controls(i)->BoundsRect();
    std::vector<TControl*> moved{out_[0].Bevel(), out_[0].GangButton(), out_[0].Mute(),    out_[0].Fader(),
                                 out_[0].Pan(),   out_[0].Readout(),    out_[0].ChannelLabel(),
                                 out_[0].Meter()->Image()};
    for (TLabel* label : out_[0].Meter()->ScaleLabels())
        moved.push_back(label);
    out_[0].Shift(-240);
    for (TControl* control : moved)
        EXPECT_EQ(control->BoundsRect(), OffsetRect(before[control], -240, 0));
    EXPECT_EQ(out_[1].Fader()->BoundsRect(), before[out_[1].Fader()]) << "the other strip stays";
    out_[0].Shift(240);
    for (int i = 0; i < form_->ControlCount(); ++i)
        EXPECT_EQ(form_->Controls(i)->BoundsRect(), before[form_->Controls(i)]) << i;
}

}  // namespace
