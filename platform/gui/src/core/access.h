// The library's own reach into controls: fields that only the library sets
// (a form starts hidden), the window handle table, the picture generation
// and the mouse message's key flags.
#pragma once

#include "gui/controls.h"

#include <win32/message_queues.h>

struct ControlAccess {
    static void SetVisibleField(TControl& c, bool v) { c.visible_ = v; }
    static void SetParentColorField(TControl& c, bool v) { c.parentColor_ = v; }
    static void SetColorField(TControl& c, TColor v) { c.color_ = v; }
    static void SetParentFontField(TControl& c, bool v) { c.parentFont_ = v; }
    static void KeyDown(TWinControl& c, Word& key, TShiftState shift) { c.KeyDown(key, shift); }
    static void KeyPress(TWinControl& c, char& key) { c.KeyPress(key); }
    static void PaintNow(TWinControl& c) { c.PaintNow(); }
};

namespace gui::detail {

// Window handles, from the Win32 layer's table: never reused while the
// process runs. Each is registered with the library's route for posted messages.
HWND AllocateHandle(TWinControl* control);
void ReleaseHandle(HWND handle);
// Nullptr for a handle that is gone. GUI thread only.
TWinControl* FindControl(HWND handle);
bool HandleAlive(HWND handle);
// How a message posted to one of this library's windows reaches it: through
// Application->Post, with the window looked up again at delivery; a
// broadcast reaches every top-level form.
const win32::WindowRoute& PostedMessageRoute();

// Counts every change to what a window could show (drawing, erasing,
// moving, showing, hiding), so that a window redraws only after one.
std::uint64_t PictureGeneration();
void PictureChanged();

// While a modal form is up, the forms shown before it take no input (their
// windows are disabled).
bool BehindModal(const TCustomForm& form);

// Mouse message <-> button and shift state.
TShiftState ShiftFromKeys(WPARAM keys);
WPARAM KeysFromShift(TShiftState shift);

}  // namespace gui::detail
