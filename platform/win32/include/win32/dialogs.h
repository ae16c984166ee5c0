// Modal dialogs from a module's dialog templates, run as Windows' dialog
// manager runs them: the dialog procedure gets WM_INITDIALOG, then one
// WM_COMMAND for every button the user clicks, until it calls EndDialog.
// The user is the desktop in force (win32::Desktop::RunDialog): a scripted
// one in tests, a window on a display, and without either a user who
// presses Escape at once.
//
//     INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
//     {
//         if (message == WM_INITDIALOG) CheckDlgButton(dialog, 1003, BST_CHECKED);
//         if (message == WM_COMMAND && LOWORD(wParam) == IDOK) EndDialog(dialog, 1);
//         return FALSE;
//     }
//     INT_PTR chosen = DialogBoxParamA(module, MAKEINTRESOURCEA(101), GetActiveWindow(), Proc, 0);
#pragma once

#include <vector>

#include "win32/resources.h"
#include "win32/types.h"
#include "win32/window_messages.h"

using DLGPROC = INT_PTR (*)(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

constexpr UINT BST_UNCHECKED = 0;
constexpr UINT BST_CHECKED = 1;

// Runs the dialog template `name` of `module` on this thread until it ends,
// and returns the value given to EndDialog. -1 when the template cannot be
// found (the error of win32::FindDialogTemplate) or `procedure` is NULL
// (ERROR_INVALID_PARAMETER). `param` goes to WM_INITDIALOG in lParam.
INT_PTR DialogBoxParamA(HINSTANCE module, LPCSTR name, HWND owner, DLGPROC procedure, LPARAM param);
// The dialog ends once its procedure has returned, also when this is called
// inside WM_INITDIALOG. FALSE with ERROR_INVALID_WINDOW_HANDLE for a window
// that is no open dialog.
BOOL EndDialog(HWND dialog, INT_PTR result);
// The window of the dialog's first control with `id`; NULL with
// ERROR_CONTROL_ID_NOT_FOUND (or ERROR_INVALID_WINDOW_HANDLE).
HWND GetDlgItem(HWND dialog, int id);
// Checks `check` and unchecks every other button from `first` to `last`,
// whatever their groups.
BOOL CheckRadioButton(HWND dialog, int first, int last, int check);
// BST_CHECKED or BST_UNCHECKED for a check box or radio button; other
// buttons keep no check. FALSE for a missing control.
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
// BST_UNCHECKED also for a missing control.
UINT IsDlgButtonChecked(HWND dialog, int id);
// A dialog or one of its controls. Nonzero when the window was disabled
// before; FALSE with ERROR_INVALID_WINDOW_HANDLE for no such window.
BOOL EnableWindow(HWND window, BOOL enable);
BOOL IsWindowEnabled(HWND window);
// The innermost dialog open on the calling thread, else NULL.
HWND GetActiveWindow();

namespace win32 {

// A control as the user sees it.
struct DialogItemState {
    int id;
    UINT check;  // BST_*
    bool enabled;
};

class DialogEngine;

// One dialog while DialogBoxParamA runs it: its template, the state of each
// control, and what its user can do. Used on the thread that called
// DialogBoxParamA; the procedure runs within each action, on that thread.
// The states may be read from any thread.
class ModalDialog {
public:
    // `module`: the module whose resources hold the template (and the
    // pictures its controls name).
    ModalDialog(HINSTANCE module, const DialogTemplate& dialogTemplate, HWND owner, DLGPROC procedure);
    ~ModalDialog();
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;

    HINSTANCE Module() const noexcept { return module_; }
    const DialogTemplate& Template() const noexcept { return template_; }
    HWND Window() const noexcept { return window_; }
    HWND Owner() const noexcept { return owner_; }
    // The first control with `id`: its window, or NULL; its check (BST_*)
    // and whether it is enabled, false when there is none.
    HWND Item(int id) const;
    UINT Check(int id) const;
    bool Enabled(int id) const;
    // Every control, in template order.
    std::vector<DialogItemState> States() const;

    // The user's actions; once the dialog has ended they do nothing.
    // A click on a disabled control, a group box or a static does nothing.
    // An auto radio button checks itself and unchecks the other auto radio
    // buttons of its group (from a control with WS_GROUP to the next one),
    // an auto check box toggles; then every button sends WM_COMMAND.
    void Click(int id);
    // The default push button, when it is enabled; without one, IDOK.
    void PressEnter();
    // WM_COMMAND with IDCANCEL.
    void PressEscape();
    // WM_CLOSE; when the procedure leaves it to the dialog manager (FALSE),
    // WM_COMMAND with IDCANCEL.
    void Close();

    bool Ended() const;
    // The value given to EndDialog; IDCANCEL for a dialog its user left open.
    INT_PTR Result() const;

private:
    friend class DialogEngine;
    struct Control {
        const DialogItemTemplate* item;
        HWND window;
        UINT check;
        bool enabled;
    };

    // The procedure's answer; nothing is sent once the dialog has ended.
    INT_PTR Send(UINT message, WPARAM wParam, LPARAM lParam);
    void Command(int id);
    // Under the dialogs' lock.
    Control* Find(int id);
    const Control* Find(int id) const;

    const HINSTANCE module_;
    const DialogTemplate& template_;
    const HWND owner_;
    const DLGPROC procedure_;
    HWND window_;
    std::vector<Control> controls_;
    bool enabled_ = true;
    bool ended_ = false;
    INT_PTR result_ = 0;
};

}  // namespace win32
