// The form TCONSOLEFORM as it was designed: the window, its three buttons,
// the group labels, the clock panel's components, the meter timer and the
// application events, with their design values and events.
#include "console/console_form.h"

namespace {

template <class Control>
Control* Designed(TConsoleForm* form, int left, int top, int width, int height)
{
    auto* control = new Control(form);
    control->SetParent(form);
    control->SetBounds(left, top, width, height);
    return control;
}

TButton* DesignedButton(TConsoleForm* form, const char* caption, int left, int top, int width)
{
    auto* button = Designed<TButton>(form, left, top, width, 22);
    button->SetText(caption);
    return button;
}

// Fixed-size labels; the library sizes labels to their text by default.
TLabel* DesignedLabel(TConsoleForm* form, const char* caption, int left, int top, int width, int height)
{
    auto* label = new TLabel(form);
    label->SetAutoSize(false);
    label->SetParent(form);
    label->SetBounds(left, top, width, height);
    label->SetText(caption);
    return label;
}

// "Input clock" and "Digital mode": sized to their text.
TLabel* PanelLabel(TConsoleForm* form, const char* caption, int left, int top)
{
    auto* label = new TLabel(form);
    label->SetParent(form);
    label->SetLeft(left);
    label->SetTop(top);
    label->SetText(caption);
    label->Font()->SetStyle({fsBold});
    return label;
}

TLabel* GroupLabel(TConsoleForm* form, const char* caption)
{
    TLabel* label = DesignedLabel(form, caption, 0, 534, 70, 13);
    label->SetAlignment(taCenter);
    label->Font()->SetStyle({fsBold});
    return label;
}

TSpeedButton* ClockButton(TConsoleForm* form, int left, int top)
{
    auto* button = Designed<TSpeedButton>(form, left, top, 40, 14);
    button->SetGroupIndex(10);
    button->Font()->SetName("Small Fonts");
    button->Font()->SetHeight(-9);
    return button;
}

TShape* ClockLed(TConsoleForm* form, int left, int top, TColor color)
{
    auto* led = Designed<TShape>(form, left, top, 6, 6);
    led->SetShape(stCircle);
    led->Brush()->Color = color;
    return led;
}

TSpeedButton* ModeButton(TConsoleForm* form, const char* caption, int top)
{
    auto* button = Designed<TSpeedButton>(form, 20, top, 80, 18);
    button->SetGroupIndex(11);
    button->SetText(caption);
    return button;
}

}  // namespace

void TConsoleForm::CreateDesign()
{
    SetText("Console");
    // The frame first, then the limits, then the client: the single frame
    // adds 25 pixels, and the designed client fits under the maximum height.
    SetBorderStyle(TFormBorderStyle::bsSingle);
    SetBorderIcons({biSystemMenu, biMinimize});
    Constraints().MaxHeight = 586;
    Constraints().MaxWidth = 1024;
    Constraints().MinHeight = 31;
    SetClientWidth(682);
    SetClientHeight(548);
    Font()->SetName("Arial");
    SetKeyPreview(true);

    SettingsButton = DesignedButton(this, "Se&ttings", 594, 3, 70);
    LoadButton = DesignedButton(this, "&Load", 594, 26, 35);
    SaveButton = DesignedButton(this, "&Save", 629, 26, 35);
    AnalogInLabel = GroupLabel(this, "Analog in");
    DigitalInLabel = GroupLabel(this, "Digital in");
    PipeOutLabel = GroupLabel(this, "Playback");

    ModePanelBevel = Designed<TBevel>(this, 0, 0, 120, 150);
    ClockLabel = PanelLabel(this, "Input clock", 30, 3);
    InternalButton = ClockButton(this, 4, 21);
    InternalButton->SetText("Internal");
    InternalButton->SetDown(true);
    ClockButton1 = ClockButton(this, 76, 21);
    ClockButton2 = ClockButton(this, 4, 37);
    ClockButton3 = ClockButton(this, 76, 37);
    ClockButton4 = ClockButton(this, 4, 53);
    InternalLed = ClockLed(this, 48, 25, clLime);
    ClockLed1 = ClockLed(this, 66, 25, clBlack);
    ClockLed2 = ClockLed(this, 48, 41, clBlack);
    ClockLed3 = ClockLed(this, 66, 41, clBlack);
    ClockLed4 = ClockLed(this, 48, 57, clBlack);
    DMSLabel = PanelLabel(this, "Digital mode", 27, 77);
    SpdifRcaButton = ModeButton(this, "S/PDIF RCA", 94);
    SpdifRcaButton->SetDown(true);
    SpdifOpticalButton = ModeButton(this, "S/PDIF Optical", 111);
    AdatOpticalButton = ModeButton(this, "ADAT Optical", 128);

    MeterTimer = new TTimer(this);
    MeterTimer->SetEnabled(false);
    MeterTimer->SetInterval(40);
    AppEvents = new TApplicationEvents(this);

    // The designed events.
    OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
    OnConstrainedResize = [this](TObject* Sender, int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight) {
        FormConstrainedResize(Sender, MinWidth, MinHeight, MaxWidth, MaxHeight);
    };
    OnKeyDown = [this](TObject* Sender, Word& Key, TShiftState Shift) { FormKeyDown(Sender, Key, Shift); };
    SettingsButton->OnClick = [this](TObject* Sender) { SettingsButtonClick(Sender); };
    LoadButton->OnClick = [this](TObject* Sender) { LoadButtonClick(Sender); };
    SaveButton->OnClick = [this](TObject* Sender) { SaveButtonClick(Sender); };
    MeterTimer->OnTimer = [this](TObject* Sender) { MeterPing(Sender); };
    AppEvents->OnMessage = [this](TMessage& Msg, HWND Window, bool& Handled) {
        AppEventsMessage(Msg, Window, Handled);
    };
}
