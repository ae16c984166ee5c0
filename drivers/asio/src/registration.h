// Registration of the driver as a COM in-process server and as an ASIO
// driver, and its removal. Both return 0, or the code of the step that
// failed; a failing registry call after those steps passes silently.
#pragma once

#include <objbase.h>

constexpr LONG REGISTER_NO_MODULE = -101;      // no module of that file name is loaded
constexpr LONG REGISTER_NO_PATH = -102;        // the module's path came back empty
constexpr LONG REGISTER_NO_CLSID_TEXT = -103;  // StringFromCLSID failed
constexpr LONG REGISTER_NO_ANSI_TEXT = -104;   // its text would not convert to ANSI

LONG RegisterAsioDriver(REFCLSID clsid, const char* moduleFileName, const char* driverName, const char* description,
                        const char* threadingModel);
LONG UnregisterAsioDriver(REFCLSID clsid, const char* moduleFileName, const char* driverName);
