// A form with AutoScroll: the scroll bar along the bottom of its client area
// while its controls reach past the client width, driven by the mouse.
#include <gui_testing/gui_test.h>

using gui_testing::GuiTest;

namespace {

class Scrolling : public GuiTest {
protected:
    Scrolling()
    {
        form = NewForm(200, 100);
        form->SetAutoScroll(true);
        wide = new TButton(form);
        wide->SetParent(form);
        wide->SetBounds(150, 10, 100, 25);  // reaches 250
        near = new TButton(form);
        near->SetParent(form);
        near->SetBounds(10, 10, 50, 25);
        form->Show();
        Application->ProcessMessages();
    }
    // A click (press and release) on the bar at x.
    void Click(int x)
    {
        gui::PressMouse(*form, mbLeft, x, 92);
        gui::ReleaseMouse(*form, mbLeft, x, 92);
    }
    TColor Pixel(int x, int y)
    {
        TBitmap picture = gui::ComposeForm(*form);
        return picture.Canvas()->Pixels[x][y];
    }
    TForm* form = nullptr;
    TButton* wide = nullptr;
    TButton* near = nullptr;
};

TEST_F(Scrolling, TheBarShowsWhileTheControlsReachPastTheClientWidth)
{
    TControlScrollBar* bar = form->HorzScrollBar();
    EXPECT_TRUE(bar->IsScrollBarVisible());
    EXPECT_EQ(bar->Range(), 250);
    EXPECT_EQ(Pixel(170, 90), ColorToRGB(clScrollBar)) << "the track along the bottom, right of the thumb";
    EXPECT_EQ(Pixel(170, 80), ColorToRGB(clBtnFace));
    form->SetClientWidth(260);
    Application->ProcessMessages();
    EXPECT_FALSE(bar->IsScrollBarVisible());
    EXPECT_EQ(Pixel(170, 90), ColorToRGB(clBtnFace)) << "gone";
    form->SetClientWidth(200);
    form->SetAutoScroll(false);
    Application->ProcessMessages();
    EXPECT_FALSE(bar->IsScrollBarVisible()) << "only with AutoScroll";
}

TEST_F(Scrolling, ArrowsAndTheTrackMoveTheControlsAndScrollingBackRestoresThem)
{
    Click(195);  // the right arrow
    EXPECT_EQ(wide->Left(), 142);
    EXPECT_EQ(near->Left(), 2);
    EXPECT_EQ(form->HorzScrollBar()->Position(), 8);
    Click(170);  // the track right of the thumb: a page, as far as the range goes
    EXPECT_EQ(form->HorzScrollBar()->Position(), 50);
    EXPECT_EQ(wide->Left() + wide->Width(), 200) << "the last control's right edge at the client's";
    Click(5);  // the left arrow
    EXPECT_EQ(wide->Left(), 108);
    Click(25);  // the track left of the thumb
    EXPECT_EQ(form->HorzScrollBar()->Position(), 0);
    EXPECT_EQ(wide->Left(), 150);
    EXPECT_EQ(near->Left(), 10);
    // Widening the form while scrolled also puts everything back.
    Click(195);
    form->SetClientWidth(300);
    Application->ProcessMessages();
    EXPECT_EQ(wide->Left(), 150);
}

TEST_F(Scrolling, AHeldArrowRepeatsAndTheThumbDrags)
{
    gui::PressMouse(*form, mbLeft, 195, 92);
    EXPECT_EQ(form->HorzScrollBar()->Position(), 8);
    Application->AdvanceTime(400);
    Application->ProcessMessages();
    EXPECT_EQ(form->HorzScrollBar()->Position(), 16);
    Application->AdvanceTime(50);
    Application->ProcessMessages();
    EXPECT_EQ(form->HorzScrollBar()->Position(), 24);
    gui::ReleaseMouse(*form, mbLeft, 195, 92);
    Application->AdvanceTime(1000);
    Application->ProcessMessages();
    EXPECT_EQ(form->HorzScrollBar()->Position(), 24) << "released: no more";

    form->HorzScrollBar()->SetPosition(0);
    // The thumb starts after the left arrow; dragged to the right end it
    // reaches the end of the range.
    gui::PressMouse(*form, mbLeft, 20, 92);
    gui::MoveMouse(*form, 400, 92);
    gui::ReleaseMouse(*form, mbLeft, 400, 92);
    EXPECT_EQ(form->HorzScrollBar()->Position(), 50);
    EXPECT_EQ(wide->Left(), 100);
}

TEST_F(Scrolling, TheBarTakesNoFocusAndStaysAboveLaterControls)
{
    auto* late = new TEdit(form);
    late->SetParent(form);
    late->SetBounds(0, 80, 200, 20);
    Application->ProcessMessages();
    Click(195);
    EXPECT_EQ(form->HorzScrollBar()->Position(), 8) << "the bar, not the edit under it";
    near->SetFocus();
    for (int i = 0; i < 4; ++i) {
        gui::PressKey(*form, VK_TAB);
        const TWinControl* focused = form->ActiveControl();
        EXPECT_TRUE(focused == near || focused == wide || focused == late) << "tab " << i;
    }
}

}  // namespace
