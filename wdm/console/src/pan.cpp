#include "console/pan.h"

#include "console/fader.h"
#include "console/key_state.h"

TPan::TPan(TComponent* owner) : TzSlideBar(owner)
{
    SetThumbStyle(TThumbStyle::tsVertHigh);
    SetTicks(false);
    SetFocusColor(clBtnFace);
    // Wider than high, so the slider lies horizontal once it is sized.
    SetTop(260);
    SetLeft(5);
    SetHeight(20);
    SetWidth(30);
    SetMax(1000);
    OnMouseDown = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        PanMouseDown(Sender, Button, Shift, X, Y);
    };
    OnMouseUp = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        PanMouseUp(Sender, Button, Shift, X, Y);
    };
}

void TPan::SliderChange(TObject*)
{
    // Centring runs this handler once more from SetValue, so the centre is
    // written twice when the pan was elsewhere.
    if (!FRefreshing && KeyHeld(VK_CONTROL)) SetValue(Max() >> 1);
    SetPanDriver(static_cast<DWORD>(Value()));
}

void TPan::UpdateFromDriver()
{
    const DWORD pan = GetPanDriver();
    FRefreshing = true;
    SetValue(static_cast<int>(pan));  // the change handler stays bound
    FRefreshing = false;
}

void TPan::PanMouseDown(TObject*, TMouseButton Button, TShiftState, int, int)
{
    if (Button == mbLeft) NotificationApplyFlag = 0;
}

void TPan::PanMouseUp(TObject*, TMouseButton Button, TShiftState, int, int)
{
    if (Button == mbLeft) NotificationApplyFlag = 1;
}

void TMonitorPan::SetPanDriver(DWORD value) { Card()->SetMonitorPan(Input(), OutputBus(), value); }

DWORD TMonitorPan::GetPanDriver()
{
    DWORD pan = 0;
    Card()->GetMonitorPan(Input(), OutputBus(), &pan);
    return pan;
}

void TPipeOutPan::SetPanDriver(DWORD value) { Card()->SetPipePan(Pipe(), OutputBus(), value); }

DWORD TPipeOutPan::GetPanDriver()
{
    DWORD pan = 0;
    Card()->GetPipePan(Pipe(), OutputBus(), &pan);
    return pan;
}
