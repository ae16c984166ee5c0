// The registry's value calls. Bytes are kept exactly as set: a string set
// without its terminator reads back without one. Strings set through the W
// calls read as UTF-8 through the A calls, and the other way round.
#include <cstring>

#include "key_access.h"
#include "text_conversion.h"

namespace {

using namespace win32::registry;

// The query of both widths: NULL data asks for the size; a buffer too small
// gets ERROR_MORE_DATA and the size needed, and nothing written.
LONG QueryValue(HKEY key, const std::string& name, StringWidth width, LPDWORD reserved, LPDWORD type, LPBYTE data,
                LPDWORD size)
{
    if (reserved || (data && !size)) return ERROR_INVALID_PARAMETER;
    return ReadKey(key, KEY_QUERY_VALUE, [&](const Key& node) -> LONG {
        const Value* value = node.FindValue(name);
        if (!value) return ERROR_FILE_NOT_FOUND;
        const std::vector<BYTE> bytes = ValueBytes(*value, width);
        const auto needed = static_cast<DWORD>(bytes.size());
        if (type) *type = value->type;
        if (data && *size < needed) {
            *size = needed;
            return ERROR_MORE_DATA;
        }
        if (data && needed > 0) std::memcpy(data, bytes.data(), needed);
        if (size) *size = needed;
        return ERROR_SUCCESS;
    });
}

LONG SetValue(HKEY key, std::string name, StringWidth width, DWORD type, const BYTE* data, DWORD size)
{
    if (!data && size > 0) return ERROR_INVALID_PARAMETER;
    Value value{std::move(name), type, width, data ? std::vector<BYTE>(data, data + size) : std::vector<BYTE>{}};
    return WriteKey(key, KEY_SET_VALUE, [&](Key& node, bool& changed) -> LONG {
        node.SetValue(std::move(value));
        changed = true;
        return ERROR_SUCCESS;
    });
}

std::string NameOf(LPCSTR name) { return name ? name : ""; }

}  // namespace

LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size)
{
    return QueryValue(key, NameOf(valueName), StringWidth::Ansi, reserved, type, data, size);
}

LONG RegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size)
{
    return QueryValue(key, NameFromWide(valueName), StringWidth::Utf16, reserved, type, data, size);
}

LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD, DWORD type, const BYTE* data, DWORD size)
{
    return SetValue(key, NameOf(valueName), StringWidth::Ansi, type, data, size);
}

LONG RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD, DWORD type, const BYTE* data, DWORD size)
{
    return SetValue(key, NameFromWide(valueName), StringWidth::Utf16, type, data, size);
}

LONG RegDeleteValueA(HKEY key, LPCSTR valueName)
{
    const std::string name = NameOf(valueName);
    return WriteKey(key, KEY_SET_VALUE, [&](Key& node, bool& changed) -> LONG {
        if (!node.DeleteValue(name)) return ERROR_FILE_NOT_FOUND;
        changed = true;
        return ERROR_SUCCESS;
    });
}

LONG RegEnumValueA(HKEY key, DWORD index, LPSTR valueName, LPDWORD valueNameSize, LPDWORD reserved, LPDWORD type,
                   LPBYTE data, LPDWORD dataSize)
{
    if (!valueName || !valueNameSize || reserved || (data && !dataSize)) return ERROR_INVALID_PARAMETER;
    return ReadKey(key, KEY_QUERY_VALUE, [&](const Key& node) -> LONG {
        if (index >= node.values.size()) return ERROR_NO_MORE_ITEMS;
        const Value& value = node.values[index];
        const std::vector<BYTE> bytes = ValueBytes(value, StringWidth::Ansi);
        const auto needed = static_cast<DWORD>(bytes.size());
        if (data && *dataSize < needed) {
            *dataSize = needed;
            return ERROR_MORE_DATA;
        }
        if (const LONG copied = CopyName(value.name, valueName, valueNameSize); copied != ERROR_SUCCESS)
            return copied;
        if (type) *type = value.type;
        if (data && needed > 0) std::memcpy(data, bytes.data(), needed);
        if (dataSize) *dataSize = needed;
        return ERROR_SUCCESS;
    });
}
