// The control panel: a modal dialog over the driver's buffer size and its
// three options, one open at a time in the process.
#pragma once

#include <cstddef>

#include <windows.h>

// What the dialog shows and the user confirms.
struct ControlPanelRecord {
    DWORD BufferSize = 256;
    DWORD Only96kHz = 0;
    DWORD Mixed96kHz = 0;  // nonzero: the 96 kHz box can be changed
    DWORD DirectMonitoring = 1;
    DWORD ShortNames = 0;
};
static_assert(sizeof(ControlPanelRecord) == 20);
static_assert(offsetof(ControlPanelRecord, Mixed96kHz) == 8);
static_assert(offsetof(ControlPanelRecord, ShortNames) == 16);

// Runs the dialog over `record`: 1 when the user confirmed (the record then
// holds the choices), 0 when cancelled, 2 when a control panel is open
// already; -1 when the dialog cannot be made.
INT_PTR ShowControlPanel(ControlPanelRecord* record);
INT_PTR ControlPanelProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
