// A Win32 dialog run by DialogBoxParamA on a display: the display's desktop
// presents it in a real window, and clicks through the window's peer reach
// the dialog's procedure. Needs a display (run under Xvfb); skipped without.
#include <gui_testing/gui_test.h>

#include <gui/dialog_presenter.h>

#include <juce_gui_basics/juce_gui_basics.h>

namespace {

constexpr int kFirst = 1000, kSecond = 1001, kBox = 1010;
constexpr DWORD RADIO = BS_AUTORADIOBUTTON | BS_LEFT | BS_VCENTER | WS_TABSTOP;

constexpr win32::DialogItemTemplate kItems[] = {
    {IDOK, "Button", BS_DEFPUSHBUTTON | WS_TABSTOP, "OK", 120, 10, 50, 14},
    {IDCANCEL, "Button", BS_PUSHBUTTON | WS_TABSTOP, "Cancel", 120, 30, 50, 14},
    {kFirst, "Button", RADIO, "First", 15, 20, 60, 10},
    {-1, "Button", BS_GROUPBOX, "Choice", 10, 8, 90, 42},
    {kSecond, "Button", RADIO, "Second", 15, 34, 60, 10},
    {kBox, "Button", BS_AUTOCHECKBOX | WS_TABSTOP, "Option", 15, 56, 60, 10},
};
constexpr win32::DialogTemplate kDialog = {
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, "On a display", 180, 72, "MS Sans Serif", 8, kItems};
constexpr win32::DialogResource kDialogs[] = {{win32::NameOrOrdinal::Ordinal(101), &kDialog}};

std::vector<int> g_Commands;

INT_PTR Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        CheckRadioButton(dialog, kFirst, kSecond, kFirst);
        return TRUE;
    }
    if (message != WM_COMMAND) return FALSE;
    const int id = LOWORD(wParam);
    g_Commands.push_back(id);
    if (id == IDOK || id == IDCANCEL) EndDialog(dialog, id == IDOK ? 10 + IsDlgButtonChecked(dialog, kSecond) : 0);
    return TRUE;
}

void Click(juce::ComponentPeer& peer, TPoint at)
{
    for (const int modifiers : {static_cast<int>(juce::ModifierKeys::leftButtonModifier), 0})
        peer.handleMouseEvent(juce::MouseInputSource::InputSourceType::mouse,
                              juce::Point<float>(static_cast<float>(at.X), static_cast<float>(at.Y)),
                              juce::ModifierKeys(modifiers), juce::MouseInputSource::defaultPressure,
                              juce::MouseInputSource::defaultOrientation, juce::Time::currentTimeMillis());
}

TPoint Centre(const TControl& control)
{
    return TPoint{control.Left() + control.Width() / 2, control.Top() + control.Height() / 2};
}

TEST(DialogOnADisplay, ShowsInAWindowAndItsClicksReachTheProcedure)
{
    if (!gui::DisplayAvailable()) GTEST_SKIP() << "no display";
    win32_testing::TempMachineDir machine;
    Application->Initialize();
    ASSERT_TRUE(Application->Presenting());
    ASSERT_TRUE(win32::DesktopInstalled()) << "the display's desktop";

    // The user, on a timer of the modal loop: looks at the window, picks the
    // second choice and confirms.
    int step = 0;
    std::string title;
    juce::Point<int> size;
    TTimer user(nullptr);
    user.SetInterval(30);
    user.OnTimer = [&](TObject*) {
        auto* form = dynamic_cast<gui::TDialogForm*>(Application->ActiveForm());
        auto* window = form ? static_cast<juce::Component*>(form->PresentationWindow()) : nullptr;
        if (!window || !window->isVisible() || !window->getPeer()) return;
        if (step == 0) {
            title = window->getName().toStdString();
            size = {window->getWidth(), window->getHeight()};
            Click(*window->getPeer(), Centre(*form->FindItem(kSecond)));
        } else if (step == 1) {
            Click(*window->getPeer(), Centre(*form->FindItem(IDOK)));
        }
        ++step;
    };
    const INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(101), nullptr, Proc, 0);
    user.SetEnabled(false);
    EXPECT_EQ(result, 11) << "OK with the second choice";
    EXPECT_EQ(g_Commands, (std::vector<int>{kSecond, IDOK}));
    EXPECT_EQ(title, "On a display");
    const gui::DialogBaseUnits units = gui::BaseUnitsOf(kDialog);
    EXPECT_EQ(size, juce::Point<int>(gui::DialogUnitsToPixels(units, 0, 0, 180, 72).Width(),
                                     gui::DialogUnitsToPixels(units, 0, 0, 180, 72).Height()));
    EXPECT_EQ(Application->ActiveForm(), nullptr) << "the dialog's form is gone";
}

}  // namespace

// The test program's resources, found through its module as a driver's are.
extern "C" const win32::ModuleResources ModuleResourceTable = {kDialogs};
