// Page controls: tabs, the shown page, OnChange only for the user's changes.
#include <gui_testing/gui_test.h>

using gui_testing::GuiTest;
using gui_testing::Strings;

namespace {

class Pages : public GuiTest {
protected:
    Pages()
    {
        form = NewForm(292, 255);
        pages = new TPageControl(form);
        pages->SetParent(form);
        pages->SetBounds(0, 0, 292, 217);
        for (const char* caption : {"Driver", "Console", "Digital"}) {
            auto* sheet = new TTabSheet(form);
            sheet->SetText(caption);
            sheet->SetPageControl(pages);
        }
        box = new TCheckBox(form);
        box->SetParent(pages->Pages(1));
        pages->OnChange = [this](TObject*) { Record("change " + std::to_string(pages->ActivePageIndex())); };
        form->Show();
    }
    void ClickTab(int index)
    {
        const TRect tab = pages->TabRect(index);
        const TPoint at = pages->FormOrigin();
        gui::PressMouse(*form, mbLeft, at.X + tab.Left + 3, at.Y + tab.Top + 3);
        gui::ReleaseMouse(*form, mbLeft, at.X + tab.Left + 3, at.Y + tab.Top + 3);
    }
    TForm* form = nullptr;
    TPageControl* pages = nullptr;
    TCheckBox* box = nullptr;
};

}  // namespace

TEST_F(Pages, TheFirstPageShowsAndATabClickTurnsThePage)
{
    EXPECT_EQ(pages->ActivePageIndex(), 0);
    EXPECT_FALSE(box->Showing());
    ClickTab(1);
    EXPECT_EQ(pages->ActivePageIndex(), 1);
    EXPECT_TRUE(box->Showing());
    EXPECT_FALSE(pages->Pages(0)->Visible());
    pages->SetActivePageIndex(2);  // by program: no event
    EXPECT_EQ(Events(), (Strings{"change 1"}));
}

TEST_F(Pages, HiddenTabsAreSkippedAndCtrlTabTurnsThePages)
{
    pages->Pages(2)->SetTabVisible(false);
    EXPECT_TRUE(pages->TabRect(2).IsEmpty());
    pages->SetActivePageIndex(2);
    EXPECT_EQ(pages->ActivePageIndex(), 0) << "a page without a tab is never shown";
    pages->SetFocus();
    desktop().SetKeyDown(VK_CONTROL, true);
    gui::PressKey(*form, VK_TAB);
    gui::PressKey(*form, VK_TAB);
    desktop().SetKeyDown(VK_CONTROL, false);
    gui::PressKey(*form, VK_LEFT);
    EXPECT_EQ(Events(), (Strings{"change 1", "change 0", "change 1"}));
    pages->SetActivePageIndex(1);
    pages->Pages(1)->SetTabVisible(false);
    EXPECT_EQ(pages->ActivePageIndex(), 0);
}

TEST_F(Pages, ASheetLeavesItsPageControlWhenFreed)
{
    delete pages->Pages(0);
    EXPECT_EQ(pages->PageCount(), 2);
    EXPECT_EQ(pages->Pages(0)->Caption(), "Console");
    EXPECT_EQ(pages->ActivePage(), nullptr);
    pages->SetActivePageIndex(0);
    EXPECT_TRUE(box->Showing());
}
