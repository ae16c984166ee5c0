#include "console/confirm_restart.h"

TConfirmDriverRestart::TConfirmDriverRestart(TComponent* owner) : TForm(owner) { CreateDesign(); }

void TConfirmDriverRestart::CreateDesign()
{
    SetText("Wave configuration change");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(poOwnerFormCenter);
    SetClientWidth(330);
    SetClientHeight(160);

    Label1 = new TLabel(this);
    Label1->SetParent(this);
    Label1->SetWordWrap(true);
    Label1->SetBounds(12, 10, 306, 70);
    Label1->SetText(
        "Would you like to update the configuration immediately, or wait until the next time you restart your "
        "computer?\r\n\r\nUpdating the configuration now may take several minutes.");

    ApplyNowRadio = new TRadioButton(this);
    ApplyNowRadio->SetParent(this);
    ApplyNowRadio->SetBounds(24, 86, 280, 17);
    ApplyNowRadio->SetText("Update now");
    ApplyNowRadio->SetChecked(true);

    ApplyLaterRadio = new TRadioButton(this);
    ApplyLaterRadio->SetParent(this);
    ApplyLaterRadio->SetBounds(24, 106, 280, 17);
    ApplyLaterRadio->SetText("Wait until the computer restarts");

    // The result depends on the radio buttons: the handler sets it.
    OkButton = new TButton(this);
    OkButton->SetParent(this);
    OkButton->SetBounds(128, 128, 75, 25);
    OkButton->SetText("OK");
    OkButton->SetDefault(true);
    OkButton->SetModalResult(mrNone);

    // The designed events.
    OkButton->OnClick = [this](TObject* Sender) { OkButtonClick(Sender); };
}

void TConfirmDriverRestart::OkButtonClick(TObject*) { SetModalResult(ApplyNowRadio->Checked() ? mrOk : mrCancel); }
