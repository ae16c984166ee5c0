// SetupAPI: making and destroying sets, walking their devices and interfaces,
// and the interface detail that carries the device path.
#include <cstring>

#include "setupapi.h"
#include "setupapi/device_info_set.h"

using machine::setupapi::LockedSet;

namespace {

BOOL Fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

}  // namespace

HDEVINFO SetupDiGetClassDevsA(const GUID* classGuid, PCSTR enumerator, HWND /*parent*/, DWORD flags)
{
    DWORD error = ERROR_SUCCESS;
    auto set = machine::setupapi::TakeSnapshot(classGuid, enumerator, flags, error);
    if (!set) {
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    return machine::setupapi::AddSet(std::move(set));
}

BOOL SetupDiDestroyDeviceInfoList(HDEVINFO deviceInfoSet)
{
    return machine::setupapi::RemoveSet(deviceInfoSet) ? TRUE : Fail(ERROR_INVALID_HANDLE);
}

BOOL SetupDiEnumDeviceInfo(HDEVINFO deviceInfoSet, DWORD memberIndex, PSP_DEVINFO_DATA deviceInfoData)
{
    LockedSet set(deviceInfoSet);
    if (!set) return FALSE;
    if (deviceInfoData == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    if (deviceInfoData->cbSize != sizeof(SP_DEVINFO_DATA)) return Fail(ERROR_INVALID_USER_BUFFER);
    if (memberIndex >= set->elements.size()) return Fail(ERROR_NO_MORE_ITEMS);
    machine::setupapi::FillDevInfo(*set, memberIndex, *deviceInfoData);
    return TRUE;
}

BOOL SetupDiEnumDeviceInterfaces(HDEVINFO deviceInfoSet, PSP_DEVINFO_DATA deviceInfoData,
                                 const GUID* interfaceClassGuid, DWORD memberIndex,
                                 PSP_DEVICE_INTERFACE_DATA deviceInterfaceData)
{
    LockedSet set(deviceInfoSet);
    if (!set) return FALSE;
    if (interfaceClassGuid == nullptr || deviceInterfaceData == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    if (deviceInterfaceData->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA)) return Fail(ERROR_INVALID_USER_BUFFER);
    std::size_t onlyElement = SIZE_MAX;
    if (deviceInfoData != nullptr) {
        const auto* element = machine::setupapi::ElementOf(*set, deviceInfoData);
        if (element == nullptr) return FALSE;
        onlyElement = static_cast<std::size_t>(element - set->elements.data());
    }
    DWORD seen = 0;
    for (std::size_t i = 0; i < set->interfaces.size(); ++i) {
        const auto& entry = set->interfaces[i];
        if (!(entry.classGuid == *interfaceClassGuid)) continue;
        if (onlyElement != SIZE_MAX && entry.element != onlyElement) continue;
        if (seen++ != memberIndex) continue;
        deviceInterfaceData->InterfaceClassGuid = entry.classGuid;
        deviceInterfaceData->Flags = entry.flags;
        deviceInterfaceData->Reserved = machine::setupapi::InterfaceToken(*set, i);
        return TRUE;
    }
    return Fail(ERROR_NO_MORE_ITEMS);
}

BOOL SetupDiGetDeviceInterfaceDetailA(HDEVINFO deviceInfoSet, PSP_DEVICE_INTERFACE_DATA deviceInterfaceData,
                                      PSP_DEVICE_INTERFACE_DETAIL_DATA_A deviceInterfaceDetailData,
                                      DWORD deviceInterfaceDetailDataSize, PDWORD requiredSize,
                                      PSP_DEVINFO_DATA deviceInfoData)
{
    LockedSet set(deviceInfoSet);
    if (!set) return FALSE;
    if (deviceInterfaceData == nullptr) return Fail(ERROR_INVALID_PARAMETER);
    if (deviceInterfaceData->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA)) return Fail(ERROR_INVALID_USER_BUFFER);
    const std::size_t index = (deviceInterfaceData->Reserved & 0xFFFFu) - 1;
    if (index >= set->interfaces.size() ||
        deviceInterfaceData->Reserved != machine::setupapi::InterfaceToken(*set, index))
        return Fail(ERROR_INVALID_PARAMETER);
    const auto& entry = set->interfaces[index];
    constexpr DWORD kFixedPart = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath);
    const DWORD needed = kFixedPart + static_cast<DWORD>(entry.path.size()) + 1;
    if (deviceInterfaceDetailData == nullptr) {
        if (deviceInterfaceDetailDataSize != 0) return Fail(ERROR_INVALID_USER_BUFFER);
        if (requiredSize != nullptr) *requiredSize = needed;
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    if (deviceInterfaceDetailDataSize < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) ||
        deviceInterfaceDetailData->cbSize != sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A))
        return Fail(ERROR_INVALID_USER_BUFFER);
    if (deviceInfoData != nullptr && deviceInfoData->cbSize != sizeof(SP_DEVINFO_DATA))
        return Fail(ERROR_INVALID_USER_BUFFER);
    if (requiredSize != nullptr) *requiredSize = needed;
    if (deviceInterfaceDetailDataSize < needed) return Fail(ERROR_INSUFFICIENT_BUFFER);
    // The path runs past the declared one-character array, into the caller's buffer.
    std::memcpy(reinterpret_cast<char*>(deviceInterfaceDetailData) + kFixedPart, entry.path.c_str(),
                entry.path.size() + 1);
    if (deviceInfoData != nullptr) machine::setupapi::FillDevInfo(*set, entry.element, *deviceInfoData);
    return TRUE;
}
