#include "console/nominal.h"

template <class TBase>
void TNominalButton<TBase>::SetCaption()
{
    this->SetText(FNominal == 4 ? "+4" : "-10");
}

template <class TBase>
void TNominalButton<TBase>::NominalChange(TObject* Sender)
{
    if (Sender != nullptr) FNominal = FNominal == 4 ? -10 : 4;
    else if (FPartner != nullptr) FNominal = FPartner->FNominal;
    SetCaption();
    SetNominalDriver(FNominal);
    // A hidden partner stands for a bus without the switch: it takes nothing.
    if (FPartner != nullptr && FPartner->Visible() && IsGanged(FGang) && FReentry == 1) {
        FPartner->FReentry = 0;
        FPartner->NominalChange(nullptr);
        FPartner->FReentry = 1;
    }
}

template <class TBase>
void TNominalButton<TBase>::UpdateFromDriver()
{
    FNominal = GetNominalDriver();
    SetCaption();
}

template class TNominalButton<TSpeedButton>;
template class TNominalButton<TButton>;

TNominalInputButton::TNominalInputButton(TComponent* owner) : TNominalButton<TSpeedButton>(owner)
{
    SetLeft(11);
    SetTop(45);
    SetHeight(14);
    SetWidth(18);
    Font()->SetName("Small Fonts");
    Font()->SetHeight(10);
    SetMargin(-1);
    SetCaption();
}

void TNominalInputButton::SetNominalDriver(std::int32_t level) { Card()->SetInputNominal(Bus(), static_cast<DWORD>(level)); }

std::int32_t TNominalInputButton::GetNominalDriver()
{
    DWORD level = 0;
    Card()->GetInputNominal(Bus(), &level);
    return static_cast<std::int32_t>(level);
}

TNominalOutButton::TNominalOutButton(TComponent* owner) : TNominalButton<TButton>(owner)
{
    SetLeft(8);
    SetTop(290);
    SetHeight(20);
    SetWidth(24);
    SetCaption();
}

void TNominalOutButton::SetNominalDriver(std::int32_t level) { Card()->SetBusOutNominal(Bus(), static_cast<DWORD>(level)); }

std::int32_t TNominalOutButton::GetNominalDriver()
{
    DWORD level = 0;
    Card()->GetBusOutNominal(Bus(), &level);
    return static_cast<std::int32_t>(level);
}

TPhantomButton::TPhantomButton(TComponent* owner) : TSpeedButton(owner)
{
    SetBounds(20, 25, 40, 20);
    SetGroupIndex(TakeButtonGroup());
    SetAllowAllUp(true);
    SetText("+48v");
    SetMargin(-1);
}

void TPhantomButton::PhantomChange(TObject*) { FCard->SetPhantomPower(Down() ? 1 : 0); }

void TPhantomButton::UpdateFromDriver()
{
    DWORD on = 0;
    FCard->GetPhantomPower(&on);
    SetDown(on != 0);
}
