// In-process servers: the libraries COM loaded for CoCreateInstance, each
// loaded once per process and kept until CoFreeUnusedLibraries finds it
// unused. One lock covers a whole creation and a whole sweep, so that a sweep
// on another thread never frees a library while an object is being made in it.
#include "com/servers.h"

#include <mutex>
#include <set>
#include <string>

#include <windows.h>

#include "apartment_state.h"
#include "guid_format.h"

namespace {

using DllGetClassObjectProc = HRESULT (*)(REFCLSID clsid, REFIID iid, LPVOID* out);
using DllCanUnloadNowProc = HRESULT (*)();

struct ServerTable {
    std::recursive_mutex lock;
    std::set<HMODULE> loaded;  // each holds the one LoadLibraryA reference COM keeps
};

ServerTable& Servers()
{
    static auto* table = new ServerTable;  // never destroyed: libraries may sweep from static destructors
    return *table;
}

// "CLSID\{...}\InprocServer32" for the class.
std::string ServerKeyPath(REFCLSID clsid)
{
    OLECHAR text[com::kGuidTextSize];
    com::FormatGuid(clsid, text);
    std::string path = "CLSID\\";
    for (const OLECHAR* c = text; *c != 0; ++c) path.push_back(static_cast<char>(*c));  // the text is ASCII
    return path + "\\InprocServer32";
}

// The default value of the server key: the library's path. REG_SZ data need
// not end in a terminator, nor stop at the first.
std::string ServerPath(REFCLSID clsid)
{
    const std::string keyPath = ServerKeyPath(clsid);
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return {};
    std::string path;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, nullptr, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ) {
        path.resize(size);
        if (RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<LPBYTE>(path.data()), &size) !=
            ERROR_SUCCESS)
            size = 0;
        path.resize(size);
        if (const auto end = path.find('\0'); end != std::string::npos) path.resize(end);
    }
    RegCloseKey(key);
    return path;
}

}  // namespace

HRESULT CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD context, REFIID iid, LPVOID* out)
{
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (!com::ThreadInitialized()) return CO_E_NOTINITIALIZED;
    if ((context & CLSCTX_INPROC_SERVER) == 0) return REGDB_E_CLASSNOTREG;
    const std::string path = ServerPath(clsid);
    if (path.empty()) return REGDB_E_CLASSNOTREG;

    ServerTable& servers = Servers();
    std::lock_guard guard(servers.lock);
    const HMODULE module = LoadLibraryA(path.c_str());
    if (module == nullptr) return CO_E_DLLNOTFOUND;
    // The table keeps one reference per library, however many objects it makes.
    if (!servers.loaded.insert(module).second) FreeLibrary(module);

    const auto getClassObject = reinterpret_cast<DllGetClassObjectProc>(GetProcAddress(module, "DllGetClassObject"));
    if (getClassObject == nullptr) return CO_E_ERRORINDLL;
    IClassFactory* factory = nullptr;
    const HRESULT got = getClassObject(clsid, IID_IClassFactory, reinterpret_cast<LPVOID*>(&factory));
    if (FAILED(got)) return got;
    if (factory == nullptr) return E_POINTER;
    const HRESULT created = factory->CreateInstance(outer, iid, out);
    factory->Release();
    return created;
}

void CoFreeUnusedLibraries()
{
    ServerTable& servers = Servers();
    std::lock_guard guard(servers.lock);
    for (auto server = servers.loaded.begin(); server != servers.loaded.end();) {
        const auto canUnloadNow = reinterpret_cast<DllCanUnloadNowProc>(GetProcAddress(*server, "DllCanUnloadNow"));
        if (canUnloadNow != nullptr && canUnloadNow() == S_OK) {
            FreeLibrary(*server);
            server = servers.loaded.erase(server);
        } else {
            ++server;
        }
    }
}
