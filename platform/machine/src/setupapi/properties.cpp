// SetupDiGetDeviceRegistryPropertyA: a device node's properties, read from
// its registry key at the time of the call.
#include <cstring>

#include "setupapi.h"
#include "setupapi/device_info_set.h"
#include "tree/device_tree.h"

namespace {

BOOL Fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

const char* ValueOfProperty(DWORD property)
{
    switch (property) {
    case SPDRP_DEVICEDESC: return "DeviceDesc";
    case SPDRP_HARDWAREID: return "HardwareID";
    case SPDRP_COMPATIBLEIDS: return "CompatibleIDs";
    case SPDRP_SERVICE: return "Service";
    case SPDRP_CLASS: return "Class";
    case SPDRP_CLASSGUID: return "ClassGUID";
    case SPDRP_MFG: return "Mfg";
    case SPDRP_FRIENDLYNAME: return "FriendlyName";
    default: return nullptr;
    }
}

}  // namespace

BOOL SetupDiGetDeviceRegistryPropertyA(HDEVINFO deviceInfoSet, PSP_DEVINFO_DATA deviceInfoData, DWORD property,
                                       PDWORD propertyRegDataType, PBYTE propertyBuffer, DWORD propertyBufferSize,
                                       PDWORD requiredSize)
{
    machine::setupapi::LockedSet set(deviceInfoSet);
    if (!set) return FALSE;
    const auto* element = machine::setupapi::ElementOf(*set, deviceInfoData);
    if (element == nullptr) return FALSE;
    const char* valueName = ValueOfProperty(property);
    if (valueName == nullptr) return Fail(ERROR_INVALID_REG_PROPERTY);
    if (propertyBuffer == nullptr && propertyBufferSize != 0) return Fail(ERROR_INVALID_PARAMETER);
    if (element->removed) return Fail(ERROR_NO_SUCH_DEVINST);
    const auto value = machine::tree::ReadNodeValue(element->instanceId, valueName);
    if (!value)
        return Fail(machine::tree::NodeExists(element->instanceId) ? ERROR_INVALID_DATA : ERROR_NO_SUCH_DEVINST);
    const auto size = static_cast<DWORD>(value->data.size());
    if (propertyRegDataType != nullptr) *propertyRegDataType = value->type;
    if (requiredSize != nullptr) *requiredSize = size;
    if (propertyBufferSize < size) return Fail(ERROR_INSUFFICIENT_BUFFER);
    if (size != 0) std::memcpy(propertyBuffer, value->data.data(), size);
    return TRUE;
}
