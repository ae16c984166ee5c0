// A 32-bit pixel buffer: what bitmaps hold and what every realised windowed
// control paints into. Pixels are 0x00RRGGBB (resolved colours only).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace gui {

class Surface {
public:
    Surface() = default;
    Surface(int width, int height, std::uint32_t fill);

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ <= 0 || height_ <= 0; }
    // New size; every pixel becomes `fill`.
    void reset(int width, int height, std::uint32_t fill);
    // New size keeping the overlapping pixels; new ones become `fill`.
    void resize(int width, int height, std::uint32_t fill);

    std::uint32_t* row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_); }
    const std::uint32_t* row(int y) const { return pixels_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_); }
    std::uint32_t at(int x, int y) const { return row(y)[x]; }
    void set(int x, int y, std::uint32_t v) { row(y)[x] = v; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
    std::span<const std::uint32_t> pixels() const { return pixels_; }
    std::span<std::uint32_t> pixels() { return pixels_; }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

// 0x00BBGGRR (an RGB TColor) <-> 0x00RRGGBB.
constexpr std::uint32_t ToPixel(std::uint32_t rgbColor)
{
    return ((rgbColor & 0xFF) << 16) | (rgbColor & 0xFF00) | ((rgbColor >> 16) & 0xFF);
}
constexpr std::uint32_t FromPixel(std::uint32_t pixel)
{
    return ((pixel & 0xFF) << 16) | (pixel & 0xFF00) | ((pixel >> 16) & 0xFF);
}

}  // namespace gui
