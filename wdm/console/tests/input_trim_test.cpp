// The input trim: its size, its readout and card value, ganging by the
// change, Ctrl to 0 dB and refreshes that leave the partner alone.
#include "console_fixture.h"

#include <algorithm>

namespace {

class InputTrimTest : public ConsoleTest {
protected:
    // Trims of inputs 0 and 1 at these card values, ganged.
    void BuildPair(LONG a, LONG b)
    {
        ExternalSet(CMD_SET_GAIN, 0, CHANNEL_BUS_IN, 0, static_cast<DWORD>(a));
        ExternalSet(CMD_SET_GAIN, 1, CHANNEL_BUS_IN, 0, static_cast<DWORD>(b));
        a_ = AddTrim(0, 0);
        b_ = AddTrim(40, 1);
        gang_ = AddGang(0);
        Link<TInputTrim>(a_, b_, gang_);
        ShowForm();
        ClearLog();
    }
    TInputTrim* a_ = nullptr;
    TInputTrim* b_ = nullptr;
    TGang* gang_ = nullptr;
};

TEST_F(InputTrimTest, ReadoutShowsHalvesRoundedDownAndTheCardTakesPositionTimes128)
{
    struct Case {
        int position;
        const char* shown;
        LONG sent;
    };
    TInputTrim* trim = AddTrim(0, 4);
    ClearLog();
    for (const Case c : {Case{7, "+3", 896}, Case{1, "0", 128}, Case{-1, "-1", -128}, Case{0, "0", 0},
                         Case{50, "+25", 6400}, Case{-50, "-25", -6400}}) {
        trim->SetPosition(c.position);
        EXPECT_EQ(trim->Readout()->Caption(), c.shown) << c.position;
        EXPECT_EQ(Hooks().Mixer().inputs[4].trim, c.sent) << c.position;
    }
    EXPECT_EQ(Sent().back(), InputTrim(4, -6400));
}

TEST_F(InputTrimTest, ConstructionReadsAndWritesBackRoundedDown)
{
    struct Case {
        LONG card;
        int position;
        LONG written;
    };
    for (const Case c : {Case{200, 1, 128}, Case{-200, -2, -256}}) {
        ExternalSet(CMD_SET_GAIN, 2, CHANNEL_BUS_IN, 0, static_cast<DWORD>(c.card));
        ClearLog();
        TInputTrim* trim = AddTrim(0, 2);
        EXPECT_EQ(trim->Position(), c.position) << c.card;
        EXPECT_EQ(Sent(), Settings{InputTrim(2, c.written)}) << c.card;
        EXPECT_EQ(trim->Readout()->Target(), trim);
        EXPECT_EQ(trim->Min(), -50);
        EXPECT_EQ(trim->Max(), 50);
    }
}

TEST_F(InputTrimTest, GangedPartnerMovesByTheChangeWithinItsRange)
{
    BuildPair(10 * 128, 20 * 128);
    a_->SetPosition(14);
    EXPECT_EQ(b_->Position(), 24);
    EXPECT_EQ(Sent(), (Settings{InputTrim(0, 14 * 128), InputTrim(1, 24 * 128)}));
    gang_->SetDown(false);
    b_->SetPosition(48);
    gang_->SetDown(true);
    a_->SetPosition(20);  // +6: the partner stops at 50
    EXPECT_EQ(b_->Position(), 50);
    EXPECT_EQ(Hooks().Mixer().inputs[1].trim, 50 * 128);
}

TEST_F(InputTrimTest, CtrlClickSetsBothToZero)
{
    BuildPair(10 * 128, -20 * 128);
    Hold(VK_CONTROL);
    PressOn(*a_, 10, 10);
    ReleaseOn(*a_, 10, 10);
    Hold(VK_CONTROL, false);
    EXPECT_EQ(a_->Position(), 0);
    EXPECT_EQ(b_->Position(), 0);
    EXPECT_EQ(b_->Readout()->Caption(), "0");
    const Settings sent = Sent();
    ASSERT_FALSE(sent.empty());
    for (const Setting& s : sent)
        EXPECT_EQ(s.value, 0) << s;
    EXPECT_EQ(std::ranges::count(sent, InputTrim(0, 0)), 2) << "the knob's own press, then the trim's";
}

TEST_F(InputTrimTest, RefreshWritesBackButNeverResetsOrMovesThePartner)
{
    BuildPair(10 * 128, 20 * 128);
    ExternalSet(CMD_SET_GAIN, 0, CHANNEL_BUS_IN, 0, static_cast<DWORD>(-7 * 128 - 100));
    ClearLog();
    Hold(VK_CONTROL);
    a_->UpdateFromDriver();
    Hold(VK_CONTROL, false);
    EXPECT_EQ(a_->Position(), -8);
    EXPECT_EQ(a_->Readout()->Caption(), "-4");
    EXPECT_EQ(Sent(), Settings{InputTrim(0, -8 * 128)});
    EXPECT_EQ(b_->Position(), 20);
    EXPECT_EQ(Hooks().Mixer().inputs[1].trim, 20 * 128);
    ClearLog();
    a_->SetPosition(-6);  // the next change starts from the refreshed position
    EXPECT_EQ(b_->Position(), 22);
}

TEST_F(InputTrimTest, LeftButtonHoldsNotificationsOff)
{
    BuildPair(0, 0);
    PressOn(*a_, 10, 10);
    EXPECT_EQ(NotificationApplyFlag, 0);
    MoveOn(*a_, 14, 10);
    EXPECT_EQ(a_->Position(), 2);
    ReleaseOn(*a_, 14, 10);
    EXPECT_EQ(NotificationApplyFlag, 1);
    PressOn(*a_, 10, 10, mbRight);
    EXPECT_EQ(NotificationApplyFlag, 1);
    ReleaseOn(*a_, 10, 10, mbRight);
}

TEST_F(InputTrimTest, KeysAreTheKnobsInHalfDbSteps)
{
    BuildPair(0, 0);
    a_->SetFocus();
    struct Case {
        WORD key;
        int position;
    };
    for (const Case c : {Case{VK_UP, 1}, Case{VK_PRIOR, 11}, Case{VK_DOWN, 10}, Case{VK_NEXT, 0},
                         Case{VK_HOME, -50}, Case{VK_END, 50}}) {
        Key(c.key);
        EXPECT_EQ(a_->Position(), c.position) << c.key;
    }
    EXPECT_EQ(a_->Readout()->Caption(), "+25");
}

// Square at 20 however the knob is first sized.
TEST_F(InputTrimTest, TwentyByTwentyOnAFormShownBeforeOrAfter)
{
    TInputTrim* before = AddTrim(0, 0);
    ShowForm();
    TInputTrim* after = AddTrim(40, 1);
    for (TInputTrim* trim : {before, after}) {
        EXPECT_EQ(trim->Width(), 20);
        EXPECT_EQ(trim->Height(), 20);
        EXPECT_EQ(trim->Top(), 5);
        EXPECT_EQ(trim->Radius(), 10);
        trim->SetPosition(-50);
        EXPECT_EQ(trim->IndicatorPoint(), Point(8, 13));
        trim->SetPosition(0);
        EXPECT_EQ(trim->IndicatorPoint(), Point(10, 6));
        trim->SetPosition(50);
        EXPECT_EQ(trim->IndicatorPoint(), Point(12, 13));
    }
    EXPECT_EQ(before->Left(), 10);
    EXPECT_EQ(after->Left(), 50);
}

}  // namespace
