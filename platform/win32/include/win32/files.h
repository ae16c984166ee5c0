// Files, device files, the environment and the version record.
#pragma once

#include "win32/types.h"

constexpr DWORD GENERIC_READ = 0x80000000;
constexpr DWORD GENERIC_WRITE = 0x40000000;
constexpr DWORD FILE_SHARE_READ = 0x00000001;
constexpr DWORD FILE_SHARE_WRITE = 0x00000002;
constexpr DWORD FILE_SHARE_DELETE = 0x00000004;
constexpr DWORD CREATE_NEW = 1;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD OPEN_ALWAYS = 4;
constexpr DWORD TRUNCATE_EXISTING = 5;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x00000080;
constexpr DWORD FILE_FLAG_OVERLAPPED = 0x40000000;

// Device control codes: device type, function, method, access.
constexpr DWORD FILE_DEVICE_SOUND = 0x0000001D;
constexpr DWORD METHOD_BUFFERED = 0;
constexpr DWORD METHOD_IN_DIRECT = 1;
constexpr DWORD METHOD_OUT_DIRECT = 2;
constexpr DWORD METHOD_NEITHER = 3;
constexpr DWORD FILE_ANY_ACCESS = 0;
constexpr DWORD FILE_READ_ACCESS = 1;
constexpr DWORD FILE_WRITE_ACCESS = 2;
constexpr DWORD CTL_CODE(DWORD deviceType, DWORD function, DWORD method, DWORD access) noexcept
{
    return (deviceType << 16) | (access << 14) | (function << 2) | method;
}

// A path that names a device interface ("\\?\..." or "\\.\...") opens a
// device file of the simulated machine; any other path a plain file.
HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode, LPSECURITY_ATTRIBUTES attributes,
                   DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile);
// Buffered semantics: the output reaches the caller only on success.
BOOL DeviceIoControl(HANDLE device, DWORD ioControlCode, LPVOID inBuffer, DWORD inBufferSize, LPVOID outBuffer,
                     DWORD outBufferSize, LPDWORD bytesReturned, LPOVERLAPPED overlapped);
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, LPOVERLAPPED overlapped);
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten, LPOVERLAPPED overlapped);

BOOL CreateDirectoryA(LPCSTR pathName, LPSECURITY_ATTRIBUTES attributes);
BOOL DeleteFileA(LPCSTR fileName);
DWORD GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size);
BOOL SetEnvironmentVariableA(LPCSTR name, LPCSTR value);
// The path unchanged: the simulated machine has no short names.
DWORD GetShortPathNameA(LPCSTR longPath, LPSTR shortPath, DWORD size);

constexpr DWORD VER_PLATFORM_WIN32s = 0;
constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr DWORD VER_PLATFORM_WIN32_NT = 2;
struct OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    CHAR szCSDVersion[128];
};
static_assert(sizeof(OSVERSIONINFOA) == 148);
using LPOSVERSIONINFOA = OSVERSIONINFOA*;
BOOL GetVersionExA(LPOSVERSIONINFOA info);
