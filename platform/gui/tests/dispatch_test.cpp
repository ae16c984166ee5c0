// Mouse and key routing: capture, graphic controls, shift states, enter and
// leave at idle, the dialog-key pre-pass and key preview.
#include "probe.h"

using gui_testing::GuiTest;
using gui_testing::Strings;

namespace {

class Dispatch : public GuiTest {
protected:
    Dispatch()
    {
        form = NewForm(200, 100);
        a = AddProbe(form, EventLog(), "a", Bounds(10, 10, 50, 30), DLGC_WANTARROWS);
        b = AddProbe(form, EventLog(), "b", Bounds(100, 10, 50, 30));
        form->Show();
        Application->ProcessMessages();
        ClearEvents();
    }
    TForm* form = nullptr;
    Probe* a = nullptr;
    Probe* b = nullptr;
};

}  // namespace

TEST_F(Dispatch, LeftPressCapturesUntilReleaseWithClientCoordinates)
{
    gui::PressMouse(*form, mbLeft, 20, 15);
    gui::MoveMouse(*form, 300, -5);  // beyond the form
    gui::ReleaseMouse(*form, mbLeft, 5, 50);
    gui::MoveMouse(*form, 120, 20);  // no capture any more: b
    EXPECT_EQ(Events(), (Strings{"a down 0 [Left] 10,5", "a move [Left] 290,-15", "a up 0 [] -5,40", "b move [] 20,10"}));
    EXPECT_EQ(Application->CaptureControl(), nullptr);
}

TEST_F(Dispatch, RightPressDoesNotCaptureAndShiftHoldsOnlyHeldButtons)
{
    desktop().SetKeyDown(VK_SHIFT, true);
    gui::PressMouse(*form, mbRight, 20, 15);
    gui::MoveMouse(*form, 120, 20);
    gui::ReleaseMouse(*form, mbRight, 120, 20);
    desktop().SetKeyDown(VK_SHIFT, false);
    EXPECT_EQ(Events(), (Strings{"a down 1 [ShiftRight] 10,5", "b move [ShiftRight] 20,10", "b up 1 [Shift] 20,10"}));
}

TEST_F(Dispatch, DoubleClickIsASecondPressWithDouble)
{
    gui::PressMouse(*form, mbLeft, 20, 15);
    gui::ReleaseMouse(*form, mbLeft, 20, 15);
    gui::PressMouse(*form, mbLeft, 20, 15, true);
    EXPECT_EQ(Events().back(), "a down 0 [LeftDouble] 10,5");
}

TEST_F(Dispatch, ADoubleClickClicksOnceAndThenDoubleClicks)
{
    a->OnClick = [this](TObject*) { a->Note("click"); };
    a->OnDblClick = [this](TObject*) { a->Note("dblclick"); };
    gui::PressMouse(*form, mbLeft, 20, 15);
    gui::ReleaseMouse(*form, mbLeft, 20, 15);
    gui::PressMouse(*form, mbLeft, 20, 15, true);
    gui::ReleaseMouse(*form, mbLeft, 20, 15);
    EXPECT_EQ(Events(), (Strings{"a down 0 [Left] 10,5", "a click", "a up 0 [] 10,5", "a dblclick",
                                 "a down 0 [LeftDouble] 10,5", "a up 0 [] 10,5"}));
}

TEST_F(Dispatch, GraphicControlsGetMouseThroughTheirParentTopmostEnabledFirst)
{
    auto* under = new TLabel(form);
    under->SetBounds(60, 50, 40, 20);
    under->SetParent(form);
    auto* over = new TLabel(form);
    over->SetBounds(70, 55, 40, 20);
    over->SetParent(form);
    under->OnMouseUp = [this](TObject*, TMouseButton, TShiftState, int x, int y) { Record("under up " + std::to_string(x) + "," + std::to_string(y)); };
    over->OnMouseUp = [this](TObject*, TMouseButton, TShiftState, int x, int y) { Record("over up " + std::to_string(x) + "," + std::to_string(y)); };
    form->OnMouseUp = [this](TObject*, TMouseButton, TShiftState, int, int) { Record("form up"); };
    gui::PressMouse(*form, mbRight, 75, 60);
    gui::ReleaseMouse(*form, mbRight, 75, 60);
    over->SetEnabled(false);
    gui::PressMouse(*form, mbRight, 75, 60);
    gui::ReleaseMouse(*form, mbRight, 75, 60);
    gui::PressMouse(*form, mbLeft, 105, 60);
    gui::ReleaseMouse(*form, mbLeft, 105, 60);
    // A left press captures: the release far away still goes to the label.
    gui::PressMouse(*form, mbLeft, 61, 51);
    gui::ReleaseMouse(*form, mbLeft, 190, 90);
    EXPECT_EQ(Events(), (Strings{"over up 5,5", "under up 15,10", "form up", "under up 130,40"}));
    ClearEvents();
    over->SetEnabled(true);
    under->BringToFront();
    gui::PressMouse(*form, mbRight, 75, 60);
    gui::ReleaseMouse(*form, mbRight, 75, 60);
    EXPECT_EQ(Events(), (Strings{"under up 15,10"})) << "brought to the front";
}

TEST_F(Dispatch, EnterAndLeaveComeAtIdleAndOnlyToTheCaptureWhileCaptured)
{
    gui::MoveMouse(*form, 20, 15);
    EXPECT_EQ(Events(), (Strings{"a move [] 10,5"}));
    Application->ProcessMessages();
    EXPECT_EQ(Events().back(), "a mouseenter");
    gui::PressMouse(*form, mbLeft, 20, 15);
    gui::MoveMouse(*form, 120, 20);
    Application->ProcessMessages();
    gui::MoveMouse(*form, 20, 15);
    Application->ProcessMessages();
    gui::ReleaseMouse(*form, mbLeft, 20, 15);
    gui::MoveMouse(*form, 120, 20);
    Application->ProcessMessages();
    EXPECT_EQ(Events(), (Strings{"a move [] 10,5", "a mouseenter", "a down 0 [Left] 10,5", "a move [Left] 110,10",
                                 "a mouseleave", "a move [Left] 10,5", "a mouseenter", "a up 0 [] 10,5", "b move [] 20,10",
                                 "a mouseleave", "b mouseenter"}));
}

TEST_F(Dispatch, ArrowsReachAControlThatWantsThemAndNavigateOtherwise)
{
    a->SetFocus();
    ClearEvents();
    gui::PressKey(*form, VK_RIGHT);
    EXPECT_EQ(Events(), (Strings{"a key 39"}));
    EXPECT_TRUE(a->Focused());
    b->SetFocus();
    ClearEvents();
    gui::PressKey(*form, VK_RIGHT);  // b does not want arrows: the form moves the focus
    EXPECT_TRUE(a->Focused());
    gui::PressKey(*form, VK_NEXT);  // never a dialog key
    EXPECT_EQ(Events().back(), "a key 34");
    gui::PressKey(*form, VK_TAB);
    EXPECT_TRUE(b->Focused());
}

TEST_F(Dispatch, ArrowsMoveAmongTheFocusedControlsSiblingsOnly)
{
    auto* group = new TGroupBox(form);
    group->SetParent(form);
    group->SetBounds(10, 50, 150, 45);
    Probe* first = AddProbe(group, EventLog(), "first", Bounds(5, 15, 40, 20));
    Probe* second = AddProbe(group, EventLog(), "second", Bounds(50, 15, 40, 20));
    second->SetFocus();
    gui::PressKey(*form, VK_RIGHT);
    EXPECT_TRUE(first->Focused()) << "round within the group, not on to the form's controls";
    gui::PressKey(*form, VK_LEFT);
    EXPECT_TRUE(second->Focused());
    gui::PressKey(*form, VK_TAB);
    EXPECT_TRUE(a->Focused()) << "the tab key goes through the whole form";
}

TEST_F(Dispatch, TabAndArrowsWithModifiersAreNotNavigation)
{
    struct Case {
        WORD modifier, key;
    };
    for (const Case c : {Case{VK_CONTROL, VK_TAB}, Case{VK_MENU, VK_TAB}, Case{VK_MENU, VK_RIGHT}}) {
        b->SetFocus();
        ClearEvents();
        gui::PressKey(*form, c.modifier);
        gui::PressKey(*form, c.key);
        gui::ReleaseKey(*form, c.modifier);
        EXPECT_TRUE(b->Focused()) << c.modifier << "+" << c.key;
        EXPECT_EQ(Events(), (Strings{"b key " + std::to_string(c.modifier), "b key " + std::to_string(c.key)}));
    }
}

TEST_F(Dispatch, KeyPreviewRunsFirstAndMaySwallowOrRewriteTheKey)
{
    form->SetKeyPreview(true);
    form->OnKeyDown = [this](TObject*, Word& key, TShiftState) {
        Record("form " + std::to_string(key));
        if (key >= VK_F1 && key <= VK_F12) key = static_cast<Word>(key - VK_F1);
    };
    a->OnKeyDown = [this](TObject*, Word& key, TShiftState) { Record("a event " + std::to_string(key)); };
    a->SetFocus();
    ClearEvents();
    gui::PressKey(*form, VK_F1);
    gui::PressKey(*form, VK_F1 + 2);
    gui::PressKey(*form, VK_UP);
    EXPECT_EQ(Events(), (Strings{"form 112", "form 114", "a key 2", "a event 2", "form 38", "a key 38", "a event 38"}));
}

TEST_F(Dispatch, KeyStateFollowsInputAndTheWheelDoesNothing)
{
    a->SetFocus();
    ClearEvents();
    gui::PressKey(*form, VK_CONTROL);
    EXPECT_LT(GetKeyState(VK_CONTROL), 0);
    gui::ReleaseKey(*form, VK_CONTROL);
    EXPECT_GE(GetKeyState(VK_CONTROL), 0);
    gui::WheelMouse(*form, 20, 15, 120);
    EXPECT_EQ(Events(), (Strings{"a key 17"}));
}

TEST_F(Dispatch, DisabledWindowGetsNoMouseInput)
{
    a->SetEnabled(false);
    ClearEvents();
    form->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) { Record("form down"); };
    gui::PressMouse(*form, mbLeft, 20, 15);
    gui::ReleaseMouse(*form, mbLeft, 20, 15);
    EXPECT_TRUE(Events().empty());
}

TEST_F(Dispatch, PostedMessagesRunFromTheLoopAndNotForAGoneWindow)
{
    HWND handle = b->Handle();
    EXPECT_TRUE(PostMessageA(handle, WM_SIZE, 0, MAKELPARAM_XY(7, 0)));
    EXPECT_TRUE(Events().empty());
    Application->ProcessMessages();
    EXPECT_EQ(Events(), (Strings{"b size 7x30"}));
    EXPECT_TRUE(PostMessageA(handle, WM_SIZE, 0, 0));
    delete b;
    b = nullptr;
    EXPECT_FALSE(IsWindow(handle));
    EXPECT_FALSE(PostMessageA(handle, WM_SIZE, 0, 0));
    Application->ProcessMessages();
    EXPECT_EQ(Events().size(), 1u);
}

TEST_F(Dispatch, PostedMessagesMeetOnMessageFirstAndBroadcastsReachEveryForm)
{
    const UINT shutdown = RegisterWindowMessageA("Zavo GUI test message");
    TForm* other = NewForm();
    other->Show();
    ClearEvents();
    Strings seen;
    Application->OnMessage = [&](TMessage& m, HWND w, bool& handled) {
        if (m.Msg != shutdown) return;
        seen.push_back(w == form->Handle() ? "form" : w == other->Handle() ? "other" : "?");
        handled = true;
    };
    EXPECT_TRUE(PostMessageA(HWND_BROADCAST, shutdown, 0, 0));
    EXPECT_TRUE(PostMessageA(b->Handle(), WM_SIZE, 0, MAKELPARAM_XY(9, 0)));
    Application->ProcessMessages();
    Application->OnMessage = nullptr;
    EXPECT_EQ(seen, (Strings{"form", "other"}));
    EXPECT_EQ(Events(), (Strings{"b size 9x30"})) << "not handled: delivered";
}

TEST_F(Dispatch, ApplicationEventsHearMessagesAfterTheApplicationUntilOneHandlesThem)
{
    Strings seen;
    TApplicationEvents first(form);
    TApplicationEvents second(form);
    first.OnMessage = [&](TMessage& m, HWND, bool& handled) {
        if (m.Msg != WM_USER + 1 && m.Msg != WM_USER + 2) return;
        seen.push_back("first " + std::to_string(m.Msg - WM_USER));
        handled = m.Msg == WM_USER + 1;
    };
    second.OnMessage = [&](TMessage& m, HWND, bool&) {
        if (m.Msg == WM_USER + 1 || m.Msg == WM_USER + 2) seen.push_back("second " + std::to_string(m.Msg - WM_USER));
    };
    second.OnException = [&](TObject* sender, const std::exception& e) {
        seen.push_back(std::string(sender == &second ? "second: " : "?: ") + e.what());
    };
    PostMessageA(a->Handle(), WM_USER + 1, 0, 0);
    PostMessageA(a->Handle(), WM_USER + 2, 0, 0);
    gui::PostInput([] { throw EConvertError("bad"); });
    Application->ProcessMessages();
    EXPECT_EQ(seen, (Strings{"first 1", "first 2", "second 2", "second: bad"}));
}
