// The form of the wave-device configuration dialog as it was designed: the
// name and buffer-size row in two frames across the top, the two sides'
// group boxes, the buttons and the hidden help memo. The rows are built in
// code for the card.
#include "console/wave_config.h"

namespace {

constexpr int SideWidth = 296;
constexpr int RightSide = 309;
constexpr int BoxesTop = 49;

template <class Control>
Control* Designed(TWaveConfig* form, int left, int top, int width, int height)
{
    auto* control = new Control(form);
    control->SetParent(form);
    control->SetBounds(left, top, width, height);
    return control;
}

TLabel* Label(TWaveConfig* form, const char* caption, int left, int top)
{
    auto* label = new TLabel(form);
    label->SetParent(form);
    label->SetLeft(left);
    label->SetTop(top);
    label->SetText(caption);
    return label;
}

TGroupBox* SideBox(TWaveConfig* form, const char* caption, int left)
{
    auto* box = Designed<TGroupBox>(form, left, BoxesTop, SideWidth, 280);
    box->SetText(caption);
    return box;
}

TButton* Button(TWaveConfig* form, const char* caption, int left)
{
    auto* button = Designed<TButton>(form, left, 339, 80, 25);
    button->SetText(caption);
    return button;
}

}  // namespace

void TWaveConfig::CreateDesign()
{
    SetText("Wave device configuration");
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetPosition(poOwnerFormCenter);
    SetScaled(false);
    SetClientWidth(610);
    SetClientHeight(374);

    Bevel1 = Designed<TBevel>(this, 5, 5, SideWidth, 36);
    Bevel2 = Designed<TBevel>(this, RightSide, 5, SideWidth, 36);
    Label2 = Label(this, "Device name", 16, 16);
    CardName = Designed<TEdit>(this, 100, 12, 130, 21);
    CardName->SetMaxLength(10);
    CardName->Font()->SetName("Arial");
    NmBufferSizeLabel = Label(this, "Nimbrel buffer size:", 320, 16);
    NmBufferSizeCombo = Designed<TComboBox>(this, 436, 12, 80, 21);
    NmBufferSizeCombo->SetStyle(TComboBoxStyle::csDropDownList);
    Label3 = Label(this, "samples", 524, 16);

    OutputsBox = SideBox(this, "Outputs", 5);
    InputsBox = SideBox(this, "Inputs", RightSide);

    HelpButton = Button(this, "&Show help", 5);
    HelpButton->SetWidth(90);
    ApplyButton = Button(this, "&Apply", 345);
    ApplyButton->SetDefault(true);
    OkButton = Button(this, "&OK", 432);
    CancelButton = Button(this, "&Cancel", 519);
    CancelButton->SetCancel(true);

    HelpMemo = new TMemo(this);
    HelpMemo->SetParent(this);
    HelpMemo->SetHeight(62);
    HelpMemo->SetAlign(alBottom);
    HelpMemo->SetReadOnly(true);
    HelpMemo->SetVisible(false);

    // The designed events.
    OnActivate = [this](TObject* Sender) { FormActivate(Sender); };
    OnMouseMove = [this](TObject* Sender, TShiftState Shift, int X, int Y) { FormMouseMove(Sender, Shift, X, Y); };
    OutputsBox->OnMouseMove = OnMouseMove;
    InputsBox->OnMouseMove = OnMouseMove;
    CardName->OnMouseMove = [this](TObject* Sender, TShiftState Shift, int X, int Y) {
        CardNameMouseMove(Sender, Shift, X, Y);
    };
    NmBufferSizeLabel->OnMouseMove = [this](TObject* Sender, TShiftState Shift, int X, int Y) {
        NmBufferSizeLabelMouseMove(Sender, Shift, X, Y);
    };
    NmBufferSizeCombo->OnChange = [this](TObject* Sender) { NmBufferSizeComboChange(Sender); };
    CardName->OnChange = NmBufferSizeCombo->OnChange;
    ApplyButton->OnClick = [this](TObject* Sender) { ApplyButtonClick(Sender); };
    OkButton->OnClick = [this](TObject* Sender) { OkButtonClick(Sender); };
    CancelButton->OnClick = [this](TObject* Sender) { CancelButtonClick(Sender); };
    HelpButton->OnClick = [this](TObject* Sender) { HelpButtonClick(Sender); };
}
