#include "allocation_hooks.h"

#include <dlfcn.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string_view>

namespace {

constexpr unsigned kNone = ~0u;

std::atomic<bool> g_CountNothrow{false};
std::atomic<unsigned> g_NothrowCount{0};
std::atomic<unsigned> g_RefuseNothrow{kNone};

std::atomic<std::size_t> g_WatchedSize{0};
std::atomic<unsigned> g_SizeCount{0};
std::atomic<unsigned> g_RefuseOfSize{kNone};
std::atomic<bool> g_RefusedOfSize{false};

// Whether `code` lies in the driver's library, not in the platform it calls.
bool InDriver(const void* code)
{
    Dl_info info;
    if (dladdr(code, &info) == 0 || info.dli_fname == nullptr) return false;
    return std::string_view(info.dli_fname).ends_with("/ASIOZavoWDM.dll");
}

bool RefuseNothrow(const void* caller)
{
    if (!g_CountNothrow || !InDriver(caller)) return false;
    return g_NothrowCount++ == g_RefuseNothrow;
}

bool RefuseThrowing(std::size_t size)
{
    if (size == 0 || size != g_WatchedSize) return false;
    if (g_SizeCount++ != g_RefuseOfSize) return false;
    g_RefusedOfSize = true;
    return true;
}

void* Allocate(std::size_t size) { return std::malloc(size != 0 ? size : 1); }

void* AllocateOrThrow(std::size_t size)
{
    if (RefuseThrowing(size)) throw std::bad_alloc();
    if (void* memory = Allocate(size)) return memory;
    throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return AllocateOrThrow(size); }
void* operator new[](std::size_t size) { return AllocateOrThrow(size); }
// Each asks who called it: kept apart from the other, never folded into it by the optimiser.
[[gnu::noipa]] void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return RefuseNothrow(__builtin_return_address(0)) ? nullptr : Allocate(size);
}
[[gnu::noipa]] void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return RefuseNothrow(__builtin_return_address(0)) ? nullptr : Allocate(size);
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { std::free(memory); }

namespace allocation_hooks {

NothrowAllocations::NothrowAllocations(std::optional<unsigned> refuse)
{
    g_NothrowCount = 0;
    g_RefuseNothrow = refuse.value_or(kNone);
    g_CountNothrow = true;
}

NothrowAllocations::~NothrowAllocations()
{
    g_CountNothrow = false;
    g_RefuseNothrow = kNone;
}

unsigned NothrowAllocations::Count() const { return g_NothrowCount; }

ThrowingAllocationsOfSize::ThrowingAllocationsOfSize(std::size_t size, unsigned refuse)
{
    g_SizeCount = 0;
    g_RefuseOfSize = refuse;
    g_RefusedOfSize = false;
    g_WatchedSize = size;
}

ThrowingAllocationsOfSize::~ThrowingAllocationsOfSize()
{
    g_WatchedSize = 0;
    g_RefuseOfSize = kNone;
}

bool ThrowingAllocationsOfSize::Refused() const { return g_RefusedOfSize; }

}  // namespace allocation_hooks
