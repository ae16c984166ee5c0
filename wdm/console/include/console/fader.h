// The fader family: every gain the console shows on a vertical fader. TFader
// holds all but the card access: the fader law between slider positions
// (250 .. 1000) and whole dB (-40 .. 0), the change handler that writes the
// gain in 1/256 dB, ganging with the other fader of the channel pair, the
// dB readout, the gain dialog, keys and mouse. Each subclass binds
// SetGainDriver and GetGainDriver to one operation of the card object.
//
// A strip or panel builds one as: parent, its x offset added to Left, card
// and channel indices, UpdateFromDriver, OnChange := SliderChange, then
// partner and gang.
#pragma once

#include <vcl.h>

#include "controls/slide_bar.h"
#include "daveror.h"

class TFaderReadout;
class TGang;

// One console-wide flag, 1 unless a fader, pan or trim is held down with the
// left button: the meter tick applies the card's change notifications only
// while it is 1, so that nothing refreshes a control the user drags.
extern int NotificationApplyFlag;

class TFader : public TzSlideBar {
public:
    TFader(TComponent* owner, TFaderReadout* readout);

    TFaderReadout* Readout() const { return FReadout; }
    CDaveror* Card() const { return FCard; }
    void SetCard(CDaveror* card) { FCard = card; }
    TFader* Partner() const { return FPartner; }
    void SetPartner(TFader* partner) { FPartner = partner; }
    TGang* Gang() const { return FGang; }
    void SetGang(TGang* gang) { FGang = gang; }

    // The change handler: writes the gain, copies the change to a ganged
    // partner (by positions), shows the dB.
    void SliderChange(TObject* Sender);
    // Sets the fader from the card, writing nothing.
    void UpdateFromDriver();
    // 0 dB for this fader and, under the gang rule, its partner.
    void SetZeroDb();
    // Lets the user type a gain (the readout's click action).
    void ShowGainDialog();

    virtual void FaderMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void FaderMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void FaderKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    // The card access of a subclass; the base writes nothing and reads 0.
    virtual void SetGainDriver(int value);
    virtual int GetGainDriver();

protected:
    // OnKeyDown (FaderKeyDown) first, then the slider's own step only for a
    // key the fader left alone, so that one key press writes one gain.
    void KeyDown(Word& Key, TShiftState Shift) override;

private:
    void StepDb(int step);
    bool Ganged() const;

    int FReentry = 1;
    int FLastValue = 0;
    TFaderReadout* FReadout;
    CDaveror* FCard = nullptr;
    TFader* FPartner = nullptr;
    TGang* FGang = nullptr;
};

// The monitor gain of an input bus into an output bus.
class TMonitorFader : public TFader {
public:
    TMonitorFader(TComponent* owner, TFaderReadout* readout);
    WORD Input() const { return FInput; }
    void SetInput(WORD input) { FInput = input; }
    WORD OutputBus() const { return FOutputBus; }
    void SetOutputBus(WORD bus) { FOutputBus = bus; }
    void SetGainDriver(int value) override;
    int GetGainDriver() override;

private:
    WORD FInput = 0;
    WORD FOutputBus = 0;
};

// The gain of a playback pipe into an output bus.
class TPipeOutFader : public TFader {
public:
    TPipeOutFader(TComponent* owner, TFaderReadout* readout);
    WORD Pipe() const { return FPipe; }
    void SetPipe(WORD pipe) { FPipe = pipe; }
    WORD OutputBus() const { return FOutputBus; }
    void SetOutputBus(WORD bus) { FOutputBus = bus; }
    void SetGainDriver(int value) override;
    int GetGainDriver() override;

private:
    WORD FPipe = 0;
    WORD FOutputBus = 0;
};

// The gain of an output bus; shorter than the others, lower down.
class TBusOutFader : public TFader {
public:
    TBusOutFader(TComponent* owner, TFaderReadout* readout);
    WORD Bus() const { return FBus; }
    void SetBus(WORD bus) { FBus = bus; }
    void SetGainDriver(int value) override;
    int GetGainDriver() override;

private:
    WORD FBus = 0;
};
