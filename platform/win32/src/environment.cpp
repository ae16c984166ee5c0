// The process environment with Windows' size rules. One lock serialises
// these calls, since getenv and setenv are not safe against each other.
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "win32/errors.h"
#include "win32/files.h"

namespace {

std::mutex environmentLock;

bool ValidName(LPCSTR name) { return name != nullptr && *name != '\0' && std::strchr(name, '=') == nullptr; }

}  // namespace

DWORD GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size)
{
    if (!ValidName(name)) {
        SetLastError(ERROR_ENVVAR_NOT_FOUND);
        return 0;
    }
    std::lock_guard guard(environmentLock);
    const char* value = std::getenv(name);
    if (value == nullptr) {
        SetLastError(ERROR_ENVVAR_NOT_FOUND);
        return 0;
    }
    const std::size_t length = std::strlen(value);
    // Too small (or no buffer): the size needed, terminator included; the buffer is left alone.
    if (buffer == nullptr || length >= size) return static_cast<DWORD>(length + 1);
    std::memcpy(buffer, value, length + 1);
    if (length == 0) SetLastError(ERROR_SUCCESS);  // an empty value, not a failure
    return static_cast<DWORD>(length);
}

BOOL SetEnvironmentVariableA(LPCSTR name, LPCSTR value)
{
    if (!ValidName(name)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard guard(environmentLock);
    // NULL removes the variable; removing a missing one is an error on Windows.
    if (value == nullptr) {
        if (std::getenv(name) == nullptr) {
            SetLastError(ERROR_ENVVAR_NOT_FOUND);
            return FALSE;
        }
        ::unsetenv(name);
        return TRUE;
    }
    if (::setenv(name, value, 1) != 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    return TRUE;
}
