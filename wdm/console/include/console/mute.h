// The mute family: the mute toggle of every monitor route, playback route
// and output bus. TMute holds the card, the partner mute and the pair's gang
// button and does the clicking, ganging and refreshing; each subclass binds
// SetMuteDriver and GetMuteDriver to one operation of the card object. The
// button shows the mute: down is muted.
//
// A strip or panel builds one as: parent, position, channel indices, card,
// UpdateFromDriver, BindClickHandler, partner and gang.
#pragma once

#include <vcl.h>

#include "console/gang.h"
#include "daveror.h"

class TMute : public TSpeedButton {
public:
    explicit TMute(TComponent* owner);

    CDaveror* Card() const { return FCard; }
    void SetCard(CDaveror* card) { FCard = card; }
    TMute* Partner() const { return FPartner; }
    void SetPartner(TMute* partner) { FPartner = partner; }
    TGang* Gang() const { return FGang; }
    void SetGang(TGang* gang) { FGang = gang; }

    // OnClick := MuteClick.
    void BindClickHandler();
    // Runs after the button toggled: the new state to the card and, ganged,
    // the same state to the partner (which is set, not toggled).
    void MuteClick(TObject* Sender);
    // The down state from the card; writes nothing, clicks nothing.
    void UpdateFromDriver();

    // 1 muted, 0 open. The base writes nothing and reads 1.
    virtual void SetMuteDriver(int value);
    virtual int GetMuteDriver();

private:
    int FReentry = 1;
    CDaveror* FCard = nullptr;
    TMute* FPartner = nullptr;
    TGang* FGang = nullptr;
};

// The mute of an input bus's monitor route into an output bus.
class TMonitorMute : public TMute {
public:
    explicit TMonitorMute(TComponent* owner);
    WORD Input() const { return FInput; }
    void SetInput(WORD input) { FInput = input; }
    WORD OutputBus() const { return FOutputBus; }
    void SetOutputBus(WORD bus) { FOutputBus = bus; }
    void SetMuteDriver(int value) override;
    int GetMuteDriver() override;

private:
    WORD FInput = 0;
    WORD FOutputBus = 0;
};

// The mute of a playback pipe's route into an output bus.
class TPipeOutMute : public TMute {
public:
    explicit TPipeOutMute(TComponent* owner);
    WORD OutputBus() const { return FOutputBus; }
    void SetOutputBus(WORD bus) { FOutputBus = bus; }
    WORD Pipe() const { return FPipe; }
    void SetPipe(WORD pipe) { FPipe = pipe; }
    void SetMuteDriver(int value) override;
    int GetMuteDriver() override;

private:
    WORD FOutputBus = 0;
    WORD FPipe = 0;
};

// The mute of an output bus.
class TBusOutMute : public TMute {
public:
    explicit TBusOutMute(TComponent* owner);
    WORD Bus() const { return FBus; }
    void SetBus(WORD bus) { FBus = bus; }
    void SetMuteDriver(int value) override;
    int GetMuteDriver() override;

private:
    WORD FBus = 0;
};
