// TRegistry over the Win32 registry calls.
#include "gui/registry.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace {

[[noreturn]] void ReadFailed(std::string_view name)
{
    throw ERegistryException("Invalid data type or missing value for '" + std::string(name) + "'");
}

// What the open key holds under `name`: its type and size, or false.
bool Query(HKEY key, const std::string& name, DWORD& type, DWORD& size)
{
    size = 0;
    return key && RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
}

}  // namespace

TRegistry::TRegistry(REGSAM access) : access_(access) {}

TRegistry::~TRegistry()
{
    CloseKey();
}

void TRegistry::SetRootKey(HKEY key)
{
    CloseKey();
    rootKey_ = key;
}

bool TRegistry::OpenKey(std::string_view key, bool canCreate)
{
    const bool relative = key.empty() || key.front() != '\\';
    if (!relative) key.remove_prefix(1);
    const std::string path(key);
    const HKEY base = relative && currentKey_ ? currentKey_ : rootKey_;
    HKEY opened = nullptr;
    const LONG result = canCreate ? RegCreateKeyExA(base, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access_, nullptr, &opened, nullptr)
                                  : RegOpenKeyExA(base, path.c_str(), 0, access_, &opened);
    if (result != ERROR_SUCCESS) return false;
    const std::string newPath = relative && currentKey_ && !currentPath_.empty() ? currentPath_ + "\\" + path : path;
    CloseKey();
    currentKey_ = opened;
    currentPath_ = newPath;
    return true;
}

bool TRegistry::OpenKeyReadOnly(std::string_view key)
{
    const REGSAM saved = access_;
    access_ = KEY_READ;
    const bool opened = OpenKey(key, false);
    access_ = saved;
    return opened;
}

void TRegistry::CloseKey()
{
    if (currentKey_) RegCloseKey(currentKey_);
    currentKey_ = nullptr;
    currentPath_.clear();
}

int TRegistry::ReadInteger(std::string_view name)
{
    const std::string n(name);
    DWORD type = 0, size = sizeof(DWORD), value = 0;
    if (!currentKey_ || RegQueryValueExA(currentKey_, n.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(DWORD))
        ReadFailed(name);
    return static_cast<int>(value);
}

std::string TRegistry::ReadString(std::string_view name)
{
    const std::string n(name);
    DWORD type = 0, size = 0;
    if (!Query(currentKey_, n, type, size)) return {};
    if (type != REG_SZ && type != REG_EXPAND_SZ) ReadFailed(name);
    std::string text(size, '\0');
    if (size > 0 && RegQueryValueExA(currentKey_, n.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) != ERROR_SUCCESS)
        ReadFailed(name);
    text.resize(std::min<std::size_t>(size, text.find('\0')));
    return text;
}

int TRegistry::ReadBinaryData(std::string_view name, void* buffer, int bufSize)
{
    const std::string n(name);
    DWORD type = 0, size = 0;
    if (!Query(currentKey_, n, type, size)) return 0;
    // Checked before anything is copied: a larger value would run past the buffer.
    if (type != REG_BINARY || bufSize < 0 || size > static_cast<DWORD>(bufSize)) ReadFailed(name);
    std::vector<BYTE> data(size);
    if (RegQueryValueExA(currentKey_, n.c_str(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS || size > data.size())
        ReadFailed(name);
    std::copy_n(data.begin(), size, static_cast<BYTE*>(buffer));
    return static_cast<int>(size);
}

void TRegistry::Write(std::string_view name, DWORD type, const void* data, DWORD size)
{
    const std::string n(name);
    if (!currentKey_ || RegSetValueExA(currentKey_, n.c_str(), 0, type, static_cast<const BYTE*>(data), size) != ERROR_SUCCESS)
        throw ERegistryException("Failed to set data for '" + n + "'");
}

void TRegistry::WriteInteger(std::string_view name, int value)
{
    const DWORD v = static_cast<DWORD>(value);
    Write(name, REG_DWORD, &v, sizeof v);
}

void TRegistry::WriteString(std::string_view name, std::string_view value)
{
    const std::string text(value);
    Write(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

void TRegistry::WriteBinaryData(std::string_view name, const void* buffer, int bufSize)
{
    Write(name, REG_BINARY, buffer, static_cast<DWORD>(std::max(0, bufSize)));
}
