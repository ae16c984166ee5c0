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
// device file of the simulated machine: the whole path goes to the
// installed win32::DeviceNamespace (none installed: ERROR_FILE_NOT_FOUND).
// Any other path opens a plain file, every '\' taken as '/', with the
// Windows dispositions and errors (CREATE_NEW on an existing file
// ERROR_FILE_EXISTS; OPEN_EXISTING on a missing one ERROR_FILE_NOT_FOUND, or
// ERROR_PATH_NOT_FOUND when its folder is missing; CREATE_ALWAYS and
// OPEN_ALWAYS that met an existing file succeed with ERROR_ALREADY_EXISTS).
// Share modes, attributes and FILE_FLAG_OVERLAPPED are not used: every call
// is synchronous.
HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode, LPSECURITY_ATTRIBUTES attributes,
                   DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile);
// Buffered semantics: the file sees one system buffer of max(in, out) bytes
// holding the input (the rest zeroed); on success the first `returned`
// bytes (at most outBufferSize) reach outBuffer and *bytesReturned, and the
// result is TRUE (1); on failure outBuffer is untouched, *bytesReturned is 0
// and the error is the file's. In and out may be one buffer. A handle that
// is no device file: ERROR_INVALID_HANDLE. A NULL buffer with a nonzero
// size: ERROR_INVALID_PARAMETER, before the file sees anything. A NULL
// bytesReturned is allowed. `overlapped` is ignored (synchronous).
BOOL DeviceIoControl(HANDLE device, DWORD ioControlCode, LPVOID inBuffer, DWORD inBufferSize, LPVOID outBuffer,
                     DWORD outBufferSize, LPDWORD bytesReturned, LPOVERLAPPED overlapped);
// Plain files only (else ERROR_INVALID_HANDLE); reads up to the count or the end.
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, LPOVERLAPPED overlapped);
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten, LPOVERLAPPED overlapped);

// One level; ERROR_ALREADY_EXISTS, ERROR_PATH_NOT_FOUND (parent missing).
BOOL CreateDirectoryA(LPCSTR pathName, LPSECURITY_ATTRIBUTES attributes);
// ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND; a folder is ERROR_ACCESS_DENIED.
BOOL DeleteFileA(LPCSTR fileName);
// The length without the terminator; when `size` is too small, the size
// needed with the terminator (the buffer untouched); 0 with
// ERROR_ENVVAR_NOT_FOUND when the variable is missing.
DWORD GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size);
// A NULL value removes the variable.
BOOL SetEnvironmentVariableA(LPCSTR name, LPCSTR value);
// An existing path comes back unchanged: the simulated machine has no short
// names. A path that does not exist is 0 with ERROR_FILE_NOT_FOUND, or
// ERROR_PATH_NOT_FOUND when its folder is missing. Source and destination
// may be one buffer. Sizes as GetEnvironmentVariableA.
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
// NT family, 5.1 build 2600 "Service Pack 3". dwOSVersionInfoSize must be
// 148, else FALSE with ERROR_INSUFFICIENT_BUFFER.
BOOL GetVersionExA(LPOSVERSIONINFOA info);
