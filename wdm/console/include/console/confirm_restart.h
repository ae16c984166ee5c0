// TConfirmDriverRestart, the small dialog that asks whether a changed wave
// configuration is to be brought into effect now, by restarting the card
// driver, or at the next restart of the computer. Only its OK button with
// "Update now" checked gives mrOk.
#pragma once

#include <vcl.h>

class TConfirmDriverRestart : public TForm {
public:
    explicit TConfirmDriverRestart(TComponent* owner);

    void OkButtonClick(TObject* Sender);

    TLabel* Label1;
    TRadioButton* ApplyNowRadio;
    TRadioButton* ApplyLaterRadio;
    TButton* OkButton;

private:
    void CreateDesign();
};
