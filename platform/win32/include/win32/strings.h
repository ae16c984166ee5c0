// Strings, formatting and the process heap.
#pragma once

#include <cstdarg>
#include <cstring>

#include "win32/types.h"

// printf subset of the Windows formatter; output capped at 1024 characters.
int wsprintfA(LPSTR buffer, LPCSTR format, ...);
int wvsprintfA(LPSTR buffer, LPCSTR format, va_list args);

int lstrlenA(LPCSTR text);
LPSTR lstrcpyA(LPSTR destination, LPCSTR source);
LPSTR lstrcpynA(LPSTR destination, LPCSTR source, int maxLength);
LPSTR lstrcatA(LPSTR destination, LPCSTR source);
int lstrcmpA(LPCSTR a, LPCSTR b);
int lstrcmpiA(LPCSTR a, LPCSTR b);
int lstrlenW(LPCWSTR text);

constexpr UINT CP_ACP = 0;
constexpr UINT CP_UTF8 = 65001;
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR source, int sourceLength, LPWSTR destination,
                        int destinationLength);
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR source, int sourceLength, LPSTR destination,
                        int destinationLength, LPCSTR defaultChar, LPBOOL usedDefaultChar);

constexpr DWORD HEAP_ZERO_MEMORY = 0x00000008;
HANDLE GetProcessHeap();
LPVOID HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes);
BOOL HeapFree(HANDLE heap, DWORD flags, LPVOID memory);

inline void ZeroMemory(void* destination, SIZE_T length) { std::memset(destination, 0, length); }
inline void CopyMemory(void* destination, const void* source, SIZE_T length) { std::memcpy(destination, source, length); }
inline void FillMemory(void* destination, SIZE_T length, BYTE fill) { std::memset(destination, fill, length); }
