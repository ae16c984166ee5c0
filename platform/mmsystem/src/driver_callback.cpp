// DriverCallback: a driver's notification to its client, by the kind of
// callback the client asked for when it opened the device.
#include "mmsystem/driver.h"

#include "win32/kernel.h"

BOOL DriverCallback(DWORD_PTR callback, DWORD flags, HDRVR device, DWORD message, DWORD_PTR user,
                    DWORD_PTR param1, DWORD_PTR param2)
{
    if (callback == 0) return FALSE;
    switch (flags & DCB_TYPEMASK) {
    case DCB_FUNCTION:
        reinterpret_cast<LPDRVCALLBACK>(callback)(device, message, user, param1, param2);
        return TRUE;
    case DCB_EVENT:
        return SetEvent(reinterpret_cast<HANDLE>(callback)) ? TRUE : FALSE;
    default:
        // DCB_NULL; window and task callbacks would need a message queue per thread.
        return FALSE;
    }
}
