#include "console/gain_dialog.h"

#include <memory>

namespace {

void SetFont(TFont& font, int height)
{
    font.SetName("MS Sans Serif");
    font.SetHeight(height);
    font.SetColor(clWindowText);
}

}  // namespace

TGainDialog::TGainDialog(TComponent* owner) : TForm(owner)
{
    // The form resource, in the order a stored form is read.
    SetText("Gain setting");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetColor(clBtnFace);
    SetFont(*Font(), -11);
    SetBounds(283, 172, Width(), Height());
    SetClientWidth(130);
    SetClientHeight(79);

    GainLabel = new TLabel(this);
    GainLabel->SetParent(this);
    GainLabel->SetBounds(29, 17, 31, 16);
    GainLabel->SetText("Gain:");
    SetFont(*GainLabel->Font(), -13);

    GainEdit = new TEdit(this);
    GainEdit->SetParent(this);
    GainEdit->SetBounds(65, 16, 36, 21);
    GainEdit->SetMaxLength(3);
    GainEdit->SetTabOrder(0);

    OkButton = new TButton(this);
    OkButton->SetParent(this);
    OkButton->SetText("OK");
    OkButton->SetBounds(10, 50, 50, 25);
    OkButton->SetDefault(true);
    OkButton->SetTabOrder(1);
    OkButton->OnClick = [this](TObject* Sender) { OkButtonClick(Sender); };

    CancelButton = new TButton(this);
    CancelButton->SetParent(this);
    CancelButton->SetText("Cancel");
    CancelButton->SetBounds(70, 50, 50, 25);
    CancelButton->SetCancel(true);
    CancelButton->SetTabOrder(2);
    CancelButton->OnClick = [this](TObject* Sender) { CancelButtonClick(Sender); };

    // Centred on the pointer, in screen pixels, by the outer size.
    const TPoint pointer = Mouse->CursorPos();
    SetLeft(pointer.X - (Width() >> 1));
    SetTop(pointer.Y - (Height() >> 1));
}

void TGainDialog::SetGain(int v)
{
    FGain = v;
    GainEdit->SetText(Format("%d", v));
}

void TGainDialog::OkButtonClick(TObject*)
{
    try {
        FGain = StrToInt(GainEdit->Text());
    } catch (const EConvertError&) {
        // Not a number: the gain stays as it was, and nothing is said.
    }
    Close();
}

void TGainDialog::CancelButtonClick(TObject*) { Close(); }

int RunGainDialog(TComponent* owner, int highest, int lowest, int initial)
{
    const auto dialog = std::make_unique<TGainDialog>(owner);
    dialog->SetGain(initial);
    dialog->ShowModal();  // how it was closed does not matter
    const int r = dialog->GetGain();
    if (r > highest) return highest;
    if (r < lowest) return lowest;
    return r;
}
