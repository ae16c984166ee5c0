// The window messages between this program's windows: sent at once, or
// posted through the Win32 layer's window table, which hands them back to
// this library's route.
#include "core/access.h"

#include "gui/forms.h"

#include <vector>

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    TWinControl* c = gui::detail::FindControl(window);
    return c ? c->Perform(message, wParam, lParam) : 0;
}

namespace {

// A posted message meets the application's OnMessage handlers first; what it leaves
// unhandled goes to the window, if the window is still there.
void Deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    TMessage m{message, wParam, lParam, 0};
    if (!Application->MessageHandled(m, window)) SendMessageA(window, message, wParam, lParam);
}

void PostToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // Looked up again at delivery: the window may be gone by then.
    Application->Post([=] { Deliver(window, message, wParam, lParam); });
}

void PostToForms(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Every top-level window of the program (others are not reachable).
    Application->Post([=] {
        std::vector<HWND> windows;
        for (TCustomForm* f : Application->Forms())
            if (f->HandleAllocated()) windows.push_back(f->Handle());
        for (HWND w : windows) Deliver(w, message, wParam, lParam);
    });
}

const win32::WindowRoute kRoute = {PostToWindow, PostToForms};

// A broadcast reaches this copy of the library from its load to its unload,
// also when it is posted before the first form has its window.
struct BroadcastRegistration {
    BroadcastRegistration() { win32::RegisterBroadcastRoute(kRoute); }
    ~BroadcastRegistration() { win32::UnregisterBroadcastRoute(kRoute); }
    BroadcastRegistration(const BroadcastRegistration&) = delete;
    BroadcastRegistration& operator=(const BroadcastRegistration&) = delete;
} registration;

}  // namespace

namespace gui::detail {

const win32::WindowRoute& PostedMessageRoute() { return kRoute; }

}  // namespace gui::detail
