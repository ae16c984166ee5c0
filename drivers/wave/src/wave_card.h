// CWaveCard: one card of the device list, the card-list entry with the
// capabilities it read again when the list was built.
#pragma once

#include <windows.h>

#include "daveror.h"

class CWaveCard {
public:
    // Reads the card's capabilities again; the card is not owned.
    explicit CWaveCard(CDaveror& card);
    ~CWaveCard();  // closes the card
    CWaveCard(const CWaveCard&) = delete;
    CWaveCard& operator=(const CWaveCard&) = delete;

    CDaveror& Card() const { return m_Card; }
    const CapabilitiesRecord& Caps() const { return m_Caps; }
    // Whether a stream may run at `rate` Hz, by the card's family.
    bool IsRateSupported(DWORD rate) const;

private:
    CDaveror& m_Card;
    const CapabilitiesRecord& m_Caps;
    CRITICAL_SECTION m_Lock;
};
