// The hint window on the loop's virtual clock: when it shows, for which
// controls, and what takes it away.
#include <gui_testing/gui_test.h>

using gui_testing::GuiTest;

namespace {

class Hints : public GuiTest {
protected:
    Hints()
    {
        form = NewForm(200, 100);
        bus = Button("Select analog outputs 1 and 2", 10);
        other = Button("Select digital outputs 1 and 2", 100);
        form->Show();
        Application->ProcessMessages();
    }
    ~Hints() override { Application->SetShowHint(true); }
    TButton* Button(const char* hint, int left)
    {
        auto* b = new TButton(form);
        b->SetParent(form);
        b->SetBounds(left, 10, 60, 30);
        b->SetHint(hint);
        b->SetShowHint(true);
        return b;
    }
    // The pointer over (x, y), then `ms` on the clock with the loop running.
    void Rest(int x, int y, std::uint64_t ms)
    {
        gui::MoveMouse(*form, x, y);
        Application->ProcessMessages();
        Wait(ms);
    }
    void Wait(std::uint64_t ms)
    {
        Application->AdvanceTime(ms);
        Application->ProcessMessages();
    }
    TForm* form = nullptr;
    TButton* bus = nullptr;
    TButton* other = nullptr;
};

TEST_F(Hints, TheWindowShowsAfterThePointerRestsAndGoesWhenItLeaves)
{
    Rest(20, 20, 499);
    EXPECT_EQ(Application->ShownHint(), "");
    EXPECT_EQ(Application->Hint(), "Select analog outputs 1 and 2") << "the status-line hint is there at once";
    gui::MoveMouse(*form, 25, 22);  // moving within the control keeps the count
    Wait(1);
    EXPECT_EQ(Application->ShownHint(), "Select analog outputs 1 and 2");
    Rest(110, 20, 0);
    EXPECT_EQ(Application->ShownHint(), "") << "another control starts again";
    Wait(500);
    EXPECT_EQ(Application->ShownHint(), "Select digital outputs 1 and 2");
    Rest(190, 90, 1000);
    EXPECT_EQ(Application->ShownHint(), "") << "over the form, which has no hint";
}

TEST_F(Hints, APressTakesItAwayUntilThePointerComesOverAnotherControl)
{
    Rest(20, 20, 500);
    ASSERT_EQ(Application->ShownHint(), "Select analog outputs 1 and 2");
    gui::PressMouse(*form, mbRight, 20, 20);
    gui::ReleaseMouse(*form, mbRight, 20, 20);
    EXPECT_EQ(Application->ShownHint(), "");
    Wait(2000);
    EXPECT_EQ(Application->ShownHint(), "");
    Rest(110, 20, 10);
    Rest(20, 20, 500);
    EXPECT_EQ(Application->ShownHint(), "Select analog outputs 1 and 2");
}

TEST_F(Hints, NoWindowWithoutShowHintOnTheControlOrTheApplication)
{
    bus->SetShowHint(false);
    Rest(20, 20, 1000);
    EXPECT_EQ(Application->ShownHint(), "");
    EXPECT_EQ(Application->Hint(), "Select analog outputs 1 and 2");
    bus->SetShowHint(true);
    Application->SetShowHint(false);
    Rest(110, 20, 0);
    Rest(20, 20, 1000);
    EXPECT_EQ(Application->ShownHint(), "");
    Application->SetShowHint(true);
    Wait(0);
    EXPECT_EQ(Application->ShownHint(), "Select analog outputs 1 and 2") << "the pointer rested long enough";
}

TEST_F(Hints, AControlTakesItsParentsShowHint)
{
    auto* label = new TLabel(form);
    label->SetBounds(10, 60, 80, 20);
    label->SetParent(form);
    label->SetHint("Playback");
    EXPECT_FALSE(label->ShowHint());
    form->SetShowHint(true);
    EXPECT_TRUE(label->ShowHint()) << "ParentShowHint";
    Rest(20, 65, 500);
    EXPECT_EQ(Application->ShownHint(), "Playback");
}

TEST_F(Hints, ALoopWithNothingElseToDoWaitsForTheHint)
{
    gui::MoveMouse(*form, 20, 20);
    Application->ProcessMessages();
    const std::uint64_t start = Application->Now();
    ASSERT_NO_THROW(Application->HandleMessage());
    EXPECT_EQ(Application->Now(), start + Application->HintPause);
    EXPECT_EQ(Application->ShownHint(), "Select analog outputs 1 and 2");
    EXPECT_THROW(Application->HandleMessage(), EInvalidOperation) << "then it waits for nothing";
}

}  // namespace
