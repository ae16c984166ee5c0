// References to kernel objects held outside any handle.
#include "win32/object_ref.h"

#include "event_object.h"
#include "kernel_object.h"

namespace win32 {

ObjectRef ObjectRef::FromHandle(HANDLE handle) { return ObjectRef(LookupHandle(handle)); }

ObjectKind ObjectRef::Kind() const noexcept { return object_ ? object_->Kind() : ObjectKind::Other; }

bool ObjectRef::SetEvent() const
{
    auto* event = dynamic_cast<EventObject*>(object_.get());
    if (!event) return false;
    event->Set();
    return true;
}

}  // namespace win32
