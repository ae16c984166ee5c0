// Version information: a module's version block and the calls that read
// it. A module carries its block among its resources (win32::VersionResource
// in its resource table); a program whose file has none declares its fixed
// file information at start-up with win32::RegisterModuleVersion, into one
// process-wide table.
#pragma once

#include <string_view>

#include "win32/types.h"

struct VS_FIXEDFILEINFO {
    DWORD dwSignature;  // VS_FFI_SIGNATURE
    DWORD dwStrucVersion;
    DWORD dwFileVersionMS;  // major << 16 | minor
    DWORD dwFileVersionLS;  // third << 16 | fourth
    DWORD dwProductVersionMS;
    DWORD dwProductVersionLS;
    DWORD dwFileFlagsMask;
    DWORD dwFileFlags;
    DWORD dwFileOS;
    DWORD dwFileType;
    DWORD dwFileSubtype;
    DWORD dwFileDateMS;
    DWORD dwFileDateLS;
};
static_assert(sizeof(VS_FIXEDFILEINFO) == 52);
static_assert(offsetof(VS_FIXEDFILEINFO, dwFileVersionMS) == 8);
static_assert(offsetof(VS_FIXEDFILEINFO, dwFileDateLS) == 48);

constexpr DWORD VS_FFI_SIGNATURE = 0xFEEF04BD;
constexpr DWORD VS_FFI_STRUCVERSION = 0x00010000;
constexpr DWORD VS_FFI_FILEFLAGSMASK = 0x0000003F;
constexpr DWORD VOS_NT_WINDOWS32 = 0x00040004;
constexpr DWORD VFT_APP = 0x00000001;
constexpr DWORD VFT_DLL = 0x00000002;

// The size of the file's version block; `handle` (may be NULL) gets 0. The
// file is found by its file name (a folder is ignored), ignoring case: a
// declared block, else the block of the loaded module of that file name.
// 0 with ERROR_FILE_NOT_FOUND when there is neither, and with
// ERROR_RESOURCE_TYPE_NOT_FOUND for a module that carries no block.
DWORD GetFileVersionInfoSizeA(LPCSTR fileName, LPDWORD handle);
// Copies the block into `data`; FALSE with ERROR_INSUFFICIENT_BUFFER when
// `size` is below the block's size, and with the errors above.
BOOL GetFileVersionInfoA(LPCSTR fileName, DWORD handle, DWORD size, LPVOID data);
// Inside `block`: "\" gives the fixed file information (52 bytes),
// "\VarFileInfo\Translation" the (language, code page) pairs, 4 bytes
// each, and "\StringFileInfo\040904B0\FileDescription" a text of that
// string table, its length in characters with the terminating zero. Names
// compare ignoring case. FALSE for a missing sub-block, or a block that is
// not a version block.
BOOL VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* buffer, PUINT length);

namespace win32 {

// Declares (or replaces) the version block of the module of that file name
// ("korvane3.exe"), kept until it is withdrawn. Thread-safe.
void RegisterModuleVersion(std::string_view fileName, const VS_FIXEDFILEINFO& info);
void UnregisterModuleVersion(std::string_view fileName);

}  // namespace win32
