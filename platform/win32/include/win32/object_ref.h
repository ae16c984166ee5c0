// References to kernel objects held outside any handle, as a kernel driver
// holds them: the object lives while the reference does, even after the
// client closed every handle to it.
#pragma once

#include <memory>

#include "win32/types.h"

namespace win32 {

class KernelObject;  // defined by the platform; opaque to callers

enum class ObjectKind { Mutex, Event, Semaphore, Thread, File, Other };

class ObjectRef {
public:
    ObjectRef() = default;
    // A new reference to the object behind `handle`; empty when the handle is bad.
    static ObjectRef FromHandle(HANDLE handle);

    explicit operator bool() const noexcept { return object_ != nullptr; }
    ObjectKind Kind() const noexcept;
    // SetEvent on the referenced event; false if it is not an event.
    bool SetEvent() const;
    void Reset() noexcept { object_.reset(); }
    bool SameObject(const ObjectRef& other) const noexcept { return object_ == other.object_; }

private:
    explicit ObjectRef(std::shared_ptr<KernelObject> object) : object_(std::move(object)) {}
    std::shared_ptr<KernelObject> object_;
};

}  // namespace win32
