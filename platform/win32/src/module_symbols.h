// A module's own symbols, as GetProcAddress finds its exports: also the data
// symbol of its resource table.
#pragma once

#include "win32/types.h"

namespace win32 {

// The symbol `name` defined in `module` itself (NULL: the main program), or
// null with ERROR_MOD_NOT_FOUND or ERROR_PROC_NOT_FOUND in `error`.
void* FindModuleSymbol(HMODULE module, const char* name, DWORD* error);

}  // namespace win32
