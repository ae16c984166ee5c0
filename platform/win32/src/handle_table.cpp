// The handle table and CloseHandle.
#include "handle_table.h"

#include "immortal.h"
#include "thread_object.h"
#include "win32/kernel.h"

namespace win32 {

HandleTable::HandleTable(std::uint32_t first, std::uint32_t last) : first_(first), last_(last), next_(first) {}

bool HandleTable::InRange(std::uintptr_t value) const noexcept
{
    return value >= first_ && value <= last_ && value % 4 == 0;
}

HANDLE HandleTable::Insert(std::shared_ptr<KernelObject> object)
{
    std::lock_guard guard(lock_);
    const std::uint64_t slots = (static_cast<std::uint64_t>(last_) - first_) / 4 + 1;
    if (entries_.size() >= slots) return nullptr;
    while (entries_.contains(next_))
        next_ = next_ >= last_ ? first_ : next_ + 4;
    const std::uint32_t value = next_;
    next_ = next_ >= last_ ? first_ : next_ + 4;
    entries_.emplace(value, std::move(object));
    return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(value));
}

std::shared_ptr<KernelObject> HandleTable::Lookup(HANDLE handle) const
{
    const auto value = reinterpret_cast<std::uintptr_t>(handle);
    if (!InRange(value)) return nullptr;
    std::lock_guard guard(lock_);
    const auto found = entries_.find(static_cast<std::uint32_t>(value));
    return found == entries_.end() ? nullptr : found->second;
}

std::shared_ptr<KernelObject> HandleTable::Take(HANDLE handle)
{
    const auto value = reinterpret_cast<std::uintptr_t>(handle);
    if (!InRange(value)) return nullptr;
    std::lock_guard guard(lock_);
    const auto found = entries_.find(static_cast<std::uint32_t>(value));
    if (found == entries_.end()) return nullptr;
    std::shared_ptr<KernelObject> object = std::move(found->second);
    entries_.erase(found);
    return object;
}

std::size_t HandleTable::Count() const
{
    std::lock_guard guard(lock_);
    return entries_.size();
}

HandleTable& Handles()
{
    static Immortal<HandleTable> table;
    return *table;
}

HANDLE InsertHandle(std::shared_ptr<KernelObject> object)
{
    HANDLE handle = Handles().Insert(std::move(object));
    if (!handle) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return handle;
}

std::shared_ptr<KernelObject> LookupHandle(HANDLE handle)
{
    if (handle == CurrentThreadPseudoHandle()) return CurrentThreadObject();
    return Handles().Lookup(handle);
}

bool RemoveHandle(HANDLE handle)
{
    // The object may die here, outside the table's lock.
    std::shared_ptr<KernelObject> object = Handles().Take(handle);
    if (!object) return false;
    object->HandleClosed();
    return true;
}

std::size_t OpenHandleCount() { return Handles().Count(); }

}  // namespace win32

BOOL CloseHandle(HANDLE handle)
{
    if (handle == win32::CurrentThreadPseudoHandle()) return TRUE;
    if (!win32::RemoveHandle(handle)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
