// Version information: the fixed file information of a module's version
// block and the calls that read it. The simulated machine's files carry no
// version resources, so a module declares its block at start-up with
// win32::RegisterModuleVersion; the blocks live in one process-wide table,
// shared by the program and every module it loads.
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

// The size of the file's version block; `handle` (may be NULL) gets 0. A
// name with a folder is found by its file name, ignoring case. 0 with
// ERROR_RESOURCE_TYPE_NOT_FOUND for a file that declared no block.
DWORD GetFileVersionInfoSizeA(LPCSTR fileName, LPDWORD handle);
// Copies the block into `data`; FALSE with ERROR_INSUFFICIENT_BUFFER when
// `size` is below the block's size, and with the error above for a file
// that declared none.
BOOL GetFileVersionInfoA(LPCSTR fileName, DWORD handle, DWORD size, LPVOID data);
// "\" gives the fixed file information inside `block` (52 bytes). Any other
// sub-block, or a block that is not a version block, is FALSE.
BOOL VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* buffer, PUINT length);

namespace win32 {

// Declares (or replaces) the version block of the module of that file name
// ("korvane3.exe"), kept until it is withdrawn. Thread-safe.
void RegisterModuleVersion(std::string_view fileName, const VS_FIXEDFILEINFO& info);
void UnregisterModuleVersion(std::string_view fileName);

}  // namespace win32
