#include "console/bus_in_strip.h"

#include "console/fader.h"
#include "console/fader_readout.h"
#include "console/gang.h"
#include "console/input_trim.h"
#include "console/mute.h"
#include "console/nominal.h"
#include "console/pan.h"
#include "console/placement.h"

void CBusInStrip::Init(TWinControl* window, int x, CDaveror* card, WORD input, const CapabilitiesRecord& caps)
{
    m_Input = input;
    m_Flags = caps.InputFlags[input];
    const bool even = input % 2 == 0;
    CStrip::Init(window, x, card, even);
    if (m_Flags & INPUT_FLAG_METER) AddMeter(window, x, even);
    // Digital inputs are numbered from 1 again.
    SetLabel("%d", input < caps.AnalogInputBusses ? input + 1 : input - caps.AnalogInputBusses + 1);

    m_Fader = Place(new TMonitorFader(window, m_Readout), window, x, card);
    m_Fader->SetInput(input);
    m_Fader->UpdateFromDriver();
    m_Fader->OnChange = [fader = m_Fader](TObject* Sender) { fader->SliderChange(Sender); };

    m_Pan = Place(new TMonitorPan(window), window, x, card);
    m_Pan->SetInput(input);
    m_Pan->UpdateFromDriver();
    m_Pan->OnChange = [pan = m_Pan](TObject* Sender) { pan->SliderChange(Sender); };

    m_Mute = Place(new TMonitorMute(window), window, x, card);
    m_Mute->SetInput(input);
    m_Mute->UpdateFromDriver();
    m_Mute->BindClickHandler();

    if (m_Flags & INPUT_FLAG_NOMINAL) {
        m_Nominal = Place(new TNominalInputButton(window), window, x, card);
        m_Nominal->SetBus(input);
        m_Nominal->UpdateFromDriver();
        m_Nominal->OnClick = [nominal = m_Nominal](TObject* Sender) { nominal->NominalChange(Sender); };
    }
    if (m_Flags & INPUT_FLAG_TRIM) {
        // The trim binds its own change handler before it reads the card.
        m_TrimReadout = new TFaderReadout(window, 1);
        m_TrimReadout->SetLeft(m_TrimReadout->Left() + x);
        m_Trim = new TInputTrim(window, m_TrimReadout, card, input);
        m_Trim->SetLeft(m_Trim->Left() + x);
    }
    // Card-wide, so only on the first strip, which lies at x 0: the button
    // keeps its own place.
    if (input == 0 && (m_Flags & INPUT_FLAG_PHANTOM)) {
        m_Phantom = Place(new TPhantomButton(window), window, 0, card);
        m_Phantom->UpdateFromDriver();
        m_Phantom->OnClick = [phantom = m_Phantom](TObject* Sender) { phantom->PhantomChange(Sender); };
    }
    if (even) {
        TGang* gang = AddGangButton(window, x);
        m_Fader->SetGang(gang);
        m_Mute->SetGang(gang);
        if (m_Nominal != nullptr) m_Nominal->SetGang(gang);
        if (m_Trim != nullptr) m_Trim->SetGang(gang);
    }
}

void CBusInStrip::SetBus(WORD bus)
{
    StoreGang();
    m_DisplayedBus = bus;
    m_Pan->SetOutputBus(bus);
    m_Pan->UpdateFromDriver();
    m_Mute->SetOutputBus(bus);
    m_Mute->UpdateFromDriver();
    m_Fader->SetOutputBus(bus);
    m_Fader->UpdateFromDriver();
    ShowGang();
}

void CBusInStrip::SetVisible(bool visible)
{
    for (TControl* control : std::initializer_list<TControl*>{m_Bevel, m_GangButton, m_Nominal, m_ChannelLabel, m_Mute,
                                                              m_Pan, m_Fader, m_Readout, m_Phantom})
        if (control != nullptr) control->SetVisible(visible);
    if (m_Meter) m_Meter->SetVisible(visible);
}

void CBusInStrip::Link(CBusInStrip& partner)
{
    m_Mute->SetPartner(partner.m_Mute);
    m_Fader->SetPartner(partner.m_Fader);
    if (m_GangButton == nullptr) {
        TGang* gang = partner.m_GangButton;
        m_Fader->SetGang(gang);
        m_Mute->SetGang(gang);
        if (m_Nominal != nullptr) m_Nominal->SetGang(gang);
        if (m_Trim != nullptr) m_Trim->SetGang(gang);
    }
    if (m_Nominal != nullptr) m_Nominal->SetPartner(partner.m_Nominal);
    if (m_Trim != nullptr) m_Trim->SetPartner(partner.m_Trim);
}

void CBusInStrip::Refresh()
{
    if (m_Nominal != nullptr) m_Nominal->UpdateFromDriver();
    if (m_Trim != nullptr) m_Trim->UpdateFromDriver();
    if (m_Phantom != nullptr) m_Phantom->UpdateFromDriver();
}
