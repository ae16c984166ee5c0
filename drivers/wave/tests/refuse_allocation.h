// The program's non-throwing operator new, which the loaded driver uses too,
// can be told to refuse one allocation: the k-th from now (0 = the next).
// The throwing form is left alone.
#pragma once

#include <cstddef>

class RefuseAllocation {
public:
    explicit RefuseAllocation(long k);
    ~RefuseAllocation();  // disarms
    RefuseAllocation(const RefuseAllocation&) = delete;
    RefuseAllocation& operator=(const RefuseAllocation&) = delete;

    // Whether the refusal came: false when fewer than k + 1 allocations were made.
    bool Refused() const;
};
