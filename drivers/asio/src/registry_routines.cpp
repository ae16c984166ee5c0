#include "registry_routines.h"

#include <new>

namespace {

// The names RegEnumKeyA reads while a tree is walked.
char g_KeyName[360];

// One key of a tree being deleted, collected after all of its subkeys.
struct CollectedKey {
    HKEY parent;
    HKEY key;
    char name[sizeof g_KeyName];
    CollectedKey* next;
};

// Opens `name` below `parent` and collects its subkeys, then itself, at the
// end of the list `tail` points to. A key that cannot be opened, or whose
// entry cannot be had, is left out with everything under it.
void CollectTree(HKEY parent, const char* name, CollectedKey**& tail)
{
    auto* entry = new (std::nothrow) CollectedKey{parent, nullptr, {}, nullptr};
    if (!entry) return;
    // The walk below reuses the shared name buffer: the entry keeps its own copy.
    lstrcpynA(entry->name, name, sizeof entry->name);
    if (RegOpenKeyExA(parent, entry->name, 0, KEY_ALL_ACCESS, &entry->key) != ERROR_SUCCESS) {
        delete entry;
        return;
    }
    for (DWORD index = 0; RegEnumKeyA(entry->key, index, g_KeyName, sizeof g_KeyName) == ERROR_SUCCESS; ++index)
        CollectTree(entry->key, g_KeyName, tail);
    *tail = entry;
    tail = &entry->next;
}

}  // namespace

int RegistryKeyExists(HKEY root, const char* path)
{
    if (!path) return -1;
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
    RegCloseKey(key);
    return 1;
}

int RegistryCreateSubkey(HKEY root, const char* parent, const char* name)
{
    HKEY parentKey;
    if (RegOpenKeyExA(root, parent, 0, KEY_ALL_ACCESS, &parentKey) != ERROR_SUCCESS) return -1;
    HKEY key;
    DWORD disposition;
    LONG created = RegCreateKeyExA(parentKey, name, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, NULL, &key,
                                   &disposition);
    if (created == ERROR_SUCCESS) RegCloseKey(key);
    RegCloseKey(parentKey);
    return created == ERROR_SUCCESS ? 0 : -1;
}

int RegistrySetString(HKEY root, const char* path, const char* valueName, const char* text)
{
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return -1;
    LONG set = RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                              static_cast<DWORD>(lstrlenA(text)));
    RegCloseKey(key);
    return set == ERROR_SUCCESS ? 0 : -1;
}

int RegistryReadValue(HKEY root, const char* path, const char* valueName, void* buffer, DWORD size)
{
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return -1;
    DWORD type;
    DWORD needed = 0;
    bool read = RegQueryValueExA(key, valueName, NULL, &type, NULL, &needed) == ERROR_SUCCESS && needed <= size;
    if (read)
        read = RegQueryValueExA(key, valueName, NULL, &type, static_cast<LPBYTE>(buffer), &needed) == ERROR_SUCCESS;
    RegCloseKey(key);
    return read ? 0 : -1;
}

int RegistryDeleteTree(HKEY root, const char* parent, const char* name)
{
    HKEY parentKey;
    if (RegOpenKeyExA(root, parent, 0, KEY_ALL_ACCESS, &parentKey) != ERROR_SUCCESS) return -1;
    CollectedKey* first = nullptr;
    CollectedKey** tail = &first;
    CollectTree(parentKey, name, tail);
    // Subkeys come before their parents: each key is empty when its turn comes.
    int result = first ? 0 : -1;
    while (CollectedKey* entry = first) {
        first = entry->next;
        RegCloseKey(entry->key);
        RegDeleteKeyA(entry->parent, entry->name);
        delete entry;
    }
    RegCloseKey(parentKey);
    return result;
}
