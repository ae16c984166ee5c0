// The window system's side of the library: forms in windows on a display,
// its event loop and its clipboard.
#pragma once

#include <string>
#include <string_view>

class TControl;
class TCustomForm;

namespace gui::detail {

// Shows, hides and forgets a form's window on a display (nothing headless).
void PresentForm(TCustomForm& form);
void HideFormWindow(TCustomForm& form);
void DestroyFormWindow(TCustomForm& form);
// On a display, the window of the control's form shows the control's
// picture as it is now, on the screen before this returns (a repaint before
// blocking work is seen); nothing headless.
void ShowNow(TControl& control);
// On a display: starts the window system's side (once) and installs the
// display's desktop.
void StartPresentation();
// Runs the window system's events for at most `maxMs` milliseconds.
void PumpEvents(int maxMs);
// The display's clipboard (only while presenting).
void SetSystemClipboard(std::string_view text);
std::string SystemClipboard();

}  // namespace gui::detail
