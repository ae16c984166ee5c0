// The keys of an in-process server under HKEY_CLASSES_ROOT\CLSID and of an
// ASIO driver under HKEY_LOCAL_MACHINE\SOFTWARE\ASIO.
#include "registration.h"

#include "registry_routines.h"

namespace {

constexpr DWORD kPathSize = 360;
constexpr int kClsidTextSize = 100;

void LowerCase(char* text)
{
    for (; *text; ++text)
        if (*text >= 'A' && *text <= 'Z') *text = static_cast<char>(*text - 'A' + 'a');
}

// The module's lower-cased path and the class identifier's braced text.
LONG GetServerIdentity(REFCLSID clsid, const char* moduleFileName, char (&path)[kPathSize],
                       char (&clsidText)[kClsidTextSize])
{
    HMODULE module = GetModuleHandleA(moduleFileName);
    if (!module) return REGISTER_NO_MODULE;
    path[0] = '\0';
    GetModuleFileNameA(module, path, kPathSize);
    if (path[0] == '\0') return REGISTER_NO_PATH;
    LowerCase(path);

    LPOLESTR text;
    if (FAILED(StringFromCLSID(clsid, &text))) return REGISTER_NO_CLSID_TEXT;
    int converted = WideCharToMultiByte(CP_ACP, 0, text, -1, clsidText, kClsidTextSize, NULL, NULL);
    CoTaskMemFree(text);
    return converted ? 0 : REGISTER_NO_ANSI_TEXT;
}

}  // namespace

LONG RegisterAsioDriver(REFCLSID clsid, const char* moduleFileName, const char* driverName, const char* description,
                        const char* threadingModel)
{
    char path[kPathSize];
    char clsidText[kClsidTextSize];
    if (LONG code = GetServerIdentity(clsid, moduleFileName, path, clsidText)) return code;

    char classKey[512];
    char serverKey[512];
    wsprintfA(classKey, "%s\\%s", "CLSID", clsidText);
    wsprintfA(serverKey, "%s\\%s\\%s", "CLSID", clsidText, "InprocServer32");

    // The class keys stay as they are while they name this very file.
    bool writeClass = true;
    if (RegistryKeyExists(HKEY_CLASSES_ROOT, classKey) == 1) {
        // The stored path has no terminator of its own; the buffer's last byte is one.
        char storedPath[kPathSize + 1] = {};
        RegistryReadValue(HKEY_CLASSES_ROOT, serverKey, NULL, storedPath, kPathSize);
        LowerCase(storedPath);
        if (lstrcmpA(storedPath, path) == 0)
            writeClass = false;
        else
            RegistryDeleteTree(HKEY_CLASSES_ROOT, "CLSID", clsidText);
    }
    if (writeClass) {
        RegistryCreateSubkey(HKEY_CLASSES_ROOT, "CLSID", clsidText);
        RegistrySetString(HKEY_CLASSES_ROOT, classKey, NULL, description);
        RegistryCreateSubkey(HKEY_CLASSES_ROOT, classKey, "InprocServer32");
        RegistrySetString(HKEY_CLASSES_ROOT, serverKey, NULL, path);
        RegistrySetString(HKEY_CLASSES_ROOT, serverKey, "ThreadingModel", threadingModel);
    }

    // The driver key is made afresh every time, its settings with it.
    char asioKey[512];
    char driverKey[512];
    wsprintfA(asioKey, "%s\\%s", "SOFTWARE", "ASIO");
    wsprintfA(driverKey, "%s\\%s\\%s", "SOFTWARE", "ASIO", driverName);
    if (RegistryKeyExists(HKEY_LOCAL_MACHINE, asioKey) == 1) {
        if (RegistryKeyExists(HKEY_LOCAL_MACHINE, driverKey) == 1)
            RegistryDeleteTree(HKEY_LOCAL_MACHINE, asioKey, driverName);
    } else {
        RegistryCreateSubkey(HKEY_LOCAL_MACHINE, "SOFTWARE", "ASIO");
    }
    RegistryCreateSubkey(HKEY_LOCAL_MACHINE, asioKey, driverName);
    RegistrySetString(HKEY_LOCAL_MACHINE, driverKey, "CLSID", clsidText);
    RegistrySetString(HKEY_LOCAL_MACHINE, driverKey, "Description", description);
    return 0;
}

LONG UnregisterAsioDriver(REFCLSID clsid, const char* moduleFileName, const char* driverName)
{
    char path[kPathSize];
    char clsidText[kClsidTextSize];
    if (LONG code = GetServerIdentity(clsid, moduleFileName, path, clsidText)) return code;

    char classKey[512];
    wsprintfA(classKey, "%s\\%s", "CLSID", clsidText);
    if (RegistryKeyExists(HKEY_CLASSES_ROOT, classKey) == 1) RegistryDeleteTree(HKEY_CLASSES_ROOT, "CLSID", clsidText);

    char asioKey[512];
    char driverKey[512];
    wsprintfA(asioKey, "%s\\%s", "SOFTWARE", "ASIO");
    wsprintfA(driverKey, "%s\\%s\\%s", "SOFTWARE", "ASIO", driverName);
    if (RegistryKeyExists(HKEY_LOCAL_MACHINE, asioKey) != 1) return 0;
    if (RegistryKeyExists(HKEY_LOCAL_MACHINE, driverKey) == 1)
        RegistryDeleteTree(HKEY_LOCAL_MACHINE, asioKey, driverName);
    return 0;
}
