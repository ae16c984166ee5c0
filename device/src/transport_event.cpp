#include "transport_event.h"

namespace {
constexpr int kAttempts = 8;
}

HANDLE CreateTransportEvent(char (&name)[128], CounterReader readCounter)
{
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        LARGE_INTEGER counter;
        counter.QuadPart = 0;
        readCounter(&counter);
        wsprintfA(name, "Daveror transport 0x%x%08x", static_cast<DWORD>(counter.HighPart), counter.LowPart);
        HANDLE event = CreateEventA(NULL, FALSE, FALSE, name);
        if (!event) return nullptr;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return event;
        CloseHandle(event);
    }
    return nullptr;
}
