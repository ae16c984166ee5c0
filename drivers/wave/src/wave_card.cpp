// A card of the device list and the sample rates its family runs at.
#include "wave_card.h"

#include <algorithm>
#include <iterator>

#include "daveror_trace.h"

namespace {

constexpr DWORD kNineRates[] = {8000, 11025, 16000, 22050, 32000, 44100, 48000, 88200, 96000};
constexpr DWORD kLowRates[] = {8000, 11025, 16000, 22050};
constexpr DWORD kHighRates[] = {32000, 44100, 48000, 88200, 96000};

template <std::size_t N>
bool Listed(const DWORD (&rates)[N], DWORD rate)
{
    return std::find(std::begin(rates), std::end(rates), rate) != std::end(rates);
}

}  // namespace

CWaveCard::CWaveCard(CDaveror& card) : m_Card(card), m_Caps(card.Caps())
{
    InitializeCriticalSection(&m_Lock);
    if (!m_Card.ReadCapabilities()) DaverorTrace("CWaveCard::CWaveCard() not open %s daveror interface", m_Card.GetPath());
}

CWaveCard::~CWaveCard()
{
    DeleteCriticalSection(&m_Lock);
    m_Card.Close();
}

bool CWaveCard::IsRateSupported(DWORD rate) const
{
    switch (m_Caps.Family) {
    case 0x50:
    case 0x70:
        return Listed(kNineRates, rate);
    case 0x60:
        return (rate >= 25000 && rate <= 100000) || Listed(kLowRates, rate);
    case 0x80:
        return Listed(kHighRates, rate);
    default:
        return false;
    }
}
