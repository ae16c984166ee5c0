// The buffer-switch thread: it waits until every active card has set its
// transport event, reads each card's position counter once, and switches the
// host to the other half when every card has moved into the half the host
// does not fill. One per process; it allocates nothing, and the only lock it
// takes is the time-stamp lock of getSamplePosition.
#include "asio_driver.h"

namespace {

constexpr DWORD STOP_WAIT_MS = 1000;
constexpr DWORD MIN_TIMEOUT_MS = 500;

// The object the thread serves, and the thread while it has not been seen to end.
std::atomic<CAsioDriver*> g_Served{nullptr};
HANDLE g_Thread = nullptr;

// A wait of four periods of the buffer, 500 ms at least.
DWORD ThreadTimeout(DWORD bufferSize, ASIOSampleRate sampleRate)
{
    const DWORD rate = static_cast<DWORD>(sampleRate);
    if (rate == 0) return MIN_TIMEOUT_MS;
    const ULONGLONG timeout = static_cast<ULONGLONG>(bufferSize) * 4000 / rate;
    if (timeout < MIN_TIMEOUT_MS) return MIN_TIMEOUT_MS;
    return timeout < INFINITE ? static_cast<DWORD>(timeout) : INFINITE - 1;
}

}  // namespace

bool CAsioDriver::ClaimThread()
{
    CAsioDriver* served = nullptr;
    return g_Served.compare_exchange_strong(served, this) || served == this;
}

void CAsioDriver::ReleaseThreadClaim()
{
    delete[] m_Events;
    m_Events = nullptr;
    g_Served = nullptr;
}

bool CAsioDriver::StartThread()
{
    m_ThreadTimeout = ThreadTimeout(m_StreamingSize, m_SampleRate);
    m_Run = 1;
    g_Thread = CreateThread(NULL, 0, &CAsioDriver::BufferSwitchThread, NULL, 0, NULL);
    if (!g_Thread) {
        m_Run = 0;
        ReleaseThreadClaim();
        return false;
    }
    SetThreadPriority(g_Thread, THREAD_PRIORITY_TIME_CRITICAL);
    return true;
}

void CAsioDriver::StopThread()
{
    if (g_Served != this) return;
    // The control panel may have stopped it already.
    if (g_Thread) {
        m_Run = 0;
        for (DWORD i = 0; i < m_CardCount; ++i)
            if (m_Cards[i]->Active) SetEvent(m_Cards[i]->Event);
    }
    EndThread(STOP_WAIT_MS);
}

void CAsioDriver::WaitForThread()
{
    if (g_Served == this) EndThread(INFINITE);
}

void CAsioDriver::EndThread(DWORD milliseconds)
{
    if (g_Thread) {
        if (WaitForSingleObject(g_Thread, milliseconds) != WAIT_OBJECT_0) return;
        CloseHandle(g_Thread);
        g_Thread = nullptr;
    }
    // Stopped by the control panel, the driver runs on until the host's stop.
    if (m_State != 3) ReleaseThreadClaim();
}

DWORD CAsioDriver::BufferSwitchThread(LPVOID)
{
    g_Served.load()->ServeBufferSwitches();
    return 0;
}

void CAsioDriver::ServeBufferSwitches()
{
    do {
        const DWORD woken = WaitForMultipleObjects(m_ActiveCardCount, m_Events, TRUE, m_ThreadTimeout);
        // A time-out, or a wait that failed, is no period.
        if (woken >= WAIT_OBJECT_0 + m_ActiveCardCount || m_State != 3) continue;
        m_WakeTime = timeGetTime();

        const DWORD index = m_BufferIndex;
        const DWORD size = m_StreamingSize;
        const DWORD limit = m_ResyncLimit;
        DWORD waiting = m_CardCount;
        bool resync = false;
        for (DWORD i = 0; i < m_CardCount; ++i) {
            CAsioCard& card = *m_Cards[i];
            if (!card.Active) {
                --waiting;
                continue;
            }
            const DWORD position = CDaveror::ReadPosition(card.Position);
            const DWORD moved = position - card.LastPosition;
            if (moved > limit) resync = true;
            card.LastPosition = position;
            // The frame within the double buffer, a true modulo for every size:
            // the 32-bit counter's own frames fold back only at 2^30.
            const ULONGLONG frame = ((card.BytesMoved += moved) >> 2) % (2 * static_cast<ULONGLONG>(size));
            if (index == 1 ? frame < size : frame >= size) --waiting;
        }
        if (waiting == 0) BufferSwitch();
        if (resync) {
            ASIOCallbacks* callbacks = m_Callbacks;
            if (callbacks && callbacks->asioMessage) callbacks->asioMessage(kAsioResyncRequest, 0, nullptr, nullptr);
        }
    } while (m_Run);

    // The control panel's reset request, now that no switch can come any more.
    if (m_ResetRequest.exchange(0)) {
        ASIOCallbacks* callbacks = m_Callbacks;
        if (callbacks && callbacks->asioMessage) callbacks->asioMessage(kAsioResetRequest, 0, nullptr, nullptr);
    }
}
