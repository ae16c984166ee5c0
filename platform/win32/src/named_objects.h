// The process's namespace of named kernel objects (mutexes, events,
// semaphores share it). A name lasts while its object does; names compare
// case-sensitively.
#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "handle_table.h"
#include "wait_model.h"

namespace win32 {

// The live object called `name`, or the one `make` builds, which then takes the name.
std::shared_ptr<Waitable> FindOrCreateNamed(std::string_view name, const std::function<std::shared_ptr<Waitable>()>& make,
                                            bool& existed);

// The Create...A pattern: a NULL or empty name makes an unnamed object; an
// existing name gives a new handle to that object (ERROR_ALREADY_EXISTS, and
// `make` is not called), a name held by another kind of object fails with
// ERROR_INVALID_HANDLE; a new object leaves last error 0.
template <class T, class Make>
HANDLE CreateKernelObject(LPCSTR name, Make make)
{
    bool existed = false;
    std::shared_ptr<T> object;
    if (name && *name) {
        object = std::dynamic_pointer_cast<T>(FindOrCreateNamed(name, make, existed));
        if (!object) {
            SetLastError(ERROR_INVALID_HANDLE);
            return nullptr;
        }
    } else {
        object = make();
    }
    HANDLE handle = InsertHandle(std::move(object));
    if (handle) SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

}  // namespace win32
