// The pans: what a change and a refresh send, Ctrl to the centre, and the
// notification-apply flag.
#include "console_fixture.h"

namespace {

class PanTest : public ConsoleTest {
protected:
    // A monitor pan of input 3 into output bus 1 at `pan` on the card.
    TMonitorPan* PanAt(DWORD pan)
    {
        ExternalSet(CMD_SET_MONITOR_PAN, 3, 0, 1, pan);
        TMonitorPan* p = AddMonitorPan(0, 3, 1);
        ShowForm();
        ClearLog();
        return p;
    }
};

TEST_F(PanTest, BuiltHorizontalAcrossTheStrip)
{
    TMonitorPan* pan = PanAt(500);
    EXPECT_EQ(pan->BoundsRect(), Bounds(5, 260, 30, 20));
    EXPECT_EQ(pan->Min(), 0);
    EXPECT_EQ(pan->Max(), 1000);
    EXPECT_EQ(pan->ThumbStyle(), TThumbStyle::tsVertHigh);
    EXPECT_FALSE(pan->Ticks());
    EXPECT_EQ(pan->FocusColor(), clBtnFace);
    EXPECT_EQ(pan->Orientation(), TOrientation::orHorizontal);
    EXPECT_EQ(pan->Value(), 500);
}

TEST_F(PanTest, ChangeSendsTheValueOnce)
{
    TMonitorPan* pan = PanAt(500);
    pan->SetValue(750);
    TPipeOutPan* pipe = AddPipeOutPan(40, 6, 2);
    ClearLog();
    pipe->SetValue(100);
    EXPECT_EQ(Sent(), Settings{PipePan(6, 2, 100)});
    EXPECT_EQ(Hooks().Mixer().Monitor(3, 1).pan, 750u);
    EXPECT_EQ(Hooks().Mixer().Pipe(6, 2).pan, 100u);
}

TEST_F(PanTest, CtrlCentresAndWritesTheCentreTwice)
{
    TMonitorPan* pan = PanAt(200);
    pan->SetFocus();
    Hold(VK_CONTROL);
    Key(VK_RIGHT);  // 201, and Ctrl takes it to the centre
    Hold(VK_CONTROL, false);
    EXPECT_EQ(pan->Value(), 500);
    EXPECT_EQ(Sent(), (Settings{MonitorPan(3, 1, 500), MonitorPan(3, 1, 500)}));
}

// A refresh writes a value it reads back to the card once, but never centres.
TEST_F(PanTest, RefreshWritesBackWhatDiffersAndNeverCentres)
{
    struct Case {
        DWORD card;
        bool ctrl;
        int shown;
        Settings sent;
    };
    const Case cases[] = {
        {300, false, 300, {MonitorPan(3, 1, 300)}},
        {500, false, 500, {}},
        {1200, false, 500, {MonitorPan(3, 1, 500)}},
        {300, true, 300, {MonitorPan(3, 1, 300)}},
    };
    for (const Case& c : cases) {
        TMonitorPan* pan = PanAt(500);
        machine::sim::MixerState mixer = Hooks().Mixer();
        mixer.Monitor(3, 1).pan = c.card;
        Hooks().SetMixerRaw(mixer);
        Hold(VK_CONTROL, c.ctrl);
        pan->UpdateFromDriver();
        Hold(VK_CONTROL, false);
        EXPECT_EQ(pan->Value(), c.shown) << c.card;
        EXPECT_EQ(Sent(), c.sent) << c.card << " ctrl " << c.ctrl;
        EXPECT_EQ(Hooks().Mixer().Monitor(3, 1).pan, static_cast<DWORD>(c.shown)) << c.card;
    }
}

TEST_F(PanTest, LeftButtonHoldsNotificationsOffRightButtonDoesNot)
{
    TMonitorPan* pan = PanAt(500);
    PressOn(*pan, 15, 10);
    EXPECT_EQ(NotificationApplyFlag, 0);
    ReleaseOn(*pan, 15, 10);
    EXPECT_EQ(NotificationApplyFlag, 1);
    PressOn(*pan, 15, 10, mbRight);
    EXPECT_EQ(NotificationApplyFlag, 1);
    NotificationApplyFlag = 0;
    ReleaseOn(*pan, 15, 10, mbRight);
    EXPECT_EQ(NotificationApplyFlag, 0);
}

}  // namespace
