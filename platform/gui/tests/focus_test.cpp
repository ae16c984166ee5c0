// The focus change order, Focused during enter and exit, CanFocus, tab order.
#include "probe.h"

using gui_testing::GuiTest;
using gui_testing::Strings;

TEST_F(GuiTest, FocusChangeKillsThenExitsThenEntersWithTheNewOwnerFocused)
{
    TForm* form = NewForm();
    auto* a = AddProbe(form, EventLog(), "a");
    auto* b = AddProbe(form, EventLog(), "b");
    form->Show();
    EXPECT_TRUE(a->Focused()) << "the first in tab order";
    ClearEvents();
    b->SetFocus();
    EXPECT_EQ(Events(), (Strings{"a killfocus", "a exit focused=no", "b enter focused=yes", "b setfocus focused=yes"}));
    ClearEvents();
    b->SetFocus();
    EXPECT_TRUE(Events().empty()) << "no change, no messages";
}

TEST_F(GuiTest, SetFocusOnAControlThatCannotFocusDoesNothing)
{
    TForm* form = NewForm();
    auto* a = AddProbe(form, EventLog(), "a");
    auto* hidden = AddProbe(form, EventLog(), "hidden");
    hidden->Hide();
    auto* off = AddProbe(form, EventLog(), "off");
    off->SetEnabled(false);
    auto* loose = new Probe(form, EventLog(), "loose");
    EXPECT_FALSE(a->CanFocus()) << "its form is not shown";
    form->Show();
    EXPECT_TRUE(a->CanFocus());
    EXPECT_FALSE(hidden->CanFocus());
    EXPECT_FALSE(off->CanFocus());
    EXPECT_FALSE(loose->CanFocus());
    hidden->SetFocus();
    off->SetFocus();
    loose->SetFocus();
    EXPECT_TRUE(a->Focused());
    delete loose;
}

TEST_F(GuiTest, InitialFocusIsTheLowestTabOrderAndTabFollowsIt)
{
    TForm* form = NewForm();
    auto* first = AddProbe(form, EventLog(), "first");
    auto* second = AddProbe(form, EventLog(), "second");
    auto* third = new TButton(form);
    third->SetParent(form);
    second->SetTabOrder(0);
    EXPECT_EQ(second->TabOrder(), 0);
    EXPECT_EQ(first->TabOrder(), 1);
    first->SetTabStop(false);
    form->Show();
    EXPECT_TRUE(second->Focused());
    gui::PressKey(*form, VK_TAB);
    EXPECT_TRUE(third->Focused()) << "first has no tab stop";
    gui::PressKey(*form, VK_TAB);
    EXPECT_TRUE(second->Focused()) << "wraps around";
    desktop().SetKeyDown(VK_SHIFT, true);
    gui::PressKey(*form, VK_TAB);
    desktop().SetKeyDown(VK_SHIFT, false);
    EXPECT_TRUE(third->Focused()) << "backwards";
}

TEST_F(GuiTest, AClickDoesNotFocusACustomControlButAButtonTakesIt)
{
    TForm* form = NewForm();
    auto* a = AddProbe(form, EventLog(), "a");
    AddProbe(form, EventLog(), "p", Bounds(0, 50, 20, 20));
    auto* button = new TButton(form);
    button->SetBounds(100, 0, 75, 25);
    button->SetParent(form);
    form->Show();
    gui::PressMouse(*form, mbLeft, 5, 55);
    gui::ReleaseMouse(*form, mbLeft, 5, 55);
    EXPECT_TRUE(a->Focused());
    gui::PressMouse(*form, mbLeft, 110, 5);
    EXPECT_TRUE(button->Focused());
    gui::ReleaseMouse(*form, mbLeft, 110, 5);
}

TEST_F(GuiTest, AFocusedControlFreedWithItsParentLeavesNoFocusBehind)
{
    TForm* form = NewForm();
    auto* panel = new Probe(form, EventLog(), "panel");
    panel->SetBounds(0, 0, 100, 50);
    panel->SetTabStop(false);
    panel->SetParent(form);
    auto* inner = AddProbe(panel, EventLog(), "inner", Bounds(5, 5, 20, 20));
    auto* other = AddProbe(form, EventLog(), "other", Bounds(0, 60, 20, 20));
    form->Show();
    inner->SetFocus();
    ASSERT_TRUE(inner->Focused());
    gui::PressMouse(*form, mbLeft, 10, 10);  // inner captures the mouse
    delete panel;  // frees inner too
    EXPECT_EQ(form->ActiveControl(), nullptr);
    EXPECT_EQ(Application->CaptureControl(), nullptr);
    ClearEvents();
    other->SetFocus();
    gui::ReleaseMouse(*form, mbLeft, 10, 70);
    EXPECT_EQ(Events(), (Strings{"other enter focused=yes", "other setfocus focused=yes", "other up 0 [] 10,10"}));
}

TEST_F(GuiTest, HidingOrDisablingTheFocusedControlTakesTheFocusAway)
{
    TForm* form = NewForm();
    auto* a = AddProbe(form, EventLog(), "a");
    auto* b = AddProbe(form, EventLog(), "b");
    form->Show();
    ClearEvents();
    a->Hide();
    EXPECT_EQ(Events(), (Strings{"a killfocus", "a exit focused=no"}));
    EXPECT_EQ(form->ActiveControl(), nullptr);
    gui::PressKey(*form, VK_TAB);  // the form has the keys now
    EXPECT_TRUE(b->Focused());
    ClearEvents();
    b->SetEnabled(false);
    EXPECT_EQ(Events(), (Strings{"b killfocus", "b exit focused=no"}));
}

TEST_F(GuiTest, AControlTakenOutOfItsFormLeavesFocusAndCaptureBehind)
{
    TForm* form = NewForm();
    auto* a = AddProbe(form, EventLog(), "a", Bounds(0, 0, 20, 20));
    auto* b = AddProbe(form, EventLog(), "b", Bounds(30, 0, 20, 20));
    form->Show();
    gui::PressMouse(*form, mbLeft, 5, 5);
    ClearEvents();
    a->SetParent(nullptr);
    EXPECT_EQ(Events(), (Strings{"a killfocus", "a exit focused=no"}));
    EXPECT_EQ(form->ActiveControl(), nullptr);
    EXPECT_EQ(Application->CaptureControl(), nullptr);
    delete a;
    b->SetFocus();
    EXPECT_TRUE(b->Focused());
}
