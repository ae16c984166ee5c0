// Raw input as a window system delivers it: a form's window (or a test)
// reports presses, moves, releases and keys at form client coordinates. The
// library keeps the key state behind GetKeyState, routes mouse input (capture,
// graphic controls through their parent, enter/leave at idle) and keys (the
// dialog-key pre-pass, KeyPreview, the focused control; with Alt held a
// letter or digit then goes to the control whose caption underlines it, and
// types nothing). Input to a form that
// lies behind a modal form is dropped, as a disabled window's would be; the
// key state still follows it.
#pragma once

#include "gui/forms.h"

namespace gui {

void PressMouse(TCustomForm& form, TMouseButton button, int x, int y, bool doubleClick = false);
void MoveMouse(TCustomForm& form, int x, int y);
void ReleaseMouse(TCustomForm& form, TMouseButton button, int x, int y);
// Wheel input does nothing.
void WheelMouse(TCustomForm& form, int x, int y, int delta);
void PressKey(TCustomForm& form, WORD virtualKey);
void ReleaseKey(TCustomForm& form, WORD virtualKey);
// A character typed (after its key press).
void TypeChar(TCustomForm& form, char c);
// The close box of the frame.
void CloseBox(TCustomForm& form);
// Runs `work` as one input event from the message loop (scripts input into a
// modal loop).
void PostInput(std::function<void()> work);
// The shift state from the key state now (Shift, Ctrl, Alt, held buttons).
TShiftState CurrentShiftState();

}  // namespace gui
