// The version record: the simulated machine is a Windows NT family system,
// version 5.1 build 2600 with Service Pack 3.
#include <cstring>

#include "win32/errors.h"
#include "win32/files.h"

BOOL GetVersionExA(LPOSVERSIONINFOA info)
{
    if (info == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    info->dwMajorVersion = 5;
    info->dwMinorVersion = 1;
    info->dwBuildNumber = 2600;
    info->dwPlatformId = VER_PLATFORM_WIN32_NT;
    std::memset(info->szCSDVersion, 0, sizeof info->szCSDVersion);
    std::strcpy(info->szCSDVersion, "Service Pack 3");
    return TRUE;
}
