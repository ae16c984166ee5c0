#include "console/settings_dialog.h"

#include <algorithm>
#include <iterator>
#include <memory>

#include "console/about_picture.h"
#include "console/file_version.h"
#include "console/wave_config.h"

namespace {

// The rates the sample rate can be locked at, by family code.
constexpr DWORD TwoRates[] = {44100, 48000};
constexpr DWORD SevenRates[] = {8000, 11025, 16000, 22050, 32000, 44100, 48000};
constexpr DWORD FiveRates[] = {32000, 44100, 48000, 88200, 96000};
constexpr DWORD NineRates[] = {8000, 11025, 16000, 22050, 32000, 44100, 48000, 88200, 96000};

template <std::size_t N>
void Pick(const DWORD (&rates)[N], const DWORD*& list, int& count)
{
    list = rates;
    count = static_cast<int>(N);
}

void RatesFor(WORD familyCode, const DWORD*& list, int& count)
{
    switch (familyCode) {
    case 0x10: case 0x20: Pick(TwoRates, list, count); break;
    case 0x30: case 0xC0: Pick(SevenRates, list, count); break;
    case 0x80: case 0x90: case 0xA0: case 0xB0: case 0x100: Pick(FiveRates, list, count); break;
    default: Pick(NineRates, list, count); break;
    }
}

constexpr int GsifSmallest = 64;

}  // namespace

TSettingsDialog::TSettingsDialog(TComponent* owner) : TForm(owner)
{
    CreateDesign();
    // Filled here rather than in Setup, so that no handler meets an empty table.
    FillSpeakerControls();
    PageIndex = 0;
    GsifSize = 128;
    AutoLoad = 1;
    AutoSave = 1;

    TJPEGImage picture;
    // Bytes that do not decode leave the page without a picture.
    if (picture.LoadFromBytes(AboutPictureBytes())) Image1->Picture()->Assign(picture);
}

void TSettingsDialog::FillSpeakerControls()
{
    const SpeakerControl controls[SPEAKERS] = {
        {leftfrontreadout, leftfrontslider},       {rightfrontreadout, rightfrontslider},
        {centerfrontreadout, centerfrontslider},   {subwooferreadout, subwooferslider},
        {leftrearreadout, leftrearslider},         {rightrearreadout, rightrearslider},
        {leftcenterfrontreadout, leftcenterfrontslider}, {rightcenterfrontreadout, rightcenterfrontslider}};
    std::copy(std::begin(controls), std::end(controls), SpeakerControls);
}

void TSettingsDialog::ShowDriverVersion()
{
    // A card that does not answer gives 0: "0.00".
    const DWORD v = Card->GetDriverVersion();
    const int major = static_cast<int>(v >> 16), minor = static_cast<int>((v >> 8) & 0xFF);
    const int build = static_cast<int>(v & 0xFF);
    DriverVersionLabel->SetText(build != 0 ? Format("%d.%02d.%d", major, minor, build) : Format("%d.%02d", major, minor));
}

void TSettingsDialog::Setup(DWORD spdifFormat, DWORD rateLocked, CDaveror* card, WORD familyCode, DWORD syncWave,
                            DWORD lockedRate)
{
    Card = card;

    SpdifProfessional = spdifFormat != 0 ? 1 : 0;
    SpdifFormat->SetItemIndex(spdifFormat != 0 ? 1 : 0);
    RateLocked = rateLocked != 0 ? 1 : 0;
    SampleRateLock->SetItemIndex(rateLocked != 0 ? 1 : 0);

    RatesFor(familyCode, RateList, RateCount);
    int selected = -1;
    for (int i = 0; i < RateCount; ++i) {
        const DWORD rate = RateList[i];
        LockedRateCombo->Items()->Add(Format("%2d,%03d", static_cast<int>(rate / 1000), static_cast<int>(rate % 1000)));
        if (rate == lockedRate) selected = i;
    }
    LockedRateCombo->SetItemIndex(selected);
    LockedRate = static_cast<int>(lockedRate);

    if (syncWave != 0) SyncWaveDevs->SetChecked(true);

    ShowDriverVersion();
    std::string version;
    GetFileVersionString("korvane3.exe", version);
    ConsoleVersionLabel->SetText(version);

    // No size of the list: the item count, which the group takes as its last.
    const int items = GsifBufferSize->Items()->Count();
    int gsif = items;
    for (int k = 0; k < items; ++k)
        if ((GsifSmallest << k) == GsifSize) gsif = k;
    GsifBufferSize->SetItemIndex(gsif);

    AutoLoadSession->SetChecked(AutoLoad != 0);
    AutoSaveSession->SetChecked(AutoSave != 0);
    AlwaysOnTop->SetChecked(OnTop != 0);
    LoadSessionWaveConfig->SetChecked(LoadWaveConfig != 0);

    // The bar tells only of a change of its position, and a delay of 0 is none.
    for (int s = 0; s < SPEAKERS; ++s) {
        SpeakerControls[s].Slider->SetPosition(SpeakerDelays[s]);
        delaysliderchange(SpeakerControls[s].Slider);
    }

    const CapabilitiesRecord& caps = card->Caps();
    if (caps.OutputBusses == caps.AnalogOutputBusses) DigitalTab->SetTabVisible(false);
    if (familyCode == 0x90 || familyCode == 0xA0 || familyCode == 0xB0) SurroundTab->SetTabVisible(false);

    if (card->HasDigInAutoMute()) {
        DWORD mute = 0;
        card->GetDigInAutoMute(&mute);
        if (mute != 0) DigInAutoMute->SetChecked(true);
    } else {
        DigInAutoMute->SetVisible(false);
    }

    PageControl->SetActivePageIndex(0);
    SetActiveControl(SampleRateLock);
    // A hidden page, or one past the last, is refused: page 0 stays.
    if (PageIndex >= 0 && PageIndex < PageControl->PageCount())
        PageControl->SetActivePage(PageControl->Pages(PageIndex));
}

void TSettingsDialog::delaysliderchange(TObject* Sender)
{
    const auto* slider = static_cast<TTrackBar*>(Sender);
    const auto speaker = slider->Tag;
    if (speaker < 0 || speaker >= SPEAKERS || SpeakerControls[speaker].Readout == nullptr) return;
    SpeakerControls[speaker].Readout->SetText(Format("% 3d", slider->Position()));
}

void TSettingsDialog::LockedRateComboEnter(TObject*) { SampleRateLock->SetItemIndex(1); }

void TSettingsDialog::AdvancedButtonClick(TObject*)
{
    const auto dialog = std::make_unique<TWaveConfig>(this, Card);
    dialog->ShowModal();
}

void TSettingsDialog::OkButtonClick(TObject*)
{
    SpdifProfessional = SpdifFormat->ItemIndex() == 1 ? 1 : 0;
    RateLocked = SampleRateLock->ItemIndex() == 1 ? 1 : 0;
    // Without a rate picked, the locked rate stays the one given.
    const int rate = LockedRateCombo->ItemIndex();
    if (rate >= 0 && rate < RateCount) LockedRate = static_cast<int>(RateList[rate]);
    SyncWave = SyncWaveDevs->Checked() ? 1 : 0;
    const int gsif = GsifBufferSize->ItemIndex();
    if (gsif >= 0) GsifSize = GsifSmallest << gsif;
    AutoLoad = AutoLoadSession->Checked() ? 1 : 0;
    AutoSave = AutoSaveSession->Checked() ? 1 : 0;
    PageIndex = PageControl->ActivePageIndex();
    OnTop = AlwaysOnTop->Checked() ? 1 : 0;
    DigInAutoMuteOn = DigInAutoMute->Visible() && DigInAutoMute->Checked() ? 1 : 0;
    LoadWaveConfig = LoadSessionWaveConfig->Checked() ? 1 : 0;
    for (int s = 0; s < SPEAKERS; ++s) SpeakerDelays[s] = SpeakerControls[s].Slider->Position();
}
