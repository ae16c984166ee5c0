// Pushing a window's pending paint to the X server at once.
#pragma once

namespace juce {
class ComponentPeer;
}  // namespace juce

namespace gui::detail {

// Paints what the window has pending now and waits until the server has
// it on the screen (a paint through shared memory still under way would
// otherwise hold this one back).
void PaintWindowNow(juce::ComponentPeer& peer);

}  // namespace gui::detail
