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

// Resources. Dialogs for the dialog manager's tests: 300 with two radio groups, a check
// box, a disabled one, a group box and a picture; "Bare", named by a text,
// with no default button and two radio buttons split by a group box that
// starts no group.
namespace {

constexpr DWORD kRadio = BS_AUTORADIOBUTTON | WS_TABSTOP;
constexpr win32::DialogItemTemplate kGroupsItems[] = {
    {IDOK, "Button", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, "OK", 150, 10, 50, 14},
    {IDCANCEL, "Button", BS_PUSHBUTTON | WS_TABSTOP, "Cancel", 150, 30, 50, 14},
    {100, "Button", kRadio | WS_GROUP, "A1", 10, 10, 40, 10},
    {101, "Button", kRadio, "A2", 10, 22, 40, 10},
    {102, "Button", kRadio, "A3", 10, 34, 40, 10},
    {103, "Button", kRadio | WS_GROUP, "B1", 60, 10, 40, 10},
    {104, "Button", kRadio, "B2", 60, 22, 40, 10},
    {110, "Button", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, "Check", 10, 50, 60, 10},
    {111, "Button", BS_AUTOCHECKBOX | WS_TABSTOP | WS_DISABLED, "Disabled", 10, 62, 60, 10},
    {-1, "Button", BS_GROUPBOX, "Frame", 5, 5, 100, 70},
    {-1, "Static", SS_BITMAP, win32::NameOrOrdinal::Ordinal(7), 120, 60, 20, 20},
};
constexpr win32::DialogTemplate kGroups = {
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, "Groups", 210, 80, "MS Sans Serif", 8, kGroupsItems};

constexpr win32::DialogItemTemplate kBareItems[] = {
    {200, "Button", kRadio, "First", 10, 10, 40, 10},
    {-1, "Button", BS_GROUPBOX, "Between", 5, 5, 100, 40},
    {201, "Button", kRadio, "Second", 10, 22, 40, 10},
    {IDCANCEL, "Button", BS_PUSHBUTTON, "Cancel", 60, 10, 40, 14},
};
constexpr win32::DialogTemplate kBare = {WS_POPUP, "Bare", 110, 50, "MS Sans Serif", 8, kBareItems};

constexpr win32::DialogResource kDialogs[] = {
    {win32::NameOrOrdinal::Ordinal(300), &kGroups},
    {"Bare", &kBare},
};

// Its version block: 4.3.2.1, U.K. English in the Western code page.
constexpr win32::VersionString kVersionTexts[] = {
    {"FileDescription", "The loader's test module"},
    {"OriginalFilename", "TestModule.dll"},
    {"Comments", ""},
};
constexpr win32::VersionResource kVersion = {
    {VS_FFI_SIGNATURE, VS_FFI_STRUCVERSION, 0x00040003, 0x00020001, 0x00040003, 0x00020001, VS_FFI_FILEFLAGSMASK, 0,
     VOS_NT_WINDOWS32, VFT_DLL, 0, 0, 0},
    0x0809, 0x04E4, kVersionTexts};

}  // namespace

extern "C" const win32::ModuleResources ModuleResourceTable = {kDialogs, &kVersion};
