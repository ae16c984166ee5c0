// The control panel's dialog and its procedure, over the record of the one
// panel open in the process.
#include "control_panel.h"

#include <atomic>

#include "driver_identity.h"
#include "panel_display.h"
#include "resource.h"

namespace {

constexpr int BUFFER_SIZES = IDC_BUFFER_16384 - IDC_BUFFER_64 + 1;
constexpr DWORD SMALLEST_BUFFER = 64;

// The record the open panel edits; null while none is open.
std::atomic<ControlPanelRecord*> g_Record{nullptr};

UINT CheckFor(DWORD setting) { return setting ? BST_CHECKED : BST_UNCHECKED; }
DWORD SettingOf(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED ? 1 : 0; }

}  // namespace

INT_PTR ShowControlPanel(ControlPanelRecord* record)
{
    ControlPanelRecord* none = nullptr;
    if (!g_Record.compare_exchange_strong(none, record)) return 2;
    PreparePanelDisplay();
    const INT_PTR result = DialogBoxParamA(GetModuleHandleA(kModuleFileName), MAKEINTRESOURCEA(IDD_CONTROL_PANEL),
                                           GetActiveWindow(), ControlPanelProc, 0);
    g_Record = nullptr;
    return result;
}

INT_PTR ControlPanelProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    ControlPanelRecord* record = g_Record;
    if (!record) return FALSE;
    switch (message) {
    case WM_INITDIALOG: {
        // A size that is none of the nine shows as 256 samples.
        int size = IDC_BUFFER_256;
        for (int k = 0; k < BUFFER_SIZES; ++k)
            if (record->BufferSize == SMALLEST_BUFFER << k) size = IDC_BUFFER_64 + k;
        CheckRadioButton(dialog, IDC_BUFFER_64, IDC_BUFFER_16384, size);
        CheckDlgButton(dialog, IDC_DIRECT_MONITORING, CheckFor(record->DirectMonitoring));
        CheckDlgButton(dialog, IDC_96KHZ_ONLY, CheckFor(record->Only96kHz));
        CheckDlgButton(dialog, IDC_SHORT_NAMES, CheckFor(record->ShortNames));
        EnableWindow(GetDlgItem(dialog, IDC_96KHZ_ONLY), record->Mixed96kHz ? TRUE : FALSE);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            for (int k = 0; k < BUFFER_SIZES; ++k)
                if (IsDlgButtonChecked(dialog, IDC_BUFFER_64 + k) == BST_CHECKED) {
                    record->BufferSize = SMALLEST_BUFFER << k;
                    break;
                }
            record->DirectMonitoring = SettingOf(dialog, IDC_DIRECT_MONITORING);
            record->Only96kHz = SettingOf(dialog, IDC_96KHZ_ONLY);
            record->ShortNames = SettingOf(dialog, IDC_SHORT_NAMES);
            EndDialog(dialog, 1);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}
