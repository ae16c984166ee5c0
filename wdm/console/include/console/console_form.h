// TConsoleForm, the console's main window: the form TCONSOLEFORM with its
// buttons, group labels and clock-panel components, and the strips and
// panels SetupCard builds on it for the one card the console shows. It owns
// the card list (and through it the card), the panels and the bitmap stash;
// the controls the strips and panels create belong to the form.
//
// A meter tick (MeterPing, every 40 ms) feeds every meter from the card and
// applies the card's change notifications; window state is kept in the
// registry under "Software\Zavo Systems\Korvane3\<card name>".
#pragma once

#include <vcl.h>

#include <memory>
#include <string>

#include "console/bus_in_strip.h"
#include "console/bus_select.h"
#include "console/pipe_out_strip.h"
#include "daveror_list.h"

class CBmpStash;
class CMasterPanel;
class CModePanel;

// Strips of each kind the window can hold; inputs and pipes beyond them get none.
constexpr int CONSOLE_STRIPS = 16;

class TConsoleForm : public TForm, public IBusSelectHost {
public:
    // The designed form, at (20, 20), with the shutdown message registered.
    explicit TConsoleForm(TComponent* owner);
    ~TConsoleForm() override;

    // Opens the card and its mixer, lays the window out for it and restores
    // the window state. The form owns `list` from here on. False (after a
    // message) only when the mixer cannot be opened.
    bool SetupCard(CDaveror* card, CDaverorList* list);
    // Takes the card's capabilities (again) and renews the caption.
    void BindCapabilities();
    // "<card name> Console", and " - <session>" with a session name; the
    // application's title follows.
    void UpdateCaption();
    // Shows output pair `bus` (its even bus) on every strip and panel. Nothing
    // for a negative or odd bus, one at or past BusCount, or the pair shown
    // unless forced.
    void SelectBus(int bus, bool force) override;
    // Re-lays the narrow window for digital mode `mode`: the ADAT inputs and
    // pairs show only in mode 2.
    void SetDigitalModeLayout(int mode);
    void SetAlwaysOnTop();

    // The session files and the settings dialog.
    void WriteSession(const std::string& path);
    void ReadSession(const std::string& path);
    void SettingsButtonClick(TObject* Sender);
    void LoadButtonClick(TObject* Sender);
    void SaveButtonClick(TObject* Sender);

    // The form's events.
    void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void FormConstrainedResize(TObject* Sender, int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight);
    void AppEventsMessage(TMessage& Msg, HWND Window, bool& Handled);
    // The meter tick: every meter and clock LED from one meter read, then the
    // card's change notifications unless a fader, pan or trim is held.
    void MeterPing(TObject* Sender);

    // The strips built: inputs below InputStrips() that are present, and
    // PlaybackStrips() playback strips (every pipe with virtual outputs, else two).
    int InputStrips() const;
    bool HasInputStrip(int input) const;
    int PlaybackStrips() const;
    CMasterPanel* MasterPanel() const { return FMasterPanel.get(); }
    CBusSelectPanel* BusSelectPanel() const { return FBusSelectPanel.get(); }
    CModePanel* ModePanel() const { return FModePanel.get(); }
    CDaveror* Card() const { return FCard; }

    // The designed components.
    TButton* SettingsButton;
    TButton* LoadButton;
    TButton* SaveButton;
    TLabel* AnalogInLabel;
    TLabel* DigitalInLabel;
    TLabel* PipeOutLabel;
    TBevel* ModePanelBevel;
    TLabel* ClockLabel;
    TSpeedButton* InternalButton;
    TSpeedButton* ClockButton1;
    TSpeedButton* ClockButton2;
    TSpeedButton* ClockButton3;
    TSpeedButton* ClockButton4;
    TShape* InternalLed;
    TShape* ClockLed1;
    TShape* ClockLed2;
    TShape* ClockLed3;
    TShape* ClockLed4;
    TLabel* DMSLabel;
    TSpeedButton* SpdifRcaButton;
    TSpeedButton* SpdifOpticalButton;
    TSpeedButton* AdatOpticalButton;
    TTimer* MeterTimer;
    TApplicationEvents* AppEvents;

    // A strip's place is its input or playback index; see HasInputStrip and PlaybackStrips.
    CBusInStrip InStrips[CONSOLE_STRIPS];
    CPipeOutStrip OutStrips[CONSOLE_STRIPS];
    // The card's records, as the card object holds them.
    const CapabilitiesRecord* Caps = nullptr;
    const MeterRecord* Meters = nullptr;
    // The even output bus of the pair shown.
    WORD DisplayedBus = 0;
    // Output busses selectable: at most 16, 6 fewer outside the ADAT layout.
    WORD BusCount = 0;
    int WideLayout = 0;
    UINT ShutdownMessage = 0;
    // The group frames; null when the group has none.
    TBevel* AnalogInBevel = nullptr;
    TBevel* DigitalInBevel = nullptr;
    TBevel* PlaybackBevel = nullptr;
    int SettingsPage = 0;
    int DigitalLayoutMode = 2;
    std::string SessionName;
    int AutoLoadSession = 1;
    int AutoSaveSession = 1;
    int LoadSessionWaveConfig = 1;
    int AlwaysOnTop = 0;

private:
    // The form resource: the components with their design values, then the
    // designed events.
    void CreateDesign();
    // SetupCard's steps.
    void LayOutGroups();
    int BuildInputStrips();
    int BuildPlaybackStrips(int x);
    void PlaceButtons(int x);
    void RestoreWindowState(int& left, int& top);
    void SaveWindowState();
    std::string RegistryKey() const;
    // The notifications the card driver has for this console, applied.
    void ApplyNotifications();

    std::unique_ptr<CMasterPanel> FMasterPanel;
    std::unique_ptr<CBusSelectPanel> FBusSelectPanel;
    std::unique_ptr<CModePanel> FModePanel;
    std::unique_ptr<CBmpStash> FStash;
    std::unique_ptr<CDaverorList> FCardList;
    CDaveror* FCard = nullptr;
};
