// The console window's strips and panels on the test form, built in the
// order and at the places the window's set-up gives them: the input strips
// from x 0, 40 pixels apart with 2 more between the analog and the digital
// inputs; 6 pixels on, the playback strips (every pipe with virtual
// outputs, else two); 6 more on, the output-bus panel and the bus-select
// row. The card is the default one or one built in code.
#pragma once

#include <memory>

#include "console/bus_in_strip.h"
#include "console/bus_select.h"
#include "console/master_panel.h"
#include "console/pipe_out_strip.h"
#include "console_fixture.h"

class LayoutTest : public ConsoleTest {
protected:
    LayoutTest();
    explicit LayoutTest(machine::CardConfig card);

    const CapabilitiesRecord& Caps() const { return card_->Caps(); }
    // Every monitor route, playback route and output bus at `dB`, told to
    // no session.
    void SetEveryGain(int dB);
    // The strips and panels, then the form shown; the log cleared.
    void Build();
    // As the console window shows a pair: every strip and both panels.
    void SelectBus(WORD bus);
    // The number of playback strips built.
    int PlaybackStrips() const { return Caps().VirtualOutputs != 0 ? Caps().OutputPipes : 2; }

    CBusInStrip in_[16];
    CPipeOutStrip out_[16];
    std::unique_ptr<CMasterPanel> master_;
    std::unique_ptr<CBusSelectPanel> select_;
    int inputX_[16] = {};   // each input strip's x
    int playbackX_ = 0;     // the first playback strip's
    int panelX_ = 0;        // the panels'
};

// A card of the default model, changed by `change`.
template <class Change>
machine::CardConfig DefaultCardWith(Change change)
{
    machine::CardConfig card = machine::MakePreset("default");
    change(card);
    return card;
}

// 2 analog and 6 digital output busses.
machine::CardConfig TwoAnalogSixDigitalOutputs();
// One output bus.
machine::CardConfig OneOutputBus();
