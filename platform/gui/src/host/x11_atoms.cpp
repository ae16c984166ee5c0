// The window-manager atoms, made before JUCE opens its display.
#include "host/x11_atoms.h"

#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include <juce_gui_basics/juce_gui_basics.h>

namespace gui::detail {

namespace {

// Our own connection, opened once and never closed: a bare server resets
// when its last client leaves, and a reset just after a closed probe could
// take the atoms made next with it.
::Display* OwnDisplay()
{
    static ::Display* const display = [] {
        juce::X11Symbols* x = juce::X11Symbols::getInstance();
        return x->loadAllSymbols() ? x->xOpenDisplay(nullptr) : nullptr;
    }();
    return display;
}

}  // namespace

void MakeWindowManagerAtoms()
{
    ::Display* display = OwnDisplay();
    if (!display) return;
    juce::X11Symbols* x = juce::X11Symbols::getInstance();
    for (const char* name : {"WM_PROTOCOLS", "WM_TAKE_FOCUS", "WM_DELETE_WINDOW", "_NET_WM_PING", "WM_CHANGE_STATE", "WM_STATE",
                             "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_NORMAL", "_NET_WM_STATE", "_NET_WM_STATE_HIDDEN"})
        x->xInternAtom(display, name, False);
    // A round trip: the server holds them before JUCE's connection asks.
    x->xSync(display, False);
}

bool CanOpenDisplay()
{
    return OwnDisplay() != nullptr;
}

}  // namespace gui::detail
