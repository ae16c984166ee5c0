// The window state in the registry: read at set-up in its order, ended by
// the first value that is missing or wrong, and written at close.
#include <gtest/gtest.h>

#include <functional>

#include "console/gang.h"
#include "console/master_panel.h"
#include "console_window_fixture.h"

namespace {

class WindowState : public ConsoleWindowTest {
protected:
    // Every value, as a console that closed on pair 4/5 wrote them.
    void StoreEveryValue()
    {
        StoreInteger("Left", 100);
        StoreInteger("Top", 50);
        StoreBinary("OutputBusGangs", {1, 0, 1, 1, 1, 1, 1, 1});
        for (int i = 0; i < 16; i += 2) StoreBinary(Format("InputBus%02dGangs", i), {1, 1, 1, 1, 1, 1, 1, 1});
        StoreBinary("InputBus02Gangs", {1, 1, 0, 1, 1, 1, 1, 1});
        StoreBinary("OutputPipe00Gangs", {1, 1, 0, 1, 1, 1, 1, 1});
        StoreInteger("DisplayedBus", 4);
        StoreInteger("Auto load session", 1);
        StoreInteger("Auto save session", 0);
        StoreInteger("Always on top", 1);
        StoreInteger("Load session wave config", 0);
        StoreString("Most recent session name", "/home/user/Mix.kvs");
    }
    // What the restore gave, in the table's order.
    struct Restored {
        int left, top;
        bool outputPair1Ganged, input2Ganged, playbackGanged;
        int displayedBus, autoLoad, autoSave, onTop, waveConfig;
        std::string session;
        bool operator==(const Restored&) const = default;
    };
    Restored Read()
    {
        // The gang buttons show the pair displayed; the states of others are read out.
        std::vector<BYTE> output(8), input(8), playback(8);
        form_->MasterPanel()->GetGangStates(output.data(), 8);
        form_->InStrips[2].GetGangs(input.data(), 8);
        form_->OutStrips[0].GetGangs(playback.data(), 8);
        return {form_->Left(), form_->Top(), output[1] != 0, input[2] != 0, playback[2] != 0, form_->DisplayedBus,
                form_->AutoLoadSession, form_->AutoSaveSession, form_->AlwaysOnTop, form_->LoadSessionWaveConfig,
                form_->SessionName};
    }
    // The window of a first run: the default card opens in S/PDIF mode, 240 pixels right.
    static constexpr Restored FirstRun{260, 20, true, true, true, 0, 1, 1, 0, 1, ""};
};

TEST_F(WindowState, AFirstRunKeepsTheInitialValues)
{
    ASSERT_TRUE(Open());
    const Restored initial = FirstRun;
    EXPECT_EQ(Read(), initial);
    EXPECT_EQ(form_->FormStyle(), fsNormal);
    EXPECT_EQ(form_->SettingsPage, 0);
}

TEST_F(WindowState, EveryValueComesBack)
{
    StoreEveryValue();
    ASSERT_TRUE(Open());
    // The session's name is kept (its loading is the session's own).
    EXPECT_EQ(Read(), (Restored{100, 50, false, false, false, 4, 1, 0, 1, 0, "/home/user/Mix.kvs"}));
    EXPECT_EQ(form_->FormStyle(), fsStayOnTop);
    EXPECT_EQ(form_->Caption(), "Zavo24 8x8 Console");
}

TEST_F(WindowState, TheFirstBadValueEndsTheRestore)
{
    const Restored initial = FirstRun;
    const struct {
        const char* name;
        std::function<void()> spoil;
        std::function<void(Restored&)> expected;  // from the initial values
    } cases[] = {
        {"a Left of another type", [this] { StoreString("Left", "100"); }, [](Restored&) {}},
        {"a missing Top", [this] { RemoveValue("Top"); },
         [](Restored& r) { r.left = 100; }},
        {"gangs larger than the card's pairs",
         [this] { StoreBinary("OutputBusGangs", std::vector<BYTE>(9, 0)); },
         [](Restored& r) { r.left = 100; r.top = 50; }},
        {"gangs of another type", [this] { StoreInteger("InputBus02Gangs", 0); },
         [](Restored& r) { r.left = 100; r.top = 50; r.outputPair1Ganged = false; }},
        {"a DisplayedBus of another type", [this] { StoreString("DisplayedBus", "4"); },
         [](Restored& r) {
             r.left = 100;
             r.top = 50;
             r.outputPair1Ganged = r.input2Ganged = r.playbackGanged = false;
         }},
        {"a missing Always on top", [this] { StoreBinary("Always on top", {1}); },
         [](Restored& r) {
             r = {100, 50, false, false, false, 4, 1, 0, 0, 1, ""};
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StoreEveryValue();
        c.spoil();
        ASSERT_TRUE(Open());
        Restored expected = initial;
        c.expected(expected);
        EXPECT_EQ(Read(), expected);
        delete form_;
        form_ = nullptr;
        RemoveWindowState();
    }
}

TEST_F(WindowState, MissingGangsAndANameAreNoFault)
{
    StoreEveryValue();
    for (const char* name : {"OutputBusGangs", "InputBus02Gangs", "Most recent session name"}) RemoveValue(name);
    ASSERT_TRUE(Open());
    EXPECT_EQ(Read(), (Restored{100, 50, true, true, false, 4, 1, 0, 1, 0, ""}));
}

TEST_F(WindowState, AShorterGangValueChangesOnlyItsOwnBytes)
{
    StoreInteger("Left", 100);
    StoreInteger("Top", 50);
    StoreBinary("OutputBusGangs", {0});
    StoreBinary("InputBus00Gangs", {1, 0});
    ASSERT_TRUE(Open());
    std::vector<BYTE> output(8), input(8);
    form_->MasterPanel()->GetGangStates(output.data(), 8);
    form_->InStrips[0].GetGangs(input.data(), 8);
    EXPECT_EQ(output, (std::vector<BYTE>{0, 1, 1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(input, (std::vector<BYTE>{1, 0, 1, 1, 1, 1, 1, 1}));
    EXPECT_FALSE(form_->MasterPanel()->GangButton()->Down()) << "pair 0 is shown";
}

TEST_F(WindowState, APlaceOffTheDesktopIsNotTaken)
{
    desktop().SetScreenRect(RECT{-200, -100, 824, 668});
    const struct {
        int left, top;
        int shownLeft, shownTop;
    } cases[] = {
        {-200, -100, -200, -100}, {823, 667, 823, 667}, {824, 10, 260, 10},
        {10, 668, 10, 20},        {-201, -101, 260, 20}, {1 << 30, 1 << 30, 260, 20},
    };
    for (const auto& c : cases) {
        StoreInteger("Left", c.left);
        StoreInteger("Top", c.top);
        ASSERT_TRUE(Open());
        EXPECT_EQ(form_->Left(), c.shownLeft) << c.left;
        EXPECT_EQ(form_->Top(), c.shownTop) << c.top;
        delete form_;
        form_ = nullptr;
    }
}

TEST_F(WindowState, WithoutAutoLoadTheSessionIsDroppedAndWrittenBackEmpty)
{
    StoreEveryValue();
    StoreInteger("Auto load session", 0);
    ASSERT_TRUE(Open());
    EXPECT_EQ(form_->SessionName, "");
    CloseWindow();
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey(WindowStateKey(CardName()), false));
    EXPECT_EQ(registry.ReadString("Most recent session name"), "");
    EXPECT_EQ(registry.ReadInteger("Auto load session"), 0);
}

TEST_F(WindowState, TheValuesWrittenAtClose)
{
    ASSERT_TRUE(Open());
    Key(VK_F1 + 1);
    Click(*form_->InStrips[4].GangButton());
    Click(*form_->MasterPanel()->GangButton());
    Key(VK_F1 + 3);
    Click(*form_->OutStrips[0].GangButton());
    form_->SetLeft(123);
    form_->AutoSaveSession = 0;
    CloseWindow();
    EXPECT_EQ(StoredInteger("Left"), 123);
    EXPECT_EQ(StoredInteger("Top"), 20);
    EXPECT_EQ(StoredBinary("OutputBusGangs"), (std::vector<BYTE>{1, 0, 1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(StoredBinary("InputBus04Gangs"), (std::vector<BYTE>{1, 0, 1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(StoredBinary("OutputPipe00Gangs"), (std::vector<BYTE>{1, 1, 1, 0, 1, 1, 1, 1}));
    // The even strips only, by their 0-based index.
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(StoredBinary(Format("InputBus%02dGangs", i)).size(), i % 2 == 0 ? 8u : 0u) << i;
    }
    EXPECT_TRUE(StoredBinary("OutputPipe01Gangs").empty());
    EXPECT_TRUE(StoredBinary("InputBus16Gangs").empty());
    EXPECT_EQ(StoredInteger("DisplayedBus"), 6);
    EXPECT_EQ(StoredInteger("Auto load session"), 1);
    EXPECT_EQ(StoredInteger("Auto save session"), 0);
    EXPECT_EQ(StoredInteger("Always on top"), 0);
    EXPECT_EQ(StoredInteger("Load session wave config"), 1);

    // The next window finds them all.
    ASSERT_TRUE(Open());
    EXPECT_EQ(form_->Left(), 123);
    EXPECT_EQ(form_->DisplayedBus, 6);
    EXPECT_FALSE(form_->OutStrips[0].GangButton()->Down());
    Key(VK_F1 + 1);
    EXPECT_FALSE(form_->InStrips[4].GangButton()->Down());
    EXPECT_FALSE(form_->MasterPanel()->GangButton()->Down());
}

TEST_F(WindowState, ADisplayedBusThatIsNoPairShowsThePairOfBusZero)
{
    for (int bus : {3, -2, 16, 10, 65536 + 2, -65536}) {
        StoreInteger("Left", 100);
        StoreInteger("Top", 50);
        StoreInteger("DisplayedBus", bus);
        StoreInteger("Auto load session", 0);
        ASSERT_TRUE(Open());
        EXPECT_EQ(form_->DisplayedBus, 0) << bus;
        EXPECT_EQ(form_->AutoLoadSession, 0) << "the restore goes on after it";
        delete form_;
        form_ = nullptr;
    }
}

}  // namespace
