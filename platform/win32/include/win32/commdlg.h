// The common file dialogs. They go through the desktop in force
// (win32::Desktop::ChooseFile): on a display a real dialog, in tests a
// scripted one, and without either a dialog that is always cancelled.
#pragma once

#include "win32/types.h"

constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
constexpr DWORD OFN_EXPLORER = 0x00080000;

// The fields this system uses, in the platform's order.
struct OPENFILENAMEA {
    DWORD lStructSize;  // sizeof(OPENFILENAMEA)
    HWND hwndOwner;
    // Pairs of description and patterns ("*.kvs", or several joined by ';'),
    // each ending in NUL, the list in a second NUL.
    LPCSTR lpstrFilter;
    DWORD nFilterIndex;  // 1 for the first pair
    LPSTR lpstrFile;     // receives the chosen path
    DWORD nMaxFile;      // its size in characters, terminator included
    LPCSTR lpstrInitialDir;
    DWORD Flags;
    WORD nFileOffset;    // where the file name starts in lpstrFile
    LPCSTR lpstrDefExt;  // appended (after a '.') to a chosen name without extension; NULL: nothing
};
using LPOPENFILENAMEA = OPENFILENAMEA*;

// TRUE with the chosen path in lpstrFile. FALSE when the user cancels, and
// when the path (with its terminator) does not fit nMaxFile: a path is never
// cut, and lpstrFile keeps what it held. A bad structure (NULL, a wrong
// lStructSize, no file buffer) is FALSE with ERROR_INVALID_PARAMETER.
BOOL GetOpenFileNameA(LPOPENFILENAMEA ofn);
BOOL GetSaveFileNameA(LPOPENFILENAMEA ofn);
