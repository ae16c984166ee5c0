// Modules over the dynamic loader. An HMODULE is the address the module is
// mapped at, as on Windows, so every copy of this layer in a process (each
// driver library links its own) and every way a module got loaded agree on
// it. Lookups by name or address walk the loader's own list of objects;
// the reference counts and DllMain calls of LoadLibraryA/FreeLibrary live in
// a table under one loader lock, which DllMain runs inside (as on Windows).
#include "win32/modules.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "module_symbols.h"
#include "no_case.h"
#include "win32/errors.h"

namespace fs = std::filesystem;
using win32::EqualNoCase;

namespace {

struct LoadedObject {
    std::uintptr_t bias;  // the loader's load bias
    std::uintptr_t base;  // first mapped byte: the HMODULE
    std::uintptr_t end;   // one past the last mapped byte
    std::string path;
};

std::string ExecutablePath()
{
    std::error_code error;
    const fs::path path = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.string();
}

std::string AbsolutePath(const char* name)
{
    std::error_code error;
    const fs::path path = fs::absolute(name, error);
    return error ? std::string(name) : path.lexically_normal().string();
}

// Every object in the process, the main program first.
std::vector<LoadedObject> LoadedObjects()
{
    std::vector<LoadedObject> objects;
    dl_iterate_phdr(
        [](dl_phdr_info* info, std::size_t, void* data) {
            auto& list = *static_cast<std::vector<LoadedObject>*>(data);
            const bool mainProgram = list.empty();
            std::uintptr_t low = UINTPTR_MAX;
            std::uintptr_t high = 0;
            for (int i = 0; i < info->dlpi_phnum; ++i) {
                const auto& header = info->dlpi_phdr[i];
                if (header.p_type != PT_LOAD) continue;
                low = std::min<std::uintptr_t>(low, header.p_vaddr);
                high = std::max<std::uintptr_t>(high, header.p_vaddr + header.p_memsz);
            }
            const bool named = info->dlpi_name != nullptr && info->dlpi_name[0] != '\0';
            if (low < high && (mainProgram || named))
                list.push_back({info->dlpi_addr, info->dlpi_addr + low, info->dlpi_addr + high,
                                mainProgram ? ExecutablePath() : AbsolutePath(info->dlpi_name)});
            return 0;
        },
        &objects);
    return objects;
}

HMODULE ToModule(std::uintptr_t base) { return reinterpret_cast<HMODULE>(base); }

// The object mapped at `module`; NULL names the main program.
std::optional<LoadedObject> ObjectAt(HMODULE module)
{
    auto objects = LoadedObjects();
    if (objects.empty()) return std::nullopt;
    if (module == nullptr) return objects.front();
    const auto base = reinterpret_cast<std::uintptr_t>(module);
    for (auto& object : objects)
        if (object.base == base) return object;
    return std::nullopt;
}

// The object behind a dlopen handle.
std::optional<LoadedObject> ObjectOfHandle(void* handle)
{
    link_map* map = nullptr;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr) return std::nullopt;
    for (auto& object : LoadedObjects())
        if (object.bias == map->l_addr) return object;
    return std::nullopt;
}

std::string WithSlashes(const char* name)
{
    std::string path(name);
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

// The path as the case-insensitive file system of Windows would find it:
// each component that does not exist as spelled is matched against its
// directory ignoring case (a registered server path is stored lower-case).
std::string ResolveNoCase(const std::string& path)
{
    std::error_code error;
    if (fs::exists(path, error)) return path;
    fs::path resolved = fs::path(path).is_absolute() ? fs::path("/") : fs::path(".");
    for (const auto& part : fs::path(path).relative_path()) {
        fs::path next = resolved / part;
        if (!fs::exists(next, error)) {
            for (const auto& entry : fs::directory_iterator(resolved, error))
                if (EqualNoCase(entry.path().filename().string(), part.string())) {
                    next = entry.path();
                    break;
                }
        }
        resolved = std::move(next);
    }
    return resolved.string();
}

void* OpenExisting(const std::string& path)
{
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    // The file is there but cannot be loaded (a missing symbol, a foreign
    // format): say why, as the Windows loader does in its own box.
    if (handle == nullptr) std::fprintf(stderr, "LoadLibraryA: %s\n", dlerror());
    return handle;
}

// Windows' search for a bare module name: a module of that name already
// loaded, the program's folder, the current folder, then the loader's path.
void* OpenLibrary(const std::string& name)
{
    if (name.find('/') != std::string::npos) {
        const std::string path = ResolveNoCase(name);
        std::error_code error;
        return fs::exists(path, error) ? OpenExisting(path) : nullptr;
    }
    for (const auto& object : LoadedObjects())
        if (EqualNoCase(fs::path(object.path).filename().string(), name)) return OpenExisting(object.path);
    for (const fs::path& folder : {fs::path(ExecutablePath()).parent_path(), fs::current_path()}) {
        const std::string path = ResolveNoCase((folder / name).string());
        std::error_code error;
        if (fs::exists(path, error)) return OpenExisting(path);
    }
    return dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
}

// The module's own DllMain, not one of a library it depends on.
DllMainProc FindDllMain(void* handle, const LoadedObject& object)
{
    void* symbol = dlsym(handle, "DllMain");
    const auto address = reinterpret_cast<std::uintptr_t>(symbol);
    if (symbol == nullptr || address < object.base || address >= object.end) return nullptr;
    return reinterpret_cast<DllMainProc>(symbol);
}

struct LoadedModule {
    void* handle;  // the one dlopen reference the table holds
    int count;
    DllMainProc dllMain;
};

struct Loader {
    std::recursive_mutex lock;
    std::map<std::uintptr_t, LoadedModule> modules;
};

Loader& TheLoader()
{
    static Loader loader;
    return loader;
}

}  // namespace

HMODULE LoadLibraryA(LPCSTR fileName)
{
    if (fileName == nullptr || *fileName == '\0') {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    Loader& loader = TheLoader();
    std::lock_guard guard(loader.lock);
    void* handle = OpenLibrary(WithSlashes(fileName));
    const auto object = handle != nullptr ? ObjectOfHandle(handle) : std::nullopt;
    if (!object) {
        if (handle != nullptr) dlclose(handle);
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    const HMODULE module = ToModule(object->base);
    if (auto loaded = loader.modules.find(object->base); loaded != loader.modules.end()) {
        ++loaded->second.count;
        dlclose(handle);  // the table already holds a reference
        return module;
    }
    const DllMainProc dllMain = FindDllMain(handle, *object);
    loader.modules.emplace(object->base, LoadedModule{handle, 1, dllMain});
    if (dllMain != nullptr && dllMain(module, DLL_PROCESS_ATTACH, nullptr) == FALSE) {
        // A refused attach gets no detach call: the module is simply unloaded.
        loader.modules.erase(object->base);
        dlclose(handle);
        SetLastError(ERROR_DLL_INIT_FAILED);
        return nullptr;
    }
    return module;
}

BOOL FreeLibrary(HMODULE module)
{
    Loader& loader = TheLoader();
    std::lock_guard guard(loader.lock);
    const auto loaded = loader.modules.find(reinterpret_cast<std::uintptr_t>(module));
    if (loaded == loader.modules.end()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return FALSE;
    }
    if (--loaded->second.count > 0) return TRUE;
    const LoadedModule last = loaded->second;
    if (last.dllMain != nullptr) last.dllMain(module, DLL_PROCESS_DETACH, nullptr);
    loader.modules.erase(loaded);
    dlclose(last.handle);
    return TRUE;
}

namespace win32 {

void* FindModuleSymbol(HMODULE module, const char* name, DWORD* error)
{
    const auto object = ObjectAt(module);
    if (!object) {
        *error = ERROR_MOD_NOT_FOUND;
        return nullptr;
    }
    void* symbol = nullptr;
    {
        Loader& loader = TheLoader();
        std::lock_guard guard(loader.lock);
        const auto loaded = loader.modules.find(object->base);
        const bool ours = loaded != loader.modules.end();
        // A module loaded some other way gets a passing reference of its own.
        const bool mainProgram = module == nullptr || object->path == ExecutablePath();
        void* handle = ours ? loaded->second.handle
                            : dlopen(mainProgram ? nullptr : object->path.c_str(), RTLD_LAZY | RTLD_NOLOAD);
        if (handle != nullptr) {
            symbol = dlsym(handle, name);
            if (!ours) dlclose(handle);
        }
    }
    // Only the module's own symbols, never those of a library it depends on.
    const auto address = reinterpret_cast<std::uintptr_t>(symbol);
    if (symbol == nullptr || address < object->base || address >= object->end) {
        *error = ERROR_PROC_NOT_FOUND;
        return nullptr;
    }
    return symbol;
}

}  // namespace win32

FARPROC GetProcAddress(HMODULE module, LPCSTR procName)
{
    // Exports by ordinal (values below 0x10000 in place of a name) are not kept.
    if (reinterpret_cast<std::uintptr_t>(procName) < 0x10000) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    DWORD error = ERROR_SUCCESS;
    void* symbol = win32::FindModuleSymbol(module, procName, &error);
    if (symbol == nullptr) {
        SetLastError(error);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(symbol);
}

HMODULE GetModuleHandleA(LPCSTR moduleName)
{
    const auto objects = LoadedObjects();
    if (moduleName == nullptr) return objects.empty() ? nullptr : ToModule(objects.front().base);
    const std::string name = WithSlashes(moduleName);
    const bool withFolder = name.find('/') != std::string::npos;
    const std::string wanted = withFolder ? AbsolutePath(name.c_str()) : name;
    for (const auto& object : objects) {
        const std::string candidate = withFolder ? object.path : fs::path(object.path).filename().string();
        if (EqualNoCase(candidate, wanted)) return ToModule(object.base);
    }
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

BOOL GetModuleHandleExA(DWORD flags, LPCSTR moduleName, HMODULE* module)
{
    if (module == nullptr || flags != GET_MODULE_HANDLE_EX_FLAG_PIN) {
        if (module != nullptr) *module = nullptr;
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *module = nullptr;
    const HMODULE found = GetModuleHandleA(moduleName);
    const auto object = found != nullptr ? ObjectAt(found) : std::nullopt;
    if (!object) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return FALSE;
    }
    // RTLD_NODELETE on an object already loaded keeps it mapped past its last
    // dlclose; the reference this call takes is dropped at once.
    const bool mainProgram = found == GetModuleHandleA(nullptr);
    void* handle = dlopen(mainProgram ? nullptr : object->path.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    if (handle == nullptr) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return FALSE;
    }
    dlclose(handle);
    *module = found;
    return TRUE;
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size)
{
    const auto object = ObjectAt(module);
    if (!object || object->path.empty()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return 0;
    }
    if (fileName == nullptr || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    const std::string& path = object->path;
    if (path.size() < size) {
        std::memcpy(fileName, path.c_str(), path.size() + 1);
        return static_cast<DWORD>(path.size());
    }
    // Too small: truncated and terminated; the buffer's size comes back.
    std::memcpy(fileName, path.data(), size - 1);
    fileName[size - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
}

BOOL DisableThreadLibraryCalls(HMODULE module)
{
    if (!ObjectAt(module) || module == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
