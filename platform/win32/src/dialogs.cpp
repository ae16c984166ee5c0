// The dialog manager: dialogs made from templates, their windows and the
// states of their controls, the user's actions, and the dialog calls. One
// lock guards every open dialog's windows and states; the procedures run
// outside it, so that they may call back in.
#include "win32/dialogs.h"

#include <cstdint>
#include <mutex>
#include <unordered_map>

#include "immortal.h"
#include "no_case.h"
#include "win32/desktop.h"
#include "win32/errors.h"

namespace win32 {
namespace {

// Dialog windows are 2 mod 4, so that they never meet the GUI library's
// windows, which are multiples of 4.
constexpr std::uintptr_t kFirstWindow = 0x20000002;
constexpr std::uintptr_t kLastWindow = 0x7FFFFFFE;
constexpr std::size_t kTheDialog = SIZE_MAX;

bool IsClass(const DialogItemTemplate& item, std::string_view name) { return EqualNoCase(item.className, name); }

DWORD ButtonKind(const DialogItemTemplate& item) { return item.style & BS_TYPEMASK; }

// The check boxes and radio buttons, automatic or not (kinds 2 to 6 and 9),
// keep a check; push buttons and group boxes do not.
bool KeepsCheck(const DialogItemTemplate& item)
{
    const DWORD kind = ButtonKind(item);
    return IsClass(item, "Button") && ((kind >= 2 && kind <= 6) || kind == BS_AUTORADIOBUTTON);
}

HWND AsWindow(std::uintptr_t value) { return reinterpret_cast<HWND>(value); }

// The innermost dialog open on this thread.
thread_local ModalDialog* t_Active = nullptr;

// The dialog open on this thread while it lives; the one it opened in before it.
class ActiveDialog {
public:
    explicit ActiveDialog(ModalDialog& dialog) : outer_(t_Active) { t_Active = &dialog; }
    ~ActiveDialog() { t_Active = outer_; }
    ActiveDialog(const ActiveDialog&) = delete;
    ActiveDialog& operator=(const ActiveDialog&) = delete;

private:
    ModalDialog* const outer_;
};

}  // namespace

// What the dialog calls reach through a window: the dialog, and which of
// its controls (kTheDialog for the dialog itself).
class DialogEngine {
public:
    struct Window {
        ModalDialog* dialog;
        std::size_t control;
    };

    static std::mutex& Lock() { return Table().lock; }

    static HWND Add(ModalDialog* dialog, std::size_t control)
    {
        Windows& table = Table();
        while (table.windows.count(table.next) != 0) Advance(table.next);
        const std::uintptr_t value = table.next;
        Advance(table.next);
        table.windows.emplace(value, Window{dialog, control});
        return AsWindow(value);
    }
    static void Remove(HWND window) { Table().windows.erase(reinterpret_cast<std::uintptr_t>(window)); }

    // Under Lock(); null with ERROR_INVALID_WINDOW_HANDLE for no such window.
    static const Window* Find(HWND window)
    {
        const auto& windows = Table().windows;
        const auto found = windows.find(reinterpret_cast<std::uintptr_t>(window));
        if (found == windows.end()) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        return &found->second;
    }
    // The dialog of a dialog window, not of a control's.
    static ModalDialog* FindDialog(HWND window)
    {
        const Window* found = Find(window);
        if (found == nullptr) return nullptr;
        if (found->control != kTheDialog) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        return found->dialog;
    }
    static ModalDialog::Control* FindControl(HWND dialog, int id)
    {
        ModalDialog* found = FindDialog(dialog);
        if (found == nullptr) return nullptr;
        ModalDialog::Control* control = found->Find(id);
        if (control == nullptr) SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
        return control;
    }
    static bool* EnabledFlag(const Window& window)
    {
        return window.control == kTheDialog ? &window.dialog->enabled_ : &window.dialog->controls_[window.control].enabled;
    }
    static void SetCheck(ModalDialog::Control& control, UINT check)
    {
        if (KeepsCheck(*control.item)) control.check = check;
    }
    // Under Lock().
    static void End(ModalDialog& dialog, INT_PTR result)
    {
        dialog.ended_ = true;
        dialog.result_ = result;
    }
    static void Initialise(ModalDialog& dialog, HWND focus, LPARAM param)
    {
        dialog.Send(WM_INITDIALOG, reinterpret_cast<WPARAM>(focus), param);
    }
    static void EndIfOpen(ModalDialog& dialog, INT_PTR result)
    {
        std::lock_guard guard(Lock());
        if (!dialog.ended_) End(dialog, result);
    }

private:
    struct Windows {
        std::mutex lock;
        std::unordered_map<std::uintptr_t, Window> windows;
        std::uintptr_t next = kFirstWindow;
    };
    static Windows& Table()
    {
        static Immortal<Windows> table;
        return *table;
    }
    static void Advance(std::uintptr_t& value) { value = value >= kLastWindow ? kFirstWindow : value + 4; }
};

ModalDialog::ModalDialog(HINSTANCE module, const DialogTemplate& dialogTemplate, HWND owner, DLGPROC procedure)
    : module_(module), template_(dialogTemplate), owner_(owner), procedure_(procedure)
{
    std::lock_guard guard(DialogEngine::Lock());
    window_ = DialogEngine::Add(this, kTheDialog);
    controls_.reserve(template_.items.size());
    for (std::size_t i = 0; i < template_.items.size(); ++i) {
        const DialogItemTemplate& item = template_.items[i];
        controls_.push_back({&item, DialogEngine::Add(this, i), BST_UNCHECKED, (item.style & WS_DISABLED) == 0});
    }
}

ModalDialog::~ModalDialog()
{
    std::lock_guard guard(DialogEngine::Lock());
    for (const Control& control : controls_) DialogEngine::Remove(control.window);
    DialogEngine::Remove(window_);
}

ModalDialog::Control* ModalDialog::Find(int id)
{
    for (Control& control : controls_)
        if (control.item->id == id) return &control;
    return nullptr;
}

const ModalDialog::Control* ModalDialog::Find(int id) const { return const_cast<ModalDialog*>(this)->Find(id); }

HWND ModalDialog::Item(int id) const
{
    std::lock_guard guard(DialogEngine::Lock());
    const Control* control = Find(id);
    return control != nullptr ? control->window : nullptr;
}

UINT ModalDialog::Check(int id) const
{
    std::lock_guard guard(DialogEngine::Lock());
    const Control* control = Find(id);
    return control != nullptr ? control->check : BST_UNCHECKED;
}

bool ModalDialog::Enabled(int id) const
{
    std::lock_guard guard(DialogEngine::Lock());
    const Control* control = Find(id);
    return control != nullptr && control->enabled;
}

std::vector<DialogItemState> ModalDialog::States() const
{
    std::lock_guard guard(DialogEngine::Lock());
    std::vector<DialogItemState> states;
    states.reserve(controls_.size());
    for (const Control& control : controls_) states.push_back({control.item->id, control.check, control.enabled});
    return states;
}

bool ModalDialog::Ended() const
{
    std::lock_guard guard(DialogEngine::Lock());
    return ended_;
}

INT_PTR ModalDialog::Result() const
{
    std::lock_guard guard(DialogEngine::Lock());
    return result_;
}

INT_PTR ModalDialog::Send(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (Ended()) return FALSE;
    return procedure_(window_, message, wParam, lParam);
}

void ModalDialog::Command(int id)
{
    Send(WM_COMMAND, MAKELONG(static_cast<WORD>(id), BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
}

void ModalDialog::Click(int id)
{
    {
        std::lock_guard guard(DialogEngine::Lock());
        Control* control = Find(id);
        if (ended_ || control == nullptr || !control->enabled || !IsClass(*control->item, "Button")) return;
        const DWORD kind = ButtonKind(*control->item);
        if (kind == BS_GROUPBOX) return;
        if (kind == BS_AUTOCHECKBOX) control->check = control->check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
        if (kind == BS_AUTORADIOBUTTON) {
            // The group: back to the control that starts it, on to the next that does.
            const std::size_t at = static_cast<std::size_t>(control - controls_.data());
            std::size_t first = at;
            while (first > 0 && (controls_[first].item->style & WS_GROUP) == 0) --first;
            std::size_t end = at + 1;
            while (end < controls_.size() && (controls_[end].item->style & WS_GROUP) == 0) ++end;
            for (std::size_t i = first; i < end; ++i)
                if (IsClass(*controls_[i].item, "Button") && ButtonKind(*controls_[i].item) == BS_AUTORADIOBUTTON)
                    controls_[i].check = i == at ? BST_CHECKED : BST_UNCHECKED;
        }
    }
    Command(id);
}

void ModalDialog::PressEnter()
{
    int id = IDOK;
    {
        std::lock_guard guard(DialogEngine::Lock());
        for (const Control& control : controls_) {
            if (!IsClass(*control.item, "Button") || ButtonKind(*control.item) != BS_DEFPUSHBUTTON) continue;
            if (!control.enabled) return;
            id = control.item->id;
            break;
        }
    }
    Command(id);
}

void ModalDialog::PressEscape() { Command(IDCANCEL); }

void ModalDialog::Close()
{
    if (Send(WM_CLOSE, 0, 0) == FALSE) Command(IDCANCEL);
}

}  // namespace win32

INT_PTR DialogBoxParamA(HINSTANCE module, LPCSTR name, HWND owner, DLGPROC procedure, LPARAM param)
{
    const win32::DialogTemplate* dialogTemplate = win32::FindDialogTemplate(module, name);
    if (dialogTemplate == nullptr) return -1;
    if (procedure == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    win32::ModalDialog dialog(module, *dialogTemplate, owner, procedure);
    const win32::ActiveDialog active(dialog);
    // wParam: the control that gets the focus, the first tab stop.
    HWND focus = nullptr;
    for (const win32::DialogItemTemplate& item : dialogTemplate->items)
        if ((item.style & WS_TABSTOP) != 0) {
            focus = dialog.Item(item.id);
            break;
        }
    win32::DialogEngine::Initialise(dialog, focus, param);
    if (!dialog.Ended()) win32::RunDialog(dialog);
    // Left open by its user: gone as when its window is destroyed.
    win32::DialogEngine::EndIfOpen(dialog, IDCANCEL);
    return dialog.Result();
}

BOOL EndDialog(HWND dialog, INT_PTR result)
{
    std::lock_guard guard(win32::DialogEngine::Lock());
    win32::ModalDialog* found = win32::DialogEngine::FindDialog(dialog);
    if (found == nullptr) return FALSE;
    win32::DialogEngine::End(*found, result);
    return TRUE;
}

HWND GetDlgItem(HWND dialog, int id)
{
    std::lock_guard guard(win32::DialogEngine::Lock());
    const auto* control = win32::DialogEngine::FindControl(dialog, id);
    return control != nullptr ? control->window : nullptr;
}

BOOL CheckRadioButton(HWND dialog, int first, int last, int check)
{
    std::lock_guard guard(win32::DialogEngine::Lock());
    win32::ModalDialog* found = win32::DialogEngine::FindDialog(dialog);
    if (found == nullptr) return FALSE;
    for (int id = first; id <= last; ++id)
        if (auto* control = win32::DialogEngine::FindControl(dialog, id))
            win32::DialogEngine::SetCheck(*control, id == check ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check)
{
    std::lock_guard guard(win32::DialogEngine::Lock());
    auto* control = win32::DialogEngine::FindControl(dialog, id);
    if (control == nullptr) return FALSE;
    win32::DialogEngine::SetCheck(*control, check);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id)
{
    std::lock_guard guard(win32::DialogEngine::Lock());
    const auto* control = win32::DialogEngine::FindControl(dialog, id);
    return control != nullptr ? control->check : BST_UNCHECKED;
}

BOOL EnableWindow(HWND window, BOOL enable)
{
    std::lock_guard guard(win32::DialogEngine::Lock());
    const auto* found = win32::DialogEngine::Find(window);
    if (found == nullptr) return FALSE;
    bool* enabled = win32::DialogEngine::EnabledFlag(*found);
    const BOOL wasDisabled = *enabled ? FALSE : TRUE;
    *enabled = enable != FALSE;
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND window)
{
    std::lock_guard guard(win32::DialogEngine::Lock());
    const auto* found = win32::DialogEngine::Find(window);
    return found != nullptr && *win32::DialogEngine::EnabledFlag(*found) ? TRUE : FALSE;
}

HWND GetActiveWindow() { return win32::t_Active != nullptr ? win32::t_Active->Window() : nullptr; }
