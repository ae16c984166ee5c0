// The pixel buffer behind bitmaps and windowed controls.
#include "gui/surface.h"

#include <algorithm>

namespace gui {

Surface::Surface(int width, int height, std::uint32_t fill)
{
    reset(width, height, fill);
}

void Surface::reset(int width, int height, std::uint32_t fill)
{
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill);
}

void Surface::resize(int width, int height, std::uint32_t fill)
{
    Surface next(width, height, fill);
    const int w = std::min(width_, next.width_);
    const int h = std::min(height_, next.height_);
    for (int y = 0; y < h; ++y) std::copy_n(row(y), w, next.row(y));
    *this = std::move(next);
}

}  // namespace gui
