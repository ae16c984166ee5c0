// The settings button: the settings dialog filled from the card and the
// window, and what the user chose applied to both.
#include <memory>

#include "console/console_form.h"
#include "console/settings_dialog.h"

void TConsoleForm::SettingsButtonClick(TObject*)
{
    // The mixer wrappers hand back 0 when the card does not answer.
    DWORD spdifFormat = 0, rateLock = 0, lockedRate = 0, syncWave = 0;
    FCard->GetSpdifFormat(&spdifFormat);
    FCard->GetSampleRateLock(&rateLock);
    FCard->GetLockedRate(&lockedRate);
    FCard->GetSyncWaveDevices(&syncWave);

    const auto dialog = std::make_unique<TSettingsDialog>(this);
    dialog->SetLeft(Left() + SettingsButton->Left() + SettingsButton->Width() / 2 - dialog->Width() / 2);
    dialog->SetTop(Top() + 10);
    dialog->SetText(Format("%s settings", FCard->GetCardName()));

    dialog->PageIndex = SettingsPage;
    // A request that fails leaves the size as it was: 0, none of the dialog's.
    DWORD gsif = 0;
    FCard->GetGsifBufferSize(&gsif);
    dialog->GsifSize = static_cast<int>(gsif);
    dialog->AutoLoad = AutoLoadSession;
    dialog->AutoSave = AutoSaveSession;
    dialog->OnTop = AlwaysOnTop;
    dialog->LoadWaveConfig = LoadSessionWaveConfig;
    for (int i = 0; i < SPEAKERS; ++i) {
        DWORD delay = 0;
        FCard->GetSpeakerDelay(static_cast<DWORD>(i), &delay);
        dialog->SpeakerDelays[i] = static_cast<int>(delay);
    }
    dialog->Setup(spdifFormat, rateLock, FCard, Caps->Family, syncWave, lockedRate);

    if (dialog->ShowModal() != mrOk) return;
    FCard->SetSpdifFormat(static_cast<DWORD>(dialog->SpdifProfessional));
    FCard->SetSampleRateLock(static_cast<DWORD>(dialog->RateLocked));
    FCard->SetLockedRate(static_cast<DWORD>(dialog->LockedRate));
    FCard->SetSyncWaveDevices(static_cast<DWORD>(dialog->SyncWave));
    FCard->SetGsifBufferSize(static_cast<DWORD>(dialog->GsifSize));
    FCard->SetDigInAutoMute(static_cast<DWORD>(dialog->DigInAutoMuteOn));
    AutoLoadSession = dialog->AutoLoad;
    AutoSaveSession = dialog->AutoSave;
    LoadSessionWaveConfig = dialog->LoadWaveConfig;
    AlwaysOnTop = dialog->OnTop;
    SettingsPage = dialog->PageIndex;
    for (int i = 0; i < SPEAKERS; ++i)
        FCard->SetSpeakerDelay(static_cast<DWORD>(i), static_cast<DWORD>(dialog->SpeakerDelays[i]));
    SetAlwaysOnTop();
}
