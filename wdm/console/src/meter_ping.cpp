// The meter tick: the console's one link to what happens on the card. One
// meter read a tick feeds every meter and clock LED; the card's change
// notifications, fetched at most once a tick, re-read exactly what they name.
#include <algorithm>

#include "console/console_form.h"
#include "console/fader.h"
#include "console/master_panel.h"
#include "console/mode_panel.h"

void TConsoleForm::MeterPing(TObject*)
{
    // A read that fails (the card closed by a restart) leaves the last record.
    FCard->ReadMeters();
    const MeterRecord& meters = *Meters;
    for (int i = 0; i < InputStrips(); ++i)
        if (HasInputStrip(i) && InStrips[i].Meter() != nullptr)
            InStrips[i].Meter()->SetLevel(meters.InputLevels[i] >> 8);
    FBusSelectPanel->SetPeakMeters(meters);
    FMasterPanel->Meter(0)->SetLevel(meters.BusLevels[DisplayedBus] >> 8);
    FMasterPanel->Meter(1)->SetLevel(meters.BusLevels[DisplayedBus + 1] >> 8);
    if (Caps->VirtualOutputs != 0) {
        const int pipes = std::min<int>(static_cast<int>(meters.PipeMeterCount), PlaybackStrips());
        for (int j = 0; j < pipes; ++j)
            if (OutStrips[j].Meter() != nullptr) OutStrips[j].Meter()->SetLevel(meters.PipeLevels[j] >> 8);
    }
    FModePanel->ShowDetectedClocks();
    // Nothing is re-read under a fader, pan or trim the user holds.
    if (NotificationApplyFlag != 0 && meters.ChangesPending != 0) ApplyNotifications();
}

void TConsoleForm::ApplyNotifications()
{
    DWORD count = 0;
    NotifyEntry* entries = nullptr;
    FCard->GetNotifications(&count, &entries);
    if (entries == nullptr) return;
    count = std::min(count, NOTIFY_CAPACITY);
    for (DWORD k = 0; k < count; ++k) {
        const NotifyEntry& entry = entries[k];
        const bool onDisplayedPair = (entry.Bus & ~1u) == DisplayedBus;
        switch (entry.Type) {
        case NOTIFY_BUS_OUT: FMasterPanel->SelectBus(DisplayedBus); break;
        case NOTIFY_BUS_IN:
            if (HasInputStrip(entry.Channel)) InStrips[entry.Channel].Refresh();
            break;
        case NOTIFY_PIPE_OUT:
            if (!onDisplayedPair) break;
            if (Caps->VirtualOutputs != 0) {
                if (entry.Channel < PlaybackStrips()) OutStrips[entry.Channel].SetBus(DisplayedBus);
            } else {
                const WORD strip = entry.Channel & 1;
                OutStrips[strip].SetBus(static_cast<WORD>(DisplayedBus + strip));
            }
            break;
        case NOTIFY_MONITOR:
            if (onDisplayedPair && Caps->InputBusses != 0 && HasInputStrip(entry.Channel))
                InStrips[entry.Channel].SetBus(DisplayedBus);
            break;
        case NOTIFY_GLOBAL:
            FModePanel->ReadInputClock();
            FModePanel->ReadMode();
            break;
        default: break;  // a type this console does not know
        }
    }
}
