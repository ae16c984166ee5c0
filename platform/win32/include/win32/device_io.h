// The seam between the Win32 file calls and the simulated machine's card
// driver. The machine installs a namespace; CreateFileA hands device paths to
// it, DeviceIoControl calls the file it made, CloseHandle closes it.
#pragma once

#include <memory>
#include <span>
#include <string_view>

#include "win32/types.h"

namespace win32 {

class DeviceFile {
public:
    virtual ~DeviceFile() = default;
    // One request. `buffer` is the system buffer of max(inSize, outSize)
    // bytes, holding the input on entry. On TRUE the first `returned` bytes
    // (at most outSize) go back to the caller; on FALSE nothing does and the
    // file has called SetLastError.
    virtual BOOL Control(DWORD code, std::span<BYTE> buffer, DWORD inSize, DWORD outSize, DWORD& returned) = 0;
    // The handle closed: the driver's cleanup for this open file. Called
    // exactly once per file (also when no handle could be made for it).
    virtual void Cleanup() = 0;
};

class DeviceNamespace {
public:
    virtual ~DeviceNamespace() = default;
    // `path` is the whole path CreateFileA was given ("\\?\..."). nullptr
    // with `error` set when the path names no device that can be opened.
    virtual std::shared_ptr<DeviceFile> Open(std::string_view path, DWORD desiredAccess, DWORD shareMode,
                                             DWORD& error) = 0;
};

// The machine's namespace, or none; not owned. Returns the previous one.
// Thread-safe: once this returns, no CreateFileA uses the old namespace.
DeviceNamespace* InstallDeviceNamespace(DeviceNamespace* deviceNamespace);

}  // namespace win32
