// Modules: shared libraries loaded as Windows loads its DLLs, with the
// module's DllMain told of process attach and detach.
//
// How modules are named and found here:
// - A module is an ELF shared object whose file name is the Windows one:
//   the drivers' files are named exactly "ASIOZavoWDM.dll" and
//   "Zavo24Wave.dll". DllMain, when a module has one, is its exported
//   C symbol `extern "C" BOOL DllMain(HINSTANCE, DWORD, LPVOID)`.
// - An HMODULE is the address the module is mapped at (as on Windows), the
//   same value whoever loaded the module and whichever copy of this layer
//   asks. Names and addresses are looked up in the dynamic loader's list of
//   every object in the process, so GetModuleHandleA("ASIOZavoWDM.dll")
//   from inside that library finds it even when a host loaded it by a full
//   path without LoadLibraryA.
// - Paths may use '\' for '/'. A path that does not exist as spelled is
//   matched ignoring case, component by component, as Windows' file system
//   would (a registered server path is stored lower-case).
#pragma once

#include "win32/types.h"

constexpr DWORD DLL_PROCESS_DETACH = 0;
constexpr DWORD DLL_PROCESS_ATTACH = 1;
constexpr DWORD DLL_THREAD_ATTACH = 2;
constexpr DWORD DLL_THREAD_DETACH = 3;

// GetModuleHandleExA's flag: the module stays mapped until the process ends.
constexpr DWORD GET_MODULE_HANDLE_EX_FLAG_PIN = 0x00000001;

using DllMainProc = BOOL (*)(HINSTANCE module, DWORD reason, LPVOID reserved);

// dlopen (RTLD_NOW | RTLD_LOCAL), then DllMain(module, DLL_PROCESS_ATTACH,
// NULL). A bare name is looked for as Windows does: a loaded module of that
// file name, the program's folder, the current folder, then the loader's
// path. Loading a module again counts a reference and calls no DllMain.
// A FALSE attach unloads the module without a detach call and fails with
// ERROR_DLL_INIT_FAILED; a module that cannot be found or loaded fails with
// ERROR_MOD_NOT_FOUND (a file that exists but does not load is reported on
// stderr with the loader's reason).
HMODULE LoadLibraryA(LPCSTR fileName);
// The last reference: DllMain(module, DLL_PROCESS_DETACH, NULL), then dlclose.
// Only modules loaded with LoadLibraryA (else ERROR_MOD_NOT_FOUND).
BOOL FreeLibrary(HMODULE module);
// An export of the module itself (not of a library it depends on); NULL
// names the main program. ERROR_PROC_NOT_FOUND when missing.
FARPROC GetProcAddress(HMODULE module, LPCSTR procName);
// An already loaded module found by its file name, or by its full path
// when the name has a folder, compared ignoring case; NULL names the main
// program. Counts no reference. ERROR_MOD_NOT_FOUND when none matches.
HMODULE GetModuleHandleA(LPCSTR moduleName);
// A loaded module found as GetModuleHandleA finds it, into *module. The one
// flag kept is GET_MODULE_HANDLE_EX_FLAG_PIN (other flags fail with
// ERROR_INVALID_PARAMETER): the module is pinned, so that the last
// FreeLibrary still calls its detach and drops its reference, but its code
// stays mapped and GetModuleHandleA still finds it. ERROR_MOD_NOT_FOUND, and
// *module NULL, when none matches.
BOOL GetModuleHandleExA(DWORD flags, LPCSTR moduleName, HMODULE* module);
// The module's full path (the main program's for NULL). A buffer too small
// gets the path truncated and terminated, the result is `size` and the
// error ERROR_INSUFFICIENT_BUFFER.
DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size);
// Always granted for a loaded module: thread attach and detach calls are
// never made here.
BOOL DisableThreadLibraryCalls(HMODULE module);
