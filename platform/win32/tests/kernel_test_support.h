// Small helpers the kernel-object tests share: a handle that closes itself
// and a thread started from a callable.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include <windows.h>

namespace kernel_test {

struct HandleCloser {
    void operator()(void* handle) const { CloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

// A thread running `body`; its result is the thread's exit code.
inline Handle StartThread(std::function<DWORD()> body, DWORD flags = 0, DWORD* id = nullptr)
{
    auto owned = std::make_unique<std::function<DWORD()>>(std::move(body));
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](LPVOID parameter) -> DWORD {
            std::unique_ptr<std::function<DWORD()>> run(static_cast<std::function<DWORD()>*>(parameter));
            return (*run)();
        },
        owned.get(), flags, id);
    // The thread owns the callable from here on.
    if (thread) static_cast<void>(owned.release());
    return Handle(thread);
}

// Names a parameterised case by its `name` field.
struct CaseNamer {
    template <class Info>
    std::string operator()(const Info& c) const
    {
        return c.param.name;
    }
};
inline constexpr CaseNamer CaseName{};

inline Handle NewEvent(bool manual, bool initial, const char* name = nullptr)
{
    return Handle(CreateEventA(nullptr, manual ? TRUE : FALSE, initial ? TRUE : FALSE, name));
}

}  // namespace kernel_test
