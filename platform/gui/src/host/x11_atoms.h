// Kept apart: the X headers clash with the library's own names.
#pragma once

namespace gui::detail {

// The window-manager atoms JUCE only looks up: on a display without a
// window manager (a bare X server) nobody made them, and windows could not
// be created. A connection of our own makes them and stays open, so that the
// server keeps them. Nothing without a display.
void MakeWindowManagerAtoms();
// An X server answers at $DISPLAY.
bool CanOpenDisplay();

}  // namespace gui::detail
