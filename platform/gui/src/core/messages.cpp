// The window messages between this program's windows, over the handle table.
#include "core/access.h"

#include "gui/forms.h"

#include <vector>

BOOL IsWindow(HWND window)
{
    return gui::detail::HandleAlive(window) ? TRUE : FALSE;
}

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

}  // namespace

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (window == HWND_BROADCAST) {
        // Every top-level window of the program (others are not reachable).
        Application->Post([=] {
            std::vector<HWND> windows;
            for (TCustomForm* f : Application->Forms())
                if (f->HandleAllocated()) windows.push_back(f->Handle());
            for (HWND w : windows) Deliver(w, message, wParam, lParam);
        });
        return TRUE;
    }
    if (!gui::detail::HandleAlive(window)) return FALSE;
    // Looked up again at delivery: the window may be gone by then.
    Application->Post([=] { Deliver(window, message, wParam, lParam); });
    return TRUE;
}
