#include "console/card_restart.h"

#include <algorithm>
#include <memory>

#include <vcl.h>

#include "console/console_form.h"
#include "console/start_up.h"

namespace {

constexpr DWORD ReserveMode = 1;
constexpr DWORD OutputPipes = 0;
constexpr DWORD InputPipes = 1;
const char* const RestartCaption = "Korvane3";

// Reserves the pairs of one direction in turn; true at the first refused.
bool AnyPairRefused(CDaveror& probe, DWORD direction, WORD pipes)
{
    for (WORD p = 0; p < pipes; p += 2)
        if (probe.ReservePipes(ReserveMode, direction, p, 2) != 0) return true;
    return false;
}

bool SameEntries(const WaveConfigEntry* a, const WaveConfigEntry* b, WORD count)
{
    const int n = std::min<int>(count, WAVE_CONFIG_ENTRIES);
    return std::equal(a, a + n, b, [](const WaveConfigEntry& x, const WaveConfigEntry& y) {
        return x.Mode == y.Mode && x.Width == y.Width;
    });
}

}  // namespace

bool IsCardInUse(const CDaveror& card)
{
    // A refused transport clears the ok flag of the card object that asked:
    // the console's own must go on working. The probe never restarts, so it
    // needs no device node.
    const auto probe = std::make_unique<CDaveror>(card.GetPath(), INVALID_HANDLE_VALUE, 0);
    probe->Open();
    if (probe->OpenTransport() != 0) return true;
    const CapabilitiesRecord& caps = probe->Caps();
    const bool inUse = AnyPairRefused(*probe, OutputPipes, caps.OutputPipes) ||
                       AnyPairRefused(*probe, InputPipes, caps.InputPipes);
    probe->CloseTransport();
    return inUse;
}

bool RestartCard(TConsoleForm& window, CDaveror& card, const std::string& inUseMessage,
                 const std::string& lateMessage)
{
    // The card stays closed while the message is up; the meter tick goes on meanwhile.
    const bool restarted = card.RestartDriver() != 0;
    if (!restarted) Application->MessageBox(inUseMessage, RestartCaption, MB_OK);

    card.Open();
    card.OpenMixer();
    window.BindCapabilities();
    if (!card.IsValid()) Application->MessageBox(card.GetErrorText(), ErrorCaption, MB_OK);

    // A read that fails says nothing is in effect.
    WaveConfigRecord config{};
    const bool inEffect = card.GetWaveConfig(&config) && (config.Flags & WAVE_CONFIG_IN_EFFECT) != 0;
    if (restarted && !inEffect) {
        Application->MessageBox(lateMessage, RestartCaption, MB_OK);
        return false;
    }
    return restarted;
}

bool SameWaveConfig(const WaveConfigRecord& a, const WaveConfigRecord& b)
{
    return a.OutputCount == b.OutputCount && a.InputCount == b.InputCount &&
           SameEntries(a.Outputs, b.Outputs, a.OutputCount) && SameEntries(a.Inputs, b.Inputs, a.InputCount);
}
