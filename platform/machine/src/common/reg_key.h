// A registry key under HKLM, closed when it goes: the machine's reads and
// writes (the device tree's, the card driver's) go through the same registry
// calls as everyone else's.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "win32/registry.h"
#include "win32/types.h"

namespace machine {

class RegKey {
public:
    RegKey() = default;
    ~RegKey();
    RegKey(RegKey&& other) noexcept : key_(other.key_) { other.key_ = nullptr; }
    RegKey& operator=(RegKey&& other) noexcept;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    // The key, or an empty object when it does not exist (or cannot be opened).
    static RegKey Open(const std::string& path, REGSAM access = KEY_READ);
    // The key, made with every missing parent; empty on failure.
    static RegKey Create(const std::string& path);
    // The subkey, made where missing; empty on failure or when this key is. Nothing is
    // ever made above an open key, so a key that has gone stays gone.
    RegKey CreateSubkey(const std::string& subkey) const;

    explicit operator bool() const noexcept { return key_ != nullptr; }

    bool SetString(const char* name, const std::string& value);
    // A REG_SZ written through the wide call, as Windows keeps symbolic links.
    bool SetWideString(const char* name, const std::string& ascii);
    bool SetMultiString(const char* name, const std::vector<std::string>& values);
    bool SetDword(const char* name, DWORD value);
    bool SetBinary(const char* name, std::span<const BYTE> bytes);

    // The value's bytes as the A call returns them, with its type; nullopt when missing.
    std::optional<std::vector<BYTE>> Query(const char* name, DWORD& type) const;
    // The value's bytes when it has the wanted type, else nullopt.
    std::optional<std::vector<BYTE>> QueryOfType(const char* name, DWORD wantedType) const;
    std::optional<std::string> QueryString(const char* name) const;
    std::optional<DWORD> QueryDword(const char* name) const;
    bool HasValue(const char* name) const;

    // The names of the subkeys, in the registry's order.
    std::vector<std::string> Subkeys() const;
    struct Value {
        std::string name;
        DWORD type = REG_NONE;
        std::vector<BYTE> data;
    };
    // The key's values, in the registry's order.
    std::vector<Value> Values() const;

private:
    explicit RegKey(HKEY key) noexcept : key_(key) {}
    HKEY key_ = nullptr;
};

bool KeyExists(const std::string& path);
// Deletes the key with everything below it; true when it is gone afterwards.
bool DeleteTree(const std::string& path);

}  // namespace machine
