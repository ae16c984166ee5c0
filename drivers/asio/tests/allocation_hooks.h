// This test binary's own operator new and delete, which the driver it loads
// calls too (the binary exports them). They can refuse chosen allocations
// while a driver call runs; every other allocation succeeds, since the
// registry and the simulator do not expect theirs to fail.
#pragma once

#include <cstddef>
#include <optional>

namespace allocation_hooks {

// Counts the driver's own non-throwing allocations (those its library's code
// makes, not the platform's) while it lives, and refuses the one numbered
// `refuse` (from 0), when given.
class NothrowAllocations {
public:
    explicit NothrowAllocations(std::optional<unsigned> refuse = std::nullopt);
    ~NothrowAllocations();
    NothrowAllocations(const NothrowAllocations&) = delete;
    NothrowAllocations& operator=(const NothrowAllocations&) = delete;

    unsigned Count() const;
};

// Refuses, with std::bad_alloc, the throwing allocation of `size` bytes
// numbered `refuse` (from 0) among those made while it lives.
class ThrowingAllocationsOfSize {
public:
    ThrowingAllocationsOfSize(std::size_t size, unsigned refuse);
    ~ThrowingAllocationsOfSize();
    ThrowingAllocationsOfSize(const ThrowingAllocationsOfSize&) = delete;
    ThrowingAllocationsOfSize& operator=(const ThrowingAllocationsOfSize&) = delete;

    bool Refused() const;
};

}  // namespace allocation_hooks
