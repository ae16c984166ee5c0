// The hint window on a display: a small window above every other that
// neither takes the focus nor the mouse.
#pragma once

#include "gui/graphics.h"

#include <string_view>

namespace gui::detail {

// Shows `picture` with its top left at `at` (screen pixels), named `text`;
// nothing headless.
void ShowHintWindow(const TBitmap& picture, TPoint at, std::string_view text);
void HideHintWindow();

}  // namespace gui::detail
