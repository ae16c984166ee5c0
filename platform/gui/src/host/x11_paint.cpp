// The window's paint pushed through JUCE's X connection.
#include "host/x11_paint.h"

#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include <juce_gui_basics/juce_gui_basics.h>

namespace gui::detail {

void PaintWindowNow(juce::ComponentPeer& peer)
{
    juce::XWindowSystem* x = juce::XWindowSystem::getInstanceWithoutCreating();
    if (!x || !x->getDisplay()) return peer.performAnyPendingRepaintsNow();
    ::Display* display = x->getDisplay();
    const auto window = reinterpret_cast<::Window>(peer.getNativeHandle());
    juce::X11Symbols* symbols = juce::X11Symbols::getInstance();
    symbols->xSync(display, False);
    x->processPendingPaintsForWindow(window);
    peer.performAnyPendingRepaintsNow();
    symbols->xSync(display, False);
}

}  // namespace gui::detail
