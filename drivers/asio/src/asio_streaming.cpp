// Streaming: start pre-fills both halves through the host and starts the
// buffer-switch thread and the cards' transports, stop undoes it, and the
// sample position and its time stamp go to the host.
#include "asio_driver.h"

#include <cstddef>
#include <new>

namespace {

constexpr DWORD SWITCH_CHANGES = kSampleRateChanged | kClockSourceChanged;  // shown to the host once
constexpr ULONGLONG NANOSECONDS_PER_MILLISECOND = 1000000;
// A counter may move 8 bytes a frame of the buffer between two wakes: two
// periods of 32-bit frames.
constexpr ULONGLONG RESYNC_BYTES_PER_FRAME = 8;

// setSampleRate writes the time info's rate through an atomic_ref, which
// wants it aligned as a double.
static_assert((offsetof(ASIOTime, timeInfo) + offsetof(AsioTimeInfo, sampleRate)) % 8 == 0);

}  // namespace

ASIOError CAsioDriver::start()
{
    if (m_State < 2 || !m_Callbacks) return ASE_NotPresent;
    if (m_State == 3) return ASE_OK;
    if (m_ActiveCardCount == 0) return ASE_NotPresent;
    // A thread of this object that outlived its stop ends first; one serving
    // another object keeps the process's one thread.
    WaitForThread();
    if (!ClaimThread()) return ASE_NotPresent;

    m_Events = new (std::nothrow) HANDLE[m_ActiveCardCount];
    if (!m_Events) {
        ReleaseThreadClaim();
        return ASE_NoMemory;
    }
    DWORD n = 0;
    for (DWORD i = 0; i < m_CardCount; ++i)
        if (m_Cards[i]->Active) m_Events[n++] = m_Cards[i]->Event;

    m_State = 3;
    m_SamplePosition = 0;
    m_BufferIndex = 0;
    const DWORD now = timeGetTime();
    m_LastTime = now;
    m_WakeTime = now;
    m_TimeStamp = static_cast<ULONGLONG>(now) * NANOSECONDS_PER_MILLISECOND;
    const ULONGLONG limit = RESYNC_BYTES_PER_FRAME * m_StreamingSize;
    m_ResyncLimit = limit > 0xFFFFFFFF ? 0xFFFFFFFF : static_cast<DWORD>(limit);

    // The host fills both halves before any transport runs.
    BufferSwitch();
    BufferSwitch();
    if (!StartThread()) {
        m_State = 2;
        return ASE_NoMemory;
    }
    for (DWORD i = 0; i < m_CardCount; ++i) {
        CAsioCard* card = m_Cards[i];
        if (!card->Active) continue;
        card->LastPosition = 0;
        card->BytesMoved = 0;
        card->Card->StartTransport();
    }
    return ASE_OK;
}

ASIOError CAsioDriver::stop()
{
    if (m_State != 3) return ASE_NotPresent;
    for (DWORD i = 0; i < m_CardCount; ++i)
        if (m_Cards[i]->Active) m_Cards[i]->Card->StopTransport();
    // Before the thread ends: a wake from now on calls the host no more.
    m_State = 2;
    StopThread();
    return ASE_OK;
}

void CAsioDriver::BufferSwitch()
{
    ASIOCallbacks* callbacks = m_Callbacks;
    if (m_State != 3 || !callbacks) return;
    const DWORD index = m_BufferIndex;
    if (m_TimeInfoMode) {
        Asio()->getSamplePosition(&m_TimeInfo.timeInfo.samplePosition, &m_TimeInfo.timeInfo.systemTime);
        if (callbacks->bufferSwitchTimeInfo) callbacks->bufferSwitchTimeInfo(&m_TimeInfo, index, ASIOFalse);
        std::atomic_ref<DWORD>(m_TimeInfo.timeInfo.flags).fetch_and(~SWITCH_CHANGES);
    } else if (callbacks->bufferSwitch) {
        callbacks->bufferSwitch(index, ASIOTrue);
    }
    m_BufferIndex = index ^ 1;
    m_SamplePosition += m_StreamingSize;
}

ASIOError CAsioDriver::getSamplePosition(ASIOSamples* samplePosition, ASIOTimeStamp* timeStamp)
{
    if (!samplePosition || !timeStamp) return ASE_InvalidParameter;
    // In time-info mode both threads come here. The difference is taken in 32
    // bits, so the wrap of the millisecond clock does no harm.
    EnterCriticalSection(&m_TimeLock);
    const DWORD wake = m_WakeTime;
    m_TimeStamp += static_cast<ULONGLONG>(wake - m_LastTime) * NANOSECONDS_PER_MILLISECOND;
    m_LastTime = wake;
    const ULONGLONG stamp = m_TimeStamp;
    LeaveCriticalSection(&m_TimeLock);

    const ULONGLONG position = m_SamplePosition;
    samplePosition->hi = static_cast<DWORD>(position >> 32);
    samplePosition->lo = static_cast<DWORD>(position);
    timeStamp->hi = static_cast<DWORD>(stamp >> 32);
    timeStamp->lo = static_cast<DWORD>(stamp);
    return ASE_OK;
}
