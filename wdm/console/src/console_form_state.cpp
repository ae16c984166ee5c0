// The window state in the registry, one key per card under the current
// user: read at set-up, written at close.
#include <vector>

#include "console/console_form.h"
#include "console/master_panel.h"

namespace {

const char* const LeftValue = "Left";
const char* const TopValue = "Top";
const char* const OutputBusGangs = "OutputBusGangs";
const char* const DisplayedBusValue = "DisplayedBus";
const char* const AutoLoad = "Auto load session";
const char* const AutoSave = "Auto save session";
const char* const OnTop = "Always on top";
const char* const LoadWaveConfig = "Load session wave config";
const char* const RecentSession = "Most recent session name";

// The gang values of a pair's even strip, by its 0-based index.
std::string InputBusGangs(int input) { return Format("InputBus%02dGangs", input); }
std::string OutputPipeGangs(int strip) { return Format("OutputPipe%02dGangs", strip); }

bool Within(int value, int origin, int extent) { return origin <= value && value < origin + extent; }

}  // namespace

std::string TConsoleForm::RegistryKey() const
{
    return Format("%s\\%s", "Software\\Zavo Systems\\Korvane3", FCard->GetCardName());
}

void TConsoleForm::RestoreWindowState(int& left, int& top)
{
    TRegistry registry;
    if (!registry.OpenKey(RegistryKey(), false)) return;  // the first run
    // A value missing or of another type ends the restore there; what was
    // read before it stays.
    try {
        const int storedLeft = registry.ReadInteger(LeftValue);
        if (Within(storedLeft, Screen->DesktopLeft(), Screen->DesktopWidth())) left = storedLeft;
        const int storedTop = registry.ReadInteger(TopValue);
        if (Within(storedTop, Screen->DesktopTop(), Screen->DesktopHeight())) top = storedTop;

        // Each value is read over the gang states held now, so that a shorter
        // one changes only its own bytes.
        const int n = Caps->OutputBusses / 2;
        std::vector<BYTE> gangs(static_cast<std::size_t>(n));
        FMasterPanel->GetGangStates(gangs.data(), n);
        registry.ReadBinaryData(OutputBusGangs, gangs.data(), n);
        FMasterPanel->SetGangStates(gangs.data(), n);
        for (int i = 0; i < InputStrips(); i += 2) {
            if (!HasInputStrip(i)) continue;
            InStrips[i].GetGangs(gangs.data(), n);
            registry.ReadBinaryData(InputBusGangs(i), gangs.data(), n);
            InStrips[i].SetGangs(gangs.data(), n);
        }
        for (int j = 0; j < PlaybackStrips(); ++j) {
            // The odd strips keep no states and ignore their values.
            OutStrips[j].GetGangs(gangs.data(), n);
            registry.ReadBinaryData(OutputPipeGangs(j), gangs.data(), n);
            OutStrips[j].SetGangs(gangs.data(), n);
        }

        SelectBus(registry.ReadInteger(DisplayedBusValue), false);
        AutoLoadSession = registry.ReadInteger(AutoLoad);
        AutoSaveSession = registry.ReadInteger(AutoSave);
        AlwaysOnTop = registry.ReadInteger(OnTop);
        LoadSessionWaveConfig = registry.ReadInteger(LoadWaveConfig);
        SessionName = registry.ReadString(RecentSession);
    } catch (const ERegistryException&) {
    }
}

void TConsoleForm::SaveWindowState()
{
    TRegistry registry;
    // A value that cannot be written ends the writing; the window closes all the same.
    try {
        if (!registry.OpenKey(RegistryKey(), true)) return;
        registry.WriteInteger(LeftValue, Left());
        registry.WriteInteger(TopValue, Top());
        const int n = Caps->OutputBusses / 2;
        std::vector<BYTE> gangs(static_cast<std::size_t>(n));
        FMasterPanel->GetGangStates(gangs.data(), n);
        registry.WriteBinaryData(OutputBusGangs, gangs.data(), n);
        for (int i = 0; i < InputStrips(); ++i)
            if (HasInputStrip(i) && InStrips[i].GetGangs(gangs.data(), n))
                registry.WriteBinaryData(InputBusGangs(i), gangs.data(), n);
        for (int j = 0; j < PlaybackStrips(); ++j)
            if (OutStrips[j].GetGangs(gangs.data(), n)) registry.WriteBinaryData(OutputPipeGangs(j), gangs.data(), n);
        registry.WriteInteger(DisplayedBusValue, DisplayedBus);
        registry.WriteInteger(AutoLoad, AutoLoadSession);
        registry.WriteInteger(AutoSave, AutoSaveSession);
        registry.WriteInteger(OnTop, AlwaysOnTop);
        registry.WriteInteger(LoadWaveConfig, LoadSessionWaveConfig);
        registry.WriteString(RecentSession, SessionName);
    } catch (const ERegistryException&) {
    }
}
