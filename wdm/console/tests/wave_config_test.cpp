// The wave-device configuration dialog: its rows for the card's pipes, the
// configuration shown from the card's record (hostile ones within 16 rows a
// side), linking and mode changes, Apply's comparison and the safe name, the
// help memo and the dialog's place on the desktop.
#include <gtest/gtest.h>

#include <memory>

#include "dialog_fixture.h"

namespace {

using Entries = std::vector<std::pair<int, int>>;  // {mode, width}

machine::sim::WaveConfigRecord RawRecord(const Entries& outputs, const Entries& inputs, int outputCount = -1)
{
    machine::sim::WaveConfigRecord record{};
    for (std::size_t i = 0; i < outputs.size(); ++i)
        record.outputs[i] = {static_cast<std::uint8_t>(outputs[i].first), static_cast<std::uint8_t>(outputs[i].second)};
    for (std::size_t i = 0; i < inputs.size(); ++i)
        record.inputs[i] = {static_cast<std::uint8_t>(inputs[i].first), static_cast<std::uint8_t>(inputs[i].second)};
    record.outputCount = static_cast<std::uint16_t>(outputCount >= 0 ? outputCount : static_cast<int>(outputs.size()));
    record.inputCount = static_cast<std::uint16_t>(inputs.size());
    return record;
}

Entries EntriesOf(const WaveConfigEntry* entries, WORD count)
{
    Entries out;
    for (int i = 0; i < count; ++i) out.emplace_back(entries[i].Mode, entries[i].Width);
    return out;
}

constexpr int WDM = WAVE_MODE_WDM;
constexpr int NM = WAVE_MODE_NIMBREL;

class WaveConfig : public DialogTest {
protected:
    explicit WaveConfig(std::vector<machine::CardConfig> cards = DefaultCard()) : DialogTest(std::move(cards)) {}
    void SetUp() override { ASSERT_TRUE(Open()); }
    TWaveConfig& Make()
    {
        dialog_ = std::make_unique<TWaveConfig>(form_, card_);
        return *dialog_;
    }
    // Widths of one side's rows, top to bottom.
    std::vector<int> Widths(bool output)
    {
        std::vector<int> widths;
        const int rows = output ? dialog_->OutputRows() : dialog_->InputRows();
        for (int i = 0; i < rows; ++i) widths.push_back(dialog_->Row(output, i).Width);
        return widths;
    }
    // Per row: 'L' linked, 'u' unlinked, '-' no link.
    std::string Links(bool output)
    {
        std::string links;
        const int rows = output ? dialog_->OutputRows() : dialog_->InputRows();
        for (int i = 0; i < rows; ++i) {
            const TWaveLink* link = dialog_->Row(output, i).Link;
            links += link == nullptr ? '-' : link->Linked() ? 'L' : 'u';
        }
        return links;
    }
    void ClickLink(bool output, int row) { Click(*dialog_->Row(output, row).Link); }
    void ClickMode(bool output, int row) { Click(*dialog_->Row(output, row).ModeLabel); }
    // Shows the dialog as the settings dialog does, for input on it.
    void Show() { dialog_->Show(); }
    std::unique_ptr<TWaveConfig> dialog_;
};

machine::CardConfig EightPipes()
{
    machine::CardConfig card = machine::MakePreset("default");
    card.outputPipes = card.inputPipes = 8;
    card.analogOutputPipes = card.analogInputPipes = 4;
    return card;
}

class EightPipeCard : public WaveConfig {
protected:
    EightPipeCard() : WaveConfig({EightPipes()}) {}
};

TEST_F(EightPipeCard, ShowsTwoDevicesOfFourPipes)
{
    Hooks().SetStoredWaveConfigRaw(RawRecord({{WDM, 4}, {WDM, 4}}, {{NM, 2}, {WDM, 2}, {WDM, 4}}));
    TWaveConfig& d = Make();
    EXPECT_EQ(d.OutputRows(), 4);
    EXPECT_EQ(Widths(true), (std::vector<int>{4, 0, 4, 0}));
    EXPECT_EQ(Links(true), "LuL-");
    EXPECT_EQ(Widths(false), (std::vector<int>{2, 2, 4, 0}));
    EXPECT_EQ(Links(false), "uuL-");
    // The continuation rows show only their names, inside the device's frame.
    const WaveConfigRow& first = d.Row(true, 0);
    const WaveConfigRow& second = d.Row(true, 1);
    EXPECT_EQ(first.WidthLabel->Caption(), "4");
    EXPECT_EQ(first.NameFrame->Height(), 50);
    EXPECT_TRUE(second.NameLabel->Visible());
    for (const TControl* c : {static_cast<const TControl*>(second.NameFrame), static_cast<const TControl*>(second.WidthLabel),
                              static_cast<const TControl*>(second.ModeLabel), static_cast<const TControl*>(second.ModeFrame)})
        EXPECT_FALSE(c->Visible());
    EXPECT_EQ(d.Row(false, 0).ModeLabel->Caption(), "Nimbrel");
    EXPECT_EQ(d.Row(false, 0).ModeLabel->Color(), static_cast<TColor>(0xC0A000));
    EXPECT_EQ(d.Row(false, 1).ModeLabel->Caption(), "WDM");
    EXPECT_EQ(d.Row(false, 1).ModeLabel->Color(), static_cast<TColor>(0x846C00));
    EXPECT_EQ(d.Row(false, 0).NameFrame->Height(), 20);
}

TEST_F(WaveConfig, LaysOutTheRowsAndNamesThemFromTheCapabilities)
{
    TWaveConfig& d = Make();
    EXPECT_EQ(d.Caption(), "Wave device configuration");
    EXPECT_EQ(d.Position(), poOwnerFormCenter);
    EXPECT_EQ(d.CardName->Text(), "Zavo24 8x8");
    EXPECT_EQ(d.CardName->MaxLength(), 10);
    const WaveConfigRow& row = d.Row(true, 2);
    EXPECT_EQ(row.NameFrame->Top(), 40 + 60);
    EXPECT_EQ(row.Link->Left(), 10);
    EXPECT_EQ(row.Link->Top(), 40 + 60 + 14);
    EXPECT_EQ(row.Link->Tag, 2);
    EXPECT_EQ(row.Link->Width(), 24) << "sized to its picture";
    EXPECT_EQ(row.ModeFrame->Shape(), stRoundRect);
    EXPECT_EQ(row.ModeLabel->Tag, 2);
    EXPECT_EQ(d.OutputsBox->Height(), 40 + 30 * 8);
    EXPECT_EQ(d.ApplyButton->Top(), d.OutputsBox->Top() + d.OutputsBox->Height() + 10);
    EXPECT_EQ(d.ClientHeight(), d.ApplyButton->Top() + d.ApplyButton->Height() + 10);
    EXPECT_EQ(d.Row(true, 0).NameLabel->Caption(), "Analog out 1-2");
    EXPECT_EQ(d.Row(true, 4).NameLabel->Caption(), "Digital out 1-2");
    EXPECT_EQ(d.Row(true, 7).NameLabel->Caption(), "Digital out 7-8");
    EXPECT_EQ(d.Row(false, 3).NameLabel->Caption(), "Analog in 7-8");
    EXPECT_EQ(d.Row(false, 5).NameLabel->Caption(), "Digital in 3-4");
    EXPECT_EQ(d.Row(true, 7).Link, nullptr) << "the last row has no link";
}

class MoreInputsThanOutputs : public WaveConfig {
protected:
    MoreInputsThanOutputs()
        : WaveConfig(CardWith([](machine::CardConfig& c) {
              c.outputPipes = 4;
              c.analogOutputPipes = 2;
          }))
    {
    }
};

TEST_F(MoreInputsThanOutputs, BothBoxesAreAsHighAsTheOutputRows)
{
    TWaveConfig& d = Make();
    ASSERT_EQ(d.OutputRows(), 2);
    ASSERT_EQ(d.InputRows(), 8);
    EXPECT_EQ(d.OutputsBox->Height(), 40 + 30 * 2);
    EXPECT_EQ(d.InputsBox->Height(), 40 + 30 * 2);
    EXPECT_EQ(d.ClientHeight(), d.ApplyButton->Top() + d.ApplyButton->Height() + 10);
}

class VirtualAndDummy : public WaveConfig {
protected:
    VirtualAndDummy()
        : WaveConfig(CardWith([](machine::CardConfig& c) { c.inputFlags[2] = INPUT_FLAG_ABSENT; }, "virtual-outputs"))
    {
    }
};

TEST_F(VirtualAndDummy, NamesVirtualOutputsAndDummyInputs)
{
    TWaveConfig& d = Make();
    EXPECT_EQ(d.Row(true, 1).NameLabel->Caption(), "Virtual out 3-4");
    ASSERT_GE(d.InputRows(), 2);
    EXPECT_EQ(d.Row(false, 0).NameLabel->Caption(), "Analog in 1-2");
    EXPECT_EQ(d.Row(false, 1).NameLabel->Caption(), "Dummy in 3-4");
}

class NoLinks : public WaveConfig {
protected:
    NoLinks() : WaveConfig(CardWith([](machine::CardConfig& c) { c.capabilityFlags = 0; })) {}
};

TEST_F(NoLinks, ACardThatCannotLinkGetsNoLinks)
{
    TWaveConfig& d = Make();
    EXPECT_EQ(Links(true), "--------");
    EXPECT_EQ(Links(false), "--------");
    EXPECT_EQ(d.Row(true, 0).Width, 2);
}

TEST_F(WaveConfig, TheBufferSizeListSelectsTheCardsSizeElse512)
{
    for (const auto& [size, item] : {std::pair{2048u, 5}, {64u, 0}, {8192u, 7}, {1000u, 3}}) {
        Hooks().SetWaveBufferSizeRaw(size);
        TWaveConfig& d = Make();
        ASSERT_EQ(d.NmBufferSizeCombo->Items()->Count(), 8);
        EXPECT_EQ(d.NmBufferSizeCombo->Items()->Strings(7), "8192");
        EXPECT_EQ(d.NmBufferSizeCombo->ItemIndex(), item) << size;
    }
    Hooks().FailNext(IOCTL_GET_WAVE_BUFFER_SIZE);
    EXPECT_EQ(Make().NmBufferSizeCombo->SelectedText(), "512") << "no answer is no size";
}

TEST_F(WaveConfig, ApplyStartsDisabledOnlyWhileTheConfigurationIsInEffect)
{
    EXPECT_FALSE(Make().ApplyButton->Enabled()) << "in effect, though setting the name enabled it";
    const WaveConfigRecord sent = dialog_->Shown();
    ASSERT_TRUE(card_->SetWaveConfig(&sent));
    EXPECT_TRUE(Make().ApplyButton->Enabled()) << "sent, not yet in effect";
}

TEST_F(WaveConfig, AConfigurationThatCannotBeReadShowsEveryPairOnItsOwn)
{
    Hooks().FailNext(IOCTL_GET_WAVE_CONFIG);
    TWaveConfig& d = Make();
    EXPECT_EQ(Widths(true), std::vector<int>(8, 2));
    EXPECT_EQ(d.Row(true, 0).ModeLabel->Caption(), "WDM");
    EXPECT_TRUE(d.ApplyButton->Enabled()) << "nothing known to be in effect";
}

TEST_F(WaveConfig, HostileRecordsAreShownWithinTheRows)
{
    // 20 entries, widths 0, 1, 3 and 40, on 8 rows a side.
    Entries many(16, {WDM, 2});
    many[0] = {WDM, 0};
    many[1] = {WDM, 1};
    many[2] = {NM, 3};
    many[3] = {WDM, 40};
    Hooks().SetStoredWaveConfigRaw(RawRecord(many, {{WDM, 40}}, 20));
    TWaveConfig& d = Make();
    EXPECT_EQ(Widths(true), (std::vector<int>{2, 2, 2, 10, 0, 0, 0, 0}));
    EXPECT_EQ(Links(true), "uuuLLLL-");
    EXPECT_EQ(Widths(false), (std::vector<int>{16, 0, 0, 0, 0, 0, 0, 0}));
    const WaveConfigRecord shown = d.Shown();
    EXPECT_EQ(EntriesOf(shown.Outputs, shown.OutputCount), (Entries{{WDM, 2}, {WDM, 2}, {NM, 2}, {WDM, 10}}));
    EXPECT_EQ(EntriesOf(shown.Inputs, shown.InputCount), (Entries{{WDM, 16}}));
}

class SixtyFourPipes : public WaveConfig {
protected:
    SixtyFourPipes() : WaveConfig({ManyChannelsCard()}) {}
};

TEST_F(SixtyFourPipes, GetsSixteenRowsASide)
{
    Hooks().SetStoredWaveConfigRaw(RawRecord(Entries(16, {NM, 2}), Entries(16, {NM, 4}), 32));
    TWaveConfig& d = Make();
    EXPECT_EQ(d.OutputRows(), 16);
    EXPECT_EQ(d.InputRows(), 16);
    EXPECT_EQ(Widths(true), std::vector<int>(16, 2));
    EXPECT_EQ(d.Row(true, 15).NameLabel->Caption(), "Virtual out 31-32");
    EXPECT_EQ(Widths(false), (std::vector<int>{4, 0, 4, 0, 4, 0, 4, 0, 4, 0, 4, 0, 4, 0, 4, 0}));
    EXPECT_EQ(d.InputsBox->Height(), 40 + 30 * 16);
}

TEST_F(EightPipeCard, LinkingANimbrelRowMakesItWdmAndWidensTheDevice)
{
    Hooks().SetStoredWaveConfigRaw(RawRecord({{NM, 2}, {NM, 2}, {WDM, 4}}, {{NM, 2}, {NM, 2}, {NM, 2}, {NM, 2}}));
    TWaveConfig& d = Make();
    Show();
    ASSERT_FALSE(d.ApplyButton->Enabled());
    ClickLink(true, 0);
    EXPECT_EQ(Links(true), "LuL-");
    EXPECT_EQ(Widths(true), (std::vector<int>{4, 0, 4, 0}));
    EXPECT_EQ(d.Row(true, 0).Mode, WDM);
    EXPECT_EQ(d.Row(true, 0).ModeLabel->Caption(), "WDM");
    EXPECT_EQ(d.Row(true, 0).WidthLabel->Caption(), "4");
    EXPECT_TRUE(d.ApplyButton->Enabled());
    // A chain through the next link makes one device of all three pairs.
    ClickLink(true, 1);
    EXPECT_EQ(Widths(true), (std::vector<int>{8, 0, 0, 0}));
    EXPECT_EQ(d.Row(true, 0).NameFrame->Height(), 110);
    ClickLink(true, 0);
    EXPECT_EQ(Widths(true), (std::vector<int>{2, 6, 0, 0}));
    EXPECT_TRUE(d.Row(true, 1).ModeLabel->Visible());
    EXPECT_EQ(d.Row(true, 1).ModeLabel->Caption(), "WDM") << "a device of six pipes is no Nimbrel device";
}

TEST_F(EightPipeCard, ALinkChangesOnlyTheModeOfItsOwnRow)
{
    // A wide Nimbrel device as the card driver gives it is shown as it is.
    Hooks().SetStoredWaveConfigRaw(RawRecord({{NM, 4}, {WDM, 2}, {WDM, 2}}, {}));
    TWaveConfig& d = Make();
    Show();
    ASSERT_EQ(Widths(true), (std::vector<int>{4, 0, 2, 2}));
    ClickLink(true, 2);
    EXPECT_EQ(Widths(true), (std::vector<int>{4, 0, 4, 0}));
    EXPECT_EQ(d.Row(true, 0).ModeLabel->Caption(), "Nimbrel") << "another link leaves the device alone";
    // Undone, the device's second pair is a device of its own, of its own mode.
    ClickLink(true, 0);
    EXPECT_EQ(Widths(true), (std::vector<int>{2, 2, 4, 0}));
    EXPECT_EQ(d.Row(true, 0).Mode, NM);
    EXPECT_EQ(d.Row(true, 1).Mode, WDM);
    EXPECT_EQ(d.Row(true, 1).ModeLabel->Caption(), "WDM");
}

TEST_F(EightPipeCard, SwitchingALinkedDeviceToNimbrelUnlinksItsFirstRow)
{
    Hooks().SetStoredWaveConfigRaw(RawRecord({{WDM, 4}, {WDM, 4}}, {}));
    TWaveConfig& d = Make();
    Show();
    ClickMode(true, 0);
    EXPECT_EQ(d.Row(true, 0).Mode, NM);
    EXPECT_EQ(d.Row(true, 0).ModeLabel->Caption(), "Nimbrel");
    EXPECT_EQ(Links(true), "uuL-");
    EXPECT_EQ(Widths(true), (std::vector<int>{2, 2, 4, 0}));
    EXPECT_TRUE(d.ApplyButton->Enabled());
    ClickMode(true, 0);
    EXPECT_EQ(d.Row(true, 0).ModeLabel->Caption(), "WDM");
    EXPECT_EQ(Links(true), "uuL-") << "back to WDM links nothing";
}

TEST_F(EightPipeCard, OnWindows9xModeClicksChangeNothing)
{
    OnWindows9x();
    Hooks().SetStoredWaveConfigRaw(RawRecord({{WDM, 4}, {NM, 2}}, {}));
    TWaveConfig& d = Make();
    Show();
    ClickMode(true, 0);
    ClickMode(true, 2);
    EXPECT_EQ(d.Row(true, 0).Mode, WDM);
    EXPECT_EQ(d.Row(true, 2).ModeLabel->Caption(), "Nimbrel");
    EXPECT_EQ(Links(true), "Luu-");
    EXPECT_FALSE(d.ApplyButton->Enabled());
}

TEST_F(WaveConfig, AnUnchangedConfigurationInEffectSendsOnlyTheBufferSize)
{
    TWaveConfig& d = Make();
    d.NmBufferSizeCombo->SetItemIndex(6);
    ClearLog();
    d.ApplyButtonClick(d.ApplyButton);
    EXPECT_EQ(Requests(IOCTL_SET_WAVE_BUFFER_SIZE), 1u);
    EXPECT_EQ(Hooks().Settings().waveBufferSize, 4096u);
    EXPECT_EQ(Requests(IOCTL_SET_WAVE_CONFIG), 0u);
    EXPECT_EQ(Requests(IOCTL_SET_CARD_NAME), 0u);
    EXPECT_EQ(Requests(IOCTL_OPEN_TRANSPORT), 0u) << "no in-use test, no restart";
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(WaveConfig, ANameWithAForbiddenCharacterIsSentWithAHyphen)
{
    Hooks().HoldPipes(0, 0, 2);  // the restart logic then stops at the in-use message
    TWaveConfig& d = Make();
    d.CardName->SetText("My*card $%'-_@~`!{}()#&+,;=[].\x01\xe9");
    d.ApplyButtonClick(d.ApplyButton);
    EXPECT_EQ(Hooks().Settings().pendingName, "My-card $%'-_@~`!{}()#&+,;=[].--");
    EXPECT_EQ(d.CardName->Text(), "My*card $%'-_@~`!{}()#&+,;=[].\x01\xe9") << "the edit keeps what was typed";
    EXPECT_EQ(Requests(IOCTL_SET_WAVE_CONFIG), 1u) << "the configuration goes with the name";
    EXPECT_EQ(BoxTexts().size(), 1u);
}

TEST_F(EightPipeCard, ApplySendsTheRowsAsShown)
{
    Hooks().HoldPipes(1, 0, 2);
    TWaveConfig& d = Make();
    Show();
    ClickLink(true, 1);
    ClickMode(false, 3);
    d.ApplyButtonClick(d.ApplyButton);
    const auto stored = Hooks().Settings().storedWaveConfig;
    EXPECT_EQ(stored.outputCount, 3);
    EXPECT_EQ(stored.outputs[1].width, 4);
    EXPECT_EQ(stored.outputs[1].mode, WDM) << "linked rows become WDM";
    EXPECT_EQ(stored.inputCount, 4);
    EXPECT_EQ(stored.inputs[3].mode, WDM);
    EXPECT_EQ(stored.inputs[2].mode, NM);
}

TEST_F(WaveConfig, TheHelpButtonShowsTheMemoAndTheTextOfTheControlUnderThePointer)
{
    TWaveConfig& d = Make();
    Show();
    const int height = d.Height();
    Click(*d.HelpButton);
    EXPECT_EQ(d.HelpButton->Caption(), "Hide help");
    EXPECT_TRUE(d.HelpMemo->Visible());
    EXPECT_EQ(d.Height(), height + 60);
    EXPECT_EQ(d.HelpMemo->Lines()->Text(), WaveHelp::General + "\r\n");
    EXPECT_EQ(d.HelpMemo->Align(), alBottom);
    EXPECT_EQ(d.HelpMemo->Height(), 62);
    EXPECT_TRUE(d.HelpMemo->ReadOnly());

    struct Over {
        TControl* control;
        const std::string& text;
    };
    const WaveConfigRow& row = d.Row(true, 0);
    for (const Over& o : {Over{row.Link, WaveHelp::Link}, Over{row.NameLabel, WaveHelp::Name},
                          Over{row.WidthLabel, WaveHelp::Width}, Over{row.ModeLabel, WaveHelp::Mode},
                          Over{d.CardName, WaveHelp::CardName}, Over{d.NmBufferSizeLabel, WaveHelp::BufferSize},
                          Over{d.OutputsBox, WaveHelp::General}, Over{d.Row(false, 2).Link, WaveHelp::Link}}) {
        gui_testing::MoveOn(*o.control, 3, 3);
        ASSERT_EQ(d.HelpMemo->Lines()->Count(), 1);
        EXPECT_EQ(d.HelpMemo->Lines()->Strings(0), o.text);
    }
    // The same text again leaves the memo as it is; another rewrites it.
    d.HelpMemo->Lines()->Add("kept");
    gui_testing::MoveOn(*d.Row(true, 3).Link, 4, 4);
    EXPECT_EQ(d.HelpMemo->Lines()->Count(), 2);
    gui_testing::MoveOn(*d.Row(true, 3).NameLabel, 4, 4);
    EXPECT_EQ(d.HelpMemo->Lines()->Count(), 1);

    Click(*d.HelpButton);
    EXPECT_EQ(d.HelpButton->Caption(), "Show help");
    EXPECT_FALSE(d.HelpMemo->Visible());
    EXPECT_EQ(d.Height(), height);
}

TEST_F(WaveConfig, TheModeHelpOnWindows9xSaysOnlyWdm)
{
    OnWindows9x();
    TWaveConfig& d = Make();
    Show();
    gui_testing::MoveOn(*d.Row(true, 0).ModeLabel, 3, 3);
    EXPECT_EQ(d.HelpMemo->Lines()->Strings(0), "Only WDM mode is supported for this version of Windows.");
}

TEST_F(WaveConfig, TheHelpTextsAreTheSystemsOwn)
{
    EXPECT_EQ(WaveHelp::Link,
              "Click here to link or unlink audio channels together.  Some audio software works more efficiently "
              "with linked channels.  Linking channels together also enables surround sound.");
    EXPECT_NE(WaveHelp::Mode.find("perfect, bit-for-bit audio transfer.  Nimbrel only"), std::string::npos);
    EXPECT_EQ(WaveHelp::Mode.substr(WaveHelp::Mode.size() - 32), "(ASIO and GSIF work either way.)");
}

TEST_F(WaveConfig, StaysOnASmallDesktop)
{
    desktop().SetScreenRect(RECT{0, 0, 700, 480});
    TWaveConfig& d = Make();
    struct Case {
        int left, top, wantLeft, wantTop;
    };
    for (const Case c : {Case{-30, -20, 0, 0}, Case{200, 300, 700 - d.Width(), 480 - d.Height()}, Case{10, 5, 10, 5}}) {
        d.SetLeft(c.left);
        d.SetTop(c.top);
        d.FormActivate(&d);
        EXPECT_EQ(d.Left(), c.wantLeft);
        EXPECT_EQ(d.Top(), c.wantTop);
    }
}

TEST_F(WaveConfig, OkAppliesAndCancelSendsNothing)
{
    InWaveConfigFromConsole([](TWaveConfig& d) {
        EXPECT_NE(dynamic_cast<TSettingsDialog*>(d.Owner()), nullptr);
        d.NmBufferSizeCombo->SetItemIndex(1);
        Click(*d.CancelButton);
    });
    EXPECT_EQ(Requests(IOCTL_SET_WAVE_BUFFER_SIZE), 0u);
    InWaveConfigFromConsole([](TWaveConfig& d) {
        d.NmBufferSizeCombo->SetItemIndex(1);
        Click(*d.OkButton);
        EXPECT_EQ(d.ModalResult(), mrOk);
    });
    EXPECT_EQ(Hooks().Settings().waveBufferSize, 128u);
    EXPECT_EQ(Requests(IOCTL_SET_WAVE_CONFIG), 0u);
}

}  // namespace
