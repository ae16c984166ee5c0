// The console's version, the project's own, as the fixed file information
// of "korvane3.exe": the program declares it at start-up, and its version
// block is read from there.
#pragma once

#include <win32/version_info.h>

VS_FIXEDFILEINFO ConsoleVersion();
void DeclareConsoleVersion();
