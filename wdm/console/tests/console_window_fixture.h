// What every test of the console window starts from: a machine of its own
// with cards built in code, the console's units started (the probe without
// its second of measuring), its bitmaps registered, and the window made as
// WinMain makes it: the card list, its head kept, the main form created and
// set up for the card. The window is deleted after the test, which closes
// the card.
#pragma once

#include <vcl.h>

#include <gui_testing/control_input.h>
#include <gui_testing/gui_test.h>

#include <string>
#include <vector>

#include "console/console_form.h"
#include "controls/probe.h"
#include "console_fixture.h"
#include "machine_testing/test_machine.h"

// A processor without the identification instruction: the probe's start-up
// then measures nothing and returns at once.
class TPlainProcessor : public TProcessorProbe {
public:
    bool CpuidAvailable() override { return false; }
    void Cpuid(std::uint32_t, std::uint32_t regs[4]) override { regs[0] = regs[1] = regs[2] = regs[3] = 0; }
    std::uint64_t TimeStamp() override { return 0; }
    DWORD TickCount() override { return 0; }
};

// Starts the console's units for a test and ends them after it.
class ConsoleUnits {
public:
    ConsoleUnits();
    ~ConsoleUnits();
    ConsoleUnits(const ConsoleUnits&) = delete;
    ConsoleUnits& operator=(const ConsoleUnits&) = delete;

private:
    TPlainProcessor cpu_;
};

// The default card.
std::vector<machine::CardConfig> DefaultCard();
// The default card changed in code.
template <class Change>
std::vector<machine::CardConfig> CardWith(Change change, const char* preset = "default")
{
    machine::CardConfig card = machine::MakePreset(preset);
    change(card);
    return {card};
}

// A card with virtual outputs and more channels than the window has strips:
// 32 inputs (8 analog) and 64 playback pipes, each with its meter.
machine::CardConfig ManyChannelsCard(machine::CardConfig card = machine::MakePreset("virtual-outputs"));

// The registry key of the window state of the card named `card`.
std::string WindowStateKey(const std::string& card);

class ConsoleWindowTest : public gui_testing::GuiTest {
protected:
    explicit ConsoleWindowTest(std::vector<machine::CardConfig> cards = DefaultCard());
    ~ConsoleWindowTest() override;

    // The window on the head of the card list, as WinMain makes it; what
    // SetupCard gave. The log is cleared afterwards.
    bool Open();
    // The window closed as the user closes it, the window state written; the
    // window freed.
    void CloseWindow();

    // The hooks of the card shown (the head of the list: the last one given).
    machine::CardHooks Hooks() { return machine_.Hooks(machine_.CardCount() - 1); }
    Settings Sent() { return SentIn(Hooks().Log()); }
    Settings Reads() { return ReadsIn(Hooks().Log()); }
    std::size_t Requests(DWORD code) { return Hooks().CountOf(code); }
    void ClearLog() { Hooks().ClearLog(); }

    // `ticks` meter ticks, 40 ms of the loop's clock each.
    void Tick(int ticks = 1);
    void Key(WORD key) { gui_testing::KeyOn(*form_, key); }
    void Hold(int virtualKey, bool down = true) { desktop().SetKeyDown(virtualKey, down); }
    static void Click(TControl& control);
    // Registry values under the card's window-state key, written before Open.
    void StoreInteger(const std::string& name, int value);
    void StoreBinary(const std::string& name, const std::vector<BYTE>& bytes);
    void StoreString(const std::string& name, const std::string& value);
    void RemoveValue(const std::string& name);
    // The card's window-state key, gone: the next window is a first run.
    void RemoveWindowState();
    // What the key holds: -1 for a missing integer, {} for a missing binary.
    int StoredInteger(const std::string& name);
    std::vector<BYTE> StoredBinary(const std::string& name);

    const CapabilitiesRecord& Caps() const { return card_->Caps(); }
    const std::string& CardName() const { return name_; }

    ConsoleUnits units_;
    machine_testing::TestMachine machine_;
    std::string name_;
    TConsoleForm* form_ = nullptr;
    CDaveror* card_ = nullptr;
};
