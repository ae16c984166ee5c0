// What every test of the console's controls starts from: a machine of its
// own with the default card or one built in code, the card as the console
// makes it (the card list, the first card opened with its mixer), the
// console's bitmaps registered and its stash built, and an Arial form that
// the controls are built on the way the strips and panels build them.
// Settings the controls send, and the reads they make, are taken from the
// card driver's request log.
#pragma once

#include <vcl.h>

#include <gui_testing/control_input.h>
#include <gui_testing/gui_test.h>

#include <memory>
#include <ostream>
#include <utility>
#include <vector>

#include "console/CBmpStash.h"
#include "console/bus_select.h"
#include "console/fader.h"
#include "console/fader_readout.h"
#include "console/gang.h"
#include "console/input_trim.h"
#include "console/mute.h"
#include "console/nominal.h"
#include "console/pan.h"
#include "daveror_list.h"
#include "machine_testing/test_machine.h"

// One mixer setting as the card driver received it; for a read, the value
// is 0.
struct Setting {
    DWORD command = 0;
    WORD channel = 0;
    DWORD kind = 0;
    WORD bus = 0;  // the output bus of a route; 0 otherwise
    LONG value = 0;
    bool operator==(const Setting&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Setting& s);
using Settings = std::vector<Setting>;

// The mixer settings sent in `log`, oldest first, and the mixer reads in it:
// command, channel, kind and output bus.
Settings SentIn(const std::vector<machine::RequestRecord>& log);
Settings ReadsIn(const std::vector<machine::RequestRecord>& log);

Setting MonitorGain(WORD input, WORD bus, LONG value);
Setting MonitorMute(WORD input, WORD bus, LONG value);
Setting MonitorPan(WORD input, WORD bus, LONG value);
Setting PipeGain(WORD pipe, WORD bus, LONG value);
Setting PipeMute(WORD pipe, WORD bus, LONG value);
Setting PipePan(WORD pipe, WORD bus, LONG value);
Setting BusOutGain(WORD bus, LONG value);
Setting BusOutMute(WORD bus, LONG value);
Setting BusOutNominal(WORD bus, LONG value);
Setting InputTrim(WORD input, LONG value);
Setting InputNominal(WORD input, LONG value);
Setting PhantomPower(LONG value);

// The form the controls are built on. It stands in for the console window
// to the bus-select buttons, recording the pairs they ask for.
class TTestForm : public TForm, public IBusSelectHost {
public:
    explicit TTestForm(TComponent* owner) : TForm(owner) {}
    void SelectBus(int bus, bool force) override { selected.emplace_back(bus, force); }
    std::vector<std::pair<int, bool>> selected;
};

using gui_testing::MoveOn;
using gui_testing::PressOn;
using gui_testing::ReleaseOn;

// Whole dB in the card's 1/256 dB.
constexpr LONG Db(int dB) { return dB * 256; }

class ConsoleTest : public gui_testing::GuiTest {
protected:
    ConsoleTest();
    // On a machine whose one card is `card`.
    explicit ConsoleTest(machine::CardConfig card);
    ~ConsoleTest() override;

    machine::CardHooks Hooks() { return machine_.Hooks(0); }
    // The settings sent since the log was last cleared, oldest first.
    Settings Sent();
    // The mixer reads since then: command, channel, kind and output bus.
    Settings Reads();
    void ClearLog() { Hooks().ClearLog(); }
    // Another program's change on the card.
    void ExternalSet(DWORD command, WORD channel, DWORD kind, WORD bus, DWORD value);

    // Controls built and wired as a strip or panel builds them, moved right by x.
    TFaderReadout* AddReadout(int x, int placement = 0);
    TMonitorFader* AddMonitorFader(int x, WORD input, WORD bus = 0);
    TPipeOutFader* AddPipeOutFader(int x, WORD pipe, WORD bus = 0);
    TBusOutFader* AddBusOutFader(int x, WORD bus);
    TMonitorMute* AddMonitorMute(int x, WORD input, WORD bus = 0);
    TBusOutMute* AddBusOutMute(int x, WORD bus);
    TMonitorPan* AddMonitorPan(int x, WORD input, WORD bus = 0);
    TPipeOutPan* AddPipeOutPan(int x, WORD pipe, WORD bus = 0);
    TNominalInputButton* AddNominalInput(int x, WORD input);
    TNominalOutButton* AddNominalOut(int x, WORD bus);
    TInputTrim* AddTrim(int x, WORD input);
    TPhantomButton* AddPhantom();
    TGang* AddGang(int x);
    // Both controls of a pair take each other and the gang button.
    template <class T>
    static void Link(T* a, T* b, TGang* gang)
    {
        a->SetPartner(b);
        b->SetPartner(a);
        a->SetGang(gang);
        b->SetGang(gang);
    }

    // Shows the form, which realises the controls, and runs what is pending.
    void ShowForm();
    // A press and release in the middle of `control`.
    static void Click(TControl& control, TMouseButton button = mbLeft);
    // A key pressed and released on the focused control.
    void Key(WORD key) { gui_testing::KeyOn(*form_, key); }
    void Hold(int virtualKey, bool down = true) { desktop().SetKeyDown(virtualKey, down); }

    // The list and its card go before the machine.
    machine_testing::TestMachine machine_;
    CDaverorList list_;
    CDaveror* card_;
    std::unique_ptr<CBmpStash> stash_;
    TTestForm* form_ = nullptr;

private:
    template <class Button>
    Button* AddNominal(int x, WORD bus);
};
