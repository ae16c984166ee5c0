// The mutes and the gang button: clicks through the layer's dispatch, the
// state a ganged partner takes, and refreshes that send nothing.
#include "console_fixture.h"

#include <algorithm>

namespace {

class MuteTest : public ConsoleTest {
protected:
    // Monitor mutes of inputs 0 and 1 into output bus 2, both open, and the
    // pair's gang; moved right by x.
    void BuildPair(int x = 0)
    {
        ExternalSet(CMD_SET_MONITOR_MUTE, 0, 0, 2, 0);
        ExternalSet(CMD_SET_MONITOR_MUTE, 1, 0, 2, 0);
        a_ = AddMonitorMute(x, 0, 2);
        b_ = AddMonitorMute(x + 40, 1, 2);
        gang_ = AddGang(x);
        Link<TMute>(a_, b_, gang_);
        ShowForm();
        ClearLog();
    }
    TMonitorMute* a_ = nullptr;
    TMonitorMute* b_ = nullptr;
    TGang* gang_ = nullptr;
};

TEST_F(MuteTest, BuiltWithTheMuteGlyphEachInAGroupOfItsOwn)
{
    TMonitorMute* monitor = AddMonitorMute(40, 0);
    TBusOutMute* bus = AddBusOutMute(0, 1);
    TGang* gang = AddGang(40);
    EXPECT_EQ(monitor->BoundsRect(), Bounds(50, 285, 20, 20));
    EXPECT_EQ(bus->BoundsRect(), Bounds(10, 316, 20, 20));
    EXPECT_EQ(gang->BoundsRect(), Bounds(72, 468, 16, 16));
    for (TSpeedButton* b : std::initializer_list<TSpeedButton*>{monitor, bus, gang}) {
        EXPECT_TRUE(b->AllowAllUp());
        EXPECT_EQ(b->Margin(), -1);
    }
    EXPECT_EQ(monitor->Glyph()->Surface().pixels().size(), 16u * 16u);
    EXPECT_TRUE(std::ranges::equal(monitor->Glyph()->Surface().pixels(),
                                   stash_->GetBitmap(TINY_M_BMP)->Surface().pixels()));
    EXPECT_TRUE(std::ranges::equal(gang->Glyph()->Surface().pixels(),
                                   stash_->GetBitmap(TINY_G_BMP)->Surface().pixels()));
    EXPECT_EQ(gang->Layout(), blGlyphTop);
    EXPECT_EQ(bus->GroupIndex(), monitor->GroupIndex() + 1);
    EXPECT_EQ(gang->GroupIndex(), bus->GroupIndex() + 1);
    EXPECT_TRUE(gang->Down()) << "ganged from the start";
    EXPECT_FALSE(monitor->Down());
}

TEST_F(MuteTest, GangedClickGivesThePartnerTheSameState)
{
    BuildPair();
    Click(*a_);
    EXPECT_TRUE(a_->Down());
    EXPECT_TRUE(b_->Down());
    EXPECT_EQ(Sent(), (Settings{MonitorMute(0, 2, 1), MonitorMute(1, 2, 1)}));
    ClearLog();
    a_->SetDown(false);  // the partner muted already: it stays muted
    Click(*a_);
    EXPECT_TRUE(b_->Down());
    EXPECT_EQ(Sent(), (Settings{MonitorMute(0, 2, 1), MonitorMute(1, 2, 1)}));
    ClearLog();
    Click(*b_);
    EXPECT_FALSE(a_->Down());
    EXPECT_FALSE(b_->Down());
    EXPECT_EQ(Sent(), (Settings{MonitorMute(1, 2, 0), MonitorMute(0, 2, 0)}));
    EXPECT_EQ(Hooks().Mixer().Monitor(0, 2).mute, 0u);
}

TEST_F(MuteTest, ShiftInvertsTheGangButton)
{
    struct Case {
        bool gangDown;
        bool partnerMuted;
    };
    int x = 0;
    for (const Case c : {Case{true, false}, Case{false, true}}) {
        BuildPair(x);
        x += 80;
        gang_->SetDown(c.gangDown);
        Hold(VK_SHIFT);
        Click(*a_);
        Hold(VK_SHIFT, false);
        EXPECT_TRUE(a_->Down());
        EXPECT_EQ(b_->Down(), c.partnerMuted) << c.gangDown;
        EXPECT_EQ(Sent(), c.partnerMuted ? (Settings{MonitorMute(0, 2, 1), MonitorMute(1, 2, 1)})
                                         : (Settings{MonitorMute(0, 2, 1)}));
    }
}

TEST_F(MuteTest, GangButtonOnlyToggles)
{
    BuildPair();
    Click(*gang_);
    EXPECT_FALSE(gang_->Down());
    Click(*gang_);
    EXPECT_TRUE(gang_->Down());
    EXPECT_EQ(Sent(), Settings{});
}

TEST_F(MuteTest, RefreshShowsTheCardSendingNothing)
{
    BuildPair();
    ExternalSet(CMD_SET_MONITOR_MUTE, 0, 0, 2, 1);
    ExternalSet(CMD_SET_MUTE, 3, CHANNEL_BUS_OUT, 0, 1);
    TBusOutMute* bus = AddBusOutMute(80, 3);
    EXPECT_TRUE(bus->Down());
    ClearLog();
    a_->UpdateFromDriver();
    EXPECT_TRUE(a_->Down());
    EXPECT_FALSE(b_->Down()) << "a refresh copies nothing";
    ExternalSet(CMD_SET_MUTE, 3, CHANNEL_BUS_OUT, 0, 0);
    bus->UpdateFromDriver();
    EXPECT_FALSE(bus->Down());
    EXPECT_EQ(Sent(), Settings{});
    Click(*bus);
    EXPECT_EQ(Sent(), Settings{BusOutMute(3, 1)});
}

TEST_F(MuteTest, PipeMuteTakesPipeThenBus)
{
    auto* mute = new TPipeOutMute(form_);
    mute->SetParent(form_);
    mute->SetCard(card_);
    mute->SetOutputBus(4);
    mute->SetPipe(7);
    mute->UpdateFromDriver();
    mute->BindClickHandler();
    ShowForm();
    ClearLog();
    Click(*mute);
    EXPECT_EQ(Sent(), Settings{PipeMute(7, 4, 1)});
    EXPECT_EQ(Hooks().Mixer().Pipe(7, 4).mute, 1u);
}

TEST_F(MuteTest, WithoutPartnerOrGangNotGanged)
{
    TMonitorMute* alone = AddMonitorMute(0, 0);
    TMonitorMute* other = AddMonitorMute(40, 1);
    alone->SetGang(AddGang(0));  // a gang button, but no partner
    other->SetPartner(alone);    // a partner, but no gang button
    ShowForm();
    ClearLog();
    Click(*alone);
    Hold(VK_SHIFT);
    Click(*other);
    Hold(VK_SHIFT, false);
    EXPECT_EQ(Sent(), (Settings{MonitorMute(0, 0, 1), MonitorMute(1, 0, 1)}));
}

}  // namespace
