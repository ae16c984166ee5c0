// Diagnostic texts of the drivers' card objects. They go to a hook that
// discards them unless a driver or a test installs one of its own.
#pragma once

#include <windows.h>

using DaverorTraceHook = void (*)(const char* text);

// Installs `hook` (null: discard) and returns the one it replaces.
DaverorTraceHook SetDaverorTraceHook(DaverorTraceHook hook);
// Formats with wsprintfA's rules and hands the text to the hook.
void DaverorTrace(const char* format, ...);
