// The window laid out for the card: which strips it builds and where, the
// group frames and labels under them, the buttons and the window's width,
// the narrow and the wide layout, and the digital-mode re-layout.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <utility>

#include "console/card_features.h"
#include "console/fader.h"
#include "console/master_panel.h"
#include "console/mode_panel.h"
#include "console_window_fixture.h"

namespace {

struct Frame {
    int left, width;
    bool operator==(const Frame&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Frame& f) { return out << "{" << f.left << ", " << f.width << "}"; }

std::optional<Frame> FrameOf(const TBevel* bevel)
{
    if (bevel == nullptr) return std::nullopt;
    EXPECT_EQ(bevel->Top(), 533);
    EXPECT_EQ(bevel->Height(), 18);
    return Frame{bevel->Left(), bevel->Width()};
}

// A strip's x, from its channel label 5 pixels in.
int StripX(const CStrip& strip) { return strip.ChannelLabel()->Left() - 5; }

using Change = std::function<void(machine::CardConfig&)>;

struct LayoutCase {
    const char* name;
    const char* preset;
    Change change;
    std::vector<std::pair<int, int>> inputs;  // {input, x} of every input strip built
    std::vector<int> playback;                // x of every playback strip
    std::optional<Frame> analog, digital;
    Frame playbackFrame;
    const char* playbackLabel;
    int settingsLeft;
    int clientWidth;  // 0: the wide window
};

// Inputs `first` .. `last` 40 pixels apart from x, with 2 more at `digital`.
std::vector<std::pair<int, int>> Strips(int first, int last, int x, int digital)
{
    std::vector<std::pair<int, int>> strips;
    for (int i = first; i <= last; ++i, x += 40) {
        if (i == digital) x += 2;
        strips.emplace_back(i, x);
    }
    return strips;
}

std::vector<int> Columns(int count, int x)
{
    std::vector<int> columns;
    for (int j = 0; j < count; ++j) columns.push_back(x + 40 * j);
    return columns;
}

void NoChange(machine::CardConfig&) {}

machine::CardConfig OddCounts(machine::CardConfig card)
{
    card.inputBusses = card.inputPipes = 3;
    card.outputPipes = 5;
    card.analogOutputPipes = 4;
    return card;
}

// Every case in the ADAT layout, the window's own: no digital strip hidden.
const LayoutCase LayoutCases[] = {
    {"the default card", "default", NoChange, Strips(0, 15, 0, 8), Columns(2, 648), Frame{0, 320}, Frame{322, 320},
     {648, 80}, "Playback", 653, 858},
    {"input 0 absent", "default",
     [](machine::CardConfig& c) { c.inputFlags[0] |= 0x40000000; }, Strips(1, 15, 0, 8), Columns(2, 608),
     std::nullopt, Frame{2, 320}, {8, 80}, "Playback", 613, 818},
    {"odd inputs and pipes", "virtual-outputs", [](machine::CardConfig& c) { c = OddCounts(c); },
     Strips(0, 2, 0, 2), Columns(5, 128), Frame{0, 80}, Frame{82, 40}, {128, 200}, "Virtual out", 253, 458},
    {"one output bus", "default",
     [](machine::CardConfig& c) {
         c.outputBusses = 1;
         c.analogOutputBusses = 1;
     },
     Strips(0, 15, 0, 8), Columns(2, 648), Frame{0, 320}, Frame{322, 320}, {648, 80}, "Playback", 653, 858},
    {"no digital inputs", "default",
     [](machine::CardConfig& c) { c.inputBusses = c.inputPipes = 8; }, Strips(0, 7, 0, 8), Columns(2, 326),
     Frame{0, 320}, std::nullopt, {326, 80}, "Playback", 331, 536},
    {"virtual outputs, wide", "virtual-outputs", NoChange, Strips(0, 3, 0, 2), Columns(16, 168), Frame{0, 80},
     Frame{82, 80}, {168, 640}, "Virtual out", 733, 0},
    {"32 inputs and 64 pipes", "virtual-outputs", [](machine::CardConfig& c) { c = ManyChannelsCard(c); },
     Strips(0, 15, 0, 8), Columns(16, 648), Frame{0, 320}, Frame{322, 320}, {648, 640}, "Virtual out", 1213, 0},
};

class ConsoleLayout : public ConsoleWindowTest, public ::testing::WithParamInterface<LayoutCase> {
protected:
    ConsoleLayout()
        : ConsoleWindowTest(CardWith([](machine::CardConfig& c) { GetParam().change(c); }, GetParam().preset))
    {
        machine::sim::MixerState mixer = Hooks().Mixer();
        mixer.digitalMode = DIGITAL_MODE_ADAT;
        Hooks().SetMixerRaw(mixer);
    }
};

TEST_P(ConsoleLayout, BuildsTheStripsAndFramesOfTheCard)
{
    const LayoutCase& c = GetParam();
    ASSERT_TRUE(Open());
    std::vector<std::pair<int, int>> inputs;
    for (int i = 0; i < 16; ++i) {
        if (form_->HasInputStrip(i))
            inputs.emplace_back(i, StripX(form_->InStrips[i]));
        else
            EXPECT_EQ(form_->InStrips[i].Fader(), nullptr) << "input " << i;
    }
    EXPECT_EQ(inputs, c.inputs);
    ASSERT_EQ(form_->PlaybackStrips(), static_cast<int>(c.playback.size()));
    for (std::size_t j = 0; j < c.playback.size(); ++j)
        EXPECT_EQ(StripX(form_->OutStrips[j]), c.playback[j]) << "playback strip " << j;

    EXPECT_EQ(FrameOf(form_->AnalogInBevel), c.analog);
    EXPECT_EQ(form_->AnalogInLabel->Visible(), c.analog.has_value());
    EXPECT_EQ(FrameOf(form_->DigitalInBevel), c.digital);
    EXPECT_EQ(form_->DigitalInLabel->Visible(), c.digital.has_value());
    EXPECT_EQ(FrameOf(form_->PlaybackBevel), c.playbackFrame);
    EXPECT_EQ(form_->PipeOutLabel->Caption(), c.playbackLabel);
    // The labels are centred on their frames.
    EXPECT_EQ(form_->PipeOutLabel->Left(), c.playbackFrame.left + (c.playbackFrame.width - 70) / 2);
    if (c.analog) {
        EXPECT_EQ(form_->AnalogInLabel->Left(), (c.analog->width - 70) >> 1);
    }
    if (c.digital) {
        EXPECT_EQ(form_->DigitalInLabel->Left(), c.digital->left + ((c.digital->width - 70) >> 1));
    }

    EXPECT_EQ(form_->SettingsButton->Left(), c.settingsLeft);
    EXPECT_EQ(form_->LoadButton->Left(), c.settingsLeft);
    EXPECT_EQ(form_->SaveButton->Left(), c.settingsLeft + 35);
    const int panels = c.playback.back() + 46;
    EXPECT_EQ(form_->MasterPanel()->Bevel()->Left(), panels);
    EXPECT_EQ(form_->ModePanelBevel->Left(), panels);
    EXPECT_EQ(form_->WideLayout, c.clientWidth == 0 ? 1 : 0);
    if (c.clientWidth != 0) {
        EXPECT_EQ(form_->ClientWidth(), c.clientWidth);
        EXPECT_EQ(form_->BorderStyle(), TFormBorderStyle::bsSingle);
        EXPECT_EQ(form_->Left(), 20);
    } else {
        EXPECT_EQ(form_->Width(), 1024 * 4 / 5);
        EXPECT_EQ(form_->Height(), 596);
        EXPECT_EQ(form_->BorderStyle(), TFormBorderStyle::bsSizeable);
        EXPECT_TRUE(form_->AutoScroll());
    }
    EXPECT_EQ(form_->Top(), 20);
    EXPECT_EQ(form_->BusCount, std::min<int>(Caps().OutputBusses, 16));
}

INSTANTIATE_TEST_SUITE_P(Cards, ConsoleLayout, ::testing::ValuesIn(LayoutCases),
                         [](const ::testing::TestParamInfo<LayoutCase>& param) {
                             std::string name = param.param.name;
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return name;
                         });

class OddCountsWindow : public ConsoleWindowTest {
protected:
    OddCountsWindow() : ConsoleWindowTest({OddCounts(machine::MakePreset("virtual-outputs"))}) {}
};

TEST_F(OddCountsWindow, AStripWithoutItsPartnerIsNotGanged)
{
    ASSERT_TRUE(Open());
    EXPECT_EQ(form_->InStrips[0].Fader()->Partner(), form_->InStrips[1].Fader());
    EXPECT_EQ(form_->InStrips[1].Fader()->Partner(), form_->InStrips[0].Fader());
    EXPECT_EQ(form_->InStrips[2].Fader()->Partner(), nullptr);
    EXPECT_EQ(form_->OutStrips[3].Fader()->Partner(), form_->OutStrips[2].Fader());
    EXPECT_EQ(form_->OutStrips[4].Fader()->Partner(), nullptr);

    // A drag on the strip alone writes its own gain only.
    TMonitorFader& fader = *form_->InStrips[2].Fader();
    gui_testing::PressOn(fader, fader.Width() / 2, fader.Height() - 10);
    gui_testing::MoveOn(fader, fader.Width() / 2, fader.Height() / 2);
    gui_testing::ReleaseOn(fader, fader.Width() / 2, fader.Height() / 2);
    const Settings sent = Sent();
    ASSERT_FALSE(sent.empty());
    for (const Setting& s : sent) EXPECT_EQ(s.channel, 2) << s;
}


// The default card in its ADAT layout, switched by its mode buttons.
class DigitalModeLayout : public ConsoleWindowTest {
protected:
    explicit DigitalModeLayout(std::vector<machine::CardConfig> cards = DefaultCard())
        : ConsoleWindowTest(std::move(cards))
    {
        SetCardMode(DIGITAL_MODE_ADAT);
    }
    void SetCardMode(int mode)
    {
        machine::sim::MixerState mixer = Hooks().Mixer();
        mixer.digitalMode = static_cast<std::uint32_t>(mode);
        Hooks().SetMixerRaw(mixer);
    }
    // Every input strip whose fader shows.
    std::vector<int> ShownInputs() const
    {
        std::vector<int> shown;
        for (int i = 0; i < 16; ++i)
            if (form_->HasInputStrip(i) && form_->InStrips[i].Fader()->Visible()) shown.push_back(i);
        return shown;
    }
    std::vector<int> ShownPairButtons() const
    {
        std::vector<int> shown;
        for (int k = 0; k < BUS_SELECT_PAIRS; ++k)
            if (form_->BusSelectPanel()->Button(k) != nullptr && form_->BusSelectPanel()->Button(k)->Visible())
                shown.push_back(k);
        return shown;
    }
};

TEST_F(DigitalModeLayout, LeavingAdatTakesTheSixDigitalStripsAndPairsAwayOnTheLeft)
{
    ASSERT_TRUE(Open());
    const int right = form_->Left() + form_->Width();
    const int width = form_->Width();
    const int masterLeft = form_->MasterPanel()->Bevel()->Left();
    Key(VK_F1 + 6);  // the pair 12/13, which S/PDIF does not have
    ASSERT_EQ(form_->DisplayedBus, 12);

    Click(*form_->SpdifRcaButton);
    EXPECT_EQ(Hooks().Mixer().digitalMode, 0u);
    EXPECT_EQ(form_->DigitalLayoutMode, DIGITAL_MODE_SPDIF_RCA);
    EXPECT_EQ(ShownInputs(), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_FALSE(form_->InStrips[10].Meter()->Image()->Visible());
    EXPECT_EQ(form_->DigitalInBevel->Width(), 80);
    EXPECT_EQ(form_->DigitalInLabel->Left(), 322 + 5);
    EXPECT_EQ(form_->Width(), width - 240);
    EXPECT_EQ(form_->Left() + form_->Width(), right);
    EXPECT_EQ(form_->Left(), 260);
    EXPECT_EQ(form_->MasterPanel()->Bevel()->Left(), masterLeft - 240);
    EXPECT_EQ(StripX(form_->OutStrips[0]), 408);
    EXPECT_EQ(form_->PlaybackBevel->Left(), 408);
    EXPECT_EQ(form_->SettingsButton->Left(), 413);
    EXPECT_EQ(form_->ModePanelBevel->Left(), 494);
    EXPECT_TRUE(form_->Visible());
    // The pair shown lies within the busses left: the one after the analog inputs.
    EXPECT_EQ(form_->BusCount, 10);
    EXPECT_EQ(form_->DisplayedBus, 8);
    EXPECT_EQ(ShownPairButtons(), (std::vector<int>{0, 1, 2, 3, 4}));

    // The F-keys beyond the busses left do nothing.
    ClearLog();
    for (WORD key : {VK_F1 + 5, VK_F1 + 6, VK_F12}) {
        Key(key);
        EXPECT_EQ(form_->DisplayedBus, 8);
    }
    EXPECT_TRUE(Reads().empty());
    Key(VK_F1);
    EXPECT_EQ(form_->DisplayedBus, 0);

    Click(*form_->AdatOpticalButton);
    EXPECT_EQ(form_->Width(), width);
    EXPECT_EQ(form_->Left(), 20);
    EXPECT_EQ(ShownInputs().size(), 16u);
    EXPECT_EQ(form_->DigitalInBevel->Width(), 320);
    EXPECT_EQ(form_->BusCount, 16);
    EXPECT_EQ(ShownPairButtons().size(), 8u);
}

TEST_F(DigitalModeLayout, OpticalCountsAsRca)
{
    ASSERT_TRUE(Open());
    Click(*form_->SpdifRcaButton);
    const int width = form_->Width();
    Click(*form_->SpdifOpticalButton);
    EXPECT_EQ(Hooks().Mixer().digitalMode, 1u);
    EXPECT_EQ(form_->DigitalLayoutMode, DIGITAL_MODE_SPDIF_RCA);
    EXPECT_EQ(form_->Width(), width);
}

TEST_F(DigitalModeLayout, AWindowOnACardInSpdifModeStartsNarrow)
{
    SetCardMode(DIGITAL_MODE_SPDIF_OPTICAL);
    ASSERT_TRUE(Open());
    EXPECT_EQ(form_->Left(), 260);
    EXPECT_EQ(form_->ClientWidth(), 858 - 240);
    EXPECT_EQ(form_->BusCount, 10);
    EXPECT_EQ(ShownInputs().size(), 10u);
    EXPECT_TRUE(form_->SpdifOpticalButton->Down());
}

class SwitchWithoutDigitalInputs : public DigitalModeLayout {
protected:
    SwitchWithoutDigitalInputs()
        : DigitalModeLayout(
              CardWith([](machine::CardConfig& c) { c.inputBusses = c.inputPipes = c.analogInputPipes = 8; }))
    {
    }
};

TEST_F(SwitchWithoutDigitalInputs, ReLaysTheRestOfTheWindow)
{
    ASSERT_TRUE(Open());
    ASSERT_EQ(form_->DigitalInBevel, nullptr);
    const int width = form_->Width();
    Click(*form_->SpdifRcaButton);
    EXPECT_EQ(form_->Width(), width - 240);
    EXPECT_FALSE(form_->DigitalInLabel->Visible());
    EXPECT_EQ(form_->BusCount, 10);
}

class SmallCardWithSwitch : public DigitalModeLayout {
protected:
    SmallCardWithSwitch()
        : DigitalModeLayout(CardWith([](machine::CardConfig& c) {
              c.outputBusses = c.outputPipes = 4;
              c.analogOutputBusses = c.analogOutputPipes = 2;
          }))
    {
    }
};

TEST_F(SmallCardWithSwitch, OutsideAdatNoPairIsLeftToChoose)
{
    ASSERT_TRUE(Open());
    Key(VK_F1 + 1);
    ASSERT_EQ(form_->DisplayedBus, 2);
    Click(*form_->SpdifRcaButton);
    EXPECT_EQ(form_->BusCount, 0);
    EXPECT_EQ(form_->DisplayedBus, 0);
    EXPECT_TRUE(ShownPairButtons().empty());
    Key(VK_F1 + 1);
    EXPECT_EQ(form_->DisplayedBus, 0);
}

class WideWindow : public ConsoleWindowTest {
protected:
    explicit WideWindow(std::vector<machine::CardConfig> cards = {machine::MakePreset("virtual-outputs")})
        : ConsoleWindowTest(std::move(cards))
    {
        desktop().SetScreenRect(RECT{0, 0, 1280, 1024});
    }
};

TEST_F(WideWindow, TakesFourFifthsOfTheDesktopAndKeepsItsHeight)
{
    ASSERT_TRUE(Open());
    EXPECT_EQ(form_->Width(), 1024);
    EXPECT_EQ(form_->Height(), 596);
    EXPECT_EQ(form_->Constraints().MaxWidth, 1280);
    EXPECT_EQ(form_->Constraints().MinHeight, 596);
    // The user drags the frame: only the width follows.
    form_->SetBounds(form_->Left(), form_->Top(), 900, 400);
    EXPECT_EQ(form_->Width(), 900);
    EXPECT_EQ(form_->Height(), 596);
    form_->SetBounds(form_->Left(), form_->Top(), 1400, 700);
    EXPECT_EQ(form_->Width(), 1280);
    EXPECT_EQ(form_->Height(), 596);
}

class WideWindowWithSwitch : public WideWindow {
protected:
    WideWindowWithSwitch()
        : WideWindow(CardWith([](machine::CardConfig& c) { c.digitalModeSwitch = true; }, "virtual-outputs"))
    {
    }
};

TEST_F(WideWindowWithSwitch, OnlyKeepsTheMode)
{
    ASSERT_TRUE(Open());
    const int width = form_->Width();
    EXPECT_EQ(form_->DigitalLayoutMode, DIGITAL_MODE_SPDIF_RCA);
    EXPECT_EQ(form_->Width(), width);
    EXPECT_EQ(form_->BusCount, 8);
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(form_->InStrips[i].Fader()->Visible());
}

}  // namespace
