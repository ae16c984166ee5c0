// Holds a card's mutex for one scope. The mutex is a Win32 mutex, so its
// owner may take it again: Close takes it inside RestartDriver, CloseMixer and
// CloseTransport inside Close.
#pragma once

#include <windows.h>

class CDaverorLock {
public:
    explicit CDaverorLock(HANDLE mutex) : m_Mutex(mutex)
    {
        if (m_Mutex) WaitForSingleObject(m_Mutex, INFINITE);
    }
    ~CDaverorLock()
    {
        if (m_Mutex) ReleaseMutex(m_Mutex);
    }
    CDaverorLock(const CDaverorLock&) = delete;
    CDaverorLock& operator=(const CDaverorLock&) = delete;

private:
    HANDLE m_Mutex;
};
