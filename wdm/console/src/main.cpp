// korvane3, the mixer console: a window on one card of the machine.
//     korvane3 ["card name"]
#include <cstdio>

#include <vcl.h>

#include "console/console_bitmaps.h"
#include "console/console_version.h"
#include "console/start_up.h"
#include "controls/probe.h"

int main(int argc, char** argv)
{
    if (!gui::DisplayAvailable()) {
        std::fputs("korvane3 needs a display: set DISPLAY to an X server (or run it under xvfb-run).\n", stderr);
        return 1;
    }
    // The probe's start-up spends about a second measuring the processor.
    StartConsoleUnits(HostProcessor());
    RegisterConsoleBitmaps();
    DeclareConsoleVersion();
    SetParams(argc, argv);
    // The display's own boxes, also for what WinMain says before its window
    // exists (its own Initialize then finds the display started).
    Application->Initialize();
    const int result = WinMain(nullptr, nullptr, nullptr, 0);
    StopConsoleUnits();
    return result;
}
