// What the X server shows in a window, for display tests.
#pragma once

#include <cstdint>
#include <vector>

namespace juce {
class ComponentPeer;
}  // namespace juce

// The window's pixels (0x00RRGGBB, row by row) in the rectangle, read back
// through JUCE's own connection; empty when they cannot be read.
std::vector<std::uint32_t> ScreenPixels(juce::ComponentPeer& peer, int x, int y, int width, int height);
