// The library's exports, by name; the comments give their ordinals. Nothing
// else of the library is visible to the loader.
#include <objbase.h>

#include "class_factory.h"
#include "driver_identity.h"
#include "registration.h"
#include "unknown.h"

#define ASIO_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr HRESULT kServerFailed = MakeHresult(0xFFFFFFFF);

void ShowFailure(const char* format, LONG code)
{
    char text[128];
    ZeroMemory(text, sizeof text);
    wsprintfA(text, format, code);
    MessageBoxA(NULL, text, kDriverName, MB_OK);
}

}  // namespace

// 1
ASIO_EXPORT HRESULT DllRegisterServer()
{
    LONG code = RegisterAsioDriver(CLSID_AsioZavo, kModuleFileName, kDriverName, kDriverDescription, kThreadingModel);
    if (code == 0) return S_OK;
    ShowFailure("Register Server failed ! (%d)", code);
    return kServerFailed;
}

// 2
ASIO_EXPORT HRESULT DllUnregisterServer()
{
    // The driver key registration wrote, so that no driver stays listed with its class gone.
    LONG code = UnregisterAsioDriver(CLSID_AsioZavo, kModuleFileName, kDriverName);
    if (code == 0) return S_OK;
    ShowFailure("Unregister Server failed ! (%d)", code);
    return kServerFailed;
}

// 3
ASIO_EXPORT HRESULT DllCanUnloadNow() { return g_LockCount > 0 || g_ObjectCount != 0 ? S_FALSE : S_OK; }

// 4
ASIO_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out)
{
    return GetClassFactory(clsid, iid, out);
}

// 5
ASIO_EXPORT BOOL DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
