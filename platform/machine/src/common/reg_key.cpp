#include "common/reg_key.h"

#include <cstring>

#include "win32/errors.h"

namespace machine {
namespace {

// Longer than any key the machine makes: an interface key holds an instance of up to 512.
constexpr DWORD kMaxKeyName = 2048;
// The longest value name the registry takes.
constexpr DWORD kMaxValueName = 16383;

}  // namespace

RegKey::~RegKey()
{
    if (key_ != nullptr) RegCloseKey(key_);
}

RegKey& RegKey::operator=(RegKey&& other) noexcept
{
    if (this != &other) {
        if (key_ != nullptr) RegCloseKey(key_);
        key_ = other.key_;
        other.key_ = nullptr;
    }
    return *this;
}

RegKey RegKey::Open(const std::string& path, REGSAM access)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, access, &key) != ERROR_SUCCESS) return {};
    return RegKey(key);
}

RegKey RegKey::Create(const std::string& path)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return {};
    return RegKey(key);
}

RegKey RegKey::CreateSubkey(const std::string& subkey) const
{
    HKEY key = nullptr;
    if (key_ == nullptr || RegCreateKeyExA(key_, subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                           nullptr, &key, nullptr) != ERROR_SUCCESS)
        return {};
    return RegKey(key);
}

bool RegKey::SetString(const char* name, const std::string& value)
{
    return RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

bool RegKey::SetWideString(const char* name, const std::string& ascii)
{
    std::u16string wideName(name, name + std::strlen(name));
    std::u16string wide(ascii.begin(), ascii.end());
    return RegSetValueExW(key_, wideName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                          static_cast<DWORD>((wide.size() + 1) * sizeof(char16_t))) == ERROR_SUCCESS;
}

bool RegKey::SetMultiString(const char* name, const std::vector<std::string>& values)
{
    std::string data;
    for (const auto& value : values) {
        data += value;
        data += '\0';
    }
    data += '\0';
    return RegSetValueExA(key_, name, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.data()),
                          static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

bool RegKey::SetDword(const char* name, DWORD value)
{
    return RegSetValueExA(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
           ERROR_SUCCESS;
}

bool RegKey::SetBinary(const char* name, std::span<const BYTE> bytes)
{
    return RegSetValueExA(key_, name, 0, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size())) ==
           ERROR_SUCCESS;
}

std::optional<std::vector<BYTE>> RegKey::Query(const char* name, DWORD& type) const
{
    DWORD size = 0;
    if (key_ == nullptr || RegQueryValueExA(key_, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    // Another process may grow the value between the two calls: ask again then.
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::vector<BYTE> data(size);
        const LONG result = RegQueryValueExA(key_, name, nullptr, &type, data.data(), &size);
        if (result == ERROR_SUCCESS) {
            data.resize(size);
            return data;
        }
        if (result != static_cast<LONG>(ERROR_MORE_DATA)) return std::nullopt;
    }
    return std::nullopt;
}

std::optional<std::vector<BYTE>> RegKey::QueryOfType(const char* name, DWORD wantedType) const
{
    DWORD type = REG_NONE;
    auto data = Query(name, type);
    if (!data || type != wantedType) return std::nullopt;
    return data;
}

std::optional<std::string> RegKey::QueryString(const char* name) const
{
    DWORD type = REG_NONE;
    const auto data = Query(name, type);
    if (!data || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
    std::string text(data->begin(), data->end());
    if (const auto end = text.find('\0'); end != std::string::npos) text.resize(end);
    return text;
}

std::optional<DWORD> RegKey::QueryDword(const char* name) const
{
    const auto data = QueryOfType(name, REG_DWORD);
    if (!data || data->size() != sizeof(DWORD)) return std::nullopt;
    DWORD value = 0;
    std::memcpy(&value, data->data(), sizeof value);
    return value;
}

bool RegKey::HasValue(const char* name) const
{
    DWORD type = REG_NONE;
    DWORD size = 0;
    return key_ != nullptr && RegQueryValueExA(key_, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
}

std::vector<std::string> RegKey::Subkeys() const
{
    std::vector<std::string> names;
    if (key_ == nullptr) return names;
    char name[kMaxKeyName + 1];
    for (DWORD index = 0;; ++index) {
        DWORD size = sizeof name;
        const LONG result = RegEnumKeyExA(key_, index, name, &size, nullptr, nullptr, nullptr, nullptr);
        if (result == static_cast<LONG>(ERROR_MORE_DATA)) continue;  // no key of ours; the rest still count
        if (result != ERROR_SUCCESS) break;
        names.emplace_back(name, size);
    }
    return names;
}

std::vector<RegKey::Value> RegKey::Values() const
{
    std::vector<Value> values;
    if (key_ == nullptr) return values;
    std::vector<char> name(kMaxValueName + 1);
    for (DWORD index = 0;; ++index) {
        DWORD nameSize = static_cast<DWORD>(name.size());
        DWORD type = REG_NONE, size = 0;
        if (RegEnumValueA(key_, index, name.data(), &nameSize, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
        std::vector<BYTE> data(size);
        nameSize = static_cast<DWORD>(name.size());
        if (RegEnumValueA(key_, index, name.data(), &nameSize, nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
            break;
        data.resize(size);
        values.push_back({std::string(name.data(), nameSize), type, std::move(data)});
    }
    return values;
}

bool KeyExists(const std::string& path) { return static_cast<bool>(RegKey::Open(path)); }

bool DeleteTree(const std::string& path)
{
    {
        const RegKey key = RegKey::Open(path);
        if (!key) return true;
        for (const auto& child : key.Subkeys()) DeleteTree(path + "\\" + child);
    }
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str());
    return !KeyExists(path);
}

}  // namespace machine
