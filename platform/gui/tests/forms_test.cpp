// Modal loops, default and cancel buttons, closing, timers in and between
// loops, exceptions from the loop.
#include <gui_testing/gui_test.h>

using gui_testing::GuiTest;
using gui_testing::Strings;

namespace {

class Forms : public GuiTest {
protected:
    Forms()
    {
        main = NewForm(300, 200);
        main->Show();
        dialog = NewForm(150, 80);
        dialog->SetBorderStyle(TFormBorderStyle::bsDialog);
        edit = new TEdit(dialog);
        edit->SetParent(dialog);
        edit->SetTabOrder(0);
        ok = new TButton(dialog);
        ok->SetParent(dialog);
        ok->SetDefault(true);
        ok->SetModalResult(mrOk);
        ok->SetBounds(10, 40, 60, 25);
        cancel = new TButton(dialog);
        cancel->SetParent(dialog);
        cancel->SetCancel(true);
        cancel->SetBounds(80, 40, 60, 25);
        cancel->OnClick = [this](TObject*) { dialog->Close(); };
    }
    TForm* main = nullptr;
    TForm* dialog = nullptr;
    TEdit* edit = nullptr;
    TButton* ok = nullptr;
    TButton* cancel = nullptr;
};

}  // namespace

TEST_F(Forms, DialogKeysPressTheDefaultAndCancelButtons)
{
    struct Case {
        WORD key;
        TModalResult result;
    };
    for (const Case c : {Case{VK_RETURN, mrOk}, Case{VK_ESCAPE, mrCancel}}) {
        gui::PostInput([&] {
            EXPECT_TRUE(edit->Focused()) << "lowest tab order";
            gui::TypeChar(*dialog, '5');
            gui::PressKey(*dialog, c.key);
        });
        EXPECT_EQ(dialog->ShowModal(), c.result);
        EXPECT_FALSE(dialog->Visible());
        EXPECT_EQ(Application->ActiveForm(), main) << "the caller's form is active again";
    }
}

TEST_F(Forms, EnterWithShiftPressesNoButton)
{
    gui::PostInput([&] {
        gui::PressKey(*dialog, VK_SHIFT);
        gui::PressKey(*dialog, VK_RETURN);
        gui::ReleaseKey(*dialog, VK_SHIFT);
        EXPECT_EQ(dialog->ModalResult(), mrNone) << "no button pressed";
        gui::PressKey(*dialog, VK_RETURN);
    });
    EXPECT_EQ(dialog->ShowModal(), mrOk);
}

TEST_F(Forms, CloseBoxAndCloseGiveCancelAndAClickAnywhereGivesTheButtonsResult)
{
    gui::PostInput([&] { gui::CloseBox(*dialog); });
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    gui::PostInput([&] {
        gui::PressMouse(*dialog, mbLeft, 20, 50);
        gui::ReleaseMouse(*dialog, mbLeft, 20, 50);
    });
    EXPECT_EQ(dialog->ShowModal(), mrOk);
}

TEST_F(Forms, AModalFormThatFreesItselfOnCloseGoesAfterItsResultIsGiven)
{
    dialog->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
    gui::PostInput([&] { gui::PressKey(*dialog, VK_RETURN); });
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_TRUE(IsAlive(dialog)) << "still there for its caller";
    Application->ProcessMessages();
    EXPECT_FALSE(IsAlive(dialog));
}

TEST_F(Forms, EditMaxLengthLimitsTypingAndPastingButNotAssignment)
{
    edit->SetMaxLength(3);
    edit->SetText("12345");
    EXPECT_EQ(edit->Text(), "12345");
    gui::PostInput([&] {
        EXPECT_EQ(edit->SelLength(), 5) << "entering selects all";
        for (char ch : std::string("-4x78")) gui::TypeChar(*dialog, ch);
        gui::TypeChar(*dialog, '\b');
        edit->PasteText("999");
        gui::PressKey(*dialog, VK_RETURN);
    });
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_EQ(edit->Text(), "-49");
}

TEST_F(Forms, TimerFiresInsideTheModalLoopAndNeverReentrantly)
{
    TTimer timer(nullptr);
    timer.SetInterval(40);
    int ticks = 0;
    int depth = 0;
    int deepest = 0;
    timer.OnTimer = [&](TObject*) {
        ++ticks;
        ++depth;
        deepest = std::max(deepest, depth);
        if (ticks == 2) {
            // A modal loop inside the timer's own handler: the timer stays
            // quiet there; a post ends the loop after a few other ticks could
            // have come.
            TTimer other(nullptr);
            other.SetInterval(40);
            int otherTicks = 0;
            other.OnTimer = [&](TObject*) {
                if (++otherTicks == 3) cancel->Click();
            };
            EXPECT_EQ(dialog->ShowModal(), mrCancel);
            EXPECT_EQ(otherTicks, 3);
        }
        if (ticks == 4) main->Close();
        --depth;
    };
    Application->SetMainForm(main);
    const std::uint64_t start = Application->Now();
    Application->Run();
    EXPECT_EQ(ticks, 4);
    EXPECT_EQ(deepest, 1);
    EXPECT_GE(Application->Now() - start, 4u * 40u);
}

TEST_F(Forms, NestedModalLoopsReturnInnermostFirst)
{
    TForm* inner = NewForm(50, 50);
    Strings order;
    gui::PostInput([&] {
        gui::PostInput([&] {
            order.push_back("inner shown");
            inner->SetModalResult(mrYes);
        });
        order.push_back(std::to_string(inner->ShowModal()));
        dialog->SetModalResult(mrNo);
    });
    order.push_back(std::to_string(dialog->ShowModal()));
    EXPECT_EQ(order, (Strings{"inner shown", "6", "7"}));
}

TEST_F(Forms, CloseQueryMayKeepAModalFormOpen)
{
    int asked = 0;
    dialog->OnCloseQuery = [&](TObject*, bool& canClose) {
        canClose = ++asked > 1;
        if (!canClose) gui::PostInput([&] { dialog->Close(); });  // the user tries again
    };
    gui::PostInput([&] { dialog->Close(); });
    EXPECT_EQ(dialog->ShowModal(), mrCancel);
    EXPECT_EQ(asked, 2);
}

TEST_F(Forms, ALoopThatCanWaitForNothingRaises)
{
    EXPECT_THROW(dialog->ShowModal(), EInvalidOperation);
    EXPECT_FALSE(dialog->Visible());
    EXPECT_THROW(main->ShowModal(), EInvalidOperation) << "a visible form cannot become modal";
}

TEST_F(Forms, ExceptionsInTheLoopGoToTheApplication)
{
    Strings seen;
    Application->OnException = [&](TObject*, const std::exception& e) { seen.push_back(e.what()); };
    gui::PostInput([] { throw EConvertError("'x' is not a valid integer value"); });
    gui::PostInput([] { throw EAbort("silent"); });
    Application->ProcessMessages();
    Application->OnException = nullptr;
    gui::PostInput([] { throw Exception("Shown to the user"); });
    Application->ProcessMessages();
    EXPECT_EQ(seen, (Strings{"'x' is not a valid integer value"}));
    ASSERT_EQ(desktop().Boxes().size(), 1u);
    EXPECT_EQ(desktop().Boxes()[0].text, "Shown to the user.");
}

namespace {

class FailingPaint : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    int attempts = 0;

protected:
    void Paint() override
    {
        ++attempts;
        throw EInvalidOperation("Canvas does not allow drawing");
    }
};

}  // namespace

TEST_F(Forms, AFailingPaintIsReportedOnceAndTheLoopGoesOn)
{
    auto* bad = new FailingPaint(main);
    bad->SetBounds(0, 0, 10, 10);
    bad->SetParent(main);
    Strings seen;
    Application->OnException = [&](TObject*, const std::exception& e) { seen.push_back(e.what()); };
    Application->ProcessMessages();
    Application->ProcessMessages();
    EXPECT_EQ(seen, (Strings{"Canvas does not allow drawing"}));
    EXPECT_EQ(bad->attempts, 1);
}

TEST_F(Forms, ClientSizeAndFrame)
{
    EXPECT_EQ(dialog->ClientWidth(), 150);
    EXPECT_EQ(dialog->ClientHeight(), 80);
    EXPECT_EQ(dialog->Width(), 150 + dialog->FrameLeft() + dialog->FrameRight());
    EXPECT_EQ(dialog->Height(), 80 + dialog->FrameTop() + dialog->FrameBottom());
    dialog->SetLeft(100);
    dialog->SetTop(50);
    EXPECT_EQ(edit->ClientToScreen(TPoint{1, 2}), (TPoint{100 + dialog->FrameLeft() + 1, 50 + dialog->FrameTop() + 2}));
}

TEST_F(Forms, FormsBehindAModalFormTakeNoInput)
{
    auto* behind = new TButton(main);
    behind->SetParent(main);
    behind->SetBounds(0, 0, 50, 25);
    behind->OnClick = Log("behind");
    gui::PostInput([&] {
        gui::PressMouse(*main, mbLeft, 10, 10);
        gui::ReleaseMouse(*main, mbLeft, 10, 10);
        gui::CloseBox(*main);
        gui::PressMouse(*dialog, mbLeft, 20, 50);
        gui::ReleaseMouse(*dialog, mbLeft, 20, 50);
    });
    EXPECT_EQ(dialog->ShowModal(), mrOk);
    EXPECT_TRUE(Events().empty());
    EXPECT_TRUE(main->Visible());
    gui::PressMouse(*main, mbLeft, 10, 10);
    gui::ReleaseMouse(*main, mbLeft, 10, 10);
    EXPECT_EQ(Events(), (Strings{"behind"}));
}

TEST_F(Forms, AFormShownCentredOnItsOwnerOrTheScreen)
{
    main->SetBounds(100, 50, 400, 300);
    auto* owned = new TForm(main);
    owned->SetBounds(0, 0, 100, 60);
    owned->SetPosition(poOwnerFormCenter);
    owned->Show();
    EXPECT_EQ(owned->BoundsRect(), Bounds(250, 170, 100, 60));
    dialog->SetPosition(poScreenCenter);
    dialog->Show();
    EXPECT_EQ(dialog->Left(), (1024 - dialog->Width()) / 2) << "the scripted desktop is 1024 wide";
}

TEST_F(Forms, AModalFormOpenedFromALabelsMouseUpRunsWithTheMouseFree)
{
    auto* readout = new TLabel(main);
    readout->SetParent(main);
    readout->SetBounds(0, 0, 26, 18);
    TModalResult result = mrNone;
    readout->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) {
        EXPECT_EQ(Application->CaptureControl(), nullptr);
        gui::PostInput([&] { gui::PressKey(*dialog, VK_ESCAPE); });
        result = dialog->ShowModal();
    };
    gui::PressMouse(*main, mbRight, 5, 5);
    gui::ReleaseMouse(*main, mbRight, 5, 5);
    EXPECT_EQ(result, mrCancel);
    result = mrNone;
    gui::PressMouse(*main, mbLeft, 5, 5);
    gui::ReleaseMouse(*main, mbLeft, 5, 5);
    EXPECT_EQ(result, mrCancel);
    EXPECT_EQ(Application->ActiveForm(), main);
}

TEST_F(Forms, TheDesktopIsWhatTheDesktopObjectSays)
{
    EXPECT_EQ(Screen->DesktopLeft(), 0);
    EXPECT_EQ(Screen->DesktopWidth(), 1024);
    EXPECT_EQ(Screen->DesktopHeight(), 768);
    desktop().SetScreenRect(RECT{-1280, 200, 0, 1224});
    EXPECT_EQ(Screen->DesktopLeft(), -1280);
    EXPECT_EQ(Screen->DesktopTop(), 200);
    EXPECT_EQ(Screen->DesktopWidth(), 1280);
    EXPECT_EQ(Screen->DesktopHeight(), 1024);
    dialog->SetPosition(poScreenCenter);
    dialog->Show();
    EXPECT_EQ(dialog->Left(), -1280 + (1280 - dialog->Width()) / 2) << "centred on that desktop";
    EXPECT_EQ(dialog->Top(), 200 + (1024 - dialog->Height()) / 2);
}

TEST_F(Forms, TimersTickWhileAScriptedBoxIsOpen)
{
    TTimer meter(nullptr);
    meter.SetInterval(40);
    int ticks = 0;
    meter.OnTimer = [&](TObject*) { ++ticks; };
    desktop().SetWhileOpen([&] {
        Record("open after " + std::to_string(ticks));
        Application->AdvanceTime(100);
        Application->ProcessMessages();
    });
    EXPECT_EQ(Application->MessageBox("Restart now?", "Korvane3", MB_YESNO), IDYES);
    Record("answered after " + std::to_string(ticks));
    EXPECT_EQ(Events(), (Strings{"open after 0", "answered after 1"}));
}
