#include "console/fader.h"

#include <algorithm>

#include "console/fader_law.h"
#include "console/fader_readout.h"
#include "console/gain_dialog.h"
#include "console/gang.h"
#include "console/key_state.h"

int NotificationApplyFlag = 1;

TFader::TFader(TComponent* owner, TFaderReadout* readout) : TzSlideBar(owner), FReadout(readout)
{
    SetTicks(false);
    SetThumbStyle(TThumbStyle::tsHorzHigh);
    SetOrientation(TOrientation::orVertical);
    SetTop(312);
    SetLeft(10);
    SetHeight(181);
    SetWidth(20);
    // Max first: the slider takes a Min only below its Max.
    SetMax(1000);
    SetMin(250);
    SetFocusColor(clBtnFace);
    SetNonFocusColor(FocusColor());  // the groove looks the same with and without focus
    FReadout->SetTarget(this, [this] { ShowGainDialog(); });
    // Through the virtual handlers, so that a subclass's own are the ones called.
    OnMouseDown = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        FaderMouseDown(Sender, Button, Shift, X, Y);
    };
    OnMouseUp = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        FaderMouseUp(Sender, Button, Shift, X, Y);
    };
    OnKeyDown = [this](TObject* Sender, Word& Key, TShiftState Shift) { FaderKeyDown(Sender, Key, Shift); };
}

void TFader::SetGainDriver(int) {}
int TFader::GetGainDriver() { return 0; }

bool TFader::Ganged() const { return FPartner != nullptr && IsGanged(FGang); }

void TFader::SliderChange(TObject*)
{
    if (KeyHeld(VK_CONTROL)) {
        SetZeroDb();
        return;
    }
    const int d = PosToDb(Value());
    SetGainDriver(d * 256);
    if (Ganged() && FReentry == 1) {
        // The partner moves by as many positions, not dB, and its own change
        // handler writes its gain, also when its slider refuses the move.
        FPartner->FReentry = 0;
        FPartner->SetValue(FPartner->Value() + (Value() - FLastValue));
        FPartner->FReentry = 1;
    }
    FLastValue = Value();
    FReadout->SetCaption(d);
}

void TFader::SetZeroDb()
{
    SetGainDriver(0);
    UpdateFromDriver();
    if (Ganged() && FReentry == 1) {
        FPartner->FReentry = 0;
        FPartner->SetGainDriver(0);
        FPartner->UpdateFromDriver();
        FPartner->FReentry = 1;
    }
}

void TFader::UpdateFromDriver()
{
    int d = GetGainDriver() >> 8;  // whole dB toward minus infinity: -1/256 dB is -1
    if (d > 6) d = 0;
    OnChange = nullptr;
    // A gain beyond the fader's range puts the thumb at that end, so that the
    // fader and a partner copying its moves start from a position it has.
    SetValue(std::clamp(DbToPos(d), Min(), Max()));
    OnChange = [this](TObject* Sender) { SliderChange(Sender); };
    FLastValue = Value();
    FReadout->SetCaption(d);
}

void TFader::ShowGainDialog()
{
    const int d = PosToDb(Value());
    const int r = RunGainDialog(Owner(), 0, -40, d);
    SetValue(DbToPos(r));
    FLastValue = Value();
}

void TFader::FaderMouseDown(TObject*, TMouseButton Button, TShiftState Shift, int, int)
{
    if (Button != mbLeft) return;
    if (Shift.Contains(ssCtrl)) SetZeroDb();
    NotificationApplyFlag = 0;
}

void TFader::FaderMouseUp(TObject*, TMouseButton Button, TShiftState, int, int)
{
    if (Button == mbLeft) NotificationApplyFlag = 1;
}

void TFader::StepDb(int step)
{
    const int n = PosToDb(Value()) + step;
    if (n < PosToDb(Min())) SetValue(Min());
    else if (n > 0) SetValue(Max());
    else SetValue(DbToPos(n));
}

void TFader::FaderKeyDown(TObject*, Word& Key, TShiftState)
{
    switch (Key) {
    case VK_PRIOR: StepDb(6); break;
    case VK_NEXT: StepDb(-6); break;
    case VK_UP: StepDb(1); break;
    case VK_DOWN: StepDb(-1); break;
    case VK_HOME: SetValue(Max()); break;
    case VK_END: SetValue(Min()); break;
    default: return;  // Left, Right and the rest go on to the slider
    }
    Key = 0;
}

void TFader::KeyDown(Word& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    if (Key != 0) KeyStep(Key);
}

TMonitorFader::TMonitorFader(TComponent* owner, TFaderReadout* readout) : TFader(owner, readout) {}

void TMonitorFader::SetGainDriver(int value) { Card()->SetMonitorGain(FInput, FOutputBus, value); }

int TMonitorFader::GetGainDriver()
{
    LONG gain = 0;
    Card()->GetMonitorGain(FInput, FOutputBus, &gain);
    return gain;
}

TPipeOutFader::TPipeOutFader(TComponent* owner, TFaderReadout* readout) : TFader(owner, readout) {}

void TPipeOutFader::SetGainDriver(int value) { Card()->SetPipeGain(FPipe, FOutputBus, value); }

int TPipeOutFader::GetGainDriver()
{
    LONG gain = 0;
    Card()->GetPipeGain(FPipe, FOutputBus, &gain);
    return gain;
}

TBusOutFader::TBusOutFader(TComponent* owner, TFaderReadout* readout) : TFader(owner, readout)
{
    SetHeight(155);
    SetTop(340);
}

void TBusOutFader::SetGainDriver(int value) { Card()->SetBusOutGain(FBus, value); }

int TBusOutFader::GetGainDriver()
{
    LONG gain = 0;
    Card()->GetBusOutGain(FBus, &gain);
    return gain;
}
