// A wave stream's state: pause, restart and reset, and its position.
#include "auto_lock.h"
#include "wave_pipe.h"

MMRESULT CWavePipe::Pause()
{
    bool wasRunning;
    {
        CAutoLock lock(m_StateLock);
        wasRunning = m_State == kRunning;
        if (wasRunning) m_Card->PauseTransport();
        m_State = kPaused;
    }
    // A recording hands back what its current header holds.
    if (m_Direction == DIR_WAVE_IN && wasRunning) {
        CAutoLock lock(m_QueueLock);
        WAVEHDR* head = m_QueueHead.load(std::memory_order_relaxed);
        if (head && head->dwBytesRecorded != 0) {
            SetHead(head->lpNext);
            CompleteHeader(head);
        }
    }
    return MMSYSERR_NOERROR;
}

MMRESULT CWavePipe::Restart()
{
    CAutoLock lock(m_StateLock);
    const DWORD state = m_State;
    if (state == kRunning) return MMSYSERR_NOERROR;
    if (m_Direction == DIR_WAVE_IN) {
        Start();
    } else if (state == kPaused) {
        // With nothing queued the stream waits, stopped, for its next write.
        if (m_QueueHead.load(std::memory_order_acquire)) {
            Start();
        } else {
            m_State = kStopped;
        }
    }
    return MMSYSERR_NOERROR;
}

// Under the state lock.
void CWavePipe::Start()
{
    m_Card->SetSampleRate(m_SampleRate);
    m_State = kRunning;
    m_Card->StartTransport();
    StartThread();
}

MMRESULT CWavePipe::Reset()
{
    {
        CAutoLock lock(m_StateLock);
        if (m_State != kStopped) {
            m_State = kStopped;
            m_Card->StopTransport();  // the card's position goes back to 0
        }
    }
    CAutoLock lock(m_QueueLock);
    m_RingCursor = m_RingBase;
    m_Pending = m_Direction == DIR_WAVE_OUT ? m_Frames : 0;
    m_CardPosition = 0;
    m_Position.store(0, std::memory_order_release);
    ZeroMemory(m_RingBase, m_RingBytes);
    // A running loop's headers before the head go back too. The queue is
    // empty before the first callback.
    WAVEHDR* header = m_LoopStart ? m_LoopStart : m_QueueHead.load(std::memory_order_relaxed);
    m_LoopStart = nullptr;
    m_LoopCount = 0;
    SetHead(nullptr);
    while (header) {
        WAVEHDR* next = header->lpNext;
        CompleteHeader(header);
        header = next;
    }
    return MMSYSERR_NOERROR;
}

MMRESULT CWavePipe::GetPosition(MMTIME* time, UINT size)
{
    if (size != sizeof(MMTIME) || !time) return MMSYSERR_INVALPARAM;
    // No lock: one could wait behind a client's callback.
    const DWORD position = m_Position.load(std::memory_order_acquire);
    if (time->wType == TIME_SAMPLES) {
        time->u.sample = position / m_BlockAlign;
    } else {
        time->wType = TIME_BYTES;
        time->u.cb = position;
    }
    return MMSYSERR_NOERROR;
}
