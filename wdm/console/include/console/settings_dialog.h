// TSettingsDialog, the console's modal settings dialog: the card settings
// that live in the card driver, the console's own options, the way into the
// wave-device configuration dialog and the versions. It changes nothing in
// the card itself: the console window fills its fields, and OK copies the
// user's choices back into them for the window to apply.
#pragma once

#include <vcl.h>

#include "daveror.h"

constexpr int SPEAKERS = 8;

class TSettingsDialog : public TForm {
public:
    // The form TSETTINGSDIALOG, then the fields' first values.
    explicit TSettingsDialog(TComponent* owner);

    // Fills the controls from the fields and the arguments; the window sets
    // PageIndex, GsifSize, AutoLoad, AutoSave, OnTop, LoadWaveConfig and
    // SpeakerDelays first.
    void Setup(DWORD spdifFormat, DWORD rateLocked, CDaveror* card, WORD familyCode, DWORD syncWave,
               DWORD lockedRate);

    // The form's events.
    void OkButtonClick(TObject* Sender);
    void LockedRateComboEnter(TObject* Sender);
    void AdvancedButtonClick(TObject* Sender);
    void delaysliderchange(TObject* Sender);

    // The designed components.
    TPageControl* PageControl;
    TTabSheet* Driver;
    TRadioGroup* SampleRateLock;
    TComboBox* LockedRateCombo;
    TCheckBox* SyncWaveDevs;
    TButton* AdvancedButton;
    TTabSheet* Sessions;
    TCheckBox* AutoLoadSession;
    TCheckBox* AutoSaveSession;
    TCheckBox* LoadSessionWaveConfig;
    TCheckBox* AlwaysOnTop;
    TTabSheet* DigitalTab;
    TRadioGroup* SpdifFormat;
    TCheckBox* DigInAutoMute;
    TTabSheet* GSIFTab;
    TRadioGroup* GsifBufferSize;
    TTabSheet* SurroundTab;
    TLabel* leftfrontreadout;
    TTrackBar* leftfrontslider;
    TLabel* rightfrontreadout;
    TTrackBar* rightfrontslider;
    TLabel* centerfrontreadout;
    TTrackBar* centerfrontslider;
    TLabel* subwooferreadout;
    TTrackBar* subwooferslider;
    TLabel* leftrearreadout;
    TTrackBar* leftrearslider;
    TLabel* rightrearreadout;
    TTrackBar* rightrearslider;
    TLabel* leftcenterfrontreadout;
    TTrackBar* leftcenterfrontslider;
    TLabel* rightcenterfrontreadout;
    TTrackBar* rightcenterfrontslider;
    TTabSheet* AboutTab;
    TLabel* ConsoleVersionLabel;
    TLabel* DriverVersionLabel;
    TImage* Image1;
    TButton* OkButton;
    TButton* CancelButton;

    // The rates LockedRateCombo lists, in its order, and how many.
    const DWORD* RateList = nullptr;
    int RateCount = 0;
    CDaveror* Card = nullptr;
    int SpdifProfessional = 0;
    int RateLocked = 0;
    int LockedRate = 0;
    int SyncWave = 0;
    int PageIndex = 0;
    int GsifSize = 128;
    int AutoLoad = 1;
    int AutoSave = 1;
    int OnTop = 0;
    int DigInAutoMuteOn = 0;
    int LoadWaveConfig = 0;
    int SpeakerDelays[SPEAKERS] = {};

private:
    struct SpeakerControl {
        TLabel* Readout;
        TTrackBar* Slider;
    };
    // The form resource: the components with their design values, then the
    // designed events.
    void CreateDesign();
    void FillSpeakerControls();
    void ShowDriverVersion();
    SpeakerControl SpeakerControls[SPEAKERS] = {};
};
