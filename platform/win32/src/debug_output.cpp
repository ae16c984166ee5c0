// Debugger output onto stderr.
#include "win32/debug.h"

#include <cstdio>
#include <cstring>
#include <string>

void OutputDebugStringA(LPCSTR text)
{
    std::string line = text != nullptr ? text : "";
    if (line.empty() || line.back() != '\n') line += '\n';
    // One write per line, so that lines from several threads do not interleave.
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}
