#include "key_tree.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace win32::registry {
namespace {

constexpr unsigned char Upper(char c) noexcept
{
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') ? static_cast<unsigned char>(u - ('a' - 'A')) : u;
}

constexpr std::array<std::string_view, kRootCount> kRootNames = {
    "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS"};

}  // namespace

bool SameName(std::string_view a, std::string_view b) noexcept
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Upper(x) == Upper(y); });
}

bool NameLess::operator()(std::string_view a, std::string_view b) const noexcept
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return Upper(x) < Upper(y); });
}

std::string_view RootName(Root root) noexcept { return kRootNames[static_cast<std::size_t>(root)]; }

std::optional<Root> RootFromName(std::string_view name) noexcept
{
    for (std::size_t i = 0; i < kRootCount; ++i)
        if (SameName(kRootNames[i], name)) return static_cast<Root>(i);
    return std::nullopt;
}

std::optional<Root> RootFromHandle(HKEY key) noexcept
{
    const auto value = reinterpret_cast<ULONG_PTR>(key);
    const auto first = reinterpret_cast<ULONG_PTR>(HKEY_CLASSES_ROOT);
    if (value < first || value >= first + kRootCount) return std::nullopt;
    return static_cast<Root>(value - first);
}

bool IsStringType(DWORD type) noexcept { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

std::uint64_t FileTimeNow() noexcept
{
    // 369 years of 100 ns ticks lie between 1601 and 1970.
    constexpr std::uint64_t kUnixEpochAsFileTime = 116444736000000000ull;
    const auto since1970 = std::chrono::system_clock::now().time_since_epoch();
    return kUnixEpochAsFileTime +
           static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(since1970).count() / 100);
}

const Value* Key::FindValue(std::string_view valueName) const noexcept
{
    const auto found =
        std::find_if(values.begin(), values.end(), [&](const Value& v) { return SameName(v.name, valueName); });
    return found == values.end() ? nullptr : &*found;
}

std::shared_ptr<Key> Key::FindSubkey(std::string_view keyName) const
{
    const auto found = subkeys.find(keyName);
    return found == subkeys.end() ? nullptr : found->second;
}

std::shared_ptr<Key> Key::CreateSubkey(std::string_view keyName, bool& created)
{
    if (auto existing = FindSubkey(keyName)) {
        created = false;
        return existing;
    }
    auto key = std::make_shared<Key>();
    key->name = std::string(keyName);
    key->lastWrite = FileTimeNow();
    subkeys.emplace(key->name, key);
    lastWrite = key->lastWrite;
    created = true;
    return key;
}

void Key::SetValue(Value value)
{
    lastWrite = FileTimeNow();
    for (auto& existing : values)
        if (SameName(existing.name, value.name)) {
            // The first spelling stays, as it does for keys.
            value.name = std::move(existing.name);
            existing = std::move(value);
            return;
        }
    values.push_back(std::move(value));
}

bool Key::DeleteValue(std::string_view valueName)
{
    const auto found =
        std::find_if(values.begin(), values.end(), [&](const Value& v) { return SameName(v.name, valueName); });
    if (found == values.end()) return false;
    values.erase(found);
    lastWrite = FileTimeNow();
    return true;
}

Tree::Tree()
{
    for (std::size_t i = 0; i < kRootCount; ++i) {
        roots[i] = std::make_shared<Key>();
        roots[i]->name = std::string(kRootNames[i]);
    }
}

Tree InstallationTree()
{
    Tree tree;
    const std::pair<Root, const char*> keys[] = {
        {Root::ClassesRoot, "CLSID"},
        {Root::LocalMachine, "SOFTWARE"},
        {Root::LocalMachine, "SYSTEM"},
        {Root::CurrentUser, "Software"},
    };
    for (const auto& [root, name] : keys) {
        bool created = false;
        tree.RootKey(root)->CreateSubkey(name, created);
    }
    return tree;
}

std::vector<std::string_view> SplitPath(std::string_view path)
{
    std::vector<std::string_view> parts;
    while (!path.empty()) {
        const auto slash = path.find('\\');
        const auto part = path.substr(0, slash);
        if (!part.empty()) parts.push_back(part);
        if (slash == std::string_view::npos) break;
        path.remove_prefix(slash + 1);
    }
    return parts;
}

std::shared_ptr<Key> Walk(std::shared_ptr<Key> from, const std::vector<std::string>& path)
{
    for (const auto& part : path) {
        if (!from) break;
        from = from->FindSubkey(part);
    }
    return from;
}

}  // namespace win32::registry
