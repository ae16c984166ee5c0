// TGainDialog, the tiny modal form in which the user types a whole-dB gain,
// and RunGainDialog, the one entry the faders and trims use.
#pragma once

#include <vcl.h>

class TGainDialog : public TForm {
public:
    // Built as the form TGAINDIALOG, then centred on the mouse pointer.
    explicit TGainDialog(TComponent* owner);

    TLabel* GainLabel;
    TEdit* GainEdit;
    TButton* OkButton;
    TButton* CancelButton;

    void SetGain(int v);
    int GetGain() const { return FGain; }

    // A number typed becomes the gain; other text is ignored. Both close.
    void OkButtonClick(TObject* Sender);
    void CancelButtonClick(TObject* Sender);

private:
    int FGain = 0;
};

// Shows the dialog modally with `initial` and hands back what it gave,
// clamped: above `highest` gives `highest`, else below `lowest` `lowest`.
int RunGainDialog(TComponent* owner, int highest, int lowest, int initial);
