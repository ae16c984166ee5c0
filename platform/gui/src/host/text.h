// Text from JUCE's glyphs with one font-substitution table.
#pragma once

#include "gui/graphics.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace gui::detail {

// The face that stands in for a font name on this machine.
std::string SubstituteFace(std::string_view name);
TPoint MeasureText(const TFont& font, std::string_view text);
// Coverage (0..255) of the text's cell, MeasureText's size.
struct GlyphMask {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> alpha;
};
const GlyphMask& RenderText(const TFont& font, std::string_view text);
// JUCE is initialised once, on first need, on the GUI thread.
void EnsureJuce();

}  // namespace gui::detail
