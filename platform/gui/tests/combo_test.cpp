// Drop-down lists: picking with the mouse and the keys, closing, events.
#include <gui_testing/gui_test.h>

using gui_testing::GuiTest;
using gui_testing::Strings;

namespace {

class Combo : public GuiTest {
protected:
    Combo()
    {
        form = NewForm(300, 200);
        combo = new TComboBox(form);
        combo->SetParent(form);
        combo->SetBounds(10, 10, 120, 21);
        combo->SetStyle(TComboBoxStyle::csDropDownList);
        for (const char* rate : {" 8,000", "11,025", "16,000", "22,050", "32,000", "44,100", "48,000"}) combo->Items()->Add(rate);
        combo->OnChange = [this](TObject*) { Record("change " + combo->SelectedText()); };
        ok = new TButton(form);
        ok->SetParent(form);
        ok->SetBounds(150, 150, 75, 25);
        ok->SetDefault(true);
        ok->OnClick = Log("ok");
        form->Show();
        combo->SetItemIndex(5);  // by program: no event
    }
    // The list's row `row` in form pixels (rows are a text line high plus 2).
    TPoint Row(int row) const
    {
        TCanvas measure;
        measure.Font()->Assign(*combo->Font());
        return TPoint{20, 10 + 21 + 1 + row * (measure.TextHeight("0") + 2) + 3};
    }
    TForm* form = nullptr;
    TComboBox* combo = nullptr;
    TButton* ok = nullptr;
};

}  // namespace

TEST_F(Combo, APressDropsTheListAndAClickOnAnItemPicksIt)
{
    gui::PressMouse(*form, mbLeft, 20, 15);
    gui::ReleaseMouse(*form, mbLeft, 20, 15);
    ASSERT_TRUE(combo->DroppedDown());
    EXPECT_TRUE(combo->Focused());
    const TPoint second = Row(1);
    gui::MoveMouse(*form, second.X, second.Y);
    gui::PressMouse(*form, mbLeft, second.X, second.Y);
    gui::ReleaseMouse(*form, mbLeft, second.X, second.Y);
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(Events(), (Strings{"change 11,025"}));
}

TEST_F(Combo, APressOutsideTheDroppedListOnlyClosesIt)
{
    combo->SetDroppedDown(true);
    gui::PressMouse(*form, mbLeft, 160, 160);  // on the OK button
    gui::ReleaseMouse(*form, mbLeft, 160, 160);
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(combo->ItemIndex(), 5);
    EXPECT_TRUE(Events().empty());
}

TEST_F(Combo, KeysPickAtOnceAndEnterClosesTheListBeforeItPressesButtons)
{
    combo->SetFocus();
    gui::PressKey(*form, VK_DOWN);
    gui::PressKey(*form, VK_DOWN);  // the last: no change
    gui::PressKey(*form, VK_HOME);
    gui::PressKey(*form, VK_F1 + 3);
    EXPECT_TRUE(combo->DroppedDown());
    gui::PressKey(*form, VK_RETURN);
    EXPECT_FALSE(combo->DroppedDown());
    gui::PressKey(*form, VK_RETURN);
    EXPECT_EQ(Events(), (Strings{"change 48,000", "change  8,000", "ok"}));
}

TEST_F(Combo, LosingTheFocusClosesTheList)
{
    combo->SetFocus();
    combo->SetDroppedDown(true);
    ok->SetFocus();
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(Application->CaptureControl(), nullptr);
}

TEST_F(Combo, AnEmptyListTakesKeysAndPressesWithoutPicking)
{
    combo->Items()->Clear();
    EXPECT_EQ(combo->ItemIndex(), -1);
    combo->SetFocus();
    for (WORD key : {VK_DOWN, VK_UP, VK_END, VK_HOME, VK_NEXT}) gui::PressKey(*form, key);
    gui::PressMouse(*form, mbLeft, 20, 15);
    gui::ReleaseMouse(*form, mbLeft, 20, 15);
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_TRUE(Events().empty());
}
