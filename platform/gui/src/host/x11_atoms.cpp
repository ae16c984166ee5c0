// The window-manager atoms, made before JUCE opens its display.
#include "host/x11_atoms.h"

#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include <juce_gui_basics/juce_gui_basics.h>

namespace gui::detail {

void MakeWindowManagerAtoms()
{
    juce::X11Symbols* x = juce::X11Symbols::getInstance();
    if (!x->loadAllSymbols()) return;
    ::Display* display = x->xOpenDisplay(nullptr);
    if (!display) return;
    for (const char* name : {"WM_PROTOCOLS", "WM_TAKE_FOCUS", "WM_DELETE_WINDOW", "_NET_WM_PING", "WM_CHANGE_STATE", "WM_STATE",
                             "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_NORMAL", "_NET_WM_STATE", "_NET_WM_STATE_HIDDEN"})
        x->xInternAtom(display, name, False);
    x->xFlush(display);
}

bool CanOpenDisplay()
{
    juce::X11Symbols* x = juce::X11Symbols::getInstance();
    if (!x->loadAllSymbols()) return false;
    ::Display* display = x->xOpenDisplay(nullptr);
    if (!display) return false;
    x->xCloseDisplay(display);
    return true;
}

}  // namespace gui::detail
