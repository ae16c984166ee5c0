// Meters and change notifications: the two requests of every meter tick.
// Both use buffers the card object holds, so a tick allocates nothing.
#include "daveror.h"

#include <new>

int CDaveror::ReadMeters()
{
    if (!m_Ok) return 0;
    m_Meters.MixerCookie = m_MixerCookie;
    BOOL result = Ioctl(IOCTL_GET_METERS, &m_Meters, sizeof m_Meters, &m_Meters, sizeof m_Meters);
    // The cookie rides in the record from one tick to the next, whatever the reply held there.
    m_Meters.MixerCookie = m_MixerCookie;
    // Readers loop over these counts; keep them within the level arrays.
    if (m_Meters.PipeMeterCount > MAX_PIPE_METERS) m_Meters.PipeMeterCount = MAX_PIPE_METERS;
    if (m_Meters.BusMeterCount > MAX_BUS_METERS) m_Meters.BusMeterCount = MAX_BUS_METERS;
    return result;
}

int CDaveror::GetNotifications(DWORD* count, NotifyEntry** entries)
{
    if (!m_Notify) {
        m_NotifySize = sizeof(NotifyBuffer);
        m_Notify = new (std::nothrow) NotifyBuffer{};
        if (!m_Notify) {
            *count = 0;
            *entries = nullptr;
            return DAVEROR_NO_MEMORY;
        }
    }
    m_Notify->MixerCookie = m_MixerCookie;
    m_Notify->Count = NOTIFY_CAPACITY;
    BOOL result = Ioctl(IOCTL_GET_NOTIFICATIONS, m_Notify, m_NotifySize, m_Notify, m_NotifySize);
    // A failed fetch yields nothing, and no reply hands out more than the buffer holds.
    DWORD filled = result ? m_Notify->Count : 0;
    *count = filled > NOTIFY_CAPACITY ? NOTIFY_CAPACITY : filled;
    *entries = m_Notify->Entries;
    return result;
}
