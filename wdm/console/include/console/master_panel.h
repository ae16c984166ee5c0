// CMasterPanel, the output-bus section at the right of the console window:
// the faders, readouts, mutes, nominal-level buttons and meters of the
// displayed output-bus pair, its gang button and a label naming the pair.
// A plain object: the window owns the controls; the panel owns its meters
// and the gang states it keeps for every pair.
#pragma once

#include <vcl.h>

#include <array>
#include <memory>
#include <string>

#include "console/gang_states.h"
#include "console/peak_meter.h"
#include "daveror.h"

class TBusOutFader;
class TBusOutMute;
class TFaderReadout;
class TGang;
class TNominalOutButton;

// The pairs the panel can name, and so show.
constexpr int MASTER_PANEL_PAIRS = 8;

class CMasterPanel {
public:
    // The section at x `left` on `parent`, showing output busses 0 and 1.
    CMasterPanel(int left, TWinControl* parent, CDaveror* card, const CapabilitiesRecord& caps);
    CMasterPanel(const CMasterPanel&) = delete;
    CMasterPanel& operator=(const CMasterPanel&) = delete;

    // Shows the pair whose even output bus is `bus`: the pair left keeps its
    // gang state, every control is re-pointed and read, and the nominal
    // buttons show only for busses with the switch.
    void SelectBus(WORD bus);
    // The displayed pair's state from the gang button, then n bytes, one per
    // output-bus pair.
    void GetGangStates(BYTE* dst, int n);
    // n bytes in; the gang button shows the displayed pair's.
    void SetGangStates(const BYTE* src, int n);
    // Moves every control and both meters dx pixels sideways.
    void Shift(int dx);

    // The name of pair k ("Analog out 1/2" ...); empty beyond the card's busses.
    const std::string& PairName(int k) const { return m_PairNames[k]; }

    // Index 0 the displayed pair's even bus, 1 its odd one.
    TBusOutFader* Fader(int i) const { return m_Faders[i]; }
    TFaderReadout* Readout(int i) const { return m_Readouts[i]; }
    TBusOutMute* Mute(int i) const { return m_Mutes[i]; }
    TNominalOutButton* Nominal(int i) const { return m_Nominals[i]; }
    CPeakMeter* Meter(int i) const { return m_Meters[i].get(); }
    TBevel* Bevel() const { return m_Bevel; }
    TLabel* NameLabel() const { return m_NameLabel; }
    TGang* GangButton() const { return m_Gang; }

private:
    void BuildPairNames();

    TBevel* m_Bevel = nullptr;
    TFaderReadout* m_Readouts[2] = {};
    TBusOutMute* m_Mutes[2] = {};
    std::unique_ptr<CPeakMeter> m_Meters[2];
    TNominalOutButton* m_Nominals[2] = {};
    TLabel* m_NameLabel = nullptr;
    TGang* m_Gang = nullptr;
    const CapabilitiesRecord& m_Caps;
    std::array<std::string, MASTER_PANEL_PAIRS> m_PairNames;
    CGangStates m_GangStates;
    TBusOutFader* m_Faders[2] = {};
};
