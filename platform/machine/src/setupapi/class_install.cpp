// The class installer: the property-change restart of a card's driver and
// the removal of a device node.
#include "machine/card_driver.h"
#include "machine/machine.h"
#include "setupapi.h"
#include "setupapi/device_info_set.h"
#include "tree/device_tree.h"

namespace {

BOOL Fail(DWORD error)
{
    SetLastError(error);
    return FALSE;
}

bool NodeGone(const machine::setupapi::Element& element)
{
    return element.removed || !machine::tree::NodeExists(element.instanceId);
}

// The restart, on the machine running now: a set may be older than a reboot.
BOOL Restart(const machine::setupapi::Element& element)
{
    const auto machine = machine::CurrentMachine();
    if (machine::CardDriver* card = machine->FindByInstanceId(element.instanceId)) {
        DWORD error = ERROR_SUCCESS;
        return card->Restart(error) == TRUE ? TRUE : Fail(error);
    }
    // Other hardware restarts without anything to show for it; absent hardware cannot.
    return machine->IsPresent(element.instanceId) ? TRUE : Fail(ERROR_DEVICE_IN_USE);
}

}  // namespace

BOOL SetupDiSetClassInstallParamsA(HDEVINFO deviceInfoSet, PSP_DEVINFO_DATA deviceInfoData,
                                   PSP_CLASSINSTALL_HEADER classInstallParams, DWORD classInstallParamsSize)
{
    machine::setupapi::LockedSet set(deviceInfoSet);
    if (!set) return FALSE;
    auto* element = machine::setupapi::ElementOf(*set, deviceInfoData);
    if (element == nullptr) return FALSE;
    if (classInstallParams == nullptr) {
        if (classInstallParamsSize != 0) return Fail(ERROR_INVALID_PARAMETER);
        element->propertyChange.reset();
        return TRUE;
    }
    if (classInstallParams->cbSize != sizeof(SP_CLASSINSTALL_HEADER)) return Fail(ERROR_INVALID_USER_BUFFER);
    // Only the property change is installed through parameters here.
    if (classInstallParams->InstallFunction != DIF_PROPERTYCHANGE ||
        classInstallParamsSize != sizeof(SP_PROPCHANGE_PARAMS))
        return Fail(ERROR_INVALID_PARAMETER);
    element->propertyChange = *reinterpret_cast<const SP_PROPCHANGE_PARAMS*>(classInstallParams);
    return TRUE;
}

BOOL SetupDiChangeState(HDEVINFO deviceInfoSet, PSP_DEVINFO_DATA deviceInfoData)
{
    machine::setupapi::LockedSet set(deviceInfoSet);
    if (!set) return FALSE;
    const auto* element = machine::setupapi::ElementOf(*set, deviceInfoData);
    if (element == nullptr) return FALSE;
    if (!element->propertyChange) return Fail(ERROR_NO_CLASSINSTALL_PARAMS);
    if (element->propertyChange->StateChange != DICS_PROPCHANGE) return Fail(ERROR_INVALID_PARAMETER);
    if (NodeGone(*element)) return Fail(ERROR_NO_SUCH_DEVINST);
    return Restart(*element);
}

BOOL SetupDiCallClassInstaller(DI_FUNCTION installFunction, HDEVINFO deviceInfoSet, PSP_DEVINFO_DATA deviceInfoData)
{
    if (installFunction == DIF_PROPERTYCHANGE) return SetupDiChangeState(deviceInfoSet, deviceInfoData);
    machine::setupapi::LockedSet set(deviceInfoSet);
    if (!set) return FALSE;
    auto* element = machine::setupapi::ElementOf(*set, deviceInfoData);
    if (element == nullptr) return FALSE;
    if (installFunction != DIF_REMOVE) return Fail(ERROR_DI_DO_DEFAULT);
    if (NodeGone(*element)) return Fail(ERROR_NO_SUCH_DEVINST);
    // A card with open files keeps serving them; nothing opens it again.
    if (!machine::tree::RemoveNode(element->instanceId)) return Fail(ERROR_CANTWRITE);
    element->removed = true;
    return TRUE;
}
