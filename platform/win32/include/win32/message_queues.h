// Thread message queues and the process's table of window handles.
//
// - A thread gets its queue at its first message call (PeekMessageA,
//   GetMessageA, PostQuitMessage) or window, as on Windows; the queue and
//   the thread's message-only windows go away when the thread ends.
// - A queue's messages come out in the order they were posted. WM_QUIT is
//   a flag of the queue, retrieved once the queue holds nothing else.
// - Windows: message-only windows (CreateWindowExA with HWND_MESSAGE)
//   deliver into their creating thread's queue; a library with windows of
//   its own (the GUI library) registers each with the route its posted
//   messages take. HWND_BROADCAST reaches the broadcast routes libraries
//   register (the GUI library's reaches its top-level forms), never a
//   message-only window.
#pragma once

#include <cstdint>

#include "win32/types.h"
#include "win32/window_messages.h"

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;  // GetTickCount at the post
    POINT pt;
};
using LPMSG = MSG*;

inline const HWND HWND_BROADCAST = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0xFFFF));
inline const HWND HWND_MESSAGE = reinterpret_cast<HWND>(static_cast<std::intptr_t>(-3));

constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;

// To the queue of thread `threadId`; ERROR_INVALID_THREAD_ID when it has none.
BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
// To a window's route; ERROR_INVALID_WINDOW_HANDLE for no such window.
// HWND_BROADCAST is always posted.
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The calling thread's first message that matches: `window` NULL takes any,
// (HWND)-1 only thread messages, else only that window's; `first` and
// `last` 0 take every number, else first..last. PM_REMOVE takes it out.
// FALSE when none matches.
BOOL PeekMessageA(LPMSG msg, HWND window, UINT first, UINT last, UINT remove);
// As PeekMessageA with PM_REMOVE, blocking until a message matches: 0 for
// WM_QUIT, -1 for a filter window that does not exist, else TRUE.
BOOL GetMessageA(LPMSG msg, HWND window, UINT first, UINT last);
// WM_QUIT with `exitCode` as its wParam, for the calling thread.
void PostQuitMessage(int exitCode);

// Only message-only windows (parent HWND_MESSAGE), of the calling thread;
// the class is not looked at. Any other parent: ERROR_INVALID_PARAMETER.
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
// A message-only window of the calling thread, with the messages still
// queued for it; ERROR_ACCESS_DENIED for another thread's or a library's
// window, ERROR_INVALID_WINDOW_HANDLE for none.
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);

namespace win32 {

// How a library's windows take posted messages. `post` queues one for the
// window, on whatever thread the library delivers on; `broadcast` queues
// one for every window of the library that takes broadcasts, as they are
// when it is delivered.
struct WindowRoute {
    void (*post)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void (*broadcast)(UINT message, WPARAM wParam, LPARAM lParam);
};

// A new window handle of the library whose route it is; the route lives as
// long as its windows. Handles are never reused while the process runs.
HWND RegisterWindow(const WindowRoute& route);
void UnregisterWindow(HWND window);
// HWND_BROADCAST reaches the route's `broadcast` from now on, windows or
// not (a broadcast may be posted before the library's first form), until
// the route is unregistered; a library does so before it is unloaded.
void RegisterBroadcastRoute(const WindowRoute& route);
void UnregisterBroadcastRoute(const WindowRoute& route);

}  // namespace win32
