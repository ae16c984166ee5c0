// DeviceEnumerator: every device node of the machine, of every class and
// present or not, taken one index after another, with a buffer for each of
// the two properties the cleanup reads. Both buffers serve node after node.
#pragma once

#include <vector>

#include <setupapi.h>
#include <windows.h>

class DeviceEnumerator {
public:
    DeviceEnumerator();
    ~DeviceEnumerator();
    DeviceEnumerator(const DeviceEnumerator&) = delete;
    DeviceEnumerator& operator=(const DeviceEnumerator&) = delete;

    // False when the device-information set could not be made.
    bool isValid() const noexcept { return deviceInfoSet != INVALID_HANDLE_VALUE; }

    // Makes node `index` the current one; false past the last node.
    bool selectDevice(DWORD index);
    // The current node's hardware IDs read as one zero-terminated string, so
    // that only the first of them counts; empty when they cannot be read.
    const char* readHardwareId();
    // The current node's friendly name; null when it cannot be read.
    const char* readFriendlyName();
    // Removes the current node, whatever comes of it.
    void removeDevice();

private:
    static constexpr DWORD bufferSize = 1024;

    // Cleared before the read, so that a failed read leaves it empty rather
    // than holding the previous node's value; cut at its last byte.
    bool readProperty(DWORD property, std::vector<char>& buffer);

    HDEVINFO deviceInfoSet;
    SP_DEVINFO_DATA deviceInfoData;
    std::vector<char> hardwareId;
    std::vector<char> friendlyName;
};
