// TWaveConfig, the modal dialog in which the user decides which pairs of
// card pipes form wave devices: how wide each device is (pairs linked to the
// pair below), whether it is a WDM device of the card driver or a Nimbrel
// device of the wave driver, the card's name and the Nimbrel buffer size.
// Apply sends the configuration and brings it into effect (see
// wave_config_restart.h). TWaveLink is the image button between two rows.
#pragma once

#include <vcl.h>

#include <string>

#include "daveror.h"

// The help the memo shows for the controls under the pointer.
namespace WaveHelp {
extern const std::string General;
extern const std::string Link;
extern const std::string Name;
extern const std::string Width;
// Windows 95/98/Me, and the other platforms.
extern const std::string ModeWdmOnly;
extern const std::string Mode;
extern const std::string CardName;
extern const std::string BufferSize;
}  // namespace WaveHelp

// Rows of each side: the configuration record holds 16 devices a side.
constexpr int WAVE_ROWS = WAVE_CONFIG_ENTRIES;

class TWaveLink : public TImage {
public:
    // Unlinked, transparent, sized to its picture.
    TWaveLink(TComponent* owner, int index, bool output);
    void SetLinked(bool on);
    bool Linked() const { return FLinked; }
    int Index() const { return FIndex; }
    bool Output() const { return FOutput; }

private:
    bool FLinked = false;
    int FIndex;
    bool FOutput;
};

// One channel pair of one side.
struct WaveConfigRow {
    // Pipes of the device that starts here; 0 continues the device above.
    WORD Width = 2;
    // WAVE_MODE_WDM or WAVE_MODE_NIMBREL, on a row that starts a device.
    WORD Mode = WAVE_MODE_WDM;
    // To the row below; null on a side's last row and on cards that cannot link.
    TWaveLink* Link = nullptr;
    TShape* NameFrame = nullptr;
    TLabel* NameLabel = nullptr;
    TShape* WidthFrame = nullptr;
    TLabel* WidthLabel = nullptr;
    TShape* ModeFrame = nullptr;
    TLabel* ModeLabel = nullptr;
};

class TWaveConfig : public TForm {
public:
    // The form, its rows for the card's pipes and the card's configuration.
    TWaveConfig(TComponent* owner, CDaveror* card);
    // The card's transport closed first.
    ~TWaveConfig() override;

    // The form's events.
    void FormActivate(TObject* Sender);
    void FormMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void CardNameMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void NmBufferSizeLabelMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void NmBufferSizeComboChange(TObject* Sender);
    void ApplyButtonClick(TObject* Sender);
    void OkButtonClick(TObject* Sender);
    void CancelButtonClick(TObject* Sender);
    void HelpButtonClick(TObject* Sender);

    // The designed components.
    TBevel* Bevel1;
    TBevel* Bevel2;
    TLabel* Label2;
    TEdit* CardName;
    TLabel* NmBufferSizeLabel;
    TComboBox* NmBufferSizeCombo;
    TLabel* Label3;
    TGroupBox* OutputsBox;
    TGroupBox* InputsBox;
    TButton* ApplyButton;
    TButton* OkButton;
    TButton* CancelButton;
    TButton* HelpButton;
    TMemo* HelpMemo;

    CDaveror* Card() const { return FCard; }
    WORD OutputRows() const { return FOutputRows; }
    WORD InputRows() const { return FInputRows; }
    // Rows 0 to 15 are the outputs, 16 to 31 the inputs.
    WaveConfigRow& Row(bool output, int index) { return FRows[(output ? 0 : WAVE_ROWS) + index]; }
    // The record Apply sends: one entry for each row that starts a device.
    WaveConfigRecord Shown() const;

private:
    // The form resource: the components with their design values, then the
    // designed events.
    void CreateDesign();
    // The headers and rows of one side in its group box.
    void BuildSide(bool output);
    void BuildRow(bool output, int index, int top);
    std::string RowName(bool output, int index) const;
    void FillSide(bool output, const WaveConfigEntry* entries, WORD count);
    void RecomputeWidths(bool output);
    void RefreshDisplay(bool output);
    void RefreshModeLabel(WaveConfigRow& row);
    void LinkClick(TWaveLink* link);
    void ModeClick(bool output, int index);
    // The memo shows `text`, rewritten only when it is another text.
    void ShowHelp(const std::string* text);
    // Mouse-over: the help for the control.
    TMouseMoveEvent HelpOver(const std::string* text);
    WORD Rows(bool output) const { return output ? FOutputRows : FInputRows; }

    CDaveror* FCard;
    const CapabilitiesRecord* FCaps;
    WORD FOutputRows;
    WORD FInputRows;
    WaveConfigRow FRows[2 * WAVE_ROWS];
    bool FHelpShown = false;
    const std::string* FHelpText = nullptr;
};
