#include "console/pipe_out_strip.h"

#include "console/fader.h"
#include "console/fader_readout.h"
#include "console/gang.h"
#include "console/mute.h"
#include "console/pan.h"
#include "console/placement.h"

void CPipeOutStrip::Init(TWinControl* window, int x, CDaveror* card, DWORD virtualOutputs, WORD index,
                         const CapabilitiesRecord& caps)
{
    m_Flags = caps.OutputPipeFlags[index];
    m_Pipe = index;
    m_Virtual = virtualOutputs;
    m_AnalogOutputPipes = caps.AnalogOutputPipes;
    const bool even = index % 2 == 0;
    CStrip::Init(window, x, card, even);
    UpdateLabel();
    if (m_Flags & PIPE_FLAG_METER) AddMeter(window, x, even);

    const WORD bus = m_Virtual != 0 ? 0 : index;
    m_Fader = Place(new TPipeOutFader(window, m_Readout), window, x, card);
    m_Fader->SetPipe(index);
    m_Fader->SetOutputBus(bus);
    m_Fader->UpdateFromDriver();
    m_Fader->OnChange = [fader = m_Fader](TObject* Sender) { fader->SliderChange(Sender); };

    m_Mute = Place(new TPipeOutMute(window), window, x, card);
    m_Mute->SetPipe(index);
    m_Mute->SetOutputBus(bus);
    m_Mute->UpdateFromDriver();
    m_Mute->BindClickHandler();

    if (m_Flags & PIPE_FLAG_PAN) {
        m_Pan = Place(new TPipeOutPan(window), window, x, card);
        m_Pan->SetPipe(index);
        m_Pan->SetOutputBus(bus);
        m_Pan->UpdateFromDriver();
        m_Pan->OnChange = [pan = m_Pan](TObject* Sender) { pan->SliderChange(Sender); };
    }
    // Nothing of a playback strip lies above its meter, so the frame starts
    // just over it.
    if (m_Bevel != nullptr) {
        m_Bevel->SetTop(55);
        m_Bevel->SetHeight(m_Bevel->Height() - 55);
    }
    if (even) {
        TGang* gang = AddGangButton(window, x);
        m_Fader->SetGang(gang);
        m_Mute->SetGang(gang);
    }
}

void CPipeOutStrip::SetBus(WORD bus)
{
    StoreGang();
    m_DisplayedBus = bus;
    if (m_Virtual == 0) {
        m_Pipe = bus;
        m_Mute->SetPipe(bus);
        m_Fader->SetPipe(bus);
        if (m_Pan != nullptr) m_Pan->SetPipe(bus);
    }
    m_Mute->SetOutputBus(bus);
    m_Mute->UpdateFromDriver();
    m_Fader->SetOutputBus(bus);
    m_Fader->UpdateFromDriver();
    if (m_Pan != nullptr) {
        m_Pan->SetOutputBus(bus);
        m_Pan->UpdateFromDriver();
    }
    UpdateLabel();
    ShowGang();
}

void CPipeOutStrip::Link(CPipeOutStrip& partner)
{
    m_Mute->SetPartner(partner.m_Mute);
    m_Fader->SetPartner(partner.m_Fader);
    if (m_GangButton == nullptr) {
        m_Fader->SetGang(partner.m_GangButton);
        m_Mute->SetGang(partner.m_GangButton);
    }
}

void CPipeOutStrip::UpdateLabel()
{
    if (m_Virtual != 0) SetLabel("%d", m_Pipe + 1);
    else if (m_Pipe < m_AnalogOutputPipes) SetLabel("A%d", m_Pipe + 1);
    else SetLabel("D%d", m_Pipe - m_AnalogOutputPipes + 1);
}

void CPipeOutStrip::Shift(int dx)
{
    for (TControl* control :
         std::initializer_list<TControl*>{m_Bevel, m_GangButton, m_Mute, m_Fader, m_Pan, m_Readout, m_ChannelLabel})
        if (control != nullptr) control->SetLeft(control->Left() + dx);
    if (m_Meter) m_Meter->Shift(dx);
}
