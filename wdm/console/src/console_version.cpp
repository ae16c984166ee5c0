#include "console/console_version.h"

VS_FIXEDFILEINFO ConsoleVersion()
{
    VS_FIXEDFILEINFO info{};
    info.dwSignature = VS_FFI_SIGNATURE;
    info.dwStrucVersion = VS_FFI_STRUCVERSION;
    // The build hands the project's version to the console.
    info.dwFileVersionMS = (KORVANE3_VERSION_MAJOR << 16) | KORVANE3_VERSION_MINOR;
    info.dwFileVersionLS = KORVANE3_VERSION_PATCH << 16;
    info.dwProductVersionMS = info.dwFileVersionMS;
    info.dwProductVersionLS = info.dwFileVersionLS;
    info.dwFileFlagsMask = VS_FFI_FILEFLAGSMASK;
    info.dwFileOS = VOS_NT_WINDOWS32;
    info.dwFileType = VFT_APP;
    return info;
}

void DeclareConsoleVersion() { win32::RegisterModuleVersion("korvane3.exe", ConsoleVersion()); }
