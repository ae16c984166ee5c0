#include "console/console_form.h"

#include <algorithm>
#include <initializer_list>

#include "console/CBmpStash.h"
#include "console/card_features.h"
#include "console/fader.h"
#include "console/master_panel.h"
#include "console/mode_panel.h"
#include "console/start_up.h"

namespace {

constexpr int StripWidth = 40;
// The gaps between the analog and the digital inputs, and around the playback strips.
constexpr int GroupGap = 2;
constexpr int SectionGap = 6;
// The group frames and labels under the strips.
constexpr int GroupTop = 533;
constexpr int GroupLabelTop = 534;
constexpr int GroupHeight = 18;
// The six digital inputs and outputs only the ADAT mode has.
constexpr int AdatOnlyChannels = 6;
constexpr int AdatShift = AdatOnlyChannels * StripWidth;

// The frame of a group of strips, below them.
TBevel* GroupBevel(TConsoleForm* form, int left, int width)
{
    auto* bevel = new TBevel(form);
    bevel->SetParent(form);
    bevel->SetTop(GroupTop);
    bevel->SetLeft(left);
    bevel->SetHeight(GroupHeight);
    bevel->SetWidth(width);
    bevel->SetShape(TBevelShape::bsBox);
    return bevel;
}

void CentreLabel(TLabel* label, const TBevel* bevel)
{
    label->SetLeft(bevel->Left() + ((bevel->Width() - label->Width()) >> 1));
    label->SetTop(GroupLabelTop);
}

}  // namespace

TConsoleForm::TConsoleForm(TComponent* owner) : TForm(owner)
{
    CreateDesign();
    SetLeft(20);
    SetTop(20);
    SetControlStyle(ControlStyle() << csOpaque);
    ShutdownMessage = RegisterWindowMessageA("Zavo Korvane3 shutdown");
}

TConsoleForm::~TConsoleForm()
{
    FMasterPanel.reset();
    FBusSelectPanel.reset();
    FModePanel.reset();
    if (FStash) {
        FStash.reset();
        BmpStash = nullptr;
    }
    // The list closes the card's mixer and the card; the strips touch no
    // control when they go, and the controls go with the form.
    FCardList.reset();
}

int TConsoleForm::InputStrips() const { return std::min<int>(Caps->InputBusses, CONSOLE_STRIPS); }

bool TConsoleForm::HasInputStrip(int input) const
{
    return input >= 0 && input < InputStrips() && (Caps->InputFlags[input] & INPUT_FLAG_ABSENT) == 0;
}

int TConsoleForm::PlaybackStrips() const
{
    return Caps->VirtualOutputs != 0 ? std::min<int>(Caps->OutputPipes, CONSOLE_STRIPS) : 2;
}

bool TConsoleForm::SetupCard(CDaveror* card, CDaverorList* list)
{
    DisplayedBus = 0;
    FCard = card;
    FCardList.reset(list);
    Meters = &card->Meters();

    FStash = std::make_unique<CBmpStash>();
    BmpStash = FStash.get();

    FCard->Open();
    if (FCard->OpenMixer() != 0) {
        Application->MessageBox("The driver could not allocate memory for the console.", ErrorCaption, MB_OK);
        return false;
    }
    BindCapabilities();
    BusCount = static_cast<WORD>(std::min<int>(Caps->OutputBusses, CONSOLE_STRIPS));

    if (Caps->VirtualOutputs != 0 && Caps->OutputPipes + Caps->InputBusses > 18) {
        WideLayout = 1;
        Constraints().MaxHeight = 596;
        Constraints().MinHeight = 596;
        Constraints().MaxWidth = Screen->DesktopWidth();
        SetBorderStyle(TFormBorderStyle::bsSizeable);
        SetAutoScroll(true);
    } else {
        WideLayout = 0;
    }

    LayOutGroups();
    int x = BuildInputStrips() + SectionGap;
    x = BuildPlaybackStrips(x);
    PlaceButtons(x);
    x += SectionGap;
    if (WideLayout)
        SetWidth(Screen->DesktopWidth() * 4 / 5);
    else
        SetClientWidth(x + 124);

    FMasterPanel = std::make_unique<CMasterPanel>(x, this, FCard, *Caps);
    FBusSelectPanel = std::make_unique<CBusSelectPanel>(x, this, *Caps);
    FModePanel = std::make_unique<CModePanel>();
    FModePanel->Setup(FCard, x);
    SetDigitalModeLayout(FModePanel->DigitalMode());

    int left = Left();
    int top = Top();
    RestoreWindowState(left, top);

    if (AutoLoadSession && !SessionName.empty())
        ReadSession(SessionName);
    else
        SessionName.clear();

    if (AlwaysOnTop) SetFormStyle(fsStayOnTop);
    if (WideLayout) SetHeight(Constraints().MaxHeight);

    MeterTimer->SetEnabled(true);
    Show();
    SetLeft(left);
    SetTop(top);
    SetActiveControl(FMasterPanel->Fader(0));
    return true;
}

void TConsoleForm::LayOutGroups()
{
    // Only the strips built count, and the analog group's width is 0 while it is hidden.
    const int inputs = InputStrips();
    const int analog = std::min<int>(Caps->AnalogInputBusses, inputs);
    if (Caps->InputBusses == 0 || (Caps->InputFlags[0] & INPUT_FLAG_ABSENT) != 0) {
        AnalogInLabel->Hide();
    } else {
        AnalogInBevel = GroupBevel(this, 0, analog * StripWidth);
        CentreLabel(AnalogInLabel, AnalogInBevel);
    }

    int g = 0;
    if (Caps->InputBusses == Caps->AnalogInputBusses) {
        DigitalInLabel->Hide();
    } else {
        const int analogWidth = AnalogInBevel != nullptr ? AnalogInBevel->Width() : 0;
        DigitalInBevel = GroupBevel(this, analogWidth + GroupGap, std::max(inputs - analog, 0) * StripWidth);
        CentreLabel(DigitalInLabel, DigitalInBevel);
        g = GroupGap;
    }

    // Absent inputs count here as if they had strips.
    const int playbackLeft = g + SectionGap + (AnalogInLabel->Visible() ? inputs * StripWidth : 0);
    const int playbackWidth = Caps->VirtualOutputs != 0 ? PlaybackStrips() * StripWidth : 2 * StripWidth;
    PlaybackBevel = GroupBevel(this, playbackLeft, playbackWidth);
    if (Caps->VirtualOutputs != 0) PipeOutLabel->SetText("Virtual out");
    CentreLabel(PipeOutLabel, PlaybackBevel);
}

int TConsoleForm::BuildInputStrips()
{
    int x = 0;
    for (int i = 0; i < InputStrips(); ++i) {
        if (!HasInputStrip(i)) continue;
        if (i == Caps->AnalogInputBusses) x += GroupGap;
        InStrips[i].Init(this, x, FCard, static_cast<WORD>(i), *Caps);
        x += StripWidth;
    }
    // Only pairs of two strips: a strip without its partner stays unganged.
    for (int i = 0; i + 1 < InputStrips(); i += 2) {
        if (!HasInputStrip(i) || !HasInputStrip(i + 1)) continue;
        InStrips[i].Link(InStrips[i + 1]);
        InStrips[i + 1].Link(InStrips[i]);
    }
    return x;
}

int TConsoleForm::BuildPlaybackStrips(int x)
{
    const DWORD virtualOutputs = Caps->VirtualOutputs != 0 ? 1 : 0;
    for (int j = 0; j < PlaybackStrips(); ++j) {
        OutStrips[j].Init(this, x, FCard, virtualOutputs, static_cast<WORD>(j), *Caps);
        x += StripWidth;
    }
    for (int j = 0; j + 1 < PlaybackStrips(); j += 2) {
        OutStrips[j].Link(OutStrips[j + 1]);
        OutStrips[j + 1].Link(OutStrips[j]);
    }
    return x;
}

void TConsoleForm::PlaceButtons(int x)
{
    const int width = SettingsButton->Width();
    const int left = x - width - (80 - width) / 2;
    SettingsButton->SetLeft(left);
    LoadButton->SetLeft(left);
    SaveButton->SetLeft(left + LoadButton->Width());
}

void TConsoleForm::BindCapabilities()
{
    Caps = &FCard->Caps();
    UpdateCaption();
}

void TConsoleForm::UpdateCaption()
{
    std::string text = Format("%s Console", FCard->GetCardName());
    if (!SessionName.empty()) {
        // The file's base name: its folder first, then its extension.
        std::string name = SessionName;
        if (const auto slash = name.find_last_of("/\\"); slash != std::string::npos) name.erase(0, slash + 1);
        if (const auto dot = name.rfind('.'); dot != std::string::npos) name.erase(dot);
        text += " - " + name;
    }
    SetText(text);
    Application->SetTitle(text);
}

void TConsoleForm::SelectBus(int bus, bool force)
{
    if (bus < 0 || bus % 2 != 0 || bus >= BusCount) return;
    if (!force && bus == DisplayedBus) return;
    const auto pair = static_cast<WORD>(bus);
    for (int i = 0; i < InputStrips(); ++i)
        if (HasInputStrip(i)) InStrips[i].SetBus(pair);
    if (Caps->VirtualOutputs != 0) {
        for (int j = 0; j < PlaybackStrips(); ++j)
            OutStrips[j].SetBus(pair);
    } else {
        OutStrips[0].SetBus(pair);
        OutStrips[1].SetBus(static_cast<WORD>(pair + 1));
    }
    FMasterPanel->SelectBus(pair);
    FBusSelectPanel->SelectBus(pair);
    DisplayedBus = pair;
}

void TConsoleForm::SetDigitalModeLayout(int mode)
{
    if (!HasDigitalModeSwitch(*Caps)) return;
    if (mode == DIGITAL_MODE_SPDIF_OPTICAL) mode = DIGITAL_MODE_SPDIF_RCA;
    if (mode == DigitalLayoutMode) return;
    DigitalLayoutMode = mode;
    // The wide window keeps every digital strip and pair.
    if (WideLayout) return;

    const bool adat = mode == DIGITAL_MODE_ADAT;
    // A window not shown yet is not shown early by its re-layout.
    const bool shown = Visible();
    Hide();
    if (DigitalInBevel != nullptr) {
        if (adat) {
            SetControlStyle(ControlStyle() >> csOpaque);
            DigitalInBevel->SetWidth(8 * StripWidth);
            SetControlStyle(ControlStyle() << csOpaque);
        } else {
            DigitalInBevel->SetWidth(2 * StripWidth);
        }
    }
    for (int i = Caps->AnalogInputBusses + 2; i < InputStrips(); ++i)
        if (HasInputStrip(i)) InStrips[i].SetVisible(adat);
    if (DigitalInBevel != nullptr) CentreLabel(DigitalInLabel, DigitalInBevel);

    const int d = adat ? AdatShift : -AdatShift;
    SetControlStyle(ControlStyle() >> csOpaque);
    const int playback = Caps->VirtualOutputs != 0 ? PlaybackStrips() : 2;
    for (int j = 0; j < playback; ++j)
        OutStrips[j].Shift(d);
    FBusSelectPanel->Shift(d);
    FMasterPanel->Shift(d);
    FModePanel->Shift(d);
    for (TControl* control : std::initializer_list<TControl*>{PlaybackBevel, SettingsButton, LoadButton, SaveButton,
                                                              PipeOutLabel})
        control->SetLeft(control->Left() + d);
    SetControlStyle(ControlStyle() << csOpaque);
    // The right edge stays put.
    SetWidth(Width() + d);
    SetLeft(Left() - d);

    const int busses = std::min<int>(Caps->OutputBusses, CONSOLE_STRIPS);
    const int count = adat ? busses : std::max(busses - AdatOnlyChannels, 0);
    if (!adat) {
        // The pair shown must lie within the busses that stay.
        if (Caps->AnalogInputBusses < DisplayedBus) SelectBus(Caps->AnalogInputBusses, false);
        if (DisplayedBus >= count) SelectBus(0, false);
    }
    BusCount = static_cast<WORD>(count);
    FBusSelectPanel->SetBusCount(BusCount);
    if (shown) Show();
}

void TConsoleForm::SetAlwaysOnTop() { SetFormStyle(AlwaysOnTop ? fsStayOnTop : fsNormal); }

void TConsoleForm::FormKeyDown(TObject*, Word& Key, TShiftState)
{
    if (Key == VK_F4 && GetKeyState(VK_MENU) < 0) {
        Close();
    } else if (Key == 'A') {
        AlwaysOnTop = !AlwaysOnTop;
        SetAlwaysOnTop();
    } else if (Key == 'F') {
        if (!SessionName.empty()) {
            const std::string caption = Caption();
            SetText(caption + " - saving...");
            WriteSession(SessionName);
            SetText(caption);
        } else {
            SaveButtonClick(this);
        }
    } else if (Key >= VK_F1 && Key <= VK_F12) {
        // The focused control gets the reduced code, and ignores it.
        Key -= VK_F1;
        SelectBus(2 * Key, false);
    }
}

void TConsoleForm::AppEventsMessage(TMessage& Msg, HWND, bool& Handled)
{
    Handled = Msg.Msg == ShutdownMessage;
    if (Handled) Close();
}

void TConsoleForm::FormConstrainedResize(TObject*, int&, int& MinHeight, int&, int& MaxHeight)
{
    MinHeight = Constraints().MaxHeight;
    MaxHeight = Constraints().MaxHeight;
}

void TConsoleForm::FormClose(TObject*, TCloseAction& Action)
{
    if (AutoSaveSession && !SessionName.empty()) WriteSession(SessionName);
    SaveWindowState();
    Action = caFree;
}
