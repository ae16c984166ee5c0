#include "key_access.h"

#include <cstring>

#include "open_keys.h"
#include "registry_store.h"
#include "text_conversion.h"

namespace win32::registry {

LONG ReadKey(HKEY key, REGSAM right, const std::function<LONG(const Key&)>& body)
{
    const auto open = ResolveKey(key);
    if (!open) return ERROR_INVALID_HANDLE;
    if (!open->Allows(right)) return ERROR_ACCESS_DENIED;
    return ReadRegistry([&](const Tree& tree) {
        const auto node = open->In(tree);
        return node ? body(*node) : static_cast<LONG>(ERROR_KEY_DELETED);
    });
}

LONG WriteKey(HKEY key, REGSAM right, const std::function<LONG(Key&, bool& changed)>& body)
{
    const auto open = ResolveKey(key);
    if (!open) return ERROR_INVALID_HANDLE;
    if (!open->Allows(right)) return ERROR_ACCESS_DENIED;
    return WriteRegistry([&](Tree& tree, bool& changed) {
        const auto node = open->In(tree);
        return node ? body(*node, changed) : static_cast<LONG>(ERROR_KEY_DELETED);
    });
}

LONG CopyName(std::string_view name, LPSTR out, LPDWORD size)
{
    if (!out || !size) return ERROR_INVALID_PARAMETER;
    if (*size < name.size() + 1) return ERROR_MORE_DATA;
    std::memcpy(out, name.data(), name.size());
    out[name.size()] = '\0';
    *size = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

std::vector<BYTE> ValueBytes(const Value& value, StringWidth reader)
{
    if (!IsStringType(value.type) || value.width == reader) return value.data;
    return reader == StringWidth::Utf16 ? AnsiBytesToUtf16Bytes(value.data) : Utf16BytesToAnsiBytes(value.data);
}

}  // namespace win32::registry
