// Modules: shared libraries loaded as Windows loads its DLLs, with the
// module's DllMain told of process attach and detach. The drivers' files
// are named as the system names them ("ASIOZavoWDM.dll", "Zavo24Wave.dll").
#pragma once

#include "win32/types.h"

constexpr DWORD DLL_PROCESS_DETACH = 0;
constexpr DWORD DLL_PROCESS_ATTACH = 1;
constexpr DWORD DLL_THREAD_ATTACH = 2;
constexpr DWORD DLL_THREAD_DETACH = 3;

using DllMainProc = BOOL (*)(HINSTANCE module, DWORD reason, LPVOID reserved);

HMODULE LoadLibraryA(LPCSTR fileName);
BOOL FreeLibrary(HMODULE module);
FARPROC GetProcAddress(HMODULE module, LPCSTR procName);
// An already loaded module found by its file name (case-insensitive); NULL
// names the main program.
HMODULE GetModuleHandleA(LPCSTR moduleName);
DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size);
