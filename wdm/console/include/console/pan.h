// The pans: a small horizontal slider above the fader of every monitor
// route and playback route, its Value (0 .. 1000, 500 the centre) exactly
// what the card takes. Pans are never ganged.
//
// A strip builds one as: parent, its x offset added to Left, channel, card
// and output bus, UpdateFromDriver, OnChange := SliderChange.
#pragma once

#include <vcl.h>

#include "controls/slide_bar.h"
#include "daveror.h"

// What both pans share; each binds SetPanDriver and GetPanDriver to one
// operation of the card object.
class TPan : public TzSlideBar {
public:
    explicit TPan(TComponent* owner);

    CDaveror* Card() const { return FCard; }
    void SetCard(CDaveror* card) { FCard = card; }
    WORD OutputBus() const { return FOutputBus; }
    void SetOutputBus(WORD bus) { FOutputBus = bus; }

    // The change handler: with Ctrl held the pan goes to the centre; the
    // Value goes to the card.
    void SliderChange(TObject* Sender);
    // The pan from the card. A value that differs goes back to the card once
    // (one the slider refuses is replaced there by the pan's own), but a
    // refresh never centres, whatever keys are held.
    void UpdateFromDriver();

    virtual void PanMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void PanMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

protected:
    WORD Channel() const { return FChannel; }
    void SetChannel(WORD channel) { FChannel = channel; }
    virtual void SetPanDriver(DWORD value) = 0;
    virtual DWORD GetPanDriver() = 0;

private:
    WORD FChannel = 0;
    WORD FOutputBus = 0;
    CDaveror* FCard = nullptr;
    bool FRefreshing = false;
};

// The pan of an input bus's monitor route into an output bus.
class TMonitorPan : public TPan {
public:
    explicit TMonitorPan(TComponent* owner) : TPan(owner) {}
    WORD Input() const { return Channel(); }
    void SetInput(WORD input) { SetChannel(input); }

protected:
    void SetPanDriver(DWORD value) override;
    DWORD GetPanDriver() override;
};

// The pan of a playback pipe's route into an output bus.
class TPipeOutPan : public TPan {
public:
    explicit TPipeOutPan(TComponent* owner) : TPan(owner) {}
    WORD Pipe() const { return Channel(); }
    void SetPipe(WORD pipe) { SetChannel(pipe); }

protected:
    void SetPanDriver(DWORD value) override;
    DWORD GetPanDriver() override;
};
