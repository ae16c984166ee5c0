// A wave stream's worker: woken by the card's transport event, it moves the
// frames the card advanced since its last service.
#include "auto_lock.h"
#include "wave_pipe.h"

namespace {

constexpr DWORD kEventWaitMs = 1000;
constexpr DWORD kSemaphoreWaitMs = 1000;
constexpr DWORD kStopWaitMs = 500;
// The exit code of a worker that did not end in time.
constexpr DWORD kTerminatedExitCode = 0xA5C3A5C3;

}  // namespace

DWORD WINAPI CWavePipe::WorkerThread(LPVOID parameter)
{
    auto* pipe = static_cast<CWavePipe*>(parameter);
    while (pipe->m_RunFlag.load(std::memory_order_acquire)) {
        if (WaitForSingleObject(pipe->m_TransportEvent, kEventWaitMs) != WAIT_OBJECT_0) continue;
        // Woken to end: no last service.
        if (!pipe->m_RunFlag.load(std::memory_order_acquire)) break;
        if (WaitForSingleObject(pipe->m_Semaphore, kSemaphoreWaitMs) != WAIT_OBJECT_0) continue;
        pipe->Service();
        ReleaseSemaphore(pipe->m_Semaphore, 1, NULL);
    }
    return 0;
}

void CWavePipe::Service()
{
    // Read before any lock: taking one may wait behind a client's callback.
    const DWORD card = CDaveror::ReadPosition(m_PositionCounter) & m_PositionMask;
    CAutoLock lock(m_QueueLock);
    if (m_State != kRunning) return;
    // Exactly the frames the card freed (playback) or filled (record) since the last service.
    m_Pending += ((card - m_CardPosition) & m_PositionMask) / kRingFrameBytes;
    m_CardPosition = card;
    if (m_Pending > m_Frames) {
        // The card played frames that were never written: what comes next is played next.
        m_RingCursor = RingAdvance(m_RingCursor, m_Pending - m_Frames);
        m_Pending = m_Frames;
    }
    if (m_Pending) Transfer();
}

BOOL CWavePipe::StartThread()
{
    if (m_Thread) return TRUE;
    if (!m_Semaphore) {
        m_Semaphore = CreateSemaphoreA(NULL, 1, 1, NULL);
        if (!m_Semaphore) return FALSE;
    }
    m_RunFlag.store(1, std::memory_order_release);
    m_Thread = CreateThread(NULL, 0, WorkerThread, this, 0, &m_ThreadId);
    if (!m_Thread) {
        m_RunFlag.store(0, std::memory_order_release);
        return FALSE;
    }
    if (!SetThreadPriority(m_Thread, THREAD_PRIORITY_HIGHEST)) {
        // A worker that cannot run at its priority is ended before it serviced
        // anything, and forgotten with its semaphore: the stream has no
        // worker and holds nothing of one, and its next start tries again.
        m_RunFlag.store(0, std::memory_order_release);
        SetEvent(m_TransportEvent);
        WaitForSingleObject(m_Thread, INFINITE);
        CloseHandle(m_Thread);
        m_Thread = nullptr;
        m_ThreadId = 0;
        CloseHandle(m_Semaphore);
        m_Semaphore = nullptr;
        return FALSE;
    }
    return TRUE;
}

bool CWavePipe::StopThread()
{
    m_RunFlag.store(0, std::memory_order_release);
    if (m_WorkerAdrift) return false;
    if (!m_Thread) return true;
    SetEvent(m_TransportEvent);
    if (WaitForSingleObject(m_Thread, kStopWaitMs) == WAIT_TIMEOUT) {
        // Terminating ends the thread's object, not the code on it: the worker
        // may still be in a client callback, and returns into this stream.
        // Its handle now reads as signalled, so only this wait's time-out tells.
        TerminateThread(m_Thread, kTerminatedExitCode);
        m_WorkerAdrift = true;
        return false;
    }
    // Forgotten with its handle, so that no open and close leaks one.
    CloseHandle(m_Thread);
    m_Thread = nullptr;
    m_ThreadId = 0;
    return true;
}
