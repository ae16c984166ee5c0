// CModePanel, the clock corner of the console window: up to five input-clock
// buttons for the sources the card offers, each with an LED that is lit while
// the source is present, and three buttons that choose the card's digital
// I/O mode (or, on the family with a clock output, that output's clock). The
// buttons, LEDs, labels and frame are the window's own components; the panel
// binds, labels, hides, moves and drives them.
#pragma once

#include <vcl.h>

#include "daveror.h"

class TConsoleForm;

// The buttons the input-clock sources can take.
constexpr DWORD CLOCK_BUTTONS = 5;

class CModePanel {
public:
    // One input-clock source on a button.
    struct ClockEntry {
        int ClockIndex = 0;  // the source's bit in the clock mask, and its CDaveror::SetInputClock value
        DWORD Mask = 0;      // 1 << ClockIndex
        TSpeedButton* Button = nullptr;
        TShape* Led = nullptr;
    };

    // Binds the entries to the console window's clock buttons and LEDs, found
    // as the application's main form, and takes the mode buttons' clicks.
    CModePanel();
    CModePanel(const CModePanel&) = delete;
    CModePanel& operator=(const CModePanel&) = delete;

    // Moves the panel right by x and shows the card's sources, clock and mode.
    void Setup(CDaveror* card, int x);
    // Every entry's LED but the first from the meter record's detected clocks.
    void ShowDetectedClocks();
    // A clock button's click: the source is taken only while it is present.
    void ClockClick(TObject* Sender);
    // A mode button's click.
    void ModeClick(TObject* Sender);
    void ReadInputClock();
    void ReadMode();
    // Presses the mode button of `mode`; other values change nothing.
    void ShowDigitalMode(int mode);
    // The S/PDIF source's button becomes "ADAT" in the ADAT mode, "S/PDIF"
    // otherwise, its LED dark until the next tick.
    void UpdateDigitalClockButton();
    // The position of the entry showing source `clockIndex`; ButtonCount() when none does.
    DWORD FindClockButton(int clockIndex) const;
    void Shift(int dx);

    int DigitalMode() const { return m_DigitalMode; }
    int InputClock() const { return m_InputClock; }
    DWORD ButtonCount() const { return m_ButtonCount; }
    int DigitalClockSlot() const { return m_DigitalClockSlot; }
    const ClockEntry& Entry(DWORD k) const { return m_Entries[k]; }

private:
    // Presses the button showing source `clockIndex`, if one does.
    void PressClockButton(int clockIndex);
    // The card's digital mode, shown on its button and the S/PDIF source's.
    void ReadDigitalMode();
    static void SetLed(TShape* led, TColor color);

    ClockEntry m_Entries[CLOCK_BUTTONS];
    DWORD m_ButtonCount = 0;
    CDaveror* m_Card = nullptr;
    const CapabilitiesRecord* m_Caps = nullptr;
    const MeterRecord* m_Meters = nullptr;
    int m_InputClock = 0;
    int m_DigitalMode = 0;
    int m_DigitalClockSlot = 0;
    TConsoleForm* m_Form;
};
