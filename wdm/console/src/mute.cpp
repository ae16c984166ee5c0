#include "console/mute.h"

#include "console/CBmpStash.h"

TMute::TMute(TComponent* owner) : TSpeedButton(owner)
{
    SetBounds(10, 285, 20, 20);
    SetGlyph(BmpStash->GetBitmap(TINY_M_BMP));
    SetGroupIndex(TakeButtonGroup());
    SetAllowAllUp(true);
    SetMargin(-1);
}

void TMute::SetMuteDriver(int) {}
int TMute::GetMuteDriver() { return 1; }

void TMute::BindClickHandler()
{
    OnClick = [this](TObject* Sender) { MuteClick(Sender); };
}

void TMute::MuteClick(TObject*)
{
    const int muted = Down() ? 1 : 0;
    SetMuteDriver(muted);
    if (FPartner != nullptr && IsGanged(FGang) && FReentry == 1) {
        FPartner->FReentry = 0;
        FPartner->SetDown(Down());  // fires no click
        FPartner->SetMuteDriver(muted);
        FPartner->FReentry = 1;
    }
}

void TMute::UpdateFromDriver()
{
    FReentry = 0;
    SetDown(GetMuteDriver() != 0);
    FReentry = 1;
}

TMonitorMute::TMonitorMute(TComponent* owner) : TMute(owner) {}

void TMonitorMute::SetMuteDriver(int value) { Card()->SetMonitorMute(FInput, FOutputBus, static_cast<DWORD>(value)); }

int TMonitorMute::GetMuteDriver()
{
    DWORD mute = 0;
    Card()->GetMonitorMute(FInput, FOutputBus, &mute);
    return static_cast<int>(mute);
}

TPipeOutMute::TPipeOutMute(TComponent* owner) : TMute(owner) {}

void TPipeOutMute::SetMuteDriver(int value) { Card()->SetPipeMute(FPipe, FOutputBus, static_cast<DWORD>(value)); }

int TPipeOutMute::GetMuteDriver()
{
    DWORD mute = 0;
    Card()->GetPipeMute(FPipe, FOutputBus, &mute);
    return static_cast<int>(mute);
}

TBusOutMute::TBusOutMute(TComponent* owner) : TMute(owner) { SetTop(316); }

void TBusOutMute::SetMuteDriver(int value) { Card()->SetBusOutMute(FBus, static_cast<DWORD>(value)); }

int TBusOutMute::GetMuteDriver()
{
    DWORD mute = 0;
    Card()->GetBusOutMute(FBus, &mute);
    return static_cast<int>(mute);
}
