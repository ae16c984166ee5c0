// WaitForSingleObject and WaitForMultipleObjects: argument checks, then the
// one wait model.
#include <algorithm>
#include <array>

#include "wait_model.h"

namespace {

DWORD Failed(DWORD error)
{
    SetLastError(error);
    return WAIT_FAILED;
}

}  // namespace

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds)
{
    auto object = win32::ObjectOfHandle<win32::Waitable>(handle);
    if (!object) return WAIT_FAILED;
    return win32::WaitForObjects({&object, 1}, false, milliseconds);
}

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds)
{
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || !handles) return Failed(ERROR_INVALID_PARAMETER);
    std::array<std::shared_ptr<win32::Waitable>, MAXIMUM_WAIT_OBJECTS> objects;
    for (DWORD i = 0; i < count; ++i) {
        objects[i] = win32::ObjectOfHandle<win32::Waitable>(handles[i]);
        if (!objects[i]) return WAIT_FAILED;
        // One object twice (through two handles too) could never be taken at one moment.
        if (std::find(objects.begin(), objects.begin() + i, objects[i]) != objects.begin() + i)
            return Failed(ERROR_INVALID_PARAMETER);
    }
    return win32::WaitForObjects({objects.data(), count}, waitAll != FALSE, milliseconds);
}
