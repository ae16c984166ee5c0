#include "console/strip.h"

#include "console/fader_readout.h"
#include "console/gang.h"

void CStrip::Init(TWinControl* window, int x, CDaveror* card, bool even)
{
    if (even) {
        // The frame of both strips of the pair.
        m_Bevel = new TBevel(window);
        m_Bevel->SetParent(window);
        m_Bevel->SetTop(0);
        m_Bevel->SetLeft(x);
        m_Bevel->SetHeight(532);
        m_Bevel->SetWidth(80);
        m_Gangs = CGangStates(card->Caps().OutputBusses);
    }
    m_Readout = new TFaderReadout(window, 0);
    m_Readout->SetLeft(m_Readout->Left() + x);
    m_ChannelLabel = new TLabel(window);
    m_ChannelLabel->SetParent(window);
    m_ChannelLabel->SetAutoSize(false);
    m_ChannelLabel->SetTop(516);
    m_ChannelLabel->SetLeft(x + 5);
    m_ChannelLabel->SetWidth(30);
    m_ChannelLabel->SetAlignment(taCenter);
    m_ChannelLabel->SetHeight(15);
    m_ChannelLabel->Font()->SetHeight(15);
    m_ChannelLabel->Font()->SetStyle({fsBold});
}

void CStrip::AddMeter(TWinControl* window, int x, bool even)
{
    m_Meter = std::make_unique<CPeakMeter>(window, x + 15, 64, even, 40);
}

TGang* CStrip::AddGangButton(TWinControl* window, int x)
{
    m_GangButton = new TGang(window);
    m_GangButton->SetParent(window);
    m_GangButton->SetLeft(m_GangButton->Left() + x);
    return m_GangButton;
}

void CStrip::SetLabel(const char* format, int number) { m_ChannelLabel->SetText(Format(format, number)); }

void CStrip::StoreGang()
{
    if (m_Gangs.Exists()) m_Gangs.Store(m_DisplayedBus, *m_GangButton);
}

void CStrip::ShowGang()
{
    if (m_Gangs.Exists()) m_Gangs.Show(m_DisplayedBus, *m_GangButton);
}

bool CStrip::GetGangs(BYTE* dst, int n)
{
    if (!m_Gangs.Exists()) return false;
    StoreGang();
    m_Gangs.CopyTo(dst, n);
    return true;
}

bool CStrip::SetGangs(const BYTE* src, int n)
{
    if (!m_Gangs.Exists()) return false;
    m_Gangs.CopyFrom(src, n);
    ShowGang();
    return true;
}
