// The device half of CreateFileA, kept beside DeviceIoControl.
#pragma once

#include <string_view>

#include "win32/types.h"

namespace win32 {

// A handle to the device file the installed namespace opens for `path`, or
// INVALID_HANDLE_VALUE with the last error set.
HANDLE OpenDeviceFile(std::string_view path, DWORD desiredAccess, DWORD shareMode);

}  // namespace win32
