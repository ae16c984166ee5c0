// Rectangles and the system colour table.
#include "gui/types.h"

#include <algorithm>
#include <array>

TRect IntersectRect(const TRect& a, const TRect& b)
{
    TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
    if (r.IsEmpty()) return TRect{};
    return r;
}

TRect UnionRect(const TRect& a, const TRect& b)
{
    if (a.IsEmpty()) return b.IsEmpty() ? TRect{} : b;
    if (b.IsEmpty()) return a;
    return TRect{std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right), std::max(a.Bottom, b.Bottom)};
}

TRect OffsetRect(const TRect& r, int dx, int dy)
{
    return TRect{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

namespace {

// The classic grey desktop scheme, so that every machine draws alike.
constexpr std::array<TColor, 25> kSystemColours = {
    0xC8C8C8,  // scroll bar
    0x808000,  // background
    0x800000,  // active caption
    0x808080,  // inactive caption
    0xC0C0C0,  // menu
    0xFFFFFF,  // window
    0x000000,  // window frame
    0x000000,  // menu text
    0x000000,  // window text
    0xFFFFFF,  // caption text
    0xC0C0C0,  // active border
    0xC0C0C0,  // inactive border
    0x808080,  // application workspace
    0x800000,  // highlight
    0xFFFFFF,  // highlight text
    0xC0C0C0,  // button face
    0x808080,  // button shadow
    0x808080,  // grey text
    0x000000,  // button text
    0xC0C0C0,  // inactive caption text
    0xFFFFFF,  // button highlight
    0x000000,  // 3D dark shadow
    0xDFDFDF,  // 3D light
    0x000000,  // info text
    0xE1FFFF,  // info background
};

}  // namespace

TColor ColorToRGB(TColor color)
{
    if (color & 0x80000000u) {
        const std::uint32_t index = color & 0xFF;
        return index < kSystemColours.size() ? kSystemColours[index] : 0x000000;
    }
    return color & 0x00FFFFFF;
}
