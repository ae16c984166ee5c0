// What the tests of the console's dialogs start from: the console window of
// ConsoleWindowTest, and scripts for the dialogs it opens. A script is queued
// as input before the click that opens its dialog and runs on the dialog on
// top once its modal loop has started; a dialog the script leaves open is
// cancelled after it, so that a failed expectation never leaves a loop
// running.
//
//     InSettings([&](TSettingsDialog& d) { ...; Click(*d.OkButton); });
//     Click(*form_->SettingsButton);
#pragma once

#include <functional>

#include "console/confirm_restart.h"
#include "console/settings_dialog.h"
#include "console/start_up.h"
#include "console/wave_config.h"
#include "console_window_fixture.h"

class DialogTest : public ConsoleWindowTest {
protected:
    explicit DialogTest(std::vector<machine::CardConfig> cards = DefaultCard()) : ConsoleWindowTest(std::move(cards)) {}
    ~DialogTest() override;

    template <class Dialog>
    static void In(std::function<void(Dialog&)> script)
    {
        gui::PostInput([script] {
            auto* dialog = dynamic_cast<Dialog*>(Application->ActiveForm());
            EXPECT_NE(dialog, nullptr) << "the dialog is not on top";
            if (dialog == nullptr) return;
            script(*dialog);
            if (dialog->Modal() && dialog->ModalResult() == mrNone) dialog->SetModalResult(mrCancel);
        });
    }
    static void InSettings(std::function<void(TSettingsDialog&)> script) { In<TSettingsDialog>(std::move(script)); }
    static void InWaveConfig(std::function<void(TWaveConfig&)> script) { In<TWaveConfig>(std::move(script)); }
    static void InConfirm(std::function<void(TConfirmDriverRestart&)> script)
    {
        In<TConfirmDriverRestart>(std::move(script));
    }
    // The settings dialog opened from the console window, its Advanced
    // button pressed and `script` run on the wave dialog; the settings dialog
    // is cancelled afterwards.
    void InWaveConfigFromConsole(std::function<void(TWaveConfig&)> script);

    std::vector<std::string> BoxTexts();
    // The platform version record the console read at start-up, as Windows 95/98/Me gives it.
    static void OnWindows9x() { PlatformVersion.dwPlatformId = 1; }
};
