#include "console/wave_config_restart.h"

#include <memory>

#include "console/card_restart.h"
#include "console/confirm_restart.h"
#include "console/console_form.h"
#include "console/start_up.h"
#include "console/wave_config.h"

namespace {

const char* const InUseMessage =
    "%s is either in use or turned off; your changes will take effect when you restart your computer";
const char* const LateMessage =
    "The driver cannot be restarted right now; your changes will take effect when you restart your computer";

// The console window the dialog was opened from, through its owners.
TConsoleForm* ConsoleOf(TComponent* component)
{
    for (; component != nullptr; component = component->Owner())
        if (auto* console = dynamic_cast<TConsoleForm*>(component)) return console;
    return dynamic_cast<TConsoleForm*>(Application->MainForm());
}

void RebootForConfig(CDaveror& card)
{
    const int answer = Application->MessageBox(
        "Your changes will not take effect until you restart your computer.  Would you like to restart now?",
        "Wave configuration", MB_YESNO);
    if (answer != IDYES) return;
    card.Close();
    // A restart that does not happen leaves the console running: on its card again.
    if (ExitWindowsEx(EWX_REBOOT, 0) == 0) {
        card.Open();
        card.OpenMixer();
    }
}

}  // namespace

void BringWaveConfigIntoEffect(TWaveConfig& dialog)
{
    CDaveror& card = *dialog.Card();
    if (PlatformVersion.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) {
        RebootForConfig(card);
        return;
    }
    const std::string inUse = Format(InUseMessage, card.GetCardName());
    if (IsCardInUse(card)) {
        Application->MessageBox(inUse, "Korvane3", MB_OK);
        return;
    }
    {
        const auto confirm = std::make_unique<TConfirmDriverRestart>(&dialog);
        if (confirm->ShowModal() != mrOk) return;
    }
    TConsoleForm* console = ConsoleOf(&dialog);
    if (console == nullptr) return;

    TButton* const buttons[] = {dialog.OkButton, dialog.ApplyButton, dialog.CancelButton, dialog.HelpButton};
    const std::string caption = dialog.OkButton->Caption();
    dialog.OkButton->SetText("Hang on...");
    for (TButton* button : buttons) button->SetEnabled(false);
    dialog.Repaint();

    RestartCard(*console, card, inUse, LateMessage);

    dialog.OkButton->SetText(caption);
    for (TButton* button : buttons) button->SetEnabled(true);
}
