// Check boxes, radio groups and track bars.
#include <gui_testing/gui_test.h>

using gui_testing::GuiTest;
using gui_testing::Strings;

TEST_F(GuiTest, CheckBoxTogglesOnClickAndSpaceAndProgramChangesClickToo)
{
    TForm* form = NewForm();
    auto* box = new TCheckBox(form);
    box->SetParent(form);
    box->SetText("&Synchronize wave devices");
    box->OnClick = [&](TObject*) { Record(box->Checked() ? "on" : "off"); };
    form->Show();
    gui::PressMouse(*form, mbLeft, 5, 5);
    gui::ReleaseMouse(*form, mbLeft, 5, 5);
    gui::PressKey(*form, VK_SPACE);
    gui::ReleaseKey(*form, VK_SPACE);
    gui::PressMouse(*form, mbLeft, 5, 5);
    gui::ReleaseMouse(*form, mbLeft, 150, 5);  // outside: nothing
    box->SetChecked(true);
    box->SetChecked(true);
    EXPECT_EQ(Events(), (Strings{"on", "off", "on"}));
}

TEST_F(GuiTest, RadioGroupChecksOneItemAndClampsTheIndex)
{
    TForm* form = NewForm(250, 150);
    auto* group = new TRadioGroup(form);
    group->SetParent(form);
    group->SetBounds(0, 0, 240, 140);
    group->SetColumns(2);
    group->SetItems(TStringList{"&64 samples", "&128 samples", "&256 samples", "&512 samples", "1,&024 samples"});
    group->Items()->Add("2,0&48 samples ");
    group->OnClick = [&](TObject*) { Record("click " + std::to_string(group->ItemIndex())); };
    EXPECT_EQ(group->ItemIndex(), -1);
    group->SetItemIndex(1);
    group->SetItemIndex(6);  // beyond the last: the last
    EXPECT_EQ(group->ItemIndex(), 5);
    EXPECT_TRUE(group->Buttons(5)->Checked());
    EXPECT_FALSE(group->Buttons(1)->Checked());
    EXPECT_GT(group->Buttons(3)->Left(), group->Buttons(2)->Left()) << "two columns";
    form->Show();
    const TPoint at = group->Buttons(0)->FormOrigin();
    gui::PressMouse(*form, mbLeft, at.X + 3, at.Y + 3);
    gui::ReleaseMouse(*form, mbLeft, at.X + 3, at.Y + 3);
    EXPECT_EQ(group->ItemIndex(), 0);
    gui::PressKey(*form, VK_DOWN);  // the arrows move through the group and check
    EXPECT_EQ(group->ItemIndex(), 1);
    EXPECT_EQ(Events(), (Strings{"click 1", "click 5", "click 0", "click 1"}));
}

TEST_F(GuiTest, TrackBarStepsByKeysAndMouseAndFiresOnChange)
{
    TForm* form = NewForm(200, 60);
    auto* bar = new TTrackBar(form);
    bar->SetParent(form);
    bar->SetBounds(0, 0, 150, 45);
    bar->SetRange(0, 250);
    bar->SetPageSize(10);
    bar->OnChange = [&](TObject*) { Record(std::to_string(bar->Position())); };
    form->Show();
    bar->SetPosition(300);
    EXPECT_EQ(bar->Position(), 250);
    for (WORD key : {VK_LEFT, VK_PRIOR, VK_HOME, VK_RIGHT, VK_NEXT, VK_END}) gui::PressKey(*form, key);
    const TRect thumb = bar->ThumbRect();
    gui::PressMouse(*form, mbLeft, thumb.Left + 2, thumb.Top + 2);
    gui::MoveMouse(*form, bar->ThumbRect().Left - 60, thumb.Top + 2);
    gui::ReleaseMouse(*form, mbLeft, bar->ThumbRect().Left - 60, thumb.Top + 2);
    const int dragged = bar->Position();
    EXPECT_LT(dragged, 250);
    EXPECT_EQ(bar->PositionAt(8, 10), 0);
    EXPECT_EQ(bar->PositionAt(8 + 133, 10), 250);
    gui::PressMouse(*form, mbLeft, 9, 10);  // beside the thumb: a page towards the press
    gui::ReleaseMouse(*form, mbLeft, 9, 10);
    EXPECT_EQ(bar->Position(), std::max(0, dragged - 10));
    EXPECT_EQ(Strings(Events().begin(), Events().begin() + 7), (Strings{"250", "249", "239", "0", "1", "11", "250"}));
}
