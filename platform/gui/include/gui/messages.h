// Window messages: the record every control's WndProc takes, and the
// library's own control messages (CM_*); the standard message numbers are
// the Win32 layer's.
#pragma once

#include <win32/message_queues.h>
#include <win32/types.h>
#include <win32/window_messages.h>

struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

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

// Mouse messages carry client coordinates as two signed 16-bit halves.
constexpr LPARAM MAKELPARAM_XY(int x, int y)
{
    return static_cast<LPARAM>(MAKELONG(static_cast<WORD>(x), static_cast<WORD>(y)));
}
constexpr int GET_X_LPARAM(LPARAM lp) { return static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(lp))); }
constexpr int GET_Y_LPARAM(LPARAM lp) { return static_cast<SHORT>(HIWORD(static_cast<DWORD_PTR>(lp))); }

// Window messages between this program's windows. PostMessageA and
// IsWindow are the Win32 layer's (win32/message_queues.h): a message posted
// to one of the library's windows, or broadcast to its forms, is queued for
// the GUI thread's message loop. SendMessageA dispatches at once; 0 for a
// window that does not exist (any more).
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
