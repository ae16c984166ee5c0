// CDeviceList: the wave devices of every card, numbered across the cards in
// card-list order, and the streams open on them. Each device is two adjacent
// pipes of one card, whatever width its configuration entry gives.
#pragma once

#include <mmsystem.h>
#include <windows.h>

#include "client_list.h"
#include "daveror_list.h"
#include "wave_card.h"
#include "wave_pipe.h"

class CDeviceList {
public:
    static constexpr DWORD kMaxCards = 6;
    static constexpr DWORD kSlots = 192;  // devices per direction
    static_assert(kMaxCards * WAVE_CONFIG_ENTRIES <= kSlots);

    CDeviceList() = default;
    ~CDeviceList();  // destroys the open streams, then closes the cards
    CDeviceList(const CDeviceList&) = delete;
    CDeviceList& operator=(const CDeviceList&) = delete;

    // Enters the first kMaxCards cards of `cards` with their devices; false
    // when memory ran out, and the list is then only destroyed.
    bool AddCards(CDaverorList& cards);

    DWORD DeviceCount(DWORD direction) const { return m_DeviceCount[direction]; }
    // The device's name, cut to fit `name`; MMSYSERR_BADDEVICEID (and an empty name) for no device.
    MMRESULT GetDevCaps(WORD id, DWORD direction, WCHAR (&name)[MAXPNAMELEN]) const;
    // 0, MMSYSERR_BADDEVICEID or WAVERR_BADFORMAT.
    MMRESULT CheckFormat(WORD id, DWORD direction, const WAVEFORMATEX& format) const;
    // Opens a stream on the device and lists it; the instance word holds it on
    // success and is 0 after a failed open.
    MMRESULT OpenWaveClient(WORD id, DWORD direction, const WAVEOPENDESC& description, DWORD openFlags,
                            DWORD_PTR* instance);
    // Whether `instance` is a stream open in `direction`.
    bool IsOpenClient(DWORD direction, DWORD_PTR instance) { return m_Clients[direction].Contains(instance); }
    // Unlinks and destroys a stream that has closed.
    void CloseWaveClient(CWavePipe* pipe) { m_Clients[pipe->Direction()].Remove(pipe); }

private:
    struct Slot {
        CWaveCard* card;  // none: no device
        WORD firstPipe;
    };

    void AddDevices(CWaveCard* card, DWORD direction);
    const Slot* FindSlot(WORD id, DWORD direction) const;
    void ReleaseCards();

    CWaveCard* m_Cards[kMaxCards] = {};
    DWORD m_CardCount = 0;
    DWORD m_DeviceCount[2] = {};
    Slot m_Slots[2][kSlots] = {};
    CClientList m_Clients[2];
};
