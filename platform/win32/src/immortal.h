// Process-wide state that is never destroyed: detached threads (a terminated
// worker, say) may still touch it while the process exits.
#pragma once

#include <new>
#include <utility>

namespace win32 {

template <class T>
class Immortal {
public:
    template <class... Args>
    explicit Immortal(Args&&... args)
    {
        ::new (static_cast<void*>(storage_)) T(std::forward<Args>(args)...);
    }
    Immortal(const Immortal&) = delete;
    Immortal& operator=(const Immortal&) = delete;

    T& operator*() noexcept { return *std::launder(reinterpret_cast<T*>(storage_)); }
    T* operator->() noexcept { return &**this; }

private:
    alignas(T) unsigned char storage_[sizeof(T)];
};

}  // namespace win32
