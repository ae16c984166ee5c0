// Purgelet: given the key of one card family on its command line, removes
// every PCI device node, present or not, whose first hardware ID begins with
// one of that family's prefixes, so that the card driver can later be
// installed afresh. One instance works at a time; all of it runs on the main
// thread, and nothing is reported on success.
#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

#include <gui/forms.h>
#include <windows.h>

#include "cleanup_thread.h"
#include "hardware_id_table.h"
#include "shiny_look_and_feel.h"

class App : public juce::JUCEApplication {
public:
    const juce::String getApplicationName() override { return "Purgelet"; }
    const juce::String getApplicationVersion() override { return "1.0"; }
    // The shell's own check is skipped: the tool holds a lock of its own.
    bool moreThanOneInstanceAllowed() override { return true; }

    void initialise(const juce::String& /*commandLine*/) override
    {
        // The shell keeps the application object (JUCEApplication::getInstance).
        lock = std::make_unique<juce::InterProcessLock>("Purgelet lock");
        if (!lock->enter(0)) {
            quit();  // another instance works: nothing removed, nothing shown
            return;
        }
        // On a display a box is then the display's own, modal; headless a line on stderr.
        Application->Initialize();
        juce::LookAndFeel::setDefaultLookAndFeel(&lookAndFeel);
        lookAndFeelInstalled = true;

        // The key as typed: the shell's joined line quotes an argument that holds a space.
        const juce::String key = getCommandLineParameterArray().joinIntoString(" ").trim();
        hardwareIdTable = std::make_unique<HardwareIdTable>(HardwareIdTable::forFamily(key));
        if (hardwareIdTable->count == 0) {
            MessageBoxA(nullptr, "Invalid family", "PCI cleanup", MB_OK);
        } else {
            cleanup = std::make_unique<CleanupThread>(nullptr, nullptr);
            cleanup->run();  // here, on the main thread
            cleanup = nullptr;
        }
        quit();
    }

    void shutdown() override
    {
        cleanup = nullptr;
        lock = nullptr;  // released as it goes
        hardwareIdTable = nullptr;
        // Resetting the default opens JUCE's desktop: a second instance never had it.
        if (lookAndFeelInstalled) juce::LookAndFeel::setDefaultLookAndFeel(nullptr);
    }

    void systemRequestedQuit() override { quit(); }

private:
    std::unique_ptr<CleanupThread> cleanup;
    std::unique_ptr<juce::InterProcessLock> lock;
    ShinyLookAndFeel lookAndFeel;
    bool lookAndFeelInstalled = false;
};

START_JUCE_APPLICATION(App)
