// The trace hook of the drivers' card objects.
#include "daveror_trace.h"

#include <atomic>
#include <cstdarg>

namespace {
std::atomic<DaverorTraceHook> g_TraceHook{nullptr};
}

DaverorTraceHook SetDaverorTraceHook(DaverorTraceHook hook) { return g_TraceHook.exchange(hook); }

void DaverorTrace(const char* format, ...)
{
    DaverorTraceHook hook = g_TraceHook.load();
    if (!hook) return;
    char text[1025];  // wvsprintfA writes at most 1024 characters
    va_list args;
    va_start(args, format);
    wvsprintfA(text, format, args);
    va_end(args);
    hook(text);
}
