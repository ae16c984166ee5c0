// In-process servers: objects created from the library that
// HKEY_CLASSES_ROOT\CLSID\{id}\InprocServer32 names, and those libraries
// unloaded again once they say they may be.
#pragma once

#include "com/unknown.h"

// For a thread that called CoInitialize: loads the registered library (once
// per process), asks its DllGetClassObject for the class factory and creates
// the object with it. REGDB_E_CLASSNOTREG when the class is not registered as
// an in-process server (or `context` does not ask for one), CO_E_DLLNOTFOUND
// when its library does not load, CO_E_ERRORINDLL when it has no
// DllGetClassObject, else the export's or the factory's own result.
HRESULT CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD context, REFIID iid, LPVOID* out);
// Frees every library loaded above whose DllCanUnloadNow answers S_OK.
void CoFreeUnusedLibraries();
