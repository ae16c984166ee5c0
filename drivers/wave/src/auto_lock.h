// Holds a critical section for one scope, so that every path out of it,
// an exception included, lets the section go.
#pragma once

#include <windows.h>

class CAutoLock {
public:
    explicit CAutoLock(CRITICAL_SECTION& section) : m_Section(section) { EnterCriticalSection(&m_Section); }
    ~CAutoLock() { LeaveCriticalSection(&m_Section); }
    CAutoLock(const CAutoLock&) = delete;
    CAutoLock& operator=(const CAutoLock&) = delete;

private:
    CRITICAL_SECTION& m_Section;
};
