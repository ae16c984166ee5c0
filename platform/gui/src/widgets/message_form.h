// A message box as a modal form of the library, for a display: its modal
// loop is the library's, so the program's timers keep firing while it is
// open.
#pragma once

#include <win32/types.h>

#include <string_view>

namespace gui::detail {

// The caption, the text with its line breaks, the buttons of `type`
// (MB_OK, MB_OKCANCEL, MB_YESNO, MB_YESNOCANCEL) with its default button
// (win32::DefaultButton) focused, centred on the screen. The answer is
// IDOK, IDCANCEL, IDYES or IDNO; closed by its frame, a box with a Cancel
// button answers IDCANCEL, an OK box IDOK and a Yes/No box IDNO.
int RunMessageForm(std::string_view text, std::string_view caption, UINT type);

}  // namespace gui::detail
