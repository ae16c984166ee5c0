// A wave stream's queue: headers in, frames moved between the head header
// and the ring, loops, and headers back to the client.
#include <algorithm>

#include "auto_lock.h"
#include "wave_pipe.h"

MMRESULT CWavePipe::Write(WAVEHDR* header)
{
    {
        CAutoLock lock(m_QueueLock);
        if (MMRESULT result = Queue(header, WHDR_PREPARED | WHDR_BEGINLOOP | WHDR_ENDLOOP)) return result;
        // Before the start, and while paused, the ring fills ahead.
        if (m_State != kRunning) Transfer();
    }
    CAutoLock lock(m_StateLock);
    if (m_State == kStopped) {
        m_State = kRunning;
        StartThread();
        m_Card->SetSampleRate(m_SampleRate);
        m_Card->StartTransport();
    }
    return MMSYSERR_NOERROR;
}

MMRESULT CWavePipe::AddBuffer(WAVEHDR* header)
{
    CAutoLock lock(m_QueueLock);
    return Queue(header, WHDR_PREPARED);
}

// Under the queue lock. The header is checked there too: the worker writes
// the flags of the headers it returns.
MMRESULT CWavePipe::Queue(WAVEHDR* header, DWORD keptFlags)
{
    if (!header) return MMSYSERR_INVALPARAM;
    if (!(header->dwFlags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
    if (header->dwFlags & WHDR_INQUEUE) return MMSYSERR_INVALPARAM;
    header->dwFlags = (header->dwFlags & keptFlags) | WHDR_INQUEUE;
    header->dwBytesRecorded = 0;
    header->lpNext = nullptr;
    // The queue is empty when it has no head, unless a running loop holds
    // the headers it has played: the tail is cleared only with both.
    WAVEHDR* head = m_QueueHead.load(std::memory_order_relaxed);
    if (head || m_LoopStart) m_QueueTail->lpNext = header;
    m_QueueTail = header;
    if (!head) SetHead(header);
    return MMSYSERR_NOERROR;
}

void CWavePipe::SetHead(WAVEHDR* header)
{
    m_QueueHead.store(header, std::memory_order_release);
    if (!header) {
        if (!m_LoopStart) m_QueueTail = nullptr;
        return;
    }
    m_FramesLeft = header->dwBufferLength / m_BlockAlign;
    m_DataCursor = reinterpret_cast<BYTE*>(header->lpData);
    // A loop begins when its first header comes to the head, so that the
    // headers before it are returned as they finish. Loops do not nest.
    if (!m_LoopStart && (header->dwFlags & WHDR_BEGINLOOP)) {
        m_LoopStart = header;
        m_LoopCount = header->dwLoops != 0 ? header->dwLoops : 1;  // no loop count plays once
        m_LoopPassMoved = false;
    }
}

// Under the queue lock.
void CWavePipe::Transfer()
{
    while (WAVEHDR* head = m_QueueHead.load(std::memory_order_relaxed)) {
        // A header shorter than a frame is done as soon as it is the head.
        if (m_FramesLeft == 0) {
            FinishHead();
            continue;
        }
        if (m_Pending == 0) return;
        const DWORD toRingEnd = static_cast<DWORD>((m_RingEnd - m_RingCursor) / kRingFrameBytes);
        const DWORD frames = std::min({m_Pending, toRingEnd, m_FramesLeft});
        m_Converter(m_RingCursor, m_DataCursor, frames, m_Dither);
        m_FramesLeft -= frames;
        if (m_Direction == DIR_WAVE_IN) head->dwBytesRecorded += frames * m_BlockAlign;
        m_Pending -= frames;
        if (m_RingCursor >= m_RingEnd) m_RingCursor -= m_RingBytes;
        if (m_LoopStart) m_LoopPassMoved = true;
        // After the ring writes: a reader of the position sees the ring as written.
        m_Position.store(m_Position.load(std::memory_order_relaxed) + frames * m_BlockAlign,
                         std::memory_order_release);
    }
    if (m_State != kRunning || m_Pending == 0) return;
    // Nothing queued: record drops what the card brought, playback plays silence.
    if (m_Direction == DIR_WAVE_OUT) {
        const DWORD toRingEnd = static_cast<DWORD>((m_RingEnd - m_RingCursor) / kRingFrameBytes);
        const DWORD first = std::min(m_Pending, toRingEnd);
        ZeroMemory(m_RingCursor, first * kRingFrameBytes);
        ZeroMemory(m_RingBase, (m_Pending - first) * kRingFrameBytes);
    }
    m_RingCursor = RingAdvance(m_RingCursor, m_Pending);
    m_Pending = 0;
}

BYTE* CWavePipe::RingAdvance(BYTE* cursor, DWORD frames) const
{
    cursor += std::size_t{frames} * kRingFrameBytes;
    return cursor >= m_RingEnd ? cursor - m_RingBytes : cursor;
}

void CWavePipe::FinishHead()
{
    WAVEHDR* finished = m_QueueHead.load(std::memory_order_relaxed);
    WAVEHDR* next = finished->lpNext;
    if (!m_LoopStart) {
        SetHead(next);
        CompleteHeader(finished);
        return;
    }
    if (finished->dwFlags & WHDR_ENDLOOP) {
        // A pass that moved no frame would turn for ever: it is the last.
        if (--m_LoopCount != 0 && m_LoopPassMoved) {
            m_LoopPassMoved = false;
            SetHead(m_LoopStart);
            return;
        }
    } else {
        SetHead(next);  // the loop's headers stay in the queue until its last pass
        return;
    }
    // The loop is over: its headers go back together, in queue order.
    WAVEHDR* header = m_LoopStart;
    m_LoopStart = nullptr;
    m_LoopCount = 0;
    SetHead(next);
    for (;;) {
        WAVEHDR* after = header->lpNext;
        CompleteHeader(header);
        if (header == finished) break;
        header = after;
    }
}

void CWavePipe::CompleteHeader(WAVEHDR* header)
{
    if (!(header->dwFlags & WHDR_PREPARED)) return;
    header->dwFlags = (header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
    header->lpNext = nullptr;
    Notify(m_Direction == DIR_WAVE_OUT ? WOM_DONE : WIM_DATA, reinterpret_cast<DWORD_PTR>(header));
}
