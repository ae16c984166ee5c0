// The control panel shown on a display by the driver's own copy of the GUI
// layer, when no host or test has installed a desktop of its own.
#pragma once

// Before the panel's dialog runs. On a display with the console default
// desktop in force: the first time, starts the copy's presentation (which
// installs its display desktop), pins the library, whose code the
// presentation's thread and desktop then run for the rest of the process,
// and registers the picture, bitmap 109. Otherwise nothing of the copy is
// touched, so that the library still unloads.
void PreparePanelDisplay();
