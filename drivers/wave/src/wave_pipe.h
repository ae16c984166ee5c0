// CWavePipe: one open wave device, a client's stream on two adjacent card
// pipes in one direction, on a card object of its own. Its ring is the two
// pipes' shared card buffer: frames of 8 bytes, a 32-bit sample of the first
// pipe and then one of the second.
#pragma once

#include <mmsystem.h>
#include <windows.h>

#include "daveror.h"

class CWaveCard;

// Directions, as the card driver numbers them.
constexpr DWORD DIR_WAVE_OUT = 0;  // playback
constexpr DWORD DIR_WAVE_IN = 1;   // record

class CWavePipe {
public:
    // Takes what the stream needs from the open description and `format`;
    // opens nothing. HasCard() is false when memory ran out for the card object.
    CWavePipe(CWaveCard& waveCard, WORD firstPipe, DWORD direction, const WAVEOPENDESC& description,
              DWORD openFlags);
    ~CWavePipe();
    CWavePipe(const CWavePipe&) = delete;
    CWavePipe& operator=(const CWavePipe&) = delete;

    bool HasCard() const { return m_Card != nullptr; }
    DWORD Direction() const { return m_Direction; }

    // Client bytes per frame give the width of a sample: (block alignment / channels) x 8.
    static WORD SampleWidth(const WAVEFORMATEX& format);

    // Reserves the pipes, maps the ring and the position counter and has the
    // transport event: 0, MMSYSERR_NODRIVER or MMSYSERR_NOMEM. A stream that
    // did not open is only destroyed.
    MMRESULT Open();
    // 0, or WAVERR_STILLPLAYING while buffers are queued (the stream stays open).
    MMRESULT Close();

private:
    MMRESULT OpenCard();
    void Notify(UINT message, DWORD_PTR param1);

    WAVEHDR* m_QueueHead;
    CRITICAL_SECTION m_QueueLock;  // the queue, cursors, pending count and position
    CRITICAL_SECTION m_StateLock;  // the state and the transport's start, stop and pause
    DWORD m_State;                 // 0 stopped, 1 paused, 2 running
    CWaveCard& m_WaveCard;
    CDaveror* m_Card;  // owned
    WORD m_FirstPipe;
    DWORD m_Direction;
    WORD m_SampleWidth;
    WORD m_Channels;
    DWORD m_SampleRate;
    DWORD m_BlockAlign;
    DWORD m_Frames;    // ring length: twice the card's wave buffer size
    DWORD m_RingBytes;
    DWORD m_PositionMask;
    HANDLE m_TransportEvent;
    BYTE* m_RingBase;
    DWORD* m_PositionCounter;
    DWORD m_Pending;  // frames that may be moved now, from the ring cursor on
    BYTE* m_RingCursor;
    BYTE* m_RingEnd;
    DWORD_PTR m_Callback;
    DWORD_PTR m_Instance;
    HWAVE m_WaveHandle;
    DWORD m_OpenFlags;  // the high word is the callback's kind
    MMRESULT m_Error;
};
