#include "open_keys.h"

#include "../kernel_object.h"

namespace win32::registry {
namespace {

constexpr REGSAM kGenericRead = 0x80000000;
constexpr REGSAM kGenericWrite = 0x40000000;
constexpr REGSAM kGenericExecute = 0x20000000;
constexpr REGSAM kGenericAll = 0x10000000;
constexpr REGSAM kMaximumAllowed = 0x02000000;

// Generic and maximum rights stand for the key rights they imply.
REGSAM KeyRights(REGSAM desired) noexcept
{
    REGSAM rights = desired & KEY_ALL_ACCESS;
    if (desired & (kGenericRead | kGenericExecute)) rights |= KEY_READ;
    if (desired & kGenericWrite) rights |= KEY_WRITE;
    if (desired & (kGenericAll | kMaximumAllowed)) rights |= KEY_ALL_ACCESS;
    return rights;
}

class KeyObject final : public KernelObject {
public:
    explicit KeyObject(OpenKey key) : key_(std::move(key)) {}
    ObjectKind Kind() const noexcept override { return ObjectKind::Other; }
    const OpenKey& Key() const noexcept { return key_; }

private:
    OpenKey key_;
};

HANDLE AsHandle(HKEY key) noexcept { return reinterpret_cast<HANDLE>(key); }

}  // namespace

OpenKey OpenKey::Below(LPCSTR subKey, REGSAM desired) const
{
    OpenKey child{root, path, KeyRights(desired)};
    if (subKey)
        for (const auto part : SplitPath(subKey)) child.path.emplace_back(part);
    return child;
}

std::shared_ptr<Key> OpenKey::In(const Tree& tree) const
{
    return Walk(tree.roots[static_cast<std::size_t>(root)], path);
}

std::optional<OpenKey> ResolveKey(HKEY key)
{
    if (const auto root = RootFromHandle(key)) return OpenKey{*root, {}, KEY_ALL_ACCESS};
    const auto object = LookupHandleAs<KeyObject>(AsHandle(key));
    if (!object) return std::nullopt;
    return object->Key();
}

LONG PublishKey(OpenKey key, PHKEY result)
{
    HANDLE handle = InsertHandle(std::make_shared<KeyObject>(std::move(key)));
    if (!handle) return ERROR_NOT_ENOUGH_MEMORY;
    *result = reinterpret_cast<HKEY>(handle);
    return ERROR_SUCCESS;
}

bool CloseKey(HKEY key)
{
    if (!LookupHandleAs<KeyObject>(AsHandle(key))) return false;
    return RemoveHandle(AsHandle(key));
}

}  // namespace win32::registry
