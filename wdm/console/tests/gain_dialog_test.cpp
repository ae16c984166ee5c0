// The readouts, and the gain dialog a click on one opens: what it shows,
// where, and what each way of closing it gives the fader or trim.
#include "console_fixture.h"

#include <functional>
#include <string>

#include "console/gain_dialog.h"

namespace {

class GainDialogTest : public ConsoleTest {
protected:
    // Runs `answer` on the gain dialog once it is up.
    void WhenShown(std::function<void(TGainDialog&)> answer)
    {
        gui::PostInput([answer = std::move(answer)] {
            auto* dialog = dynamic_cast<TGainDialog*>(Screen->ActiveForm());
            ASSERT_NE(dialog, nullptr) << "the gain dialog is the active form";
            answer(*dialog);
        });
    }
    // Types `text` into the dialog and presses `key`.
    void Answer(std::string text, WORD key = VK_RETURN)
    {
        WhenShown([text, key](TGainDialog& dialog) {
            for (char c : text)
                gui::TypeChar(dialog, c);
            gui::PressKey(dialog, key);
            gui::ReleaseKey(dialog, key);
        });
    }
    // A monitor fader on input 0 at `dB`, the form shown.
    TMonitorFader* FaderAt(int dB)
    {
        ExternalSet(CMD_SET_MONITOR_GAIN, 0, 0, 0, static_cast<DWORD>(Db(dB)));
        TMonitorFader* fader = AddMonitorFader(0, 0);
        ShowForm();
        ClearLog();
        return fader;
    }
    TInputTrim* TrimAt(LONG value)
    {
        ExternalSet(CMD_SET_GAIN, 0, CHANNEL_BUS_IN, 0, static_cast<DWORD>(value));
        TInputTrim* trim = AddTrim(0, 0);
        ShowForm();
        ClearLog();
        return trim;
    }
};

TEST_F(GainDialogTest, ReadoutsSitUnderFadersAndAboveTrimsInTheFormsFont)
{
    struct Case {
        int placement;
        TRect bounds;
        int fontHeight;
    };
    for (const Case c : {Case{0, Bounds(47, 495, 26, 18), 15}, Case{1, Bounds(47, 27, 26, 15), 13},
                         Case{2, Bounds(47, 27, 26, 15), 13}}) {
        TFaderReadout* readout = AddReadout(40, c.placement);
        EXPECT_EQ(readout->BoundsRect(), c.bounds) << c.placement;
        EXPECT_EQ(readout->Font()->Height(), c.fontHeight);
        EXPECT_EQ(readout->Font()->Name(), "Arial") << "the parent's, kept";
        EXPECT_EQ(readout->Font()->Color(), clLime);
        EXPECT_EQ(readout->Color(), clBlack);
        EXPECT_FALSE(readout->AutoSize());
        EXPECT_EQ(readout->Alignment(), taCenter);
        EXPECT_EQ(readout->Layout(), tlCenter);
        EXPECT_EQ(readout->Caption(), "0");
        EXPECT_EQ(readout->Target(), nullptr);
    }
}

TEST_F(GainDialogTest, OpensCentredOnThePointerShowingTheFadersGain)
{
    TMonitorFader* fader = FaderAt(-20);
    TFaderReadout* readout = fader->Readout();
    const TPoint pointer = form_->ClientToScreen(Point(readout->Left() + 5, readout->Top() + 6));
    WhenShown([&](TGainDialog& dialog) {
        EXPECT_EQ(dialog.Caption(), "Gain setting");
        EXPECT_EQ(dialog.BorderStyle(), TFormBorderStyle::bsDialog);
        EXPECT_EQ(dialog.ClientWidth(), 130);
        EXPECT_EQ(dialog.ClientHeight(), 79);
        EXPECT_EQ(dialog.Left(), pointer.X - (dialog.Width() >> 1));
        EXPECT_EQ(dialog.Top(), pointer.Y - (dialog.Height() >> 1));
        EXPECT_EQ(dialog.GainEdit->Text(), "-20");
        EXPECT_TRUE(dialog.GainEdit->Focused());
        EXPECT_EQ(dialog.GainEdit->MaxLength(), 3);
        EXPECT_EQ(dialog.GainEdit->BoundsRect(), Bounds(65, 16, 36, 21));
        EXPECT_EQ(dialog.GainLabel->Caption(), "Gain:");
        EXPECT_EQ(dialog.GainLabel->Font()->Height(), -13);
        EXPECT_EQ(dialog.OkButton->BoundsRect(), Bounds(10, 50, 50, 25));
        EXPECT_TRUE(dialog.OkButton->Default());
        EXPECT_EQ(dialog.CancelButton->BoundsRect(), Bounds(70, 50, 50, 25));
        EXPECT_TRUE(dialog.CancelButton->Cancel());
        for (char c : std::string("-6"))
            gui::TypeChar(dialog, c);
        dialog.OkButton->Click();
    });
    PressOn(*readout, 5, 6);
    ReleaseOn(*readout, 5, 6);
    EXPECT_EQ(fader->Value(), 812);
    EXPECT_EQ(fader->Readout()->Caption(), "-6");
    EXPECT_EQ(Sent(), Settings{MonitorGain(0, 0, Db(-6))});
    EXPECT_EQ(Screen->ActiveForm(), form_) << "the dialog is gone";
}

TEST_F(GainDialogTest, TypedGainIsClampedToTheFadersRange)
{
    struct Case {
        std::string typed;
        int position;
    };
    TMonitorFader* fader = FaderAt(-20);
    for (const Case& c : {Case{"5", 1000}, Case{"-99", 250}, Case{"-40", 250}, Case{"-100", 707}, Case{"0", 1000}}) {
        fader->SetValue(500);
        Answer(c.typed);
        Click(*fader->Readout());
        EXPECT_EQ(fader->Value(), c.position) << c.typed << " (\"-100\" cannot be typed whole)";
    }
}

// Text that is no number, and every way of closing without OK, keep the gain.
TEST_F(GainDialogTest, NoNumberOrNoOkKeepsTheInitialGain)
{
    TMonitorFader* fader = FaderAt(-20);
    const std::function<void(TGainDialog&)> answers[] = {
        [](TGainDialog& d) {
            for (char c : std::string("abc")) gui::TypeChar(d, c);
            gui::PressKey(d, VK_RETURN);
        },
        [](TGainDialog& d) {
            gui::TypeChar(d, '\b');  // the text was all selected: the box is empty
            d.OkButton->Click();
        },
        [](TGainDialog& d) {
            gui::TypeChar(d, '7');
            d.CancelButton->Click();
        },
        [](TGainDialog& d) {
            gui::TypeChar(d, '7');
            gui::PressKey(d, VK_ESCAPE);
        },
        [](TGainDialog& d) {
            gui::TypeChar(d, '7');
            gui::CloseBox(d);
        },
    };
    for (const auto& answer : answers) {
        WhenShown(answer);
        Click(*fader->Readout());
        EXPECT_EQ(fader->Value(), 500);
    }
    EXPECT_EQ(Sent(), Settings{}) << "an unchanged position writes nothing";
}

TEST_F(GainDialogTest, RightButtonReleaseOpensItToo)
{
    TMonitorFader* fader = FaderAt(-20);
    Answer("-3");
    Click(*fader->Readout(), mbRight);
    EXPECT_EQ(fader->Value(), 901);
}

TEST_F(GainDialogTest, TrimTakesTwiceTheTypedDbWithinItsRange)
{
    struct Case {
        std::string typed;
        int position;
    };
    TInputTrim* trim = TrimAt(Db(-3));
    for (const Case& c : {Case{"12", 24}, Case{"30", 50}, Case{"-30", -50}, Case{"-25", -50}, Case{"0", 0}}) {
        WhenShown([&, typed = c.typed](TGainDialog& dialog) {
            EXPECT_EQ(dialog.GainEdit->Text(), Format("%d", trim->Position() >> 1));
            for (char ch : typed) gui::TypeChar(dialog, ch);
            gui::PressKey(dialog, VK_RETURN);
        });
        Click(*trim->Readout());
        EXPECT_EQ(trim->Position(), c.position) << c.typed;
        EXPECT_EQ(Hooks().Mixer().inputs[0].trim, c.position * 128);
    }
}

}  // namespace
