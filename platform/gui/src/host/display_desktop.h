// The desktop of a display: its screen, message boxes and file dialogs in
// windows, and a key table the windows keep current.
#pragma once

#include <win32/desktop.h>

#include <memory>

namespace gui::detail {

std::shared_ptr<win32::Desktop> MakeDisplayDesktop();

}  // namespace gui::detail
