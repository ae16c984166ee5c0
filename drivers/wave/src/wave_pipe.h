// CWavePipe: one open wave device, a client's stream on two adjacent card
// pipes in one direction, on a card object of its own. Its ring is the two
// pipes' shared card buffer: frames of 8 bytes, a 32-bit sample of the first
// pipe and then one of the second.
//
// The client's headers queue in arrival order. A worker thread, woken by the
// card's transport event once a period, moves the frames the card advanced
// between the head header and the ring and returns each finished header.
//
// Locks: the queue lock guards the queue, the cursors, the pending count and
// the loop; the state lock guards the state and the transport's start, stop
// and pause. Both are recursive and no operation holds both: Write takes the
// queue lock and then the state lock, Pause and Reset the other way round.
// The client's callback runs under the queue lock.
#pragma once

#include <atomic>

#include <mmsystem.h>
#include <windows.h>

#include "daveror.h"
#include "sample_converters.h"

class CWaveCard;
class DitherNoise;

// Directions, as the card driver numbers them.
constexpr DWORD DIR_WAVE_OUT = 0;  // playback
constexpr DWORD DIR_WAVE_IN = 1;   // record

class CWavePipe {
public:
    // Takes what the stream needs from the open description and its format
    // and picks the converter; opens nothing. HasCard() is false when memory
    // ran out for the card object.
    CWavePipe(CWaveCard& waveCard, WORD deviceId, WORD firstPipe, DWORD direction,
              const WAVEOPENDESC& description, DWORD openFlags);
    // Stops the worker; the card object's close ends the transport. A stream
    // whose worker did not stop (StopWorker false) must not be destroyed.
    ~CWavePipe();
    CWavePipe(const CWavePipe&) = delete;
    CWavePipe& operator=(const CWavePipe&) = delete;

    bool HasCard() const { return m_Card != nullptr; }
    DWORD Direction() const { return m_Direction; }
    WORD DeviceId() const { return m_DeviceId; }

    // Ends the worker, if there is one: true when it has ended (or there was
    // none). False when it did not end in time: it was terminated, but may
    // still run in this stream, which must then be kept.
    bool StopWorker() { return StopThread(); }

    // Client bytes per frame give the width of a sample: (block alignment / channels) x 8.
    static WORD SampleWidth(const WAVEFORMATEX& format);

    // Reserves the pipes, maps the ring and the position counter and has the
    // transport event: 0, MMSYSERR_NODRIVER or MMSYSERR_NOMEM. A stream that
    // did not open is only destroyed.
    MMRESULT Open();
    // 0, or WAVERR_STILLPLAYING while buffers are queued (the stream stays open).
    MMRESULT Close();

    // Playback: queues a prepared header and pre-fills the ring while the
    // stream is not running; the first write starts a stopped stream.
    // 0, WAVERR_UNPREPARED, or MMSYSERR_INVALPARAM for a header already queued.
    MMRESULT Write(WAVEHDR* header);
    // Record: queues a prepared header; starts nothing.
    MMRESULT AddBuffer(WAVEHDR* header);
    MMRESULT Pause();
    MMRESULT Restart();
    // Stops the transport and returns every queued header; the worker stays.
    MMRESULT Reset();
    // The client bytes moved since the open or the last reset, in bytes or samples.
    MMRESULT GetPosition(MMTIME* time, UINT size);
    // Playback volume: left in the low word, right in the high word.
    MMRESULT GetVolume(DWORD* volume);
    MMRESULT SetVolume(DWORD volume);

private:
    static constexpr DWORD kStopped = 0;
    static constexpr DWORD kPaused = 1;
    static constexpr DWORD kRunning = 2;

    static DWORD WINAPI WorkerThread(LPVOID parameter);

    MMRESULT OpenCard();
    MMRESULT Queue(WAVEHDR* header, DWORD keptFlags);
    void Transfer();
    // The head header has no frames left: it leaves the head, with the loop's turn.
    void FinishHead();
    // The head becomes `header` (or none) with its frames and data.
    void SetHead(WAVEHDR* header);
    void CompleteHeader(WAVEHDR* header);
    // The card's advance since the last service becomes pending frames.
    void Service();
    BOOL StartThread();
    bool StopThread();
    // Rate, running, transport and worker, as Restart starts a stream.
    void Start();
    // A ring cursor moved on by `frames`, around the ring's end.
    BYTE* RingAdvance(BYTE* cursor, DWORD frames) const;
    // One side's volume, from its pipe's gains, and the gains that set it.
    DWORD PipeVolume(WORD pipe);
    void SetPipeVolume(WORD pipe, LONG gain);
    void Notify(UINT message, DWORD_PTR param1);

    std::atomic<WAVEHDR*> m_QueueHead;  // also read by Restart, outside the queue lock
    WAVEHDR* m_QueueTail;
    WAVEHDR* m_LoopStart;  // the header that carried WHDR_BEGINLOOP, while its loop runs
    DWORD m_LoopCount;     // passes still to play
    bool m_LoopPassMoved;  // the loop's current pass has moved frames
    CRITICAL_SECTION m_QueueLock;
    CRITICAL_SECTION m_StateLock;
    DWORD m_FramesLeft;  // of the head header
    BYTE* m_DataCursor;  // next client byte of the head header
    std::atomic<DWORD> m_State;  // written under the state lock, read under the queue lock
    CWaveCard& m_WaveCard;
    CDaveror* m_Card;  // owned
    WORD m_DeviceId;
    WORD m_FirstPipe;
    DWORD m_Direction;
    WORD m_SampleWidth;
    WORD m_Channels;
    DWORD m_SampleRate;
    DWORD m_BlockAlign;
    DWORD m_Frames;  // ring length: twice the card's wave buffer size
    DWORD m_RingBytes;
    DWORD m_PositionMask;
    DWORD m_ThreadId;
    HANDLE m_Thread;
    bool m_WorkerAdrift;  // the worker did not stop in time: it may still run here
    HANDLE m_TransportEvent;
    std::atomic<DWORD> m_RunFlag;  // the worker runs while it is nonzero
    HANDLE m_Semaphore;
    BYTE* m_RingBase;
    DWORD* m_PositionCounter;
    DWORD m_Pending;  // frames that may be moved now, from the ring cursor on
    BYTE* m_RingCursor;
    BYTE* m_RingEnd;
    DWORD m_CardPosition;  // the card's position in the ring, in bytes, at the last service
    std::atomic<DWORD> m_Position;  // read by GetPosition without a lock
    DWORD_PTR m_Callback;
    DWORD_PTR m_Instance;
    HWAVE m_WaveHandle;
    DWORD m_OpenFlags;  // the high word is the callback's kind
    MMRESULT m_Error;
    SampleConverter m_Converter;
    DitherNoise* m_Dither;  // owned; only for 8 and 16 bits on an analog input
};
