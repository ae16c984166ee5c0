// Our pixels as a JUCE image.
#include "host/juce_image.h"

#include <algorithm>
#include <cstdint>

namespace gui::detail {

juce::Image SurfaceImage(const Surface& s)
{
    // Opaque ARGB is our 0x00RRGGBB with a full alpha byte.
    juce::Image image(juce::Image::ARGB, std::max(1, s.width()), std::max(1, s.height()), true);
    const juce::Image::BitmapData data(image, juce::Image::BitmapData::writeOnly);
    for (int y = 0; y < s.height(); ++y) {
        auto* line = reinterpret_cast<std::uint32_t*>(data.getLinePointer(y));
        const std::uint32_t* from = s.row(y);
        for (int x = 0; x < s.width(); ++x) line[x] = from[x] | 0xFF000000u;
    }
    return image;
}

}  // namespace gui::detail
