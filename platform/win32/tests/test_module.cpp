// A small module for the loader's tests, built as TestModule.dll. Its
// DllMain appends each call to the environment variable
// ZAVO_TEST_MODULE_LOG ("attach detach "), which outlives the module, and
// refuses the attach while ZAVO_TEST_MODULE_REFUSE is set.
#include <cstdlib>
#include <string>

#include <windows.h>

extern "C" BOOL DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    const char* old = std::getenv("ZAVO_TEST_MODULE_LOG");
    std::string log = old != nullptr ? old : "";
    log += reason == DLL_PROCESS_ATTACH ? "attach " : (reason == DLL_PROCESS_DETACH ? "detach " : "other ");
    ::setenv("ZAVO_TEST_MODULE_LOG", log.c_str(), 1);
    // The module handle it is given is the one its own lookup finds.
    if (module != GetModuleHandleA("TestModule.dll")) return FALSE;
    return reason == DLL_PROCESS_ATTACH && std::getenv("ZAVO_TEST_MODULE_REFUSE") != nullptr ? FALSE : TRUE;
}

// The module looks itself up by file name, as the drivers do.
extern "C" HMODULE TestModuleOwnHandle() { return GetModuleHandleA("TestModule.dll"); }

extern "C" int TestModuleAdd(int a, int b) { return a + b; }

// Sets an event by a handle the host made: only one handle table per process makes that work.
extern "C" BOOL TestModuleSetEvent(HANDLE event) { return SetEvent(event); }
