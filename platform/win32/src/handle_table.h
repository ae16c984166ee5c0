// The table behind every handle. Values are multiples of 4 in a fixed range
// below 2^31 (so they survive a signed 32-bit record field), handed out from
// a counter that wraps and skips live values: a closed value comes back only
// after the whole range has been used.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "kernel_object.h"

namespace win32 {

class HandleTable {
public:
    static constexpr std::uint32_t kFirst = 4;
    static constexpr std::uint32_t kLast = 0x7FFFFFFC;

    explicit HandleTable(std::uint32_t first = kFirst, std::uint32_t last = kLast);

    // NULL when every value of the range is live.
    HANDLE Insert(std::shared_ptr<KernelObject> object);
    std::shared_ptr<KernelObject> Lookup(HANDLE handle) const;
    // Removes the entry and hands its reference to the caller.
    std::shared_ptr<KernelObject> Take(HANDLE handle);
    std::size_t Count() const;

private:
    bool InRange(std::uintptr_t value) const noexcept;

    mutable std::mutex lock_;
    std::unordered_map<std::uint32_t, std::shared_ptr<KernelObject>> entries_;
    std::uint32_t first_;
    std::uint32_t last_;
    std::uint32_t next_;
};

// The process's one table.
HandleTable& Handles();

}  // namespace win32
