// korvane3's WinMain in a real window on the display: it opens the window on
// the card, ticks its meters in real time, and on the registered shutdown
// message closes with its state in the registry. Needs a display (run under
// Xvfb); skipped without one.
#include <gtest/gtest.h>

#include <vcl.h>

#include "console/console_form.h"
#include "console/start_up.h"
#include "console_window_fixture.h"
#include "machine_testing/test_machine.h"

namespace {

TEST(ConsoleDisplay, RunsInAWindowUntilTheShutdownMessage)
{
    if (!gui::DisplayAvailable()) GTEST_SKIP() << "no display";
    ConsoleUnits units;
    machine_testing::TestMachine machine({machine::MakePreset("default")}, {machine::ClockMode::RealTime});
    SetParams({(machine.Directory() / "korvane3").string()});

    // A timer of the program's own loop looks at the window, then asks it to close.
    bool presented = false;
    int level = -128;
    int ticks = 0;
    TTimer look(nullptr);
    look.SetInterval(100);
    look.OnTimer = [&](TObject*) {
        auto* form = dynamic_cast<TConsoleForm*>(Application->MainForm());
        if (form == nullptr) return;
        presented = form->PresentationWindow() != nullptr && form->Showing();
        level = form->InStrips[0].Meter()->Level();
        if (++ticks == 10) PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("Zavo Korvane3 shutdown"), 0, 0);
    };
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);
    look.SetEnabled(false);

    EXPECT_TRUE(Application->Presenting());
    EXPECT_TRUE(presented);
    EXPECT_GE(ticks, 10);
    // A second of 40 ms ticks, each with its meter read: the input's tone shows.
    EXPECT_GE(machine.Hooks(0).CountOf(IOCTL_GET_METERS), 15u);
    EXPECT_GT(level, -60);
    EXPECT_EQ(machine.Hooks(0).OpenFiles(), 0u);
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(WindowStateKey("Zavo24 8x8"), false));
    EXPECT_EQ(registry.ReadInteger("Left"), 260);
    EXPECT_EQ(registry.ReadInteger("DisplayedBus"), 0);
}

}  // namespace
