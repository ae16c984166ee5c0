// DriverCallback: a driver's notification to its client, by the kind of
// callback the client asked for when it opened the device.
#include "mmsystem/driver.h"

#include "win32/kernel.h"
#include "win32/message_queues.h"

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
    case DCB_WINDOW:
        return PostMessageA(reinterpret_cast<HWND>(callback), message, reinterpret_cast<WPARAM>(device),
                            static_cast<LPARAM>(param1));
    case DCB_TASK:
        return PostThreadMessageA(static_cast<DWORD>(callback), message, reinterpret_cast<WPARAM>(device),
                                  static_cast<LPARAM>(param1));
    default:
        return FALSE;
    }
}
