// The dialog manager over the templates of TestModule.dll, run by a scripted
// user: what the procedure is sent, the radio groups, check boxes, disabled
// controls, Enter, Escape and closing, EndDialog during WM_INITDIALOG,
// templates that cannot be found, and the console default user.
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

#include "win32_testing/scripted_desktop.h"

namespace {

const std::string kModulePath = ZAVO_TEST_MODULE_PATH;
constexpr LPARAM kParam = 0x1234;

// What the procedure was sent.
struct Seen {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// A procedure that notes every message, ends the dialog with 1000 + the id of
// an OK or Cancel command, and leaves WM_CLOSE to the dialog manager unless asked.
struct Procedure {
    std::vector<Seen> seen;
    std::function<void(HWND)> onInit;
    bool handlesClose = false;

    std::vector<WORD> Commands() const
    {
        std::vector<WORD> ids;
        for (const Seen& s : seen)
            if (s.message == WM_COMMAND) ids.push_back(LOWORD(s.wParam));
        return ids;
    }
};
Procedure* g_Procedure = nullptr;

INT_PTR TestProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    Procedure& procedure = *g_Procedure;
    procedure.seen.push_back({message, wParam, lParam});
    switch (message) {
    case WM_INITDIALOG:
        if (procedure.onInit) procedure.onInit(dialog);
        return TRUE;
    case WM_CLOSE:
        return procedure.handlesClose ? TRUE : FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 1000 + LOWORD(wParam));
        return TRUE;
    default:
        return FALSE;
    }
}

class Dialogs : public ::testing::Test {
protected:
    Dialogs() : module_(LoadLibraryA(kModulePath.c_str())) { g_Procedure = &procedure_; }
    ~Dialogs() override
    {
        g_Procedure = nullptr;
        FreeLibrary(module_);
    }

    INT_PTR Run(LPCSTR name, win32_testing::DialogScript script = {})
    {
        if (script) desktop_->QueueDialogScript(std::move(script));
        return DialogBoxParamA(module_, name, nullptr, TestProc, kParam);
    }
    INT_PTR RunGroups(win32_testing::DialogScript script = {}) { return Run(MAKEINTRESOURCEA(300), std::move(script)); }

    HMODULE module_;
    Procedure procedure_;
    win32_testing::ScopedDesktop desktop_;
};

TEST_F(Dialogs, InitDialogComesFirstAndTheScriptRunsInsideTheDialog)
{
    EXPECT_EQ(GetActiveWindow(), nullptr);
    HWND window = nullptr;
    HWND okButton = nullptr;
    const INT_PTR result = RunGroups([&](win32::ModalDialog& dialog) {
        window = dialog.Window();
        okButton = GetDlgItem(window, IDOK);
        EXPECT_EQ(GetActiveWindow(), window);
        EXPECT_EQ(dialog.Template().caption, "Groups");
        EXPECT_EQ(dialog.Module(), module_) << "whose resources it came from";
        EXPECT_EQ(dialog.Item(IDOK), okButton);
        EXPECT_EQ(dialog.Item(999), nullptr);
    });
    EXPECT_EQ(GetActiveWindow(), nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_NE(okButton, nullptr);
    ASSERT_GE(procedure_.seen.size(), 1u);
    EXPECT_EQ(procedure_.seen[0].message, WM_INITDIALOG);
    EXPECT_EQ(procedure_.seen[0].lParam, kParam);
    EXPECT_EQ(procedure_.seen[0].wParam, reinterpret_cast<WPARAM>(okButton)) << "the first tab stop";
    // Left open by its script: cancelled as with Escape.
    EXPECT_EQ(procedure_.Commands(), std::vector<WORD>{IDCANCEL});
    EXPECT_EQ(result, 1000 + IDCANCEL);
    const auto dialogs = desktop_->Dialogs();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].caption, "Groups");
    EXPECT_TRUE(dialogs[0].scripted);
    EXPECT_EQ(dialogs[0].result, result);
    // Its windows went with it.
    EXPECT_EQ(EndDialog(window, 1), FALSE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    EXPECT_EQ(IsWindowEnabled(okButton), FALSE);
}

TEST_F(Dialogs, AnAutoRadioButtonUnchecksTheOthersOfItsGroupOnly)
{
    RunGroups([&](win32::ModalDialog& dialog) {
        dialog.Click(100);
        dialog.Click(103);
        dialog.Click(101);
        EXPECT_EQ(dialog.Check(100), BST_UNCHECKED);
        EXPECT_EQ(dialog.Check(101), BST_CHECKED);
        EXPECT_EQ(dialog.Check(102), BST_UNCHECKED);
        EXPECT_EQ(dialog.Check(103), BST_CHECKED) << "WS_GROUP starts another group";
        dialog.Click(104);
        EXPECT_EQ(dialog.Check(103), BST_UNCHECKED);
        EXPECT_EQ(dialog.Check(101), BST_CHECKED);
        EXPECT_EQ(IsDlgButtonChecked(dialog.Window(), 104), BST_CHECKED);
    });
    EXPECT_EQ(procedure_.Commands(), (std::vector<WORD>{100, 103, 101, 104, IDCANCEL}));
    for (const Seen& seen : procedure_.seen) {
        if (seen.message == WM_COMMAND) {
            EXPECT_EQ(HIWORD(seen.wParam), BN_CLICKED);
        }
    }

    // No WS_GROUP at all: a group box between two radio buttons leaves them one group.
    Run("Bare", [](win32::ModalDialog& dialog) {
        dialog.Click(200);
        dialog.Click(201);
        EXPECT_EQ(dialog.Check(200), BST_UNCHECKED);
        EXPECT_EQ(dialog.Check(201), BST_CHECKED);
    });
}

TEST_F(Dialogs, CheckRadioButtonChecksOneOfARangeWhateverTheGroups)
{
    procedure_.onInit = [](HWND dialog) {
        EXPECT_EQ(CheckDlgButton(dialog, 101, BST_CHECKED), TRUE);
        EXPECT_EQ(CheckDlgButton(dialog, 104, BST_CHECKED), TRUE);
        EXPECT_EQ(CheckDlgButton(dialog, 110, BST_CHECKED), TRUE);
        EXPECT_EQ(CheckRadioButton(dialog, 100, 104, 103), TRUE);
        // A push button keeps no check; a control that is not there is refused.
        EXPECT_EQ(CheckDlgButton(dialog, IDOK, BST_CHECKED), TRUE);
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDOK), BST_UNCHECKED);
        EXPECT_EQ(CheckDlgButton(dialog, 999, BST_CHECKED), FALSE);
        EXPECT_EQ(GetLastError(), ERROR_CONTROL_ID_NOT_FOUND);
    };
    RunGroups();
    const auto dialogs = desktop_->Dialogs();
    ASSERT_EQ(dialogs.size(), 1u);
    const win32_testing::DialogCall& seen = dialogs[0];
    EXPECT_FALSE(seen.scripted);
    for (const int id : {100, 101, 102, 104}) EXPECT_EQ(seen.Check(id), BST_UNCHECKED) << id;
    EXPECT_EQ(seen.Check(103), BST_CHECKED);
    EXPECT_EQ(seen.Check(110), BST_CHECKED) << "outside the range";
}

TEST_F(Dialogs, CheckBoxesToggleAndDisabledControlsTakeNoClick)
{
    RunGroups([&](win32::ModalDialog& dialog) {
        dialog.Click(110);
        EXPECT_EQ(dialog.Check(110), BST_CHECKED);
        dialog.Click(110);
        EXPECT_EQ(dialog.Check(110), BST_UNCHECKED);

        EXPECT_FALSE(dialog.Enabled(111)) << "WS_DISABLED in the template";
        dialog.Click(111);
        dialog.Click(-1);  // the group box, then the picture: nothing
        EXPECT_EQ(dialog.Check(111), BST_UNCHECKED);
        HWND box = dialog.Item(111);
        EXPECT_NE(EnableWindow(box, TRUE), FALSE) << "it was disabled";
        EXPECT_EQ(IsWindowEnabled(box), TRUE);
        dialog.Click(111);
        EXPECT_EQ(dialog.Check(111), BST_CHECKED);
        EXPECT_EQ(EnableWindow(box, FALSE), FALSE) << "it was enabled";
        dialog.Click(111);
        EXPECT_EQ(dialog.Check(111), BST_CHECKED);
        EXPECT_EQ(EnableWindow(reinterpret_cast<HWND>(0x12345678), TRUE), FALSE);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
    });
    EXPECT_EQ(procedure_.Commands(), (std::vector<WORD>{110, 110, 111, IDCANCEL}));
    const auto* command = &procedure_.seen[3];
    ASSERT_EQ(command->message, WM_COMMAND);
    EXPECT_EQ(LOWORD(command->wParam), 111);
    EXPECT_NE(command->lParam, 0) << "the control's window";
}

TEST_F(Dialogs, EnterEscapeAndClosingTheWindow)
{
    struct Case {
        const char* what;
        std::function<void(win32::ModalDialog&)> act;
        bool handlesClose;
        bool disableOk;
        std::vector<UINT> messages;  // after WM_INITDIALOG, up to the dialog's end
        bool ended;                  // by the action itself
        INT_PTR result;
    };
    const Case cases[] = {
        {"Enter", [](win32::ModalDialog& d) { d.PressEnter(); }, false, false, {WM_COMMAND}, true, 1000 + IDOK},
        {"Escape", [](win32::ModalDialog& d) { d.PressEscape(); }, false, false, {WM_COMMAND}, true,
         1000 + IDCANCEL},
        {"closing", [](win32::ModalDialog& d) { d.Close(); }, false, false, {WM_CLOSE, WM_COMMAND}, true,
         1000 + IDCANCEL},
        {"closing that the procedure answers", [](win32::ModalDialog& d) { d.Close(); }, true, false,
         {WM_CLOSE, WM_COMMAND}, false, 1000 + IDCANCEL},
        {"Enter with the default button disabled", [](win32::ModalDialog& d) { d.PressEnter(); }, false, true,
         {WM_COMMAND}, false, 1000 + IDCANCEL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        procedure_ = {};
        procedure_.handlesClose = c.handlesClose;
        if (c.disableOk) procedure_.onInit = [](HWND dialog) { EnableWindow(GetDlgItem(dialog, IDOK), FALSE); };
        bool ended = false;
        const INT_PTR result = RunGroups([&](win32::ModalDialog& dialog) {
            c.act(dialog);
            ended = dialog.Ended();
            if (ended) {
                EXPECT_EQ(dialog.Result(), c.result);
            }
        });
        EXPECT_EQ(ended, c.ended);
        EXPECT_EQ(result, c.result);
        // What the script's user did not end, the desktop cancels.
        std::vector<UINT> messages;
        for (std::size_t i = 1; i < procedure_.seen.size(); ++i) messages.push_back(procedure_.seen[i].message);
        EXPECT_EQ(messages, c.messages);
        ASSERT_FALSE(procedure_.seen.empty());
        EXPECT_EQ(LOWORD(procedure_.seen.back().wParam), result - 1000) << "the command that ended it";
    }
    // No default push button: Enter sends IDOK, from no control.
    procedure_ = {};
    EXPECT_EQ(Run("Bare", [](win32::ModalDialog& d) { d.PressEnter(); }), 1000 + IDOK);
    ASSERT_EQ(procedure_.seen.size(), 2u);
    EXPECT_EQ(procedure_.seen[1].lParam, 0);
}

TEST_F(Dialogs, EndDialogInsideInitDialogEndsBeforeAnyUserSeesIt)
{
    procedure_.onInit = [](HWND dialog) {
        EXPECT_EQ(EndDialog(dialog, 77), TRUE);
        EXPECT_EQ(EndDialog(GetDlgItem(dialog, IDOK), 78), FALSE) << "a control is no dialog";
    };
    bool scriptRan = false;
    EXPECT_EQ(RunGroups([&](win32::ModalDialog&) { scriptRan = true; }), 77);
    EXPECT_FALSE(scriptRan);
    EXPECT_TRUE(desktop_->Dialogs().empty());
    EXPECT_EQ(procedure_.seen.size(), 1u);
}

TEST_F(Dialogs, AnEndedDialogTakesNoMoreActions)
{
    RunGroups([](win32::ModalDialog& dialog) {
        dialog.PressEnter();
        dialog.Click(110);
        dialog.PressEscape();
        EXPECT_EQ(dialog.Check(110), BST_UNCHECKED);
    });
    EXPECT_EQ(procedure_.Commands(), std::vector<WORD>{IDOK});
    EXPECT_EQ(desktop_->Dialogs().at(0).result, 1000 + IDOK);
}

TEST_F(Dialogs, ADialogOpenedFromADialogHasItAsOwnerAndGivesItBackTheActiveWindow)
{
    RunGroups([&](win32::ModalDialog& outer) {
        desktop_->QueueDialogScript([&](win32::ModalDialog& inner) {
            EXPECT_EQ(inner.Owner(), outer.Window());
            EXPECT_EQ(GetActiveWindow(), inner.Window());
            inner.PressEscape();
        });
        EXPECT_EQ(DialogBoxParamA(module_, "bare", GetActiveWindow(), TestProc, 0), 1000 + IDCANCEL);
        EXPECT_EQ(GetActiveWindow(), outer.Window());
        outer.PressEnter();
    });
    const auto dialogs = desktop_->Dialogs();
    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(dialogs[0].caption, "Bare");
    EXPECT_EQ(dialogs[1].caption, "Groups");
    EXPECT_EQ(dialogs[1].result, 1000 + IDOK);
}

TEST_F(Dialogs, TemplatesThatCannotBeFound)
{
    struct Case {
        const char* what;
        HMODULE module;
        LPCSTR name;
        DLGPROC procedure;
        DWORD error;
    };
    const Case cases[] = {
        {"no such number", module_, MAKEINTRESOURCEA(999), TestProc, ERROR_RESOURCE_NAME_NOT_FOUND},
        {"a number's text is no number", module_, "300", TestProc, ERROR_RESOURCE_NAME_NOT_FOUND},
        {"a caption is no name", module_, "Groups", TestProc, ERROR_RESOURCE_NAME_NOT_FOUND},
        {"a module without resources", GetModuleHandleA(nullptr), MAKEINTRESOURCEA(300), TestProc,
         ERROR_RESOURCE_DATA_NOT_FOUND},
        {"no procedure", module_, MAKEINTRESOURCEA(300), nullptr, ERROR_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetLastError(0);
        EXPECT_EQ(DialogBoxParamA(c.module, c.name, nullptr, c.procedure, 0), -1);
        EXPECT_EQ(GetLastError(), c.error);
    }
    EXPECT_TRUE(procedure_.seen.empty());
    EXPECT_TRUE(desktop_->Dialogs().empty());
}

TEST(ConsoleDesktopDialogs, AreClosedAsWithEscapeWithOneLine)
{
    HMODULE module = LoadLibraryA(kModulePath.c_str());
    ASSERT_NE(module, nullptr);
    Procedure procedure;
    g_Procedure = &procedure;
    ::testing::internal::CaptureStderr();
    const INT_PTR result = DialogBoxParamA(module, MAKEINTRESOURCEA(300), nullptr, TestProc, 0);
    const std::string printed = ::testing::internal::GetCapturedStderr();
    g_Procedure = nullptr;
    FreeLibrary(module);
    EXPECT_EQ(result, 1000 + IDCANCEL);
    EXPECT_EQ(procedure.Commands(), std::vector<WORD>{IDCANCEL});
    EXPECT_EQ(printed, "[Groups] dialog closed as with Escape: there is no display to show it on\n");
}

}  // namespace
