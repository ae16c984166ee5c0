// The nominal-level buttons of the inputs and output busses that have the
// switch, whose caption shows the level (+4 or -10) and whose click switches
// it, and the card-wide phantom-power toggle "+48v".
//
// A strip or panel builds a nominal button as: parent, its x offset added to
// Left, bus, card, UpdateFromDriver, OnClick := NominalChange, partner and
// gang.
#pragma once

#include <vcl.h>

#include <cstdint>

#include "console/gang.h"
#include "daveror.h"

// What both nominal buttons share, over their own kind of button; each binds
// SetNominalDriver and GetNominalDriver to one operation of the card object.
// Neither is a toggle: the caption shows the state.
template <class TBase>
class TNominalButton : public TBase {
public:
    explicit TNominalButton(TComponent* owner) : TBase(owner) {}

    std::int32_t Nominal() const { return FNominal; }
    WORD Bus() const { return FBus; }
    void SetBus(WORD bus) { FBus = bus; }
    CDaveror* Card() const { return FCard; }
    void SetCard(CDaveror* card) { FCard = card; }
    TNominalButton* Partner() const { return FPartner; }
    void SetPartner(TNominalButton* partner) { FPartner = partner; }
    TGang* Gang() const { return FGang; }
    void SetGang(TGang* gang) { FGang = gang; }

    // "+4" for +4, "-10" for any other level.
    void SetCaption();
    // A click (a sender) switches the level; no sender takes the partner's.
    // Ganged, a click gives a visible partner the new level too.
    void NominalChange(TObject* Sender);
    // The level from the card, kept as read; writes nothing.
    void UpdateFromDriver();

protected:
    virtual void SetNominalDriver(std::int32_t level) = 0;
    virtual std::int32_t GetNominalDriver() = 0;

private:
    std::int32_t FNominal = 4;
    int FReentry = 1;
    WORD FBus = 0;
    CDaveror* FCard = nullptr;
    TNominalButton* FPartner = nullptr;
    TGang* FGang = nullptr;
};

extern template class TNominalButton<TSpeedButton>;
extern template class TNominalButton<TButton>;

// The nominal level of an input bus: a small speed button in "Small Fonts".
class TNominalInputButton : public TNominalButton<TSpeedButton> {
public:
    explicit TNominalInputButton(TComponent* owner);

protected:
    void SetNominalDriver(std::int32_t level) override;
    std::int32_t GetNominalDriver() override;
};

// The nominal level of an output bus: a push button in the parent's font.
class TNominalOutButton : public TNominalButton<TButton> {
public:
    explicit TNominalOutButton(TComponent* owner);

protected:
    void SetNominalDriver(std::int32_t level) override;
    std::int32_t GetNominalDriver() override;
};

// Phantom power for the whole card: down is on. Never ganged.
class TPhantomButton : public TSpeedButton {
public:
    explicit TPhantomButton(TComponent* owner);

    CDaveror* Card() const { return FCard; }
    void SetCard(CDaveror* card) { FCard = card; }

    // The new down state to the card (the button has toggled already).
    void PhantomChange(TObject* Sender);
    // The down state from the card; writes nothing.
    void UpdateFromDriver();

private:
    CDaveror* FCard = nullptr;
};
