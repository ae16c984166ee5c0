#include "dialog_fixture.h"

#include "console/start_up.h"

DialogTest::~DialogTest() { PlatformVersion = OSVERSIONINFOA{}; }

void DialogTest::InWaveConfigFromConsole(std::function<void(TWaveConfig&)> script)
{
    InSettings([script](TSettingsDialog& settings) {
        InWaveConfig(script);
        Click(*settings.AdvancedButton);
    });
    Click(*form_->SettingsButton);
}

std::vector<std::string> DialogTest::BoxTexts()
{
    std::vector<std::string> texts;
    for (const auto& box : desktop().Boxes()) texts.push_back(box.text);
    return texts;
}
