// The component library the console is written against.
//
// Usage:
//   auto* form = new TForm(Application);           // owner frees what it owns
//   auto* label = new TLabel(form);
//   label->SetParent(form);
//   label->SetText("0");                           // Caption/Text setter is SetText
//   label->Font()->SetColor(clLime);               // touching Font clears ParentFont
//   label->OnMouseUp = [](TObject*, TMouseButton, TShiftState, int, int) {};
//   form->Show();                                  // realises the windowed controls
//   gui::PressMouse(*form, mbLeft, 10, 10);        // raw input (tests, windows)
//   Application->ProcessMessages();                // timers, paints, enter/leave
//
// Subclasses handle messages by overriding WndProc and calling their base's
// WndProc as "inherited"; the key and mouse steps are the virtual KeyDown,
// MouseDown, MouseMove and MouseUp, whose base versions fire the On* events.
// Event slots are std::function; the library always fires a copy, so a
// handler may rebind the slot it runs from. Colours compare through
// ColorToRGB. Enumerations whose names clash elsewhere are scoped
// (TBrushStyle::bsClear, TFormBorderStyle::bsDialog, TButtonState::bsDown).
// Canvas drawing follows GDI's raster rules: lines exclude their end point,
// Rectangle with a clear pen fills one pixel less at right and bottom.
//
// Headless (tests, no display) the loop's time is virtual and a form is seen
// through gui::ComposeForm / gui::SaveFormPng; tests use the fixture in
// <gui_testing/gui_test.h>. After Application->Initialize() on a display,
// every shown form is a window and Application->Run() serves them.
#pragma once

#include <windows.h>

#include "gui/buttons.h"
#include "gui/choice.h"
#include "gui/pages.h"
#include "gui/classes.h"
#include "gui/combo.h"
#include "gui/controls.h"
#include "gui/extctrls.h"
#include "gui/forms.h"
#include "gui/graphics.h"
#include "gui/input.h"
#include "gui/messages.h"
#include "gui/presentation.h"
#include "gui/registry.h"
#include "gui/stdctrls.h"
#include "gui/sysutils.h"
#include "gui/types.h"
