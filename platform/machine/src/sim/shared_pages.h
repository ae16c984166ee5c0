// Memory the card shares with a client: pipe buffers and position counters.
// The card's records carry addresses as 32-bit words, so the pages lie below
// 4 GiB; they are zero-filled and stay where they are until released.
#pragma once

#include <cstddef>
#include <cstdint>

namespace machine::sim {

class SharedPages {
public:
    SharedPages() = default;
    // Whole pages covering `bytes`; an empty object when no such memory can be had.
    static SharedPages Allocate(std::size_t bytes);
    ~SharedPages();
    SharedPages(SharedPages&& other) noexcept;
    SharedPages& operator=(SharedPages&& other) noexcept;
    SharedPages(const SharedPages&) = delete;
    SharedPages& operator=(const SharedPages&) = delete;

    explicit operator bool() const noexcept { return base_ != nullptr; }
    std::byte* Data() const noexcept { return static_cast<std::byte*>(base_); }
    std::size_t Size() const noexcept { return size_; }
    // The address as the card's records carry it.
    std::uint32_t Address() const noexcept;

private:
    SharedPages(void* base, std::size_t size) noexcept : base_(base), size_(size) {}
    void Release() noexcept;

    void* base_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace machine::sim
