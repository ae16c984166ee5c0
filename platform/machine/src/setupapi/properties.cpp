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
    case SPDRP_DRIVER: return "Driver";
    case SPDRP_CONFIGFLAGS: return "ConfigFlags";
    case SPDRP_MFG: return "Mfg";
    case SPDRP_FRIENDLYNAME: return "FriendlyName";
    case SPDRP_LOCATION_INFORMATION: return "LocationInformation";
    default: return nullptr;
    }
}

// Numbers that name no property at all; the rest are properties a node may simply not have.
bool IsProperty(DWORD property)
{
    return property < SPDRP_MAXIMUM_PROPERTY && property != SPDRP_UNUSED0 && property != SPDRP_UNUSED1 &&
           property != SPDRP_UNUSED2;
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
    if (!IsProperty(property)) return Fail(ERROR_INVALID_REG_PROPERTY);
    if (propertyBuffer == nullptr && propertyBufferSize != 0) return Fail(ERROR_INVALID_PARAMETER);
    if (element->removed) return Fail(ERROR_NO_SUCH_DEVINST);
    const char* valueName = ValueOfProperty(property);
    // The properties the device tree does not keep are ones no node of this machine has.
    const auto value = valueName != nullptr ? machine::tree::ReadNodeValue(element->instanceId, valueName)
                                            : std::nullopt;
    if (!value)
        return Fail(machine::tree::NodeExists(element->instanceId) ? ERROR_INVALID_DATA : ERROR_NO_SUCH_DEVINST);
    const auto size = static_cast<DWORD>(value->data.size());
    if (propertyRegDataType != nullptr) *propertyRegDataType = value->type;
    if (requiredSize != nullptr) *requiredSize = size;
    if (propertyBufferSize < size) return Fail(ERROR_INSUFFICIENT_BUFFER);
    if (size != 0) std::memcpy(propertyBuffer, value->data.data(), size);
    return TRUE;
}
