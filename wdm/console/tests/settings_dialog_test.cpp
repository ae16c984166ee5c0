// The settings button and the settings dialog: where it opens, how it is
// filled from the card and the window, what OK applies and Cancel does not,
// and the pages, lists and readouts for the cards it meets.
#include <gtest/gtest.h>

#include <memory>

#include "console/about_picture.h"
#include "console/console_version.h"
#include "console/file_version.h"
#include "device_testing/requests.h"
#include "dialog_fixture.h"

namespace {

std::vector<std::string> Items(TStringList* list)
{
    std::vector<std::string> items;
    for (int i = 0; i < list->Count(); ++i) items.push_back(list->Strings(i));
    return items;
}

VS_FIXEDFILEINFO Version(DWORD ms, DWORD ls)
{
    VS_FIXEDFILEINFO info = ConsoleVersion();
    info.dwFileVersionMS = ms;
    info.dwFileVersionLS = ls;
    return info;
}

class SettingsButton : public DialogTest {
protected:
    explicit SettingsButton(std::vector<machine::CardConfig> cards = DefaultCard()) : DialogTest(std::move(cards)) {}
    // The commands of the card settings sent in mixer messages.
    std::vector<DWORD> SentCommands()
    {
        std::vector<DWORD> commands;
        for (const machine::RequestRecord& request : Hooks().Log()) {
            if (request.code != IOCTL_MIXER_MESSAGE) continue;
            const DWORD command = device_testing::Message(request).Command;
            switch (command) {
            case CMD_SET_SPDIF_FORMAT: case CMD_SET_FLAGS: case CMD_CLEAR_FLAGS: case CMD_SET_LOCKED_RATE:
            case CMD_SET_DIG_IN_AUTO_MUTE: commands.push_back(command); break;
            default: break;
            }
        }
        return commands;
    }
};

TEST_F(SettingsButton, OpensTheDialogBelowItsOwnMiddleWithTheCardsName)
{
    ASSERT_TRUE(Open());
    form_->SetLeft(100);
    form_->SetTop(50);
    InSettings([&](TSettingsDialog& d) {
        const TButton& b = *form_->SettingsButton;
        EXPECT_EQ(d.Left(), 100 + b.Left() + b.Width() / 2 - d.Width() / 2);
        EXPECT_EQ(d.Top(), 60);
        EXPECT_EQ(d.Caption(), "Zavo24 8x8 settings");
        EXPECT_EQ(d.ClientWidth(), 292);
        EXPECT_EQ(d.ClientHeight(), 255);
        EXPECT_EQ(d.Card, card_);
    });
    Click(*form_->SettingsButton);
    EXPECT_TRUE(SentCommands().empty()) << "a cancelled dialog sends nothing";
    EXPECT_EQ(Requests(IOCTL_SET_GSIF_BUFFER_SIZE), 0u);
    EXPECT_EQ(Requests(IOCTL_SET_SPEAKER_DELAY), 0u);
}

TEST_F(SettingsButton, FillsTheDialogFromTheCardAndTheWindow)
{
    ASSERT_TRUE(Open());
    card_->SetSpdifFormat(1);
    card_->SetSampleRateLock(1);
    card_->SetLockedRate(48000);
    card_->SetSyncWaveDevices(1);
    card_->SetGsifBufferSize(512);
    card_->SetSpeakerDelay(3, 17);
    form_->SettingsPage = 3;
    form_->AutoLoadSession = 0;
    form_->AlwaysOnTop = 1;
    form_->LoadSessionWaveConfig = 0;
    InSettings([](TSettingsDialog& d) {
        EXPECT_EQ(d.SpdifFormat->ItemIndex(), 1);
        EXPECT_EQ(d.SampleRateLock->ItemIndex(), 1);
        EXPECT_EQ(d.LockedRateCombo->SelectedText(), "48,000");
        EXPECT_TRUE(d.SyncWaveDevs->Checked());
        EXPECT_EQ(d.GsifBufferSize->ItemIndex(), 3);
        EXPECT_EQ(d.subwooferslider->Position(), 17);
        EXPECT_EQ(d.PageControl->ActivePage(), d.GSIFTab);
        EXPECT_FALSE(d.AutoLoadSession->Checked());
        EXPECT_TRUE(d.AutoSaveSession->Checked());
        EXPECT_TRUE(d.AlwaysOnTop->Checked());
        EXPECT_FALSE(d.LoadSessionWaveConfig->Checked());
    });
    Click(*form_->SettingsButton);
}

TEST_F(SettingsButton, OkAppliesEveryChoiceToTheCardAndTheWindowInOrder)
{
    ASSERT_TRUE(Open());
    InSettings([](TSettingsDialog& d) {
        d.SpdifFormat->SetItemIndex(1);
        d.SampleRateLock->SetItemIndex(1);
        d.LockedRateCombo->SetItemIndex(0);  // 32,000
        d.SyncWaveDevs->SetChecked(true);
        d.GsifBufferSize->SetItemIndex(0);
        d.AutoLoadSession->SetChecked(false);
        d.AutoSaveSession->SetChecked(false);
        d.LoadSessionWaveConfig->SetChecked(false);
        d.AlwaysOnTop->SetChecked(true);
        d.PageControl->SetActivePage(d.SurroundTab);
        d.leftfrontslider->SetPosition(5);
        d.rightcenterfrontslider->SetPosition(250);
        Click(*d.OkButton);
    });
    Click(*form_->SettingsButton);

    EXPECT_EQ(SentCommands(), (std::vector<DWORD>{CMD_SET_SPDIF_FORMAT, CMD_SET_FLAGS, CMD_SET_LOCKED_RATE,
                                                  CMD_SET_FLAGS, CMD_SET_DIG_IN_AUTO_MUTE}));
    DWORD v = 0;
    card_->GetSpdifFormat(&v);
    EXPECT_EQ(v, 1u);
    card_->GetSampleRateLock(&v);
    EXPECT_NE(v, 0u);
    card_->GetLockedRate(&v);
    EXPECT_EQ(v, 32000u);
    card_->GetSyncWaveDevices(&v);
    EXPECT_NE(v, 0u);
    const auto settings = Hooks().Settings();
    EXPECT_EQ(settings.gsifBufferSize, 64u);
    EXPECT_EQ(Requests(IOCTL_SET_SPEAKER_DELAY), 8u);
    EXPECT_EQ(settings.speakerDelays[0], 5u);
    EXPECT_EQ(settings.speakerDelays[7], 250u);
    EXPECT_EQ(form_->AutoLoadSession, 0);
    EXPECT_EQ(form_->AutoSaveSession, 0);
    EXPECT_EQ(form_->LoadSessionWaveConfig, 0);
    EXPECT_EQ(form_->AlwaysOnTop, 1);
    EXPECT_EQ(form_->FormStyle(), fsStayOnTop);
    EXPECT_EQ(form_->SettingsPage, 4);
}

TEST_F(SettingsButton, AGsifSizeTheCardDoesNotGiveSelectsTheLastItem)
{
    ASSERT_TRUE(Open());
    Hooks().FailNext(IOCTL_GET_GSIF_BUFFER_SIZE);
    InSettings([](TSettingsDialog& d) {
        EXPECT_EQ(d.GsifSize, 0) << "never a size the card did not give";
        EXPECT_EQ(d.GsifBufferSize->ItemIndex(), 5);
        Click(*d.OkButton);
    });
    Click(*form_->SettingsButton);
    EXPECT_EQ(Hooks().Settings().gsifBufferSize, 2048u);
}

// The dialog made and set up as the settings button does, for the tests of its own behaviour.
class SettingsDialog : public DialogTest {
protected:
    explicit SettingsDialog(std::vector<machine::CardConfig> cards = DefaultCard()) : DialogTest(std::move(cards)) {}
    void SetUp() override { ASSERT_TRUE(Open()); }
    TSettingsDialog& Make()
    {
        dialog_ = std::make_unique<TSettingsDialog>(form_);
        return *dialog_;
    }
    TSettingsDialog& Setup(DWORD lockedRate = 44100, WORD family = 0x80)
    {
        if (!dialog_) Make();
        dialog_->Setup(0, 0, card_, family, 0, lockedRate);
        return *dialog_;
    }
    std::unique_ptr<TSettingsDialog> dialog_;
};

TEST_F(SettingsDialog, StartsWithItsFieldsFirstValues)
{
    TSettingsDialog& d = Make();
    EXPECT_EQ(d.PageIndex, 0);
    EXPECT_EQ(d.GsifSize, 128);
    EXPECT_EQ(d.AutoLoad, 1);
    EXPECT_EQ(d.AutoSave, 1);
    EXPECT_EQ(d.BorderStyle(), TFormBorderStyle::bsDialog);
    EXPECT_FALSE(d.Scaled());
    EXPECT_EQ(d.Font()->Name(), "Arial");
    EXPECT_EQ(d.PageControl->PageCount(), 6);
    EXPECT_TRUE(d.PageControl->HotTrack());
    EXPECT_EQ(d.SampleRateLock->Items()->Strings(1), "The sample rate is &locked at ");
    EXPECT_EQ(d.GsifBufferSize->Items()->Strings(5), "2,0&48 samples ");
    EXPECT_EQ(d.GsifBufferSize->Columns(), 2);
    EXPECT_EQ(d.LockedRateCombo->Style(), TComboBoxStyle::csDropDownList);
    EXPECT_TRUE(d.OkButton->Default());
    EXPECT_EQ(d.OkButton->ModalResult(), mrOk);
    EXPECT_TRUE(d.CancelButton->Cancel());
    EXPECT_EQ(d.CancelButton->ModalResult(), mrCancel);
}

TEST_F(SettingsDialog, IsInArial15WithEveryTabInReach)
{
    TSettingsDialog& d = Make();
    EXPECT_EQ(d.Font()->Height(), -15);
    const std::pair<const char*, const TControl*> controls[] = {
        {"rate lock", d.SampleRateLock}, {"rate list", d.LockedRateCombo}, {"sync", d.SyncWaveDevs},
        {"GSIF", d.GsifBufferSize},      {"readout", d.leftfrontreadout}};
    for (const auto& [name, control] : controls) EXPECT_EQ(control->Font()->Height(), -15) << name;
    // The one font of ours: the tabs, smaller, so that the captions of all
    // six (inside their tabs' padding of 6) show across the control.
    for (int i = 0; i < d.PageControl->PageCount(); ++i) {
        const TRect tab = d.PageControl->TabRect(i);
        EXPECT_GT(tab.Width(), 0) << i;
        EXPECT_LE(tab.Right - 6, d.PageControl->Width()) << d.PageControl->Pages(i)->Caption();
    }
}

TEST_F(SettingsDialog, ListsTheRatesOfTheFamilyAndSelectsTheLockedOne)
{
    struct Case {
        WORD family;
        DWORD locked;
        std::vector<std::string> rates;
        int selected;
    };
    const std::vector<std::string> seven{" 8,000", "11,025", "16,000", "22,050", "32,000", "44,100", "48,000"};
    const Case cases[] = {
        {0x30, 44100, seven, 5},
        {0x30, 96000, seven, -1},
        {0xC0, 8000, seven, 0},
        {0x10, 48000, {"44,100", "48,000"}, 1},
        {0x100, 96000, {"32,000", "44,100", "48,000", "88,200", "96,000"}, 4},
        {0x40, 88200, {" 8,000", "11,025", "16,000", "22,050", "32,000", "44,100", "48,000", "88,200", "96,000"}, 7},
    };
    for (const Case& c : cases) {
        dialog_.reset();
        TSettingsDialog& d = Setup(c.locked, c.family);
        EXPECT_EQ(Items(d.LockedRateCombo->Items()), c.rates) << std::hex << c.family;
        EXPECT_EQ(d.LockedRateCombo->ItemIndex(), c.selected) << std::hex << c.family << " " << std::dec << c.locked;
        EXPECT_EQ(d.LockedRate, static_cast<int>(c.locked));
    }
}

TEST_F(SettingsDialog, OkWithoutARateKeepsTheLockedRateGiven)
{
    TSettingsDialog& d = Setup(96000, 0x30);
    d.OkButtonClick(d.OkButton);
    EXPECT_EQ(d.LockedRate, 96000);
    d.LockedRateCombo->SetItemIndex(2);
    d.OkButtonClick(d.OkButton);
    EXPECT_EQ(d.LockedRate, 16000);
}

TEST_F(SettingsDialog, SelectsTheGsifItemOfTheSizeAndTheLastForAnyOther)
{
    const std::pair<int, int> cases[] = {{64, 0}, {128, 1}, {1024, 4}, {2048, 5}, {100, 5}, {0, 5}, {4096, 5}};
    for (const auto& [size, item] : cases) {
        dialog_.reset();
        Make().GsifSize = size;
        TSettingsDialog& d = Setup();
        EXPECT_EQ(d.GsifBufferSize->ItemIndex(), item) << size;
        d.OkButtonClick(d.OkButton);
        EXPECT_EQ(d.GsifSize, 64 << item) << size;
    }
}

TEST_F(SettingsDialog, OkWithoutAGsifItemKeepsTheSize)
{
    TSettingsDialog& d = Setup();
    d.GsifBufferSize->SetItemIndex(-1);
    d.GsifSize = 333;
    d.OkButtonClick(d.OkButton);
    EXPECT_EQ(d.GsifSize, 333);
}

TEST_F(SettingsDialog, ShowsEachDelayInItsReadoutAlsoWhenItIsZero)
{
    TSettingsDialog& d = Make();
    d.SpeakerDelays[0] = 5;
    d.SpeakerDelays[1] = 250;
    Setup();
    EXPECT_EQ(d.leftfrontreadout->Caption(), "  5");
    EXPECT_EQ(d.rightfrontreadout->Caption(), " 250");
    EXPECT_EQ(d.centerfrontreadout->Caption(), "  0");
    EXPECT_EQ(d.rightcenterfrontslider->Tag, 7);
    EXPECT_EQ(d.rightcenterfrontslider->Max(), 250);
    EXPECT_EQ(d.rightcenterfrontslider->TickStyle(), TTickStyle::tsNone);
    d.subwooferslider->SetPosition(42);
    EXPECT_EQ(d.subwooferreadout->Caption(), " 42");
    d.OkButtonClick(d.OkButton);
    EXPECT_EQ(d.SpeakerDelays[3], 42);
    EXPECT_EQ(d.SpeakerDelays[1], 250);
}

TEST_F(SettingsButton, EnteringTheRateListSelectsTheLockedItem)
{
    ASSERT_TRUE(Open());
    InSettings([](TSettingsDialog& d) {
        ASSERT_EQ(d.SampleRateLock->ItemIndex(), 0);
        Click(*d.LockedRateCombo);
        gui::PressKey(d, VK_ESCAPE);  // closes the list only
        EXPECT_EQ(d.SampleRateLock->ItemIndex(), 1);
        Click(*d.OkButton);
    });
    Click(*form_->SettingsButton);
    DWORD lock = 0;
    card_->GetSampleRateLock(&lock);
    EXPECT_NE(lock, 0u);
}

class DigitalOnly : public SettingsDialog {
protected:
    DigitalOnly()
        : SettingsDialog(CardWith([](machine::CardConfig& c) {
              c.family = 0x90;
              c.outputBusses = c.analogOutputBusses = 8;
              c.capabilityFlags = 0x8000 | 0x4000;
          }))
    {
    }
};

TEST_F(SettingsDialog, APageIndexOfAHiddenPageShowsPageZero)
{
    // The default card has no auto-mute and has digital outputs: a card without them below.
    TSettingsDialog& d = Make();
    d.PageIndex = 4;
    Setup();
    EXPECT_EQ(d.PageControl->ActivePage(), d.SurroundTab);
    EXPECT_TRUE(d.DigitalTab->TabVisible());
    EXPECT_FALSE(d.DigInAutoMute->Visible());
    d.DigInAutoMute->SetChecked(true);
    d.OkButtonClick(d.OkButton);
    EXPECT_EQ(d.DigInAutoMuteOn, 0) << "a hidden box gives 0";
    EXPECT_EQ(d.PageIndex, 4);

    for (int index : {9, -1}) {
        dialog_.reset();
        Make().PageIndex = index;
        Setup();
        EXPECT_EQ(dialog_->PageControl->ActivePageIndex(), 0) << index;
    }
}

TEST_F(DigitalOnly, HidesTheDigitalAndSurroundPagesAndShowsAutoMute)
{
    card_->SetDigInAutoMute(1);
    TSettingsDialog& d = Make();
    d.PageIndex = 2;
    d.Setup(0, 0, card_, 0x90, 0, 44100);
    EXPECT_FALSE(d.DigitalTab->TabVisible());
    EXPECT_FALSE(d.SurroundTab->TabVisible());
    EXPECT_EQ(d.PageControl->ActivePageIndex(), 0) << "the hidden page is refused";
    EXPECT_TRUE(d.DigInAutoMute->Visible());
    EXPECT_TRUE(d.DigInAutoMute->Checked());
    EXPECT_EQ(d.ActiveControl(), d.SampleRateLock);
    d.OkButtonClick(d.OkButton);
    EXPECT_EQ(d.DigInAutoMuteOn, 1);
    EXPECT_EQ(d.PageIndex, 0);
}

struct VersionCase {
    DWORD version;
    bool answers;
    const char* text;
};

class DriverVersion : public SettingsDialog, public ::testing::WithParamInterface<VersionCase> {
protected:
    DriverVersion() : SettingsDialog(CardWith([](machine::CardConfig& c) { c.driverVersion = GetParam().version; })) {}
};

TEST_P(DriverVersion, IsShownOnTheAboutPage)
{
    if (!GetParam().answers) Hooks().FailNext(IOCTL_GET_DRIVER_VERSION);
    EXPECT_EQ(Setup().DriverVersionLabel->Caption(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Versions, DriverVersion,
                         ::testing::Values(VersionCase{0x00020503, true, "2.05.3"}, VersionCase{0x00020500, true, "2.05"},
                                           VersionCase{0x000A0C01, true, "10.12.1"},
                                           VersionCase{0x00020503, false, "0.00"}));

TEST_F(SettingsDialog, ShowsTheConsoleVersionFromItsVersionBlock)
{
    struct Case {
        DWORD ms, ls;
        const char* text;
    };
    for (const Case c : {Case{0x00020005, 0, "2.05"}, Case{0x00020005, 0x00030007, "2.05.3"},
                         Case{0x000C0000, 0x00000009, "12.00"}}) {
        win32::RegisterModuleVersion("korvane3.exe", Version(c.ms, c.ls));
        dialog_.reset();
        EXPECT_EQ(Setup().ConsoleVersionLabel->Caption(), c.text);
    }
    win32::UnregisterModuleVersion("korvane3.exe");
    dialog_.reset();
    EXPECT_EQ(Setup().ConsoleVersionLabel->Caption(), "");
}

TEST_F(SettingsDialog, TheConsoleDeclaresItsOwnVersion)
{
    DeclareConsoleVersion();
    std::string version;
    GetFileVersionString("KORVANE3.EXE", version);
    const std::string expected = ZAVO_VERSION_PATCH != 0
                                     ? Format("%u.%02u.%u", ZAVO_VERSION_MAJOR, ZAVO_VERSION_MINOR, ZAVO_VERSION_PATCH)
                                     : Format("%u.%02u", ZAVO_VERSION_MAJOR, ZAVO_VERSION_MINOR);
    EXPECT_EQ(version, expected);
    win32::UnregisterModuleVersion("korvane3.exe");
    GetFileVersionString("korvane3.exe", version);
    EXPECT_EQ(version, "");
}

TEST_F(SettingsDialog, TheAboutPictureIsAColourPictureOfItsSize)
{
    TJPEGImage jpeg;
    ASSERT_TRUE(jpeg.LoadFromBytes(AboutPictureBytes()));
    EXPECT_EQ(jpeg.Width(), 112);
    EXPECT_EQ(jpeg.Height(), 74);
    // Not grey: the board is green.
    const gui::Surface& pixels = jpeg.Bitmap().Surface();
    const std::uint32_t board = pixels.at(70, 50);
    EXPECT_GT((board >> 8) & 0xFF, (board >> 16) & 0xFF);

    TSettingsDialog& d = Make();
    EXPECT_EQ(d.Image1->Left(), 62);
    EXPECT_EQ(d.Image1->Top(), 72);
    EXPECT_EQ(d.Image1->Width(), 112);
    EXPECT_EQ(d.Image1->Height(), 74);
    EXPECT_EQ(d.Image1->Picture()->Width(), 112);
}

TEST_F(SettingsDialog, BytesThatAreNoPictureLeaveThePictureAlone)
{
    TSettingsDialog& d = Make();
    const std::uint8_t junk[] = {0xFF, 0xD8, 0xFF, 0x00, 1, 2, 3};
    TJPEGImage jpeg;
    EXPECT_FALSE(jpeg.LoadFromBytes(junk));
    EXPECT_FALSE(jpeg.LoadFromBytes(AboutPictureBytes().first(40)));
    EXPECT_EQ(jpeg.Width(), 0);
    EXPECT_EQ(d.Image1->Picture()->Width(), 112);
}

}  // namespace
