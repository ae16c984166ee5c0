// What a Windows session's shell and its user provide: message boxes, file
// dialogs, modal dialogs' users, the restart request, the keyboard state,
// registered window messages and the desktop's geometry. All of it goes through one replaceable desktop object:
// the GUI layer installs a real one on a display, tests a scripted one.
#pragma once

#include <array>
#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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
constexpr UINT MB_DEFBUTTON3 = 0x00000200;
constexpr UINT MB_DEFMASK = 0x00000F00;
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
constexpr int VK_F4 = 0x73;
constexpr int VK_F12 = 0x7B;

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr UINT SPI_GETWORKAREA = 0x0030;

// NULL text or caption reads as empty.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
// Handed to the desktop, never acted on: the simulated machine cannot
// restart. A FALSE answer sets ERROR_PRIVILEGE_NOT_HELD.
BOOL ExitWindowsEx(UINT flags, DWORD reason);
// High bit set while the key is held (the SHORT is then negative), low bit
// its toggle state; 0 for a key code outside 0..255. GetAsyncKeyState
// reports only the high bit.
SHORT GetKeyState(int virtualKey);
SHORT GetAsyncKeyState(int virtualKey);
// The same number in 0xC000..0xFFFF for the same name, ignoring case,
// process-wide and whatever desktop is installed. 0 with
// ERROR_INVALID_PARAMETER for a NULL or empty name.
UINT RegisterWindowMessageA(LPCSTR name);
// SM_CXSCREEN and SM_CYSCREEN from the desktop's screen rectangle; 0 for others.
int GetSystemMetrics(int index);
// SPI_GETWORKAREA copies the desktop's work area into `data` (a RECT);
// any other action, or NULL data, is FALSE with ERROR_INVALID_PARAMETER.
BOOL SystemParametersInfoA(UINT action, UINT param, LPVOID data, UINT winIni);

namespace win32 {

class ModalDialog;

// What a program asks of a file dialog (GetOpenFileNameA, GetSaveFileNameA).
struct FileDialogRequest {
    bool save = false;
    HWND owner = nullptr;
    // (description, patterns) pairs, as the program listed them.
    std::vector<std::pair<std::string, std::string>> filters;
    DWORD filterIndex = 0;  // 1-based: the filter chosen at first
    std::string initialDir;
    DWORD flags = 0;  // OFN_*
    DWORD bufferSize = 0;  // characters the caller has for the path
};

class Desktop {
public:
    virtual ~Desktop() = default;
    // The button the user chose (IDOK, IDYES ...).
    virtual int MessageBox(HWND owner, std::string_view text, std::string_view caption, UINT type) = 0;
    // The path the user chose, or nothing when the dialog was cancelled. By
    // default every dialog is cancelled.
    virtual std::optional<std::string> ChooseFile(const FileDialogRequest& request);
    // The user of a modal dialog, on the thread that opened it, once its
    // procedure has had WM_INITDIALOG: it acts on the dialog until it has
    // ended. A dialog still open when this returns is ended with IDCANCEL.
    // By default, with no one to show it to, the dialog is closed as its user
    // would with Escape, and one line on stderr names it.
    virtual void RunDialog(ModalDialog& dialog);
    // A restart request; the answer ExitWindowsEx gives.
    virtual BOOL ExitWindows(UINT flags, DWORD reason) = 0;
    virtual bool KeyDown(int virtualKey) const = 0;
    virtual bool KeyToggled(int virtualKey) const = 0;
    virtual void SetKeyDown(int virtualKey, bool down) = 0;
    virtual RECT ScreenRect() const = 0;
    virtual RECT WorkArea() const = 0;
};

// The key state of one desktop: held and toggled per virtual key 0..255,
// thread-safe (input threads write it, handlers read it). A key's toggle
// state flips each time it goes down, as on Windows. Codes outside 0..255
// read as up and are ignored when set.
class KeyTable {
public:
    bool Down(int virtualKey) const noexcept { return (Bits(virtualKey) & kDown) != 0; }
    bool Toggled(int virtualKey) const noexcept { return (Bits(virtualKey) & kToggled) != 0; }
    void SetDown(int virtualKey, bool down) noexcept;
    void SetToggled(int virtualKey, bool toggled) noexcept;

private:
    static constexpr unsigned char kDown = 1;
    static constexpr unsigned char kToggled = 2;
    unsigned char Bits(int virtualKey) const noexcept
    {
        return virtualKey >= 0 && virtualKey < 256 ? keys_[static_cast<std::size_t>(virtualKey)].load() : 0;
    }
    std::array<std::atomic<unsigned char>, 256> keys_{};
};

// The button a box of `type` answers when the user just presses Enter:
// IDOK for MB_OK and MB_OKCANCEL, IDYES for MB_YESNO and MB_YESNOCANCEL;
// MB_DEFBUTTON2 picks the second (IDCANCEL, IDNO), MB_DEFBUTTON3 the third
// of MB_YESNOCANCEL (IDCANCEL). Other types answer IDOK.
int DefaultButton(UINT type) noexcept;

// The desktop in force: the installed one, or the console default (boxes
// printed to stderr and answered with their default button, file dialogs
// cancelled, modal dialogs closed as with Escape, restart requests printed and refused, a key table, a 1920 x 1080 screen with a
// work area 40 pixels shorter). The reference stays valid while that
// desktop stays installed; the Win32 calls above hold their own reference
// for the length of each call. Thread-safe.
Desktop& CurrentDesktop();
// Desktop::ChooseFile and Desktop::RunDialog of the desktop in force, which
// is held for the call.
std::optional<std::string> ChooseFile(const FileDialogRequest& request);
void RunDialog(ModalDialog& dialog);

// Installs `desktop` (nullptr restores the default) and returns the
// previous one (nullptr when it was the default). Thread-safe.
std::shared_ptr<Desktop> InstallDesktop(std::shared_ptr<Desktop> desktop);
// Whether a desktop is installed (a test's or a display's): false while the
// console default is in force. Thread-safe.
bool DesktopInstalled();

}  // namespace win32
