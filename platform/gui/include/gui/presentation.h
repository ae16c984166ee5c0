// What a person sees: a form's composed pixels (its client area with every
// visible windowed control over it), as a bitmap or a PNG file.
#pragma once

#include "gui/forms.h"

#include <string>

namespace gui {

// Paints what is pending, then composes the form's client area.
TBitmap ComposeForm(TCustomForm& form);
// False when the file cannot be written.
bool SaveBitmapPng(const TBitmap& bitmap, const std::string& path);
bool SaveFormPng(TCustomForm& form, const std::string& path);
// A display answers at $DISPLAY and ZAVO_GUI_HEADLESS is not set.
bool DisplayAvailable();

}  // namespace gui
