#include "device_enumerator.h"

#include <algorithm>

DeviceEnumerator::DeviceEnumerator()
    : deviceInfoSet(SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES)),
      deviceInfoData{},
      hardwareId(bufferSize),
      friendlyName(bufferSize)
{
    deviceInfoData.cbSize = sizeof(SP_DEVINFO_DATA);
}

DeviceEnumerator::~DeviceEnumerator()
{
    if (isValid()) SetupDiDestroyDeviceInfoList(deviceInfoSet);
}

bool DeviceEnumerator::selectDevice(DWORD index)
{
    return SetupDiEnumDeviceInfo(deviceInfoSet, index, &deviceInfoData) != FALSE;
}

const char* DeviceEnumerator::readHardwareId()
{
    readProperty(SPDRP_HARDWAREID, hardwareId);
    return hardwareId.data();
}

const char* DeviceEnumerator::readFriendlyName()
{
    return readProperty(SPDRP_FRIENDLYNAME, friendlyName) ? friendlyName.data() : nullptr;
}

void DeviceEnumerator::removeDevice()
{
    SetupDiCallClassInstaller(DIF_REMOVE, deviceInfoSet, &deviceInfoData);
}

bool DeviceEnumerator::readProperty(DWORD property, std::vector<char>& buffer)
{
    std::fill(buffer.begin(), buffer.end(), '\0');
    if (!SetupDiGetDeviceRegistryPropertyA(deviceInfoSet, &deviceInfoData, property, nullptr,
                                           reinterpret_cast<BYTE*>(buffer.data()),
                                           static_cast<DWORD>(buffer.size()), nullptr))
        return false;
    buffer.back() = '\0';
    return true;
}
