// CPipeOutStrip, the strip of one playback pipe on the displayed output-bus
// pair: fader, mute and pan over its peak meter. With virtual outputs every
// pipe has a strip of its own; without them two strips show the pipes of
// the displayed pair, pipe = bus.
#pragma once

#include "console/strip.h"

class TPipeOutFader;
class TPipeOutMute;
class TPipeOutPan;

class CPipeOutStrip : public CStrip {
public:
    // Builds the strip of pipe `index` at x on the window. With virtual
    // outputs (`virtualOutputs` 1) it routes into output bus 0, without them
    // into bus `index`.
    void Init(TWinControl* window, int x, CDaveror* card, DWORD virtualOutputs, WORD index,
              const CapabilitiesRecord& caps);

    // The routes into `bus`, and without virtual outputs pipe `bus` itself:
    // mute, fader and pan re-pointed and read in that order, the label
    // renumbered, the gang button kept per output-bus pair.
    void SetBus(WORD bus) override;
    // The controls of this strip take those of the pair's other strip as
    // partners; the odd strip takes the even one's gang button. Called both ways.
    void Link(CPipeOutStrip& partner);
    // "%d" with virtual outputs, else "A%d" for an analog pipe and "D%d" for
    // a digital one, each numbered from 1.
    void UpdateLabel();
    // Moves every control of the strip dx pixels sideways.
    void Shift(int dx);

    WORD Pipe() const { return m_Pipe; }
    DWORD Flags() const { return m_Flags; }
    TPipeOutFader* Fader() const { return m_Fader; }
    TPipeOutMute* Mute() const { return m_Mute; }
    TPipeOutPan* Pan() const { return m_Pan; }

private:
    WORD m_Pipe = 0;
    DWORD m_Flags = 0;
    DWORD m_Virtual = 0;
    WORD m_AnalogOutputPipes = 0;
    TPipeOutFader* m_Fader = nullptr;
    TPipeOutMute* m_Mute = nullptr;
    TPipeOutPan* m_Pan = nullptr;
};
