// Debugger output. There is no debugger to listen here: the text goes to the
// process's stderr, one line per call.
#pragma once

#include "win32/types.h"

// Writes the text to stderr, ending the line when the text does not.
void OutputDebugStringA(LPCSTR text);
