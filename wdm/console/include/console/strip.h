// The mixer strips: one 40-pixel column of the console window per input bus
// (CBusInStrip) or playback strip (CPipeOutStrip). A strip is a plain object
// that creates, places, wires and re-reads its controls; the window owns the
// controls and frees them. Two neighbours form a pair: the even strip draws
// the pair's frame, carries its gang button and keeps the pair's gang state
// for every output-bus pair.
//
// A strip's controls are built as: created on the window, moved right by the
// strip's x, given the card and their channel indices, read from the card,
// and only then bound to their change or click handler.
#pragma once

#include <vcl.h>

#include <memory>

#include "console/gang_states.h"
#include "console/peak_meter.h"
#include "daveror.h"

class TFaderReadout;
class TGang;

// What every strip has: the frame and gang button (even strips), the fader's
// readout, the channel label, the meter, and the gang states.
class CStrip {
public:
    CStrip() = default;
    virtual ~CStrip() = default;
    CStrip(const CStrip&) = delete;
    CStrip& operator=(const CStrip&) = delete;

    // Points the strip's routes at output bus `bus` and reads them.
    virtual void SetBus(WORD bus) = 0;

    // Without gang states (an odd strip): false. Otherwise the displayed
    // pair's state is taken from the gang button first, then n bytes, one per
    // output-bus pair, are copied out.
    bool GetGangs(BYTE* dst, int n);
    // Without gang states: false. Otherwise n bytes are copied in and the
    // gang button shows the displayed pair's.
    bool SetGangs(const BYTE* src, int n);

    TBevel* Bevel() const { return m_Bevel; }
    TLabel* ChannelLabel() const { return m_ChannelLabel; }
    TFaderReadout* Readout() const { return m_Readout; }
    TGang* GangButton() const { return m_GangButton; }
    CPeakMeter* Meter() const { return m_Meter.get(); }
    WORD DisplayedBus() const { return m_DisplayedBus; }

protected:
    // The frame with the gang states (even strips), the fader's readout and
    // the channel label.
    void Init(TWinControl* window, int x, CDaveror* card, bool even);
    // The peak meter at x + 15, its dB scale on even strips.
    void AddMeter(TWinControl* window, int x, bool even);
    // The gang button, moved right by x.
    TGang* AddGangButton(TWinControl* window, int x);
    // The channel label's caption: the number formatted.
    void SetLabel(const char* format, int number);
    // The gang states, when the strip has them: the displayed pair's state
    // from the gang button, and the gang button from it.
    void StoreGang();
    void ShowGang();

    WORD m_DisplayedBus = 0;
    TBevel* m_Bevel = nullptr;
    TLabel* m_ChannelLabel = nullptr;
    TFaderReadout* m_Readout = nullptr;
    TGang* m_GangButton = nullptr;
    std::unique_ptr<CPeakMeter> m_Meter;
    CGangStates m_Gangs;
};
