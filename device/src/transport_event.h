// The drivers' transport event: an auto-reset event named after the
// performance counter, "Daveror transport 0x%x%08x" (high half, low half).
#pragma once

#include <windows.h>

using CounterReader = BOOL (*)(LARGE_INTEGER* count);

// Creates the event under a name that no event has yet, written into `name`.
// A name that exists already (two readings in one counter step) would open
// that event, and two transports would take each other's wakes: it is closed
// and a fresh reading tried, a few times. Null when no event could be made.
HANDLE CreateTransportEvent(char (&name)[128], CounterReader readCounter = QueryPerformanceCounter);
