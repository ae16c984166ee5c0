// SetupAPI over the simulated machine's device tree: device-information sets,
// device interfaces, registry properties and the class installer.
//
// The records have the 32-bit layouts that the system's code writes literally
// (SP_DEVINFO_DATA is 28 bytes, the fixed part of the interface detail 5), so
// the pointer-sized Reserved fields are 32-bit here.
#pragma once

#include <cstddef>

#include "win32/errors.h"
#include "win32/types.h"

// SetupDiGetClassDevsA flags.
constexpr DWORD DIGCF_DEFAULT = 0x00000001;
constexpr DWORD DIGCF_PRESENT = 0x00000002;
constexpr DWORD DIGCF_ALLCLASSES = 0x00000004;
constexpr DWORD DIGCF_PROFILE = 0x00000008;
constexpr DWORD DIGCF_DEVICEINTERFACE = 0x00000010;

// Device registry properties.
constexpr DWORD SPDRP_DEVICEDESC = 0x00000000;
constexpr DWORD SPDRP_HARDWAREID = 0x00000001;
constexpr DWORD SPDRP_COMPATIBLEIDS = 0x00000002;
constexpr DWORD SPDRP_UNUSED0 = 0x00000003;
constexpr DWORD SPDRP_SERVICE = 0x00000004;
constexpr DWORD SPDRP_UNUSED1 = 0x00000005;
constexpr DWORD SPDRP_UNUSED2 = 0x00000006;
constexpr DWORD SPDRP_CLASS = 0x00000007;
constexpr DWORD SPDRP_CLASSGUID = 0x00000008;
constexpr DWORD SPDRP_DRIVER = 0x00000009;
constexpr DWORD SPDRP_CONFIGFLAGS = 0x0000000A;
constexpr DWORD SPDRP_MFG = 0x0000000B;
constexpr DWORD SPDRP_FRIENDLYNAME = 0x0000000C;
constexpr DWORD SPDRP_LOCATION_INFORMATION = 0x0000000D;
constexpr DWORD SPDRP_MAXIMUM_PROPERTY = 0x00000025;  // the first number that names no property

// Class installer functions.
using DI_FUNCTION = UINT;
constexpr DI_FUNCTION DIF_REMOVE = 0x00000005;
constexpr DI_FUNCTION DIF_PROPERTYCHANGE = 0x00000012;

// State changes and their scope.
constexpr DWORD DICS_ENABLE = 0x00000001;
constexpr DWORD DICS_DISABLE = 0x00000002;
constexpr DWORD DICS_PROPCHANGE = 0x00000003;
constexpr DWORD DICS_START = 0x00000004;
constexpr DWORD DICS_STOP = 0x00000005;
constexpr DWORD DICS_FLAG_GLOBAL = 0x00000001;
constexpr DWORD DICS_FLAG_CONFIGSPECIFIC = 0x00000002;
constexpr DWORD DICS_FLAG_CONFIGGENERAL = 0x00000004;

// Device interface flags.
constexpr DWORD SPINT_ACTIVE = 0x00000001;
constexpr DWORD SPINT_DEFAULT = 0x00000002;
constexpr DWORD SPINT_REMOVED = 0x00000004;

// SetupAPI's own error codes.
constexpr DWORD ERROR_INVALID_REG_PROPERTY = 0xE0000209;
constexpr DWORD ERROR_DI_DO_DEFAULT = 0xE000020E;
constexpr DWORD ERROR_NO_SUCH_DEVICE_INTERFACE = 0xE0000216;
constexpr DWORD ERROR_NO_ASSOCIATED_CLASS = 0xE0000200;
constexpr DWORD ERROR_NO_CLASSINSTALL_PARAMS = 0xE0000215;

struct SP_DEVINFO_DATA {
    DWORD cbSize;  // 28
    GUID ClassGuid;
    DWORD DevInst;
    DWORD Reserved;  // ULONG_PTR on 32-bit Windows
};
static_assert(sizeof(SP_DEVINFO_DATA) == 28);
static_assert(offsetof(SP_DEVINFO_DATA, ClassGuid) == 4 && offsetof(SP_DEVINFO_DATA, DevInst) == 20 &&
              offsetof(SP_DEVINFO_DATA, Reserved) == 24);
using PSP_DEVINFO_DATA = SP_DEVINFO_DATA*;

struct SP_DEVICE_INTERFACE_DATA {
    DWORD cbSize;  // 28
    GUID InterfaceClassGuid;
    DWORD Flags;
    DWORD Reserved;  // ULONG_PTR on 32-bit Windows
};
static_assert(sizeof(SP_DEVICE_INTERFACE_DATA) == 28);
static_assert(offsetof(SP_DEVICE_INTERFACE_DATA, InterfaceClassGuid) == 4 &&
              offsetof(SP_DEVICE_INTERFACE_DATA, Flags) == 20 && offsetof(SP_DEVICE_INTERFACE_DATA, Reserved) == 24);
using PSP_DEVICE_INTERFACE_DATA = SP_DEVICE_INTERFACE_DATA*;

#pragma pack(push, 1)
struct SP_DEVICE_INTERFACE_DETAIL_DATA_A {
    DWORD cbSize;  // 5: the fixed part
    CHAR DevicePath[1];
};
#pragma pack(pop)
static_assert(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) == 5);
static_assert(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) == 4);
using PSP_DEVICE_INTERFACE_DETAIL_DATA_A = SP_DEVICE_INTERFACE_DETAIL_DATA_A*;

struct SP_CLASSINSTALL_HEADER {
    DWORD cbSize;  // 8
    DI_FUNCTION InstallFunction;
};
static_assert(sizeof(SP_CLASSINSTALL_HEADER) == 8 && offsetof(SP_CLASSINSTALL_HEADER, InstallFunction) == 4);
using PSP_CLASSINSTALL_HEADER = SP_CLASSINSTALL_HEADER*;

struct SP_PROPCHANGE_PARAMS {
    SP_CLASSINSTALL_HEADER ClassInstallHeader;
    DWORD StateChange;
    DWORD Scope;
    DWORD HwProfile;
};
static_assert(sizeof(SP_PROPCHANGE_PARAMS) == 20);
static_assert(offsetof(SP_PROPCHANGE_PARAMS, StateChange) == 8 && offsetof(SP_PROPCHANGE_PARAMS, Scope) == 12 &&
              offsetof(SP_PROPCHANGE_PARAMS, HwProfile) == 16);
using PSP_PROPCHANGE_PARAMS = SP_PROPCHANGE_PARAMS*;

// A set of device-information elements, taken as a snapshot of the device
// tree. With DIGCF_DEVICEINTERFACE `classGuid` is an interface class and the
// set holds every device with such an interface, element i being the device
// of interface i; with DIGCF_ALLCLASSES every device node of every class.
// INVALID_HANDLE_VALUE on failure.
HDEVINFO SetupDiGetClassDevsA(const GUID* classGuid, PCSTR enumerator, HWND parent, DWORD flags);
BOOL SetupDiDestroyDeviceInfoList(HDEVINFO deviceInfoSet);
BOOL SetupDiEnumDeviceInfo(HDEVINFO deviceInfoSet, DWORD memberIndex, PSP_DEVINFO_DATA deviceInfoData);
BOOL SetupDiEnumDeviceInterfaces(HDEVINFO deviceInfoSet, PSP_DEVINFO_DATA deviceInfoData,
                                 const GUID* interfaceClassGuid, DWORD memberIndex,
                                 PSP_DEVICE_INTERFACE_DATA deviceInterfaceData);
// Size query with a NULL detail and size 0: FALSE, ERROR_INSUFFICIENT_BUFFER and `requiredSize`.
BOOL SetupDiGetDeviceInterfaceDetailA(HDEVINFO deviceInfoSet, PSP_DEVICE_INTERFACE_DATA deviceInterfaceData,
                                      PSP_DEVICE_INTERFACE_DETAIL_DATA_A deviceInterfaceDetailData,
                                      DWORD deviceInterfaceDetailDataSize, PDWORD requiredSize,
                                      PSP_DEVINFO_DATA deviceInfoData);
BOOL SetupDiGetDeviceRegistryPropertyA(HDEVINFO deviceInfoSet, PSP_DEVINFO_DATA deviceInfoData, DWORD property,
                                       PDWORD propertyRegDataType, PBYTE propertyBuffer, DWORD propertyBufferSize,
                                       PDWORD requiredSize);
BOOL SetupDiSetClassInstallParamsA(HDEVINFO deviceInfoSet, PSP_DEVINFO_DATA deviceInfoData,
                                   PSP_CLASSINSTALL_HEADER classInstallParams, DWORD classInstallParamsSize);
// With DICS_PROPCHANGE params set, restarts the device's driver.
BOOL SetupDiChangeState(HDEVINFO deviceInfoSet, PSP_DEVINFO_DATA deviceInfoData);
// DIF_REMOVE removes the device node, its interfaces and its registry keys;
// DIF_PROPERTYCHANGE is SetupDiChangeState.
BOOL SetupDiCallClassInstaller(DI_FUNCTION installFunction, HDEVINFO deviceInfoSet, PSP_DEVINFO_DATA deviceInfoData);
