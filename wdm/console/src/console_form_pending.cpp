// The window's session files and settings dialog. Until the console has
// them, the keys, buttons and set-up steps that reach them do nothing.
#include "console/console_form.h"

void TConsoleForm::WriteSession(const std::string&) {}

void TConsoleForm::ReadSession(const std::string&) {}

void TConsoleForm::SettingsButtonClick(TObject*) {}

void TConsoleForm::LoadButtonClick(TObject*) {}

void TConsoleForm::SaveButtonClick(TObject*) {}
