#include "console/master_panel.h"

#include <iterator>

#include "console/fader.h"
#include "console/fader_readout.h"
#include "console/gang.h"
#include "console/mute.h"
#include "console/nominal.h"
#include "console/placement.h"

CMasterPanel::CMasterPanel(int left, TWinControl* parent, CDaveror* card, const CapabilitiesRecord& caps)
    : m_Caps(caps)
{
    BuildPairNames();

    m_Bevel = new TBevel(parent);
    m_Bevel->SetParent(parent);
    m_Bevel->SetLeft(left);
    m_Bevel->SetTop(parent->ClientHeight() >> 1);
    m_Bevel->SetWidth(120);
    m_Bevel->SetHeight(parent->ClientHeight() - m_Bevel->Top() - 4);

    for (WORD i = 0; i < 2; ++i) {
        const int x = left + i * 80;
        m_Readouts[i] = new TFaderReadout(parent, 0);
        m_Readouts[i]->SetLeft(m_Readouts[i]->Left() + x);
        m_Faders[i] = Place(new TBusOutFader(parent, m_Readouts[i]), parent, x, card);
        m_Faders[i]->SetBus(i);
        m_Faders[i]->UpdateFromDriver();
        m_Faders[i]->OnChange = [fader = m_Faders[i]](TObject* Sender) { fader->SliderChange(Sender); };
    }
    for (WORD i = 0; i < 2; ++i) {
        m_Mutes[i] = Place(new TBusOutMute(parent), parent, left + i * 80, card);
        m_Mutes[i]->SetBus(i);
        m_Mutes[i]->UpdateFromDriver();
        m_Mutes[i]->BindClickHandler();
    }
    for (WORD i = 0; i < 2; ++i) {
        m_Nominals[i] = Place(new TNominalOutButton(parent), parent, left + i * 80, card);
        m_Nominals[i]->SetBus(i);
        m_Nominals[i]->UpdateFromDriver();
        m_Nominals[i]->OnClick = [nominal = m_Nominals[i]](TObject* Sender) { nominal->NominalChange(Sender); };
        m_Nominals[i]->SetVisible((caps.OutputBusFlags[i] & BUS_FLAG_NOMINAL) != 0);
    }

    m_NameLabel = new TLabel(parent);
    m_NameLabel->SetAlignment(taCenter);
    m_NameLabel->SetAutoSize(false);
    m_NameLabel->SetParent(parent);
    m_NameLabel->SetLeft(left + 10);
    m_NameLabel->SetTop(526);
    m_NameLabel->SetHeight(16);
    m_NameLabel->SetWidth(100);
    m_NameLabel->SetText(m_PairNames[0]);
    m_NameLabel->Font()->SetStyle({fsBold});
    m_NameLabel->Font()->SetHeight(16);

    m_Gang = new TGang(parent);
    m_Gang->SetParent(parent);
    m_Gang->SetLeft(left + ((120 - m_Gang->Width()) >> 1));
    m_Gang->SetTop(m_Gang->Top() + 29);

    for (int i = 0; i < 2; ++i) {
        m_Faders[i]->SetPartner(m_Faders[1 - i]);
        m_Mutes[i]->SetPartner(m_Mutes[1 - i]);
        m_Nominals[i]->SetPartner(m_Nominals[1 - i]);
        m_Faders[i]->SetGang(m_Gang);
        m_Mutes[i]->SetGang(m_Gang);
        m_Nominals[i]->SetGang(m_Gang);
    }

    // Should an allocation fail from here on, what the panel made of its own
    // goes with the members already built; the controls stay the window's.
    m_Meters[0] = std::make_unique<CPeakMeter>(parent, left + 35, 300, true, 40);
    m_Meters[1] = std::make_unique<CPeakMeter>(parent, left + 75, 300, false, 0);
    m_GangStates = CGangStates(caps.OutputBusses);
}

void CMasterPanel::BuildPairNames()
{
    int k = 0;
    WORD b = 0;
    for (; b < m_Caps.AnalogOutputBusses && k < MASTER_PANEL_PAIRS; b += 2, ++k)
        m_PairNames[k] = Format("Analog out %d/%d", b + 1, b + 2);
    for (int n = 0; b < m_Caps.OutputBusses && k < MASTER_PANEL_PAIRS; b += 2, n += 2, ++k)
        m_PairNames[k] = Format("Digital out %d/%d", n + 1, n + 2);
}

void CMasterPanel::SelectBus(WORD bus)
{
    m_GangStates.Store(m_Faders[0]->Bus(), *m_Gang);
    const int pair = bus / 2;
    m_NameLabel->SetText(pair < MASTER_PANEL_PAIRS ? m_PairNames[pair] : std::string());
    for (WORD i = 0; i < 2; ++i) {
        m_Faders[i]->SetBus(bus + i);
        m_Mutes[i]->SetBus(bus + i);
    }
    // A bus without the switch hides its button, which keeps its bus.
    for (WORD i = 0; i < 2; ++i) {
        const WORD b = bus + i;
        const bool has = b < std::size(m_Caps.OutputBusFlags) && (m_Caps.OutputBusFlags[b] & BUS_FLAG_NOMINAL) != 0;
        m_Nominals[i]->SetVisible(has);
        if (has) m_Nominals[i]->SetBus(b);
    }
    for (int i = 0; i < 2; ++i) {
        m_Faders[i]->UpdateFromDriver();
        m_Mutes[i]->UpdateFromDriver();
    }
    if (m_Nominals[0]->Visible()) {
        m_Nominals[0]->UpdateFromDriver();
        m_Nominals[1]->UpdateFromDriver();
    }
    m_GangStates.Show(bus, *m_Gang);
}

void CMasterPanel::GetGangStates(BYTE* dst, int n)
{
    m_GangStates.Store(m_Faders[0]->Bus(), *m_Gang);
    m_GangStates.CopyTo(dst, n);
}

void CMasterPanel::SetGangStates(const BYTE* src, int n)
{
    m_GangStates.CopyFrom(src, n);
    m_GangStates.Show(m_Faders[0]->Bus(), *m_Gang);
}

void CMasterPanel::Shift(int dx)
{
    for (TControl* control : std::initializer_list<TControl*>{m_Bevel, m_Faders[0], m_Faders[1], m_Mutes[0], m_Mutes[1],
                                                              m_Nominals[0], m_Nominals[1], m_Readouts[0],
                                                              m_Readouts[1], m_NameLabel, m_Gang})
        control->SetLeft(control->Left() + dx);
    for (const std::unique_ptr<CPeakMeter>& meter : m_Meters)
        meter->Shift(dx);
}
