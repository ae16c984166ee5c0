// The form TSETTINGSDIALOG as it was designed: six pages under hot-tracking
// tabs, OK and Cancel below them, in Arial 15 but for the tabs.
#include "console/settings_dialog.h"

namespace {

constexpr int PageWidth = 292;
constexpr int PageHeight = 217;

template <class Control>
Control* Designed(TComponent* owner, TWinControl* parent, int left, int top, int width, int height)
{
    auto* control = new Control(owner);
    control->SetParent(parent);
    control->SetBounds(left, top, width, height);
    return control;
}

// The tabs are in Arial 11, so that all six fit across; the pages are in
// the form's Arial 15.
TTabSheet* Page(TSettingsDialog* form, TPageControl* pages, const char* caption)
{
    auto* page = new TTabSheet(form);
    page->SetText(caption);
    page->SetPageControl(pages);
    page->Font()->Assign(*form->Font());
    return page;
}

TCheckBox* CheckBox(TSettingsDialog* form, TWinControl* page, const char* caption, int left, int top)
{
    auto* box = Designed<TCheckBox>(form, page, left, top, 264, 20);
    box->SetText(caption);
    return box;
}

TRadioGroup* RadioGroup(TSettingsDialog* form, TWinControl* page, const char* caption, int height,
                        std::initializer_list<const char*> items)
{
    auto* group = Designed<TRadioGroup>(form, page, 8, 8, 268, height);
    group->SetText(caption);
    for (const char* item : items) group->Items()->Add(item);
    return group;
}

TLabel* Label(TSettingsDialog* form, TWinControl* page, const char* caption, int left, int top)
{
    auto* label = new TLabel(form);
    label->SetParent(page);
    label->SetLeft(left);
    label->SetTop(top);
    label->SetText(caption);
    return label;
}

// One row of the surround page: name, delay bar, readout and "ms".
void SpeakerRow(TSettingsDialog* form, TWinControl* page, int speaker, const char* name, TLabel*& readout,
                TTrackBar*& slider)
{
    const int top = 4 + 23 * speaker;
    TLabel* label = Label(form, page, name, 2, top + 3);
    label->SetAutoSize(false);
    label->SetBounds(2, top + 3, 80, 16);
    label->Font()->SetHeight(-13);

    slider = Designed<TTrackBar>(form, page, 82, top, 150, 22);
    slider->SetRange(0, 250);
    slider->SetLineSize(1);
    slider->SetTickStyle(TTickStyle::tsNone);
    slider->Tag = speaker;

    readout = new TLabel(form);
    readout->SetAutoSize(false);
    readout->SetParent(page);
    readout->SetBounds(234, top + 1, 30, 19);
    readout->SetAlignment(taCenter);
    readout->SetColor(clBlack);
    readout->Font()->SetColor(clLime);

    Label(form, page, "ms", 267, top + 2);
}

}  // namespace

void TSettingsDialog::CreateDesign()
{
    SetBorderStyle(TFormBorderStyle::bsDialog);
    SetBorderIcons({biSystemMenu});
    SetScaled(false);
    Font()->SetName("Arial");
    Font()->SetHeight(-15);
    SetClientWidth(292);
    SetClientHeight(255);

    PageControl = Designed<TPageControl>(this, this, 0, 0, PageWidth, PageHeight);
    PageControl->SetHotTrack(true);
    PageControl->Font()->SetHeight(-11);

    Driver = Page(this, PageControl, "Driver");
    SampleRateLock = RadioGroup(this, Driver, "Sample rate lock", 76,
                                {"The sample rate is &unlocked", "The sample rate is &locked at "});
    SampleRateLock->SetBounds(4, 8, 276, 76);
    LockedRateCombo = Designed<TComboBox>(this, Driver, 206, 51, 76, 22);
    LockedRateCombo->SetStyle(TComboBoxStyle::csDropDownList);
    SyncWaveDevs = CheckBox(this, Driver, "&Synchronize wave devices", 16, 96);
    AdvancedButton = Designed<TButton>(this, Driver, 168, 150, 104, 25);
    AdvancedButton->SetText("&Advanced...");

    Sessions = Page(this, PageControl, "Console");
    AutoLoadSession = CheckBox(this, Sessions, "&Load last session when console starts", 12, 14);
    AutoSaveSession = CheckBox(this, Sessions, "&Auto-save session when console exits", 12, 44);
    LoadSessionWaveConfig = CheckBox(this, Sessions, "L&oad wave device configuration from sessions", 12, 74);
    AlwaysOnTop = CheckBox(this, Sessions, "Always on &top", 12, 104);

    DigitalTab = Page(this, PageControl, "Digital");
    SpdifFormat = RadioGroup(this, DigitalTab, "S/PDIF format", 76,
                             {"&Consumer format (S/PDIF)", "&Professional format (AES/EBU)"});
    DigInAutoMute = CheckBox(this, DigitalTab, "&Auto-mute digital inputs", 16, 96);

    GSIFTab = Page(this, PageControl, "GSIF");
    GsifBufferSize = RadioGroup(this, GSIFTab, "GSIF buffer size", 100,
                                {"&64 samples", "&128 samples", "&256 samples", "&512 samples", "1,&024 samples",
                                 "2,0&48 samples "});
    GsifBufferSize->SetColumns(2);

    SurroundTab = Page(this, PageControl, "Surround");
    SpeakerRow(this, SurroundTab, 0, "Left front", leftfrontreadout, leftfrontslider);
    SpeakerRow(this, SurroundTab, 1, "Right front", rightfrontreadout, rightfrontslider);
    SpeakerRow(this, SurroundTab, 2, "Center front", centerfrontreadout, centerfrontslider);
    SpeakerRow(this, SurroundTab, 3, "Subwoofer", subwooferreadout, subwooferslider);
    SpeakerRow(this, SurroundTab, 4, "Left surround", leftrearreadout, leftrearslider);
    SpeakerRow(this, SurroundTab, 5, "Right surround", rightrearreadout, rightrearslider);
    SpeakerRow(this, SurroundTab, 6, "Channel 7", leftcenterfrontreadout, leftcenterfrontslider);
    SpeakerRow(this, SurroundTab, 7, "Channel 8", rightcenterfrontreadout, rightcenterfrontslider);

    AboutTab = Page(this, PageControl, "About");
    Label(this, AboutTab, "Console version:", 36, 16);
    ConsoleVersionLabel = Label(this, AboutTab, "", 172, 16);
    Label(this, AboutTab, "Driver version:", 36, 40);
    DriverVersionLabel = Label(this, AboutTab, "", 172, 40);
    Image1 = Designed<TImage>(this, AboutTab, 62, 72, 112, 74);
    Image1->SetAutoSize(true);

    OkButton = Designed<TButton>(this, this, 124, 224, 75, 25);
    OkButton->SetText("OK");
    OkButton->SetDefault(true);
    OkButton->SetModalResult(mrOk);
    CancelButton = Designed<TButton>(this, this, 207, 224, 75, 25);
    CancelButton->SetText("Cancel");
    CancelButton->SetCancel(true);
    CancelButton->SetModalResult(mrCancel);

    // The designed events.
    LockedRateCombo->OnEnter = [this](TObject* Sender) { LockedRateComboEnter(Sender); };
    AdvancedButton->OnClick = [this](TObject* Sender) { AdvancedButtonClick(Sender); };
    for (TTrackBar* slider : {leftfrontslider, rightfrontslider, centerfrontslider, subwooferslider, leftrearslider,
                              rightrearslider, leftcenterfrontslider, rightcenterfrontslider})
        slider->OnChange = [this](TObject* Sender) { delaysliderchange(Sender); };
    OkButton->OnClick = [this](TObject* Sender) { OkButtonClick(Sender); };
}
