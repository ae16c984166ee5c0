// The control panel on a display: when the driver's copy of the GUI layer
// takes the panel over, and the picture it shows.
#include "panel_display.h"

#include <gui/dialog_presenter.h>
#include <gui/presentation.h>
#include <vcl.h>

#include <mutex>

#include "driver_identity.h"
#include "panel_picture.h"
#include "resource.h"

namespace {

// The picture at the size of its control in the panel, in pixels.
void RegisterPanelPicture(HMODULE module)
{
    const win32::DialogTemplate* panel = win32::FindDialogTemplate(module, MAKEINTRESOURCEA(IDD_CONTROL_PANEL));
    if (!panel) return;
    for (const win32::DialogItemTemplate& item : panel->items) {
        if (!item.text.IsOrdinal() || item.text.GetOrdinal() != IDB_CONTROL_PANEL) continue;
        const TRect bounds = gui::ItemBounds(*panel, item);
        RegisterBitmapResource(gui::BitmapResourceName(item.text), DrawPanelPicture(bounds.Width(), bounds.Height()));
        return;
    }
}

}  // namespace

void PreparePanelDisplay()
{
    static std::once_flag started;
    if (win32::DesktopInstalled() || !gui::DisplayAvailable()) return;
    std::call_once(started, [] {
        // Pinned before any thread of the presentation runs the library's code.
        HMODULE module = nullptr;
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN, kModuleFileName, &module);
        Application->Initialize();
        RegisterPanelPicture(module);
    });
}
