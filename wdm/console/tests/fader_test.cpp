// The faders: the gain each writes for a position, the gang rule, Ctrl to
// 0 dB, refreshes from the card, the key table and the notification-apply
// flag, all through the card driver's request log.
#include "console_fixture.h"

#include "console/fader_law.h"

namespace {

class FaderTest : public ConsoleTest {
protected:
    // Inputs 0 and 1 on output bus 0, ganged, at these card gains.
    void BuildPair(int dbA, int dbB)
    {
        ExternalSet(CMD_SET_MONITOR_GAIN, 0, 0, 0, static_cast<DWORD>(Db(dbA)));
        ExternalSet(CMD_SET_MONITOR_GAIN, 1, 0, 0, static_cast<DWORD>(Db(dbB)));
        a_ = AddMonitorFader(0, 0);
        b_ = AddMonitorFader(40, 1);
        gang_ = AddGang(0);
        Link<TFader>(a_, b_, gang_);
        ClearLog();
    }
    TMonitorFader* a_ = nullptr;
    TMonitorFader* b_ = nullptr;
    TGang* gang_ = nullptr;
};

TEST_F(FaderTest, BuiltAsTheStripsPlaceThem)
{
    TMonitorFader* monitor = AddMonitorFader(80, 2);
    EXPECT_EQ(monitor->BoundsRect(), Bounds(90, 312, 20, 181));
    EXPECT_EQ(monitor->Min(), 250);
    EXPECT_EQ(monitor->Max(), 1000);
    EXPECT_FALSE(monitor->Ticks());
    EXPECT_EQ(monitor->ThumbStyle(), TThumbStyle::tsHorzHigh);
    EXPECT_EQ(monitor->Orientation(), TOrientation::orVertical);
    EXPECT_EQ(monitor->FocusColor(), clBtnFace);
    EXPECT_EQ(monitor->NonFocusColor(), clBtnFace);
    EXPECT_EQ(monitor->Readout()->Target(), monitor);
    EXPECT_EQ(monitor->Partner(), nullptr);
    EXPECT_EQ(monitor->Gang(), nullptr);
    TBusOutFader* bus = AddBusOutFader(0, 1);
    EXPECT_EQ(bus->BoundsRect(), Bounds(10, 340, 20, 155));
    ShowForm();
    EXPECT_EQ(monitor->Orientation(), TOrientation::orVertical) << "taller than wide";
}

TEST_F(FaderTest, EachKindWritesItsOwnGainForThePosition)
{
    TMonitorFader* monitor = AddMonitorFader(0, 2, 4);
    TPipeOutFader* pipe = AddPipeOutFader(40, 5, 3);
    TBusOutFader* bus = AddBusOutFader(80, 6);
    ClearLog();
    monitor->SetValue(500);
    EXPECT_EQ(monitor->Readout()->Caption(), "-20");
    monitor->SetValue(501);
    EXPECT_EQ(monitor->Readout()->Caption(), "-19");
    pipe->SetValue(812);
    bus->SetValue(250);
    EXPECT_EQ(Sent(), (Settings{MonitorGain(2, 4, -5120), MonitorGain(2, 4, -4864), PipeGain(5, 3, Db(-6)),
                                BusOutGain(6, Db(-40))}));
    const machine::sim::MixerState mixer = Hooks().Mixer();
    EXPECT_EQ(mixer.Monitor(2, 4).gain, -4864);
    EXPECT_EQ(mixer.Pipe(5, 3).gain, Db(-6));
    EXPECT_EQ(mixer.busOut[6].gain, Db(-40));
}

// Ganged: the gang button down, inverted while Shift is held.
TEST_F(FaderTest, GangRuleDecidesWhetherThePartnerFollowsByPositions)
{
    struct Case {
        bool gangDown;
        bool shift;
        bool partnerFollows;
    };
    for (const Case c : {Case{true, false, true}, Case{true, true, false}, Case{false, false, false},
                         Case{false, true, true}}) {
        BuildPair(-20, -16);  // 500 and 574
        gang_->SetDown(c.gangDown);
        Hold(VK_SHIFT, c.shift);
        a_->SetValue(530);  // +30 positions: -18 dB
        Hold(VK_SHIFT, false);
        const Settings both{MonitorGain(0, 0, Db(-18)), MonitorGain(1, 0, Db(-14))};
        const Settings alone{MonitorGain(0, 0, Db(-18))};
        EXPECT_EQ(Sent(), c.partnerFollows ? both : alone) << c.gangDown << c.shift;
        EXPECT_EQ(b_->Value(), c.partnerFollows ? 604 : 574);
        EXPECT_EQ(b_->Readout()->Caption(), c.partnerFollows ? "-14" : "-16");
    }
}

TEST_F(FaderTest, PartnerAtAnEndStaysButWritesItsGainAgain)
{
    BuildPair(-20, -40);
    a_->SetValue(470);
    EXPECT_EQ(b_->Value(), 250);
    EXPECT_EQ(Sent(), (Settings{MonitorGain(0, 0, Db(-21)), MonitorGain(1, 0, Db(-40))}));
}

TEST_F(FaderTest, GainBeyondTheRangeAPartnerCopiesFromItsClampedPosition)
{
    BuildPair(-20, 3);
    EXPECT_EQ(b_->Value(), 1000);
    EXPECT_EQ(b_->Readout()->Caption(), "3");
    a_->SetValue(470);
    EXPECT_EQ(b_->Value(), 970) << "30 positions down from the top, not from 0";
    EXPECT_EQ(Sent(), (Settings{MonitorGain(0, 0, Db(-21)), MonitorGain(1, 0, 0)}));
    ClearLog();
    b_->SetValue(940);  // and back: the other way round moves by 30 as well
    EXPECT_EQ(a_->Value(), 440);
    EXPECT_EQ(Sent(), (Settings{MonitorGain(1, 0, Db(-1)), MonitorGain(0, 0, Db(-23))}));
}

TEST_F(FaderTest, CtrlDuringAChangePutsBothOfAGangedPairToZeroDb)
{
    BuildPair(-20, -30);
    Hold(VK_CONTROL);
    a_->SetValue(600);
    Hold(VK_CONTROL, false);
    EXPECT_EQ(Sent(), (Settings{MonitorGain(0, 0, 0), MonitorGain(1, 0, 0)}));
    for (TMonitorFader* f : {a_, b_}) {
        EXPECT_EQ(f->Value(), 1000);
        EXPECT_EQ(f->Readout()->Caption(), "0");
    }
    EXPECT_EQ(Hooks().Mixer().Monitor(1, 0).gain, 0);
}

TEST_F(FaderTest, RefreshSetsThumbAndReadoutFromTheCardWritingNothing)
{
    struct Case {
        LONG gain;
        int position;
        const char* shown;
    };
    TMonitorFader* fader = AddMonitorFader(0, 3, 2);
    for (const Case c : {Case{-2304, 732, "-9"}, Case{-1, 965, "-1"}, Case{-10752, 250, "-42"},
                         Case{1536, 1000, "6"}, Case{1792, 1000, "0"}, Case{-128 * 256, 250, "-128"}}) {
        ExternalSet(CMD_SET_MONITOR_GAIN, 3, 0, 2, static_cast<DWORD>(c.gain));
        ClearLog();
        fader->UpdateFromDriver();
        EXPECT_EQ(fader->Value(), c.position) << c.gain;
        EXPECT_EQ(fader->Readout()->Caption(), c.shown) << c.gain;
        EXPECT_EQ(Sent(), Settings{}) << c.gain;
    }
}

// One key press writes one gain, from the fader's own table.
TEST_F(FaderTest, KeysStepInWholeDbAndWriteOnce)
{
    struct Case {
        int from;
        WORD key;
        int to;
        int written;  // dB, or 1 for nothing
    };
    TMonitorFader* fader = AddMonitorFader(0, 0);
    ShowForm();
    fader->SetFocus();
    const Case cases[] = {
        {500, VK_UP, 517, -19},    {1000, VK_DOWN, 965, -1},  {1000, VK_NEXT, 812, -6}, {250, VK_PRIOR, 307, -34},
        {600, VK_HOME, 1000, 0},   {600, VK_END, 250, -40},   {1000, VK_UP, 1000, 1},   {250, VK_DOWN, 250, 1},
        {600, VK_LEFT, 599, -14},  {600, VK_RIGHT, 601, -14}, {600, 'A', 600, 1},
    };
    for (const Case& c : cases) {
        fader->SetValue(c.from);
        ClearLog();
        Key(c.key);
        EXPECT_EQ(fader->Value(), c.to) << c.from << " key " << c.key;
        EXPECT_EQ(Sent(), c.written == 1 ? Settings{} : Settings{MonitorGain(0, 0, Db(c.written))})
            << c.from << " key " << c.key;
    }
}

TEST_F(FaderTest, KeyOnAGangedFaderMovesThePartnerOnceBySamePositions)
{
    BuildPair(-20, -15);  // 500 and 594
    ShowForm();
    a_->SetFocus();
    ClearLog();
    Key(VK_UP);
    EXPECT_EQ(a_->Value(), 517);
    EXPECT_EQ(b_->Value(), 611);
    EXPECT_EQ(Sent(), (Settings{MonitorGain(0, 0, Db(-19)), MonitorGain(1, 0, Db(-14))}));
}

TEST_F(FaderTest, LeftButtonHoldsNotificationsOffWhileItDrags)
{
    ExternalSet(CMD_SET_MONITOR_GAIN, 0, 0, 0, static_cast<DWORD>(Db(-20)));
    TMonitorFader* fader = AddMonitorFader(0, 0);
    ShowForm();
    ClearLog();
    PressOn(*fader, 10, 119);  // on the thumb at 500: jumps to the point, 507
    EXPECT_EQ(NotificationApplyFlag, 0);
    MoveOn(*fader, 10, 90);
    EXPECT_EQ(NotificationApplyFlag, 0);
    ReleaseOn(*fader, 10, 90);
    EXPECT_EQ(NotificationApplyFlag, 1);
    EXPECT_EQ(fader->Value(), 627);
    EXPECT_EQ(Sent(), (Settings{MonitorGain(0, 0, Db(-19)), MonitorGain(0, 0, Db(-13))}));

    PressOn(*fader, 10, 150, mbRight);
    EXPECT_EQ(NotificationApplyFlag, 1) << "a right press leaves it";
    NotificationApplyFlag = 0;
    ReleaseOn(*fader, 10, 150, mbRight);
    EXPECT_EQ(NotificationApplyFlag, 0) << "and so does a right release";
}

TEST_F(FaderTest, CtrlLeftPressOnTheThumbResetsTwice)
{
    ExternalSet(CMD_SET_MONITOR_GAIN, 0, 0, 0, static_cast<DWORD>(Db(-20)));
    TMonitorFader* fader = AddMonitorFader(0, 0);
    ShowForm();
    ClearLog();
    Hold(VK_CONTROL);
    PressOn(*fader, 10, 119);
    Hold(VK_CONTROL, false);
    EXPECT_EQ(Sent(), (Settings{MonitorGain(0, 0, 0), MonitorGain(0, 0, 0)}));
    EXPECT_EQ(fader->Value(), 1000);
    ReleaseOn(*fader, 10, 119);
}

// The constructor binds the handlers through the virtual operations.
class TCountingFader : public TMonitorFader {
public:
    using TMonitorFader::TMonitorFader;
    void FaderMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) override
    {
        ++presses;
        TMonitorFader::FaderMouseDown(Sender, Button, Shift, X, Y);
    }
    void FaderKeyDown(TObject* Sender, Word& Key, TShiftState Shift) override
    {
        ++keys;
        TMonitorFader::FaderKeyDown(Sender, Key, Shift);
    }
    int presses = 0;
    int keys = 0;
};

TEST_F(FaderTest, SubclassHandlersAreTheOnesCalled)
{
    auto* fader = new TCountingFader(form_, AddReadout(0));
    fader->SetParent(form_);
    fader->SetCard(card_);
    ShowForm();
    PressOn(*fader, 10, 20);
    ReleaseOn(*fader, 10, 20);
    Key(VK_UP);
    EXPECT_EQ(fader->presses, 1);
    EXPECT_EQ(fader->keys, 1);
}

}  // namespace
