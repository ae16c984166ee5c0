// The modifier keys as the console's change handlers read them: from the
// keyboard state at that moment, never from an event's shift argument.
#pragma once

#include <windows.h>

// The key is held (the high bit of its state).
inline bool KeyHeld(int virtualKey) { return GetKeyState(virtualKey) < 0; }
