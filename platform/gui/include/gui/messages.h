// Window messages: the record every control's WndProc takes, the standard
// message numbers, and the library's own control messages (CM_*).
#pragma once

#include <win32/types.h>

struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_ENABLE = 0x000A;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_GETDLGCODE = 0x0087;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_MBUTTONUP = 0x0208;
constexpr UINT WM_MBUTTONDBLCLK = 0x0209;
constexpr UINT WM_MOUSEWHEEL = 0x020A;
constexpr UINT WM_USER = 0x0400;

// The library's control messages. Registered window messages lie in
// 0xC000..0xFFFF, so these never meet them.
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ENTER = CM_BASE + 1;
constexpr UINT CM_EXIT = CM_BASE + 2;
constexpr UINT CM_MOUSEENTER = CM_BASE + 3;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 4;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 5;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 6;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 7;
constexpr UINT CM_COLORCHANGED = CM_BASE + 8;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr UINT CM_FONTCHANGED = CM_BASE + 10;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 11;
constexpr UINT CM_SHOWHINTCHANGED = CM_BASE + 12;
constexpr UINT CM_PARENTSHOWHINTCHANGED = CM_BASE + 13;
constexpr UINT CM_DIALOGKEY = CM_BASE + 14;
constexpr UINT CM_WANTSPECIALKEY = CM_BASE + 15;
constexpr UINT CM_CURSORCHANGED = CM_BASE + 16;
constexpr UINT CM_RELEASE = CM_BASE + 17;
constexpr UINT CM_BUTTONPRESSED = CM_BASE + 18;
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 19;
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 20;
// An accelerator key (WParam: its virtual key, a letter or digit): the
// control whose caption underlines it acts and answers 1; a windowed control
// offers it to its visible, enabled children in tab order, then to its
// graphic ones, until one answers.
constexpr UINT CM_DIALOGCHAR = CM_BASE + 21;

// WM_GETDLGCODE answers.
constexpr LRESULT DLGC_WANTARROWS = 0x0001;
constexpr LRESULT DLGC_WANTTAB = 0x0002;
constexpr LRESULT DLGC_WANTALLKEYS = 0x0004;
constexpr LRESULT DLGC_HASSETSEL = 0x0008;
constexpr LRESULT DLGC_DEFPUSHBUTTON = 0x0010;
constexpr LRESULT DLGC_UNDEFPUSHBUTTON = 0x0020;
constexpr LRESULT DLGC_WANTCHARS = 0x0080;
constexpr LRESULT DLGC_BUTTON = 0x2000;

// Mouse message WParam bits.
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;
constexpr WPARAM MK_MBUTTON = 0x0010;

// WM_SIZE WParam.
constexpr WPARAM SIZE_RESTORED = 0;

inline const HWND HWND_BROADCAST = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0xFFFF));

// Mouse messages carry client coordinates as two signed 16-bit halves.
constexpr LPARAM MAKELPARAM_XY(int x, int y)
{
    return static_cast<LPARAM>(MAKELONG(static_cast<WORD>(x), static_cast<WORD>(y)));
}
constexpr int GET_X_LPARAM(LPARAM lp) { return static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(lp))); }
constexpr int GET_Y_LPARAM(LPARAM lp) { return static_cast<SHORT>(HIWORD(static_cast<DWORD_PTR>(lp))); }

// Window messages between this program's windows. PostMessageA queues for
// the GUI thread's message loop; SendMessageA dispatches at once. FALSE / 0
// for a window that does not exist (any more).
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL IsWindow(HWND window);
