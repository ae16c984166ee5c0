// The window's settings dialog. Until the console has it, the button that
// reaches it does nothing.
#include "console/console_form.h"

void TConsoleForm::SettingsButtonClick(TObject*) {}
