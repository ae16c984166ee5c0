// TInputTrim, the trim knob at the top of an input strip: -25 .. +25 dB in
// half-dB steps (Position -50 .. 50; the card takes Position x 128), with a
// dB readout above which a click opens the gain dialog.
#pragma once

#include <vcl.h>

#include "controls/knob.h"
#include "daveror.h"

class TFaderReadout;
class TGang;

class TInputTrim : public TKnob {
public:
    // On `owner`, 20 x 20 at (10, 5), read from the card (which writes the
    // value read back, rounded down to a half dB).
    TInputTrim(TWinControl* owner, TFaderReadout* readout, CDaveror* card, WORD input);

    TFaderReadout* Readout() const { return FReadout; }
    WORD Input() const { return FInput; }
    TInputTrim* Partner() const { return FPartner; }
    void SetPartner(TInputTrim* partner) { FPartner = partner; }
    TGang* Gang() const { return FGang; }
    void SetGang(TGang* gang) { FGang = gang; }

    // The change handler: Ctrl resets to 0 dB; the readout, the card, and a
    // ganged partner by the same change.
    void TrimChange(TObject* Sender);
    // The trim from the card. It goes back to the card as read, but a
    // refresh never resets and never moves the partner.
    void UpdateFromDriver();
    // Lets the user type a gain (the readout's click action).
    void ShowGainDialog();

    virtual void TrimMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void TrimMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

private:
    void BindChange();

    TFaderReadout* FReadout;
    CDaveror* FCard;
    WORD FInput;
    int FLastPosition = 0;
    int FReentry = 1;
    TInputTrim* FPartner = nullptr;
    TGang* FGang = nullptr;
    bool FRefreshing = false;
};
