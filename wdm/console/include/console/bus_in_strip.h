// CBusInStrip, the strip of one input bus: how the input is monitored into
// the displayed output-bus pair (fader, pan, mute) and the input's own
// settings (nominal level, trim, and on input 0 the card's phantom power),
// over its peak meter.
#pragma once

#include "console/strip.h"

class TInputTrim;
class TMonitorFader;
class TMonitorMute;
class TMonitorPan;
class TNominalInputButton;
class TPhantomButton;

class CBusInStrip : public CStrip {
public:
    // Builds the strip of input `input` at x on the window, showing output bus 0.
    void Init(TWinControl* window, int x, CDaveror* card, WORD input, const CapabilitiesRecord& caps);

    // The monitor routes into `bus`: pan, mute and fader re-pointed and read
    // in that order, the gang button kept per output-bus pair.
    void SetBus(WORD bus) override;
    // Shows or hides everything but the trim and its readout.
    void SetVisible(bool visible);
    // The controls of this strip take those of the pair's other strip as
    // partners (pans excepted); the odd strip takes the even one's gang
    // button. Called both ways.
    void Link(CBusInStrip& partner);
    // Re-reads the input's own settings: nominal level, trim, phantom power.
    void Refresh();

    WORD Input() const { return m_Input; }
    DWORD Flags() const { return m_Flags; }
    TMonitorFader* Fader() const { return m_Fader; }
    TMonitorMute* Mute() const { return m_Mute; }
    TMonitorPan* Pan() const { return m_Pan; }
    TNominalInputButton* Nominal() const { return m_Nominal; }
    TInputTrim* Trim() const { return m_Trim; }
    TFaderReadout* TrimReadout() const { return m_TrimReadout; }
    TPhantomButton* Phantom() const { return m_Phantom; }

private:
    WORD m_Input = 0;
    DWORD m_Flags = 0;
    TMonitorFader* m_Fader = nullptr;
    TMonitorMute* m_Mute = nullptr;
    TMonitorPan* m_Pan = nullptr;
    TNominalInputButton* m_Nominal = nullptr;
    TFaderReadout* m_TrimReadout = nullptr;
    TInputTrim* m_Trim = nullptr;
    TPhantomButton* m_Phantom = nullptr;
};
