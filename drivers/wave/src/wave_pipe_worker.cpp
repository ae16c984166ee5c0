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
    // A worker that cannot run at its priority is told to end.
    if (!m_Thread || !SetThreadPriority(m_Thread, THREAD_PRIORITY_HIGHEST)) m_RunFlag.store(0, std::memory_order_release);
    return m_RunFlag.load(std::memory_order_relaxed) != 0;
}

void CWavePipe::StopThread()
{
    m_RunFlag.store(0, std::memory_order_release);
    if (!m_Thread) return;
    SetEvent(m_TransportEvent);
    if (WaitForSingleObject(m_Thread, kStopWaitMs) == WAIT_TIMEOUT) TerminateThread(m_Thread, kTerminatedExitCode);
    // Forgotten with its handle, so that no open and close leaks one.
    CloseHandle(m_Thread);
    m_Thread = nullptr;
    m_ThreadId = 0;
}
