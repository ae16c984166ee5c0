#include "console/file_version.h"

#include <vcl.h>

#include <vector>

#include <win32/version_info.h>

void GetFileVersionString(const char* fileName, std::string& out)
{
    out.clear();
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(fileName, &handle);
    if (size == 0) return;
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfoA(fileName, handle, size, block.data())) return;
    LPVOID fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\", &fixed, &length) || fixed == nullptr ||
        length != sizeof(VS_FIXEDFILEINFO))
        return;
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
    const unsigned major = info->dwFileVersionMS >> 16;
    const unsigned minor = info->dwFileVersionMS & 0xFFFF;
    const unsigned third = info->dwFileVersionLS >> 16;
    out = third != 0 ? Format("%u.%02u.%u", major, minor, third) : Format("%u.%02u", major, minor);
}
