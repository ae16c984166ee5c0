// Shared pages below 4 GiB.
#include "shared_pages.h"

#include <sys/mman.h>
#include <unistd.h>

#include <utility>

namespace machine::sim {

SharedPages SharedPages::Allocate(std::size_t bytes)
{
    if (bytes == 0) return {};
    const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    const std::size_t size = (bytes + page - 1) / page * page;
    void* base = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS | MAP_32BIT, -1, 0);
    if (base == MAP_FAILED) return {};
    if (reinterpret_cast<std::uintptr_t>(base) + size > (std::uintptr_t{1} << 32)) {
        munmap(base, size);  // the address would not fit the record
        return {};
    }
    return SharedPages(base, size);
}

SharedPages::~SharedPages() { Release(); }

SharedPages::SharedPages(SharedPages&& other) noexcept
    : base_(std::exchange(other.base_, nullptr)), size_(std::exchange(other.size_, 0))
{
}

SharedPages& SharedPages::operator=(SharedPages&& other) noexcept
{
    if (this != &other) {
        Release();
        base_ = std::exchange(other.base_, nullptr);
        size_ = std::exchange(other.size_, 0);
    }
    return *this;
}

std::uint32_t SharedPages::Address() const noexcept
{
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(base_));
}

void SharedPages::Release() noexcept
{
    if (base_ != nullptr) munmap(base_, size_);
    base_ = nullptr;
    size_ = 0;
}

}  // namespace machine::sim
