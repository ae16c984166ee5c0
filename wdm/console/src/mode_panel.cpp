#include "console/mode_panel.h"

#include <initializer_list>

#include "console/card_features.h"
#include "console/console_form.h"

namespace {

// The input-clock sources by their bit in the clock mask.
const char* const ClockNames[] = {"Internal", "Word", "Super", "S/PDIF", "ADAT", "Orsync", "Orsync96", "MTC"};
constexpr int ClockSources = 8;
// ADAT never has a button of its own: it takes the S/PDIF button in the ADAT mode.
constexpr int ClockSpdif = 3;
constexpr int ClockAdat = 4;

TConsoleForm* ConsoleWindow()
{
    auto* form = dynamic_cast<TConsoleForm*>(Application->MainForm());
    if (form == nullptr) throw EInvalidOperation("The clock panel belongs on the console window");
    return form;
}

}  // namespace

CModePanel::CModePanel() : m_Form(ConsoleWindow())
{
    TSpeedButton* const buttons[] = {m_Form->InternalButton, m_Form->ClockButton1, m_Form->ClockButton2,
                                     m_Form->ClockButton3, m_Form->ClockButton4};
    TShape* const leds[] = {m_Form->InternalLed, m_Form->ClockLed1, m_Form->ClockLed2, m_Form->ClockLed3,
                            m_Form->ClockLed4};
    for (DWORD k = 0; k < CLOCK_BUTTONS; ++k) {
        m_Entries[k].Button = buttons[k];
        m_Entries[k].Led = leds[k];
    }
    for (TSpeedButton* button : {m_Form->SpdifRcaButton, m_Form->SpdifOpticalButton, m_Form->AdatOpticalButton})
        button->OnClick = [this](TObject* Sender) { ModeClick(Sender); };
}

void CModePanel::Setup(CDaveror* card, int x)
{
    m_Card = card;
    m_Meters = &card->Meters();
    m_Caps = &card->Caps();
    Shift(x);

    const DWORD mask = m_Caps->InputClockMask;
    DWORD k = 0;
    for (int j = 0; j < ClockSources; ++j) {
        if (j == ClockAdat) continue;
        // Where S/PDIF goes, whether the card offers it or not.
        if (j == ClockSpdif) m_DigitalClockSlot = static_cast<int>(k);
        if ((mask & (1u << j)) != 0 && k < CLOCK_BUTTONS) {
            ClockEntry& entry = m_Entries[k];
            entry.ClockIndex = j;
            entry.Mask = 1u << j;
            entry.Button->SetText(ClockNames[j]);
            entry.Button->OnClick = [this](TObject* Sender) { ClockClick(Sender); };
            ++k;
        }
    }
    m_ButtonCount = k;
    for (; k < CLOCK_BUTTONS; ++k) {
        m_Entries[k].Button->Hide();
        m_Entries[k].Led->Hide();
    }
    if (mask == 1) {  // the internal clock only: nothing to choose
        m_Form->InternalButton->Hide();
        m_Form->InternalLed->Hide();
        m_Form->ClockLabel->Hide();
    }

    if (m_Caps->Family == FAMILY_OUTPUT_CLOCK) {
        m_Form->SpdifRcaButton->SetText("Word out");
        m_Form->SpdifOpticalButton->SetText("Super out");
        m_Form->AdatOpticalButton->Hide();
    } else if (!HasDigitalModeSwitch(*m_Caps)) {
        for (TControl* control : std::initializer_list<TControl*>{m_Form->SpdifRcaButton, m_Form->SpdifOpticalButton,
                                                                  m_Form->AdatOpticalButton, m_Form->DMSLabel})
            control->Hide();
    }

    ReadInputClock();
    if (HasDigitalModeSwitch(*m_Caps)) {
        ReadDigitalMode();
    } else if (m_Caps->Family == FAMILY_OUTPUT_CLOCK) {
        DWORD clock = 0;
        m_Card->GetOutputClock(&clock);
        if (clock == 1)
            m_Form->SpdifRcaButton->SetDown(true);
        else if (clock == 2)
            m_Form->SpdifOpticalButton->SetDown(true);
        m_Form->DMSLabel->SetText("Output clock");
    }
}

void CModePanel::SetLed(TShape* led, TColor color)
{
    // The shape hears nothing of its brush; only a change is worth a repaint.
    if (led->Brush()->Color == color) return;
    led->Brush()->Color = color;
    led->Invalidate();
}

void CModePanel::ShowDetectedClocks()
{
    // The first entry's LED keeps its colour.
    for (DWORD k = 1; k < m_ButtonCount; ++k)
        SetLed(m_Entries[k].Led, (m_Meters->DetectedClocks & m_Entries[k].Mask) != 0 ? clLime : clBlack);
}

void CModePanel::ClockClick(TObject*)
{
    for (DWORD k = 0; k < m_ButtonCount; ++k) {
        const ClockEntry& entry = m_Entries[k];
        if (!entry.Button->Down()) continue;
        if ((m_Meters->DetectedClocks & entry.Mask) != 0) {
            m_InputClock = entry.ClockIndex;
            m_Card->SetInputClock(static_cast<DWORD>(entry.ClockIndex));
        } else {
            // A source that is not there cannot be chosen: said without a word.
            PressClockButton(m_InputClock);
        }
        return;
    }
}

void CModePanel::ModeClick(TObject*)
{
    if (HasDigitalModeSwitch(*m_Caps)) {
        const int mode = m_Form->SpdifOpticalButton->Down() ? DIGITAL_MODE_SPDIF_OPTICAL
                         : m_Form->AdatOpticalButton->Down() ? DIGITAL_MODE_ADAT
                                                             : DIGITAL_MODE_SPDIF_RCA;
        if (m_Card->SetDigitalMode(static_cast<DWORD>(mode)) == 0) {
            m_DigitalMode = mode;
        } else {
            ShowDigitalMode(m_DigitalMode);
            Application->MessageBox("The digital mode cannot be changed while your hardware is in use.",
                                    Application->Title(), MB_OK);
        }
        UpdateDigitalClockButton();
        m_Form->SetDigitalModeLayout(m_DigitalMode);
    } else if (m_Caps->Family == FAMILY_OUTPUT_CLOCK) {
        m_Card->SetOutputClock(m_Form->SpdifRcaButton->Down() ? 1 : 2);
    }
}

void CModePanel::PressClockButton(int clockIndex)
{
    const DWORD k = FindClockButton(clockIndex);
    if (k < m_ButtonCount) m_Entries[k].Button->SetDown(true);
}

void CModePanel::ReadInputClock()
{
    DWORD clock = 0;
    m_Card->GetInputClock(&clock);
    m_InputClock = static_cast<int>(clock);
    PressClockButton(m_InputClock);
}

void CModePanel::ReadDigitalMode()
{
    DWORD mode = 0;
    m_Card->GetDigitalMode(&mode);
    m_DigitalMode = static_cast<int>(mode);
    ShowDigitalMode(m_DigitalMode);
    UpdateDigitalClockButton();
}

void CModePanel::ReadMode()
{
    if (HasDigitalModeSwitch(*m_Caps)) {
        ReadDigitalMode();
        m_Form->SetDigitalModeLayout(m_DigitalMode);
    } else if (m_Caps->Family == FAMILY_OUTPUT_CLOCK) {
        DWORD clock = 0;
        m_Card->GetOutputClock(&clock);
        (clock == 1 ? m_Form->SpdifRcaButton : m_Form->SpdifOpticalButton)->SetDown(true);
    }
}

void CModePanel::ShowDigitalMode(int mode)
{
    switch (mode) {
    case DIGITAL_MODE_SPDIF_RCA: m_Form->SpdifRcaButton->SetDown(true); break;
    case DIGITAL_MODE_SPDIF_OPTICAL: m_Form->SpdifOpticalButton->SetDown(true); break;
    case DIGITAL_MODE_ADAT: m_Form->AdatOpticalButton->SetDown(true); break;
    default: break;
    }
}

void CModePanel::UpdateDigitalClockButton()
{
    // Only a card that offers S/PDIF has its button to relabel.
    if ((m_Caps->InputClockMask & (1u << ClockSpdif)) == 0) return;
    const auto slot = static_cast<DWORD>(m_DigitalClockSlot);
    if (slot >= m_ButtonCount) return;
    ClockEntry& entry = m_Entries[slot];
    entry.ClockIndex = m_DigitalMode == DIGITAL_MODE_ADAT ? ClockAdat : ClockSpdif;
    entry.Mask = 1u << entry.ClockIndex;
    entry.Button->SetText(ClockNames[entry.ClockIndex]);
    SetLed(entry.Led, clBlack);
}

DWORD CModePanel::FindClockButton(int clockIndex) const
{
    for (DWORD k = 0; k < m_ButtonCount; ++k)
        if (m_Entries[k].ClockIndex == clockIndex) return k;
    return m_ButtonCount;
}

void CModePanel::Shift(int dx)
{
    for (TControl* control : std::initializer_list<TControl*>{
             m_Form->ModePanelBevel, m_Form->ClockLabel, m_Form->DMSLabel, m_Form->SpdifRcaButton,
             m_Form->SpdifOpticalButton, m_Form->AdatOpticalButton, m_Form->InternalButton, m_Form->ClockButton1,
             m_Form->ClockButton2, m_Form->ClockButton3, m_Form->ClockButton4, m_Form->InternalLed,
             m_Form->ClockLed1, m_Form->ClockLed2, m_Form->ClockLed3, m_Form->ClockLed4})
        control->SetLeft(control->Left() + dx);
}
