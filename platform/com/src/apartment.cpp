// Each thread's count of CoInitialize calls.
#include "com/apartment.h"

#include "apartment_state.h"

namespace {

thread_local unsigned t_Initialized = 0;

}  // namespace

HRESULT CoInitialize(LPVOID)
{
    return t_Initialized++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize()
{
    if (t_Initialized > 0) --t_Initialized;
}

namespace com {

bool ThreadInitialized() { return t_Initialized > 0; }

}  // namespace com
