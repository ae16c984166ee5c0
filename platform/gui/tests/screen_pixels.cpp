// Reading a window back from the X server. Apart from the library's headers:
// X's own names (Screen, Window) would clash with them.
#include "screen_pixels.h"

#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include <juce_gui_basics/juce_gui_basics.h>

std::vector<std::uint32_t> ScreenPixels(juce::ComponentPeer& peer, int x, int y, int width, int height)
{
    std::vector<std::uint32_t> pixels;
    ::Display* display = juce::XWindowSystem::getInstance()->getDisplay();
    const auto window = reinterpret_cast<::Window>(peer.getNativeHandle());
    XImage* image = juce::X11Symbols::getInstance()->xGetImage(display, window, x, y, static_cast<unsigned>(width),
                                                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (!image) return pixels;
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column)
            pixels.push_back(static_cast<std::uint32_t>(XGetPixel(image, column, row)) & 0xFFFFFFu);
    XDestroyImage(image);
    return pixels;
}
