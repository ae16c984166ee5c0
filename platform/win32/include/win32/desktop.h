// What a Windows session's shell and its user provide: message boxes, the
// restart request, the keyboard state, registered window messages and the
// desktop's geometry. All of it goes through one replaceable desktop object:
// the GUI layer installs a real one on a display, tests a scripted one.
#pragma once

#include <memory>
#include <string_view>

#include "win32/types.h"

constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_YESNOCANCEL = 0x00000003;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_ICONERROR = 0x00000010;
constexpr UINT MB_ICONHAND = 0x00000010;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONWARNING = 0x00000030;
constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
constexpr UINT MB_ICONINFORMATION = 0x00000040;
constexpr UINT MB_DEFBUTTON1 = 0x00000000;
constexpr UINT MB_DEFBUTTON2 = 0x00000100;
constexpr UINT MB_APPLMODAL = 0x00000000;
constexpr UINT MB_TASKMODAL = 0x00002000;
constexpr UINT MB_SETFOREGROUND = 0x00010000;
constexpr UINT MB_TYPEMASK = 0x0000000F;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

constexpr UINT EWX_LOGOFF = 0x00000000;
constexpr UINT EWX_SHUTDOWN = 0x00000001;
constexpr UINT EWX_REBOOT = 0x00000002;
constexpr UINT EWX_FORCE = 0x00000004;

constexpr int VK_LBUTTON = 0x01;
constexpr int VK_RBUTTON = 0x02;
constexpr int VK_MBUTTON = 0x04;
constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_PRIOR = 0x21;
constexpr int VK_NEXT = 0x22;
constexpr int VK_END = 0x23;
constexpr int VK_HOME = 0x24;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_INSERT = 0x2D;
constexpr int VK_DELETE = 0x2E;
constexpr int VK_F1 = 0x70;
constexpr int VK_F12 = 0x7B;

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr UINT SPI_GETWORKAREA = 0x0030;

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
// Recorded, never acted on: the simulated machine cannot restart. FALSE.
BOOL ExitWindowsEx(UINT flags, DWORD reason);
// High bit set while the key is held, low bit its toggle state.
SHORT GetKeyState(int virtualKey);
SHORT GetAsyncKeyState(int virtualKey);
// The same number in 0xC000..0xFFFF for the same name, ignoring case.
UINT RegisterWindowMessageA(LPCSTR name);
int GetSystemMetrics(int index);
BOOL SystemParametersInfoA(UINT action, UINT param, LPVOID data, UINT winIni);

namespace win32 {

class Desktop {
public:
    virtual ~Desktop() = default;
    // The button the user chose (IDOK, IDYES ...).
    virtual int MessageBox(HWND owner, std::string_view text, std::string_view caption, UINT type) = 0;
    // A restart request; the answer ExitWindowsEx gives.
    virtual BOOL ExitWindows(UINT flags, DWORD reason) = 0;
    virtual bool KeyDown(int virtualKey) const = 0;
    virtual bool KeyToggled(int virtualKey) const = 0;
    virtual void SetKeyDown(int virtualKey, bool down) = 0;
    virtual RECT ScreenRect() const = 0;
    virtual RECT WorkArea() const = 0;
};

// The desktop in force: the installed one, or the console default (boxes
// printed to stderr, answered with their default button).
Desktop& CurrentDesktop();
// Installs `desktop` (nullptr restores the default) and returns the previous one.
std::shared_ptr<Desktop> InstallDesktop(std::shared_ptr<Desktop> desktop);

}  // namespace win32
