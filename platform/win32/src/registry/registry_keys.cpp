// The registry's key calls: open, create, close, delete, enumerate, query.
#include <algorithm>
#include <iterator>

#include "key_access.h"
#include "open_keys.h"
#include "registry_store.h"

namespace {

using namespace win32::registry;

void PutFileTime(std::uint64_t time, PFILETIME out)
{
    if (!out) return;
    out->dwLowDateTime = static_cast<DWORD>(time);
    out->dwHighDateTime = static_cast<DWORD>(time >> 32);
}

}  // namespace

LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD, REGSAM desired, PHKEY result)
{
    if (!result) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    const auto parent = ResolveKey(key);
    if (!parent) return ERROR_INVALID_HANDLE;
    OpenKey child = parent->Below(subKey, desired);
    const LONG found = ReadRegistry([&](const Tree& tree) -> LONG {
        if (!parent->In(tree)) return ERROR_KEY_DELETED;
        return child.In(tree) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
    if (found != ERROR_SUCCESS) return found;
    return PublishKey(std::move(child), result);
}

LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD, LPSTR className, DWORD, REGSAM desired, LPSECURITY_ATTRIBUTES,
                     PHKEY result, LPDWORD disposition)
{
    if (!result || !subKey) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    const auto parent = ResolveKey(key);
    if (!parent) return ERROR_INVALID_HANDLE;
    OpenKey child = parent->Below(subKey, desired);
    bool created = false;
    const LONG made = WriteRegistry([&](Tree& tree, bool& changed) -> LONG {
        auto node = parent->In(tree);
        if (!node) return ERROR_KEY_DELETED;
        if (child.In(tree)) return ERROR_SUCCESS;
        // Making a key needs the right on the key it is made under.
        if (!parent->Allows(KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
        for (auto part = child.path.begin() + static_cast<std::ptrdiff_t>(parent->path.size());
             part != child.path.end(); ++part) {
            bool madeThis = false;
            node = node->CreateSubkey(*part, madeThis);
        }
        if (className) node->className = className;
        created = changed = true;
        return ERROR_SUCCESS;
    });
    if (made != ERROR_SUCCESS) return made;
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return PublishKey(std::move(child), result);
}

LONG RegCloseKey(HKEY key)
{
    if (RootFromHandle(key)) return ERROR_SUCCESS;
    return CloseKey(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegDeleteKeyA(HKEY key, LPCSTR subKey)
{
    if (!subKey) return ERROR_INVALID_PARAMETER;
    const auto parent = ResolveKey(key);
    if (!parent) return ERROR_INVALID_HANDLE;
    const OpenKey target = parent->Below(subKey, 0);
    if (target.path.empty()) return ERROR_ACCESS_DENIED;  // a root stays
    return WriteRegistry([&](Tree& tree, bool& changed) -> LONG {
        if (!parent->In(tree)) return ERROR_KEY_DELETED;
        OpenKey above = target;
        above.path.pop_back();
        const auto container = above.In(tree);
        const auto node = target.In(tree);
        if (!container || !node) return ERROR_FILE_NOT_FOUND;
        // As on Windows NT, a key with subkeys is refused: its tree is deleted bottom up.
        if (!node->subkeys.empty()) return ERROR_ACCESS_DENIED;
        container->subkeys.erase(container->subkeys.find(target.path.back()));
        container->lastWrite = FileTimeNow();
        changed = true;
        return ERROR_SUCCESS;
    });
}

LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved, LPSTR className,
                   LPDWORD classSize, PFILETIME lastWriteTime)
{
    if (!name || !nameSize || reserved) return ERROR_INVALID_PARAMETER;
    return ReadKey(key, KEY_ENUMERATE_SUB_KEYS, [&](const Key& node) -> LONG {
        if (index >= node.subkeys.size()) return ERROR_NO_MORE_ITEMS;
        const Key& child = *std::next(node.subkeys.begin(), index)->second;
        if (className && !classSize) return ERROR_INVALID_PARAMETER;
        if (className && child.className.size() + 1 > *classSize) return ERROR_MORE_DATA;
        if (const LONG copied = CopyName(child.name, name, nameSize); copied != ERROR_SUCCESS) return copied;
        if (className) CopyName(child.className, className, classSize);
        PutFileTime(child.lastWrite, lastWriteTime);
        return ERROR_SUCCESS;
    });
}

LONG RegEnumKeyA(HKEY key, DWORD index, LPSTR name, DWORD nameSize)
{
    return RegEnumKeyExA(key, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr);
}

LONG RegQueryInfoKeyA(HKEY key, LPSTR className, LPDWORD classSize, LPDWORD reserved, LPDWORD subKeys,
                      LPDWORD maxSubKeyLength, LPDWORD maxClassLength, LPDWORD values, LPDWORD maxValueNameLength,
                      LPDWORD maxValueLength, LPDWORD securityDescriptor, PFILETIME lastWriteTime)
{
    if (reserved || (className && !classSize)) return ERROR_INVALID_PARAMETER;
    return ReadKey(key, KEY_QUERY_VALUE, [&](const Key& node) -> LONG {
        if (className) {
            if (const LONG copied = CopyName(node.className, className, classSize); copied != ERROR_SUCCESS)
                return copied;
        } else if (classSize) {
            *classSize = static_cast<DWORD>(node.className.size());
        }
        std::size_t longestKey = 0, longestClass = 0, longestName = 0, largest = 0;
        for (const auto& [childName, child] : node.subkeys) {
            longestKey = std::max(longestKey, childName.size());
            longestClass = std::max(longestClass, child->className.size());
        }
        for (const auto& value : node.values) {
            longestName = std::max(longestName, value.name.size());
            largest = std::max(largest, ValueBytes(value, StringWidth::Ansi).size());
        }
        if (subKeys) *subKeys = static_cast<DWORD>(node.subkeys.size());
        if (maxSubKeyLength) *maxSubKeyLength = static_cast<DWORD>(longestKey);
        if (maxClassLength) *maxClassLength = static_cast<DWORD>(longestClass);
        if (values) *values = static_cast<DWORD>(node.values.size());
        if (maxValueNameLength) *maxValueNameLength = static_cast<DWORD>(longestName);
        if (maxValueLength) *maxValueLength = static_cast<DWORD>(largest);
        if (securityDescriptor) *securityDescriptor = 0;
        PutFileTime(node.lastWrite, lastWriteTime);
        return ERROR_SUCCESS;
    });
}
