// The transport session, pipe reservations and the driver restart.
#include "daveror.h"

#include "daveror_lock.h"
#include "daveror_trace.h"

int CDaveror::OpenTransport()
{
    CDaverorLock lock(m_Mutex);
    if (m_Handle == INVALID_HANDLE_VALUE) return DAVEROR_NO_HANDLE;
    DWORD cookie = 0;
    BOOL result = Ioctl(IOCTL_OPEN_TRANSPORT, NULL, 0, &cookie, sizeof cookie);
    m_TransportCookie = cookie;
    if (!result || cookie == 0) {
        if (m_Variant == Variant::WaveCard) {
            SetError("Could not get transport cookie Err 0x%x", result ? 0u : GetLastError());
            DaverorTrace("CDaveror::OpenTransport() %s %s\n", m_Path, m_ErrorText);
        } else {
            SetError("Could not get transport cookie");
        }
        return DAVEROR_NO_COOKIE;
    }
    return DAVEROR_OK;
}

int CDaveror::CloseTransport()
{
    CDaverorLock lock(m_Mutex);
    if (m_TransportEvent) {
        CloseHandle(m_TransportEvent);
        m_TransportEvent = nullptr;
    }
    if (m_Ok && m_Handle != INVALID_HANDLE_VALUE && m_TransportCookie != 0) {
        DWORD cookie = m_TransportCookie;
        Ioctl(IOCTL_CLOSE_TRANSPORT, &cookie, sizeof cookie, NULL, 0);
    }
    m_TransportCookie = 0;
    return DAVEROR_OK;
}

DWORD CDaveror::ReservePipes(DWORD mode, DWORD direction, WORD firstPipe, WORD pipeCount)
{
    PipeReservation reservation = {m_TransportCookie, mode, direction, firstPipe, pipeCount};
    DWORD result = DAVEROR_FAILED;  // a failed request reserves nothing
    Ioctl(IOCTL_RESERVE_PIPES, &reservation, sizeof reservation, &result, sizeof result);
    return result;
}

BOOL CDaveror::RestartDriver()
{
    if (m_DeviceNode.cbSize == 0) return 0;
    CDaverorLock lock(m_Mutex);
    Close();
    SP_PROPCHANGE_PARAMS params;
    params.ClassInstallHeader.cbSize = sizeof(SP_CLASSINSTALL_HEADER);
    params.ClassInstallHeader.InstallFunction = DIF_PROPERTYCHANGE;
    params.StateChange = DICS_PROPCHANGE;
    params.Scope = DICS_FLAG_GLOBAL;
    params.HwProfile = 0;
    BOOL result = SetupDiSetClassInstallParamsA(m_DeviceSet, &m_DeviceNode, &params.ClassInstallHeader, sizeof params);
    if (result == 1) result = SetupDiChangeState(m_DeviceSet, &m_DeviceNode);
    return result;
}
