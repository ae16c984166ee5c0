// A Win32 dialog presented as a form, headless: the form built from a
// template shaped like a driver's settings panel, and the user's clicks and
// keys, scripted into its modal loop, reaching the dialog's procedure.
#include <gui_testing/gui_test.h>

#include <gui/dialog_presenter.h>

#include <windows.h>

#include <cstdlib>
#include <functional>
#include <optional>

namespace {

constexpr int kSmall = 1000, kMedium = 1001, kLarge = 1002;
constexpr int kFirst = 1010, kSecond = 1011;
constexpr DWORD RADIO = BS_AUTORADIOBUTTON | BS_LEFT | BS_VCENTER | WS_TABSTOP;
constexpr DWORD BOX = BS_AUTOCHECKBOX | WS_TABSTOP;

// Radio buttons split by their group box, which starts no group; a picture
// the test registers and one nobody has.
constexpr win32::DialogItemTemplate kItems[] = {
    {IDOK, "Button", BS_DEFPUSHBUTTON | WS_TABSTOP, "OK", 200, 95, 50, 14},
    {IDCANCEL, "Button", BS_PUSHBUTTON | WS_TABSTOP, "Cancel", 200, 113, 50, 14},
    {kSmall, "Button", RADIO, "Small", 20, 20, 55, 10},
    {kMedium, "Button", RADIO, "Medium", 20, 34, 55, 10},
    {-1, "Button", BS_GROUPBOX, "Size", 15, 10, 80, 55},
    {kLarge, "Button", RADIO, "Large", 20, 48, 61, 10},
    {-1, "Button", BS_GROUPBOX, "Options", 105, 10, 140, 45},
    {kFirst, "Button", BOX, "First option", 111, 25, 124, 10},
    {kSecond, "Button", BOX, "Second option", 111, 39, 83, 10},
    {-1, "Static", SS_BITMAP, win32::NameOrOrdinal::Ordinal(7), 105, 62, 84, 55},
    {-1, "Static", SS_BITMAP, win32::NameOrOrdinal::Ordinal(8), 20, 75, 30, 20},
};
constexpr win32::DialogTemplate kPanel = {
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, "Presented", 262, 133, "MS Sans Serif", 8, kItems};
constexpr win32::DialogResource kDialogs[] = {{win32::NameOrOrdinal::Ordinal(101), &kPanel}};

// What the procedure heard, and when it ends the dialog.
struct Procedure {
    std::vector<UINT> messages;
    std::vector<int> commands;  // WM_COMMAND's ids
    std::optional<int> endOn;   // a command that ends the dialog with 42
};
Procedure* g_Procedure = nullptr;

// The panel's procedure: the middle size, the first option on, the second
// one off and disabled; OK and Cancel end the dialog with their ids.
INT_PTR PanelProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    Procedure& procedure = *g_Procedure;
    procedure.messages.push_back(message);
    if (message == WM_INITDIALOG) {
        CheckRadioButton(dialog, kSmall, kLarge, kMedium);
        CheckDlgButton(dialog, kFirst, BST_CHECKED);
        EnableWindow(GetDlgItem(dialog, kSecond), FALSE);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    const int id = LOWORD(wParam);
    procedure.commands.push_back(id);
    if (procedure.endOn == id) EndDialog(dialog, 42);
    else if (id == IDOK || id == IDCANCEL) EndDialog(dialog, id);
    return TRUE;
}

TPoint Centre(const TControl& control)
{
    return TPoint{control.Left() + control.Width() / 2, control.Top() + control.Height() / 2};
}

void ClickOn(TCustomForm& form, const TControl& control)
{
    const TPoint at = Centre(control);
    gui::PressMouse(form, mbLeft, at.X, at.Y);
    gui::ReleaseMouse(form, mbLeft, at.X, at.Y);
}

class DialogPresenter : public gui_testing::GuiTest {
protected:
    DialogPresenter()
    {
        g_Procedure = &procedure_;
        TBitmap picture(12, 8);
        picture.Canvas()->Brush()->Color = clRed;
        picture.Canvas()->FillRect(TRect{0, 0, 12, 8});
        RegisterBitmapResource("#7", picture);
    }
    ~DialogPresenter() override
    {
        UnregisterBitmapResource("#7");
        g_Procedure = nullptr;
    }

    // The panel run by DialogBoxParamA, presented as a form; `input` runs as
    // the first event of the form's modal loop.
    INT_PTR Present(std::function<void(gui::TDialogForm&)> input)
    {
        desktop().QueueDialogScript([&](win32::ModalDialog& dialog) {
            gui::TDialogForm form(nullptr, dialog);
            gui::PostInput([&] { input(form); });
            form.Run();
        });
        return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(101), nullptr, PanelProc, 0);
    }
    template <class Control>
    static Control& Item(gui::TDialogForm& form, int id)
    {
        auto* control = dynamic_cast<Control*>(form.FindItem(id));
        if (!control) throw std::runtime_error("no such control: " + std::to_string(id));
        return *control;
    }

    Procedure procedure_;
};

TEST_F(DialogPresenter, TheFormIsTheTemplateInPixelsOfItsFont)
{
    // The substitute of "MS Sans Serif" 8 points: its 52 letters average 7
    // pixels, its cell is 14 high.
    const gui::DialogBaseUnits units = gui::BaseUnitsOf(kPanel);
    EXPECT_EQ(units.width, 7);
    EXPECT_EQ(units.height, 14);
    TBitmap canvas(1, 1);
    canvas.Canvas()->Font()->SetName("MS Sans Serif");
    canvas.Canvas()->Font()->SetSize(8);
    EXPECT_EQ(canvas.Canvas()->TextHeight("Ag"), units.height) << "the cell height";
    const int letters = canvas.Canvas()->TextWidth("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    EXPECT_LE(std::abs(letters - 52 * units.width), 26) << "the average, rounded";

    struct Expected {
        const char* kind;
        const char* text;
        TRect bounds;  // x * 7 / 4 and y * 14 / 8, halves rounded up (34 * 14 / 8 = 59.5 is 60)
    };
    const Expected expected[] = {
        {"button", "OK", Bounds(350, 166, 88, 25)},
        {"button", "Cancel", Bounds(350, 198, 88, 25)},
        {"radio", "Small", Bounds(35, 35, 96, 18)},
        {"radio", "Medium", Bounds(35, 60, 96, 18)},
        {"group", "Size", Bounds(26, 18, 140, 96)},
        {"radio", "Large", Bounds(35, 84, 107, 18)},
        {"group", "Options", Bounds(184, 18, 245, 79)},
        {"box", "First option", Bounds(194, 44, 217, 18)},
        {"box", "Second option", Bounds(194, 68, 145, 18)},
        {"image", "", Bounds(184, 109, 147, 96)},
        {"image", "", Bounds(35, 131, 53, 35)},
    };
    const INT_PTR result = Present([&](gui::TDialogForm& form) {
        EXPECT_EQ(form.Caption(), "Presented");
        EXPECT_EQ(form.BorderStyle(), TFormBorderStyle::bsDialog);
        EXPECT_EQ(form.BorderIcons(), TBorderIcons{biSystemMenu}) << "a close box, no minimise or maximise";
        EXPECT_EQ(form.ClientWidth(), 459);
        EXPECT_EQ(form.ClientHeight(), 233);
        EXPECT_EQ(form.Left(), (1024 - form.Width()) / 2) << "centred on the screen";
        EXPECT_EQ(form.Top(), (768 - form.Height()) / 2);
        for (std::size_t i = 0; i < std::size(expected); ++i) {
            SCOPED_TRACE(i);
            TControl* control = form.ItemControl(i);
            ASSERT_NE(control, nullptr);
            EXPECT_EQ(control->Parent(), &form) << "every control a child of the form";
            EXPECT_EQ(control->BoundsRect(), expected[i].bounds);
            EXPECT_EQ(control->Caption(), expected[i].text);
            const std::string kind = dynamic_cast<TRadioButton*>(control) ? "radio"
                                     : dynamic_cast<TCheckBox*>(control)  ? "box"
                                     : dynamic_cast<TButton*>(control)    ? "button"
                                     : dynamic_cast<TGroupBox*>(control)  ? "group"
                                     : dynamic_cast<TImage*>(control)     ? "image"
                                                                          : "other";
            EXPECT_EQ(kind, expected[i].kind);
        }
        EXPECT_EQ(form.DefaultButton(), form.FindItem(IDOK));
        EXPECT_FALSE(Item<TButton>(form, IDCANCEL).Default());
        // The group boxes lie beneath what they frame: the point of a radio
        // button is the radio button's, before and after its group box.
        for (int id : {kSmall, kMedium, kLarge})
            EXPECT_EQ(form.ControlAtPos(Centre(*form.FindItem(id)), true), form.FindItem(id)) << id;
        // The picture the module has, and none for the one it has not.
        const TGraphic* picture = dynamic_cast<TImage*>(form.ItemControl(9))->Picture()->Graphic();
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->Width(), 12);
        EXPECT_EQ(dynamic_cast<TImage*>(form.ItemControl(10))->Picture()->Graphic(), nullptr);
        // As WM_INITDIALOG left the dialog.
        EXPECT_TRUE(Item<TRadioButton>(form, kMedium).Checked());
        EXPECT_FALSE(Item<TRadioButton>(form, kSmall).Checked());
        EXPECT_TRUE(Item<TCheckBox>(form, kFirst).Checked());
        EXPECT_FALSE(Item<TCheckBox>(form, kSecond).Enabled());
        // In template order; of the radio buttons only the checked one, and
        // not the disabled box.
        std::vector<TControl*> tabOrder;
        for (TWinControl* c = form.FindNextControl(nullptr, true, true); c && tabOrder.size() < 10;
             c = form.FindNextControl(c, true, true)) {
            if (!tabOrder.empty() && c == tabOrder.front()) break;
            tabOrder.push_back(c);
        }
        EXPECT_EQ(tabOrder, (std::vector<TControl*>{form.FindItem(IDOK), form.FindItem(IDCANCEL), form.FindItem(kMedium),
                                                    form.FindItem(kFirst)}));
        EXPECT_EQ(form.ActiveControl(), form.FindItem(IDOK)) << "the first tab stop has the focus";
        EXPECT_TRUE(gui::SaveFormPng(form, "presented_dialog.png"));
        gui::PressKey(form, VK_ESCAPE);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(procedure_.messages.front(), static_cast<UINT>(WM_INITDIALOG));
}

TEST_F(DialogPresenter, AClickOnARadioButtonIsTheDialogsOneClick)
{
    const INT_PTR result = Present([&](gui::TDialogForm& form) {
        ClickOn(form, *form.FindItem(kLarge));
        EXPECT_EQ(procedure_.commands, (std::vector<int>{kLarge})) << "one WM_COMMAND, nothing fed back by the sync";
        EXPECT_EQ(form.Dialog().Check(kLarge), BST_CHECKED);
        EXPECT_EQ(form.Dialog().Check(kMedium), BST_UNCHECKED);
        EXPECT_TRUE(Item<TRadioButton>(form, kLarge).Checked());
        EXPECT_FALSE(Item<TRadioButton>(form, kMedium).Checked());
        EXPECT_TRUE(Item<TRadioButton>(form, kLarge).TabStop());
        EXPECT_FALSE(Item<TRadioButton>(form, kMedium).TabStop());
        // Past the group box between them, and on the checked one again.
        ClickOn(form, *form.FindItem(kSmall));
        ClickOn(form, *form.FindItem(kSmall));
        EXPECT_EQ(procedure_.commands, (std::vector<int>{kLarge, kSmall, kSmall}));
        EXPECT_EQ(form.Dialog().Check(kSmall), BST_CHECKED);
        EXPECT_EQ(form.Dialog().Check(kLarge), BST_UNCHECKED);
        EXPECT_FALSE(Item<TRadioButton>(form, kLarge).Checked());
        // A box toggles in the dialog and in the form alike.
        ClickOn(form, *form.FindItem(kFirst));
        EXPECT_EQ(form.Dialog().Check(kFirst), BST_UNCHECKED);
        EXPECT_FALSE(Item<TCheckBox>(form, kFirst).Checked());
        ClickOn(form, *form.FindItem(IDOK));
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(procedure_.commands, (std::vector<int>{kLarge, kSmall, kSmall, kFirst, IDOK}));
}

TEST_F(DialogPresenter, ADisabledBoxIgnoresClicks)
{
    const INT_PTR result = Present([&](gui::TDialogForm& form) {
        ClickOn(form, *form.FindItem(kSecond));
        EXPECT_EQ(form.Dialog().Check(kSecond), BST_UNCHECKED);
        EXPECT_FALSE(Item<TCheckBox>(form, kSecond).Checked());
        gui::PressKey(form, VK_RETURN);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(procedure_.commands, (std::vector<int>{IDOK}));
}

TEST_F(DialogPresenter, EnterEscapeAndTheCloseBoxEndItAsTheDialogManagerDoes)
{
    struct Case {
        const char* how;
        std::function<void(gui::TDialogForm&)> leave;
        INT_PTR result;
        std::vector<UINT> tail;  // the last messages the procedure heard
    };
    const Case cases[] = {
        {"Enter: the default button", [](gui::TDialogForm& f) { gui::PressKey(f, VK_RETURN); }, IDOK, {WM_COMMAND}},
        {"Enter on a focused box: still the default button",
         [](gui::TDialogForm& f) {
             dynamic_cast<TWinControl*>(f.FindItem(kFirst))->SetFocus();
             gui::PressKey(f, VK_RETURN);
         },
         IDOK, {WM_COMMAND}},
        {"Enter on the focused Cancel button: Cancel",
         [](gui::TDialogForm& f) {
             gui::PressKey(f, VK_TAB);
             gui::PressKey(f, VK_RETURN);
         },
         IDCANCEL, {WM_COMMAND}},
        {"Escape", [](gui::TDialogForm& f) { gui::PressKey(f, VK_ESCAPE); }, IDCANCEL, {WM_COMMAND}},
        {"the close box", [](gui::TDialogForm& f) { gui::CloseBox(f); }, IDCANCEL, {WM_CLOSE, WM_COMMAND}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        procedure_ = {};
        EXPECT_EQ(Present(c.leave), c.result);
        EXPECT_EQ(procedure_.commands, (std::vector<int>{static_cast<int>(c.result)}));
        ASSERT_GE(procedure_.messages.size(), c.tail.size());
        EXPECT_EQ(std::vector<UINT>(procedure_.messages.end() - static_cast<std::ptrdiff_t>(c.tail.size()),
                                    procedure_.messages.end()),
                  c.tail);
    }
}

TEST_F(DialogPresenter, EndDialogFromTheProcedureEndsTheLoopWithItsValue)
{
    procedure_.endOn = kFirst;
    const INT_PTR result = Present([&](gui::TDialogForm& form) {
        ClickOn(form, *form.FindItem(kFirst));
        EXPECT_TRUE(form.Dialog().Ended());
        EXPECT_EQ(form.ModalResult(), mrOk) << "the form's loop ends with it";
    });
    EXPECT_EQ(result, 42);
    EXPECT_EQ(procedure_.commands, (std::vector<int>{kFirst}));
}

TEST_F(DialogPresenter, PresentDialogShowsItAsTheActiveModalForm)
{
    desktop().QueueDialogScript([](win32::ModalDialog& dialog) {
        gui::PostInput([] {
            auto* form = dynamic_cast<gui::TDialogForm*>(Application->ActiveForm());
            ASSERT_NE(form, nullptr);
            EXPECT_TRUE(form->Modal());
            ClickOn(*form, *form->FindItem(kSmall));
            gui::PressKey(*form, VK_RETURN);
        });
        gui::PresentDialog(dialog);
    });
    EXPECT_EQ(DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(101), nullptr, PanelProc, 0), IDOK);
    EXPECT_EQ(procedure_.commands, (std::vector<int>{kSmall, IDOK}));
    EXPECT_EQ(Application->ActiveForm(), nullptr);
}

}  // namespace

// The test program's resources, found through its module as a driver's are.
extern "C" const win32::ModuleResources ModuleResourceTable = {kDialogs};
