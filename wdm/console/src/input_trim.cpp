#include "console/input_trim.h"

#include "console/fader.h"
#include "console/fader_readout.h"
#include "console/gain_dialog.h"
#include "console/gang.h"
#include "console/key_state.h"

TInputTrim::TInputTrim(TWinControl* owner, TFaderReadout* readout, CDaveror* card, WORD input)
    : TKnob(owner), FReadout(readout), FCard(card), FInput(input)
{
    FReadout->SetTarget(this, [this] { ShowGainDialog(); });
    SetParent(owner);
    // Square at 20 whenever the knob is first sized: above the readout, not over it.
    SetBounds(10, 5, 20, 20);
    SetMax(50);
    SetMin(-50);
    BindChange();
    OnMouseDown = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        TrimMouseDown(Sender, Button, Shift, X, Y);
    };
    OnMouseUp = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        TrimMouseUp(Sender, Button, Shift, X, Y);
    };
    UpdateFromDriver();
}

void TInputTrim::BindChange()
{
    OnChange = [this](TObject* Sender) { TrimChange(Sender); };
}

void TInputTrim::TrimChange(TObject*)
{
    const bool reset = !FRefreshing && KeyHeld(VK_CONTROL);
    if (reset) {
        // The knob fires through a copy, so the handler may unbind itself.
        OnChange = nullptr;
        SetPosition(0);
        BindChange();
    }
    const int d = Position() >> 1;  // whole dB toward minus infinity: -1 is -1
    FReadout->SetText(Format(d > 0 ? "+%d" : "%d", d));
    FCard->SetInputTrim(FInput, Position() * 128);
    if (!FRefreshing && FPartner != nullptr && IsGanged(FGang) && FReentry == 1) {
        FPartner->FReentry = 0;
        FPartner->SetPosition(reset ? 0 : FPartner->Position() + Position() - FLastPosition);
        FPartner->FReentry = 1;
    }
    FLastPosition = Position();
}

void TInputTrim::UpdateFromDriver()
{
    LONG trim = 0;
    FCard->GetInputTrim(FInput, &trim);
    FRefreshing = true;
    SetPosition(trim >> 7);  // half dB toward minus infinity
    FRefreshing = false;
}

void TInputTrim::ShowGainDialog()
{
    const int r = RunGainDialog(Owner(), 25, -25, Position() >> 1);
    SetPosition(2 * r);
}

void TInputTrim::TrimMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int, int)
{
    if (Button != mbLeft) return;
    if (Shift.Contains(ssCtrl)) TrimChange(Sender);
    NotificationApplyFlag = 0;
}

void TInputTrim::TrimMouseUp(TObject*, TMouseButton Button, TShiftState, int, int)
{
    if (Button == mbLeft) NotificationApplyFlag = 1;
}
