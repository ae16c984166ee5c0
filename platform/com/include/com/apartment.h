// Joining and leaving COM, per thread. A thread that joined is an apartment
// of its own: the objects it creates are called from it alone.
#pragma once

#include "com/com_types.h"

// S_OK the first time on a thread, S_FALSE after; each call wants a CoUninitialize.
HRESULT CoInitialize(LPVOID reserved);
void CoUninitialize();
