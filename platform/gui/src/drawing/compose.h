// A form's composed pixels: its client surface with every visible windowed
// control's surface over it, each clipped to its parent.
#pragma once

#include "gui/controls.h"

namespace gui::detail {

// Composes `area` (form client pixels) of `form`'s picture into `out`, a
// surface of the form's client size, from what the surfaces hold now.
void ComposeArea(const TWinControl& form, const TRect& area, Surface& out);

}  // namespace gui::detail
