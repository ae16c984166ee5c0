// Our pixels as a JUCE image (for PNG files and windows).
#pragma once

#include "gui/surface.h"

#include <juce_graphics/juce_graphics.h>

namespace gui::detail {

juce::Image SurfaceImage(const Surface& surface);

}  // namespace gui::detail
