// The registry's in-memory tree: keys with subkeys and values, names that
// compare case-insensitively (ASCII) and keep their spelling.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "win32/registry.h"

namespace win32::registry {

bool SameName(std::string_view a, std::string_view b) noexcept;

// Orders names as the registry enumerates subkeys: by their upper-case form.
struct NameLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const noexcept;
};

enum class Root : std::uint8_t { ClassesRoot, CurrentUser, LocalMachine, Users };
constexpr std::size_t kRootCount = 4;
std::string_view RootName(Root root) noexcept;
std::optional<Root> RootFromName(std::string_view name) noexcept;
std::optional<Root> RootFromHandle(HKEY key) noexcept;

// How the bytes of a string value are encoded: as the 8-bit text the A calls
// take, or as the UTF-16 the W calls take. Non-string values are plain bytes.
enum class StringWidth : std::uint8_t { Ansi, Utf16 };
bool IsStringType(DWORD type) noexcept;

struct Value {
    std::string name;  // "" is the key's default value
    DWORD type = REG_NONE;
    StringWidth width = StringWidth::Ansi;
    std::vector<BYTE> data;  // exactly as given to the set call
};

// FILETIME as one number (100 ns since 1601).
std::uint64_t FileTimeNow() noexcept;

struct Key {
    std::string name;
    std::string className;
    std::uint64_t lastWrite = 0;
    std::vector<Value> values;  // in creation order
    std::map<std::string, std::shared_ptr<Key>, NameLess> subkeys;

    const Value* FindValue(std::string_view valueName) const noexcept;
    std::shared_ptr<Key> FindSubkey(std::string_view keyName) const;
    // The subkey, made when missing; `created` tells which.
    std::shared_ptr<Key> CreateSubkey(std::string_view keyName, bool& created);
    // A new value replaces one of the same name in its place.
    void SetValue(Value value);
    bool DeleteValue(std::string_view valueName);
};

struct Tree {
    Tree();
    std::array<std::shared_ptr<Key>, kRootCount> roots;
    std::shared_ptr<Key>& RootKey(Root root) noexcept { return roots[static_cast<std::size_t>(root)]; }
};

// The registry of a fresh installation, before any program wrote to it: the
// keys every Windows has and programs take for granted (a server registers
// below HKEY_CLASSES_ROOT\CLSID, a driver below HKEY_LOCAL_MACHINE\SOFTWARE).
Tree InstallationTree();

// "A\B\C" as its components; empty components (doubled or trailing
// backslashes) are skipped.
std::vector<std::string_view> SplitPath(std::string_view path);

// The key at `path` below `from`, or null.
std::shared_ptr<Key> Walk(std::shared_ptr<Key> from, const std::vector<std::string>& path);

}  // namespace win32::registry
