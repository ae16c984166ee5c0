// The window's keys, the pair it shows, its caption, and the messages that
// reach it: the F-keys choose a pair, 'A' keeps the window on top, Alt+F4
// and the registered shutdown message close it with its state saved.
#include <gtest/gtest.h>

#include <algorithm>

#include "console/fader.h"
#include "console/master_panel.h"
#include "console/mute.h"
#include "console_window_fixture.h"

namespace {

using ConsoleKeys = ConsoleWindowTest;

TEST_F(ConsoleKeys, FKeysShowTheirPair)
{
    ASSERT_TRUE(Open());
    Key(VK_F1 + 2);  // F3: busses 4 and 5
    EXPECT_EQ(form_->DisplayedBus, 4);
    EXPECT_EQ(form_->InStrips[3].Fader()->OutputBus(), 4);
    EXPECT_EQ(form_->InStrips[3].Mute()->OutputBus(), 4);
    EXPECT_EQ(form_->OutStrips[0].Fader()->Pipe(), 4);
    EXPECT_EQ(form_->OutStrips[1].Fader()->Pipe(), 5);
    EXPECT_EQ(form_->OutStrips[1].Fader()->OutputBus(), 5);
    EXPECT_EQ(form_->MasterPanel()->Fader(1)->Bus(), 5);
    EXPECT_EQ(form_->MasterPanel()->NameLabel()->Caption(), "Analog out 5/6");
    const Settings reads = Reads();
    EXPECT_NE(std::find(reads.begin(), reads.end(), Setting{CMD_GET_MONITOR_GAIN, 3, 0, 4, 0}), reads.end());
    EXPECT_NE(std::find(reads.begin(), reads.end(), Setting{CMD_GET_GAIN, 5, CHANNEL_PIPE_OUT, 5, 0}), reads.end());
    EXPECT_TRUE(Sent().empty()) << "showing a pair writes nothing";

    // The pair shown again: nothing is read.
    ClearLog();
    Key(VK_F1 + 2);
    EXPECT_TRUE(Reads().empty());
    // F12 lies past the card's 8 pairs.
    Key(VK_F12);
    EXPECT_EQ(form_->DisplayedBus, 4);
    EXPECT_TRUE(Reads().empty());
}

TEST_F(ConsoleKeys, OnlyAnEvenBusWithinTheCountIsShown)
{
    ASSERT_TRUE(Open());
    form_->SelectBus(2, false);
    ClearLog();
    for (int bus : {-2, -1, 3, 16, 18, 65536 + 4}) {
        form_->SelectBus(bus, false);
        form_->SelectBus(bus, true);
        EXPECT_EQ(form_->DisplayedBus, 2) << bus;
    }
    EXPECT_TRUE(Reads().empty());
    // Forced, the pair shown is read again.
    form_->SelectBus(2, true);
    EXPECT_FALSE(Reads().empty());
}

TEST_F(ConsoleKeys, TheBusSelectButtonsShowTheirPair)
{
    ASSERT_TRUE(Open());
    Click(*form_->BusSelectPanel()->Button(3));
    EXPECT_EQ(form_->DisplayedBus, 6);
    EXPECT_EQ(form_->MasterPanel()->NameLabel()->Caption(), "Analog out 7/8");
}

TEST_F(ConsoleKeys, AKeepsTheWindowOnTopOrLetsItGo)
{
    ASSERT_TRUE(Open());
    EXPECT_EQ(form_->FormStyle(), fsNormal);
    Key('A');
    EXPECT_EQ(form_->AlwaysOnTop, 1);
    EXPECT_EQ(form_->FormStyle(), fsStayOnTop);
    Key('A');
    EXPECT_EQ(form_->AlwaysOnTop, 0);
    EXPECT_EQ(form_->FormStyle(), fsNormal);
}

TEST_F(ConsoleKeys, F4WithoutAltShowsAPairAndAltF4Closes)
{
    ASSERT_TRUE(Open());
    Key(VK_F4);
    EXPECT_EQ(form_->DisplayedBus, 6);
    EXPECT_FALSE(Application->Terminated());
    EXPECT_EQ(StoredInteger("DisplayedBus"), -1) << "nothing written yet";

    Hold(VK_MENU);
    Key(VK_F4);
    Hold(VK_MENU, false);
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ(StoredInteger("DisplayedBus"), 6);
    EXPECT_EQ(StoredInteger("Left"), form_->Left());
}

TEST_F(ConsoleKeys, TheShutdownMessageClosesTheWindowAndOthersPassThrough)
{
    ASSERT_TRUE(Open());
    const UINT other = RegisterWindowMessageA("Some other program's message");
    PostMessageA(HWND_BROADCAST, other, 0, 0);
    Application->ProcessMessages();
    EXPECT_FALSE(Application->Terminated());
    TMessage message{other, 0, 0, 0};
    bool handled = true;
    form_->AppEventsMessage(message, form_->Handle(), handled);
    EXPECT_FALSE(handled);

    Key(VK_F1 + 1);
    PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("Zavo Korvane3 shutdown"), 0, 0);
    EXPECT_FALSE(Application->Terminated()) << "posted: it waits for the loop";
    Application->ProcessMessages();
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ(StoredInteger("DisplayedBus"), 2);
}

TEST_F(ConsoleKeys, TheCaptionNamesTheCardAndTheSession)
{
    ASSERT_TRUE(Open());
    EXPECT_EQ(form_->Caption(), "Zavo24 8x8 Console");
    const struct {
        const char* session;
        const char* caption;
    } cases[] = {
        {"/a/b/Mix.kvs", "Zavo24 8x8 Console - Mix"},
        {"C:\\x\\Mix.kvs", "Zavo24 8x8 Console - Mix"},
        {"/my.dir/Mix", "Zavo24 8x8 Console - Mix"},
        {"Mix", "Zavo24 8x8 Console - Mix"},
        {"C:\\x/y\\Mix.old.kvs", "Zavo24 8x8 Console - Mix.old"},
        {"", "Zavo24 8x8 Console"},
    };
    for (const auto& c : cases) {
        form_->SessionName = c.session;
        form_->UpdateCaption();
        EXPECT_EQ(form_->Caption(), c.caption) << c.session;
        EXPECT_EQ(Application->Title(), c.caption) << c.session;
    }
}

}  // namespace
