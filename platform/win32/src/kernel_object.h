// The platform's side of handles: every handle names a KernelObject in one
// table. Values are small integers (they travel in 32-bit record fields) and
// are not reused quickly, so a stale handle never reaches a newer object.
#pragma once

#include <memory>

#include "win32/errors.h"
#include "win32/object_ref.h"
#include "win32/types.h"

namespace win32 {

class KernelObject {
public:
    virtual ~KernelObject() = default;
    virtual ObjectKind Kind() const noexcept = 0;
    // Called when a handle to the object is closed (before the table drops it).
    virtual void HandleClosed() {}
};

// A new handle for `object`; NULL (with ERROR_NOT_ENOUGH_MEMORY) if the table is full.
HANDLE InsertHandle(std::shared_ptr<KernelObject> object);
// The object behind `handle`, or nullptr (the caller sets ERROR_INVALID_HANDLE).
// The pseudo-handle of GetCurrentThread names the calling thread's object.
std::shared_ptr<KernelObject> LookupHandle(HANDLE handle);
template <class T>
std::shared_ptr<T> LookupHandleAs(HANDLE handle)
{
    return std::dynamic_pointer_cast<T>(LookupHandle(handle));
}
// The same, for the calls on a handle: nullptr sets ERROR_INVALID_HANDLE.
template <class T>
std::shared_ptr<T> ObjectOfHandle(HANDLE handle)
{
    auto object = LookupHandleAs<T>(handle);
    if (!object) SetLastError(ERROR_INVALID_HANDLE);
    return object;
}
// Removes the handle, calls the object's HandleClosed and drops the handle's
// reference (outside the table's lock); false when the handle is not in the table.
bool RemoveHandle(HANDLE handle);

}  // namespace win32
