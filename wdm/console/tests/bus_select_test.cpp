// The bus-select row: its buttons' rows, captions and hints, the face of
// the selected pair, the tiny meters against the stash's pictures, the
// meter record that feeds them, the pairs only ADAT mode has, and the click
// that asks the console window for the pair.
#include "layout_fixture.h"

#include <string>
#include <vector>

namespace {

class BusSelectTest : public LayoutTest {
protected:
    using LayoutTest::LayoutTest;

    // Rows 0 .. 23 of tiny meter m show the unlit picture above row `edge`
    // and the lit one from it down.
    testing::AssertionResult ShowsTinyMeter(TBusSelect& button, int m, int edge)
    {
        const gui::Surface& face = button.Picture()->Bitmap()->Surface();
        const gui::Surface& lit = stash_->GetBitmap(TINY_METER_ON_BMP)->Surface();
        const gui::Surface& unlit = stash_->GetBitmap(TINY_METER_OFF_BMP)->Surface();
        const int left = m == 0 ? 8 : 15;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 7; ++x)
                if (face.at(left + x, 10 + y) != (y >= edge ? lit : unlit).at(x, y))
                    return testing::AssertionFailure() << "row " << y << " for the edge at " << edge;
        return testing::AssertionSuccess();
    }
    // The rows above the meters and below the caption are those of the down
    // face (else the up face).
    bool ShowsDown(TBusSelect& button)
    {
        const gui::Surface& face = button.Picture()->Bitmap()->Surface();
        const gui::Surface& down = stash_->GetBitmap(BUS_SELECT_DOWN_BMP)->Surface();
        const gui::Surface& up = stash_->GetBitmap(BUS_SELECT_UP_BMP)->Surface();
        bool isDown = true, isUp = true;
        for (int y : {0, 1, 5, 9, 55, 58, 59})
            for (int x = 0; x < 30; ++x) {
                isDown = isDown && face.at(x, y) == down.at(x, y);
                isUp = isUp && face.at(x, y) == up.at(x, y);
            }
        EXPECT_NE(isDown, isUp) << "one face or the other";
        return isDown;
    }
};

TEST_F(BusSelectTest, AnalogPairsInTheFirstRowDigitalOnesBelow)
{
    Build();
    struct Case {
        const char* caption;
        const char* hint;
        int left, top;
    };
    const int x = panelX_;
    const Case cases[] = {
        {"A 1-2", "Select analog outputs 1 and 2", x, 152},       {"A 3-4", "Select analog outputs 3 and 4", x + 30, 152},
        {"A 5-6", "Select analog outputs 5 and 6", x + 60, 152},  {"A 7-8", "Select analog outputs 7 and 8", x + 90, 152},
        {"D 1-2", "Select digital outputs 1 and 2", x, 212},      {"D 3-4", "Select digital outputs 3 and 4", x + 30, 212},
        {"D 5-6", "Select digital outputs 5 and 6", x + 60, 212}, {"D 7-8", "Select digital outputs 7 and 8", x + 90, 212},
    };
    TBitmap probe(4, 4);
    probe.Canvas()->Font()->SetName("Small Fonts");
    probe.Canvas()->Font()->SetHeight(10);
    for (int k = 0; k < BUS_SELECT_PAIRS; ++k) {
        TBusSelect& button = *select_->Button(k);
        const Case& c = cases[k];
        SCOPED_TRACE(c.caption);
        EXPECT_EQ(button.Bus(), 2 * k);
        EXPECT_EQ(button.CaptionText(), c.caption);
        EXPECT_EQ(button.Hint(), c.hint);
        EXPECT_TRUE(button.ShowHint());
        EXPECT_EQ(button.BoundsRect(), Bounds(c.left, c.top, 30, 60));
        EXPECT_EQ(button.Parent(), form_);
        EXPECT_EQ(button.CaptionOffset(), (30 - probe.Canvas()->TextWidth(c.caption)) >> 1) << "centred";
        EXPECT_GT(button.CaptionOffset(), 0);
        EXPECT_EQ(button.Level(0), -128);
        EXPECT_EQ(button.Row(1), 23);
        EXPECT_EQ(ShowsDown(button), k == 0) << "pair 0 starts down";
        EXPECT_TRUE(ShowsTinyMeter(button, 0, 23));
        EXPECT_TRUE(ShowsTinyMeter(button, 1, 23));
    }
}

TEST_F(BusSelectTest, CaptionIsDrawnWithoutBackgroundAtItsOffset)
{
    Build();
    TBusSelect& button = *select_->Button(5);
    const gui::Surface& face = button.Picture()->Bitmap()->Surface();
    const gui::Surface& up = stash_->GetBitmap(BUS_SELECT_UP_BMP)->Surface();
    TBitmap probe(4, 4);
    probe.Canvas()->Font()->SetName("Small Fonts");
    probe.Canvas()->Font()->SetHeight(10);
    const TPoint extent = probe.Canvas()->TextExtent(button.CaptionText());
    int ink = 0, outside = 0;
    for (int y = 34; y < 60; ++y)
        for (int x = 0; x < 30; ++x) {
            if (face.at(x, y) == up.at(x, y)) continue;
            const bool inCell = x >= button.CaptionOffset() && x < button.CaptionOffset() + extent.X && y >= 40 &&
                                y < 40 + extent.Y;
            ++(inCell ? ink : outside);
        }
    EXPECT_GT(ink, 0);
    EXPECT_LT(ink, extent.X * extent.Y / 2) << "the letters only, not their cell";
    EXPECT_EQ(outside, 0);
}

TEST_F(BusSelectTest, AButtonsHintShowsWhileThePointerRestsOnIt)
{
    Build();
    MoveOn(*select_->Button(4), 15, 30);
    Application->ProcessMessages();
    Application->AdvanceTime(500);
    Application->ProcessMessages();
    EXPECT_EQ(Application->ShownHint(), "Select digital outputs 1 and 2");
    MoveOn(*master_->Bevel(), 60, 100);
    Application->ProcessMessages();
    EXPECT_EQ(Application->ShownHint(), "");
}

// With 2 analog output busses the second row starts at the second button.
class TwoAnalogBusSelectTest : public BusSelectTest {
protected:
    TwoAnalogBusSelectTest() : BusSelectTest(TwoAnalogSixDigitalOutputs()) {}
};

TEST_F(TwoAnalogBusSelectTest, SecondRowStartsAtTheSecondButton)
{
    Build();
    const int x = panelX_;
    EXPECT_EQ(select_->Button(0)->BoundsRect(), Bounds(x, 152, 30, 60));
    EXPECT_EQ(select_->Button(0)->CaptionText(), "A 1-2");
    for (int k = 1; k < 4; ++k) {
        EXPECT_EQ(select_->Button(k)->BoundsRect(), Bounds(x + 30 * (k - 1), 212, 30, 60)) << k;
        EXPECT_EQ(select_->Button(k)->CaptionText(), "D " + std::to_string(2 * k - 1) + "-" + std::to_string(2 * k));
    }
    EXPECT_EQ(select_->Button(3)->Hint(), "Select digital outputs 5 and 6");
    EXPECT_EQ(select_->Button(4), nullptr) << "no more pairs than the card has";
}

TEST_F(BusSelectTest, SelectingAPairPutsOnlyItsButtonDown)
{
    Build();
    select_->SelectBus(6);
    for (int k = 0; k < BUS_SELECT_PAIRS; ++k)
        EXPECT_EQ(ShowsDown(*select_->Button(k)), k == 3) << k;
    select_->SelectBus(16);
    EXPECT_TRUE(ShowsDown(*select_->Button(3))) << "a bus beyond the card's changes nothing";
    select_->SelectBus(14);
    EXPECT_TRUE(ShowsDown(*select_->Button(7)));
    EXPECT_FALSE(ShowsDown(*select_->Button(3)));
}

TEST_F(BusSelectTest, TinyMetersRedrawOnlyTheRowsBetweenTheEdges)
{
    Build();
    TBusSelect& button = *select_->Button(1);
    button.SetPeakMeter(0, -128);
    EXPECT_TRUE(ShowsTinyMeter(button, 0, 1)) << "-128 to 0 dB lights rows 1 to 22";
    EXPECT_TRUE(ShowsTinyMeter(button, 1, 23));
    EXPECT_EQ(button.Row(0), 1);
    button.SetPeakMeter(-9, -40);
    EXPECT_TRUE(ShowsTinyMeter(button, 0, 7)) << "0 to -9 dB unlights rows 1 to 6";
    EXPECT_TRUE(ShowsTinyMeter(button, 1, TinyMeterRowTable[40]));

    button.SetPeakMeter(-90, -90);
    const std::vector<std::uint32_t> before(button.Picture()->Bitmap()->Surface().pixels().begin(),
                                            button.Picture()->Bitmap()->Surface().pixels().end());
    button.SetPeakMeter(-100, -100);
    EXPECT_TRUE(std::ranges::equal(button.Picture()->Bitmap()->Surface().pixels(), before)) << "the same row";
    EXPECT_EQ(button.Level(0), -100) << "but the level is kept";
    EXPECT_EQ(button.Level(1), -100);

    // The face redrawn whole keeps the meters at the stored levels.
    button.SetPeakMeter(-3, -20);
    select_->SelectBus(2);
    EXPECT_TRUE(ShowsDown(button));
    EXPECT_TRUE(ShowsTinyMeter(button, 0, TinyMeterRowTable[3]));
    EXPECT_TRUE(ShowsTinyMeter(button, 1, TinyMeterRowTable[20]));
    button.DrawMeter();
    EXPECT_EQ(button.Row(0), TinyMeterRowTable[3]);
}

TEST_F(BusSelectTest, TableRowsOfTheTinyMeter)
{
    const int rows[] = {1, 2, 3, 3, 4, 5, 5, 6, 6, 7, 8, 8, 9, 9, 10, 10, 11, 11, 11, 12, 12, 13, 13, 13, 14, 14, 14, 15,
                        15, 15, 15, 16, 16, 16, 17, 17, 17, 17, 17, 18, 18, 18, 18, 18, 19, 19, 19, 19, 19, 19, 19, 20,
                        20, 20, 20, 20, 20, 20, 20, 21, 21, 21, 21, 21, 21, 21, 21, 21, 21, 21, 21, 21, 22, 22, 22, 22,
                        22, 22, 22, 22, 22};
    static_assert(std::size(rows) == 81);
    for (int i = 0; i < 81; ++i)
        EXPECT_EQ(TinyMeterRowTable[i], rows[i]) << -i << " dB";
    for (int i = 81; i <= 128; ++i)
        EXPECT_EQ(TinyMeterRowTable[i], 23) << -i << " dB";
}

TEST_F(BusSelectTest, LevelsBeyondTheTableAreItsEnds)
{
    Build();
    TBusSelect& button = *select_->Button(0);
    button.SetPeakMeter(5, -300);
    EXPECT_EQ(button.Level(0), 0);
    EXPECT_EQ(button.Row(0), 1);
    EXPECT_TRUE(ShowsTinyMeter(button, 0, 1));
    EXPECT_EQ(button.Level(1), -128);
    EXPECT_TRUE(ShowsTinyMeter(button, 1, 23));
    button.SetPeakMeter(2147483647, -2147483647 - 1);
    EXPECT_EQ(button.Level(0), 0);
    EXPECT_EQ(button.Level(1), -128);
}

TEST_F(BusSelectTest, MeterRecordFeedsEveryPairsMeters)
{
    Build();
    for (unsigned bus = 0; bus < 16; ++bus)
        Hooks().SetMeterLevel(machine::MeterGroup::OutputBus, bus, -static_cast<std::int32_t>(bus) * 256 - 1);
    card_->ReadMeters();
    select_->SetPeakMeters(card_->Meters());
    for (int k = 0; k < BUS_SELECT_PAIRS; ++k) {
        EXPECT_EQ(select_->Button(k)->Level(0), -2 * k - 1) << "whole dB toward minus infinity";
        EXPECT_EQ(select_->Button(k)->Level(1), -2 * k - 2);
    }
    EXPECT_TRUE(ShowsTinyMeter(*select_->Button(2), 1, TinyMeterRowTable[6]));
}

TEST_F(BusSelectTest, AMeterCountAboveTheCardsBussesFeedsOnlyItsButtons)
{
    Build();
    Hooks().SetMeterCountOverride(std::nullopt, 64);
    Hooks().SetMeterLevel(machine::MeterGroup::OutputBus, 15, 0);
    card_->ReadMeters();
    ASSERT_EQ(card_->Meters().BusMeterCount, 64u);
    select_->SetPeakMeters(card_->Meters());
    EXPECT_EQ(select_->Button(7)->Level(1), 0);
}

TEST_F(BusSelectTest, ThePairsOfADATModeShowOnlyAtTheFullCount)
{
    Build();
    select_->SetBusCount(10);
    for (int k = 0; k < BUS_SELECT_PAIRS; ++k)
        EXPECT_EQ(select_->Button(k)->Visible(), k < 5) << k;
    select_->SetBusCount(16);
    for (int k = 0; k < BUS_SELECT_PAIRS; ++k)
        EXPECT_TRUE(select_->Button(k)->Visible()) << k;
}

TEST_F(BusSelectTest, AClickAsksTheWindowForItsPair)
{
    Build();
    Click(*select_->Button(2));
    Click(*select_->Button(0));
    EXPECT_EQ(form_->selected, (std::vector<std::pair<int, bool>>{{4, false}, {0, false}})) << "never forced";
    EXPECT_TRUE(ShowsDown(*select_->Button(0))) << "the window switches the buttons, not the click";
    EXPECT_FALSE(ShowsDown(*select_->Button(2)));

    // On a parent that is no console window a click does nothing.
    TForm* plain = NewForm(60, 240);
    auto* lone = new TBusSelect(plain, 2, 8);
    lone->SetParent(plain);
    plain->Show();
    Application->ProcessMessages();
    Click(*lone);
    EXPECT_EQ(form_->selected.size(), 2u);
}

}  // namespace

// Cards with fewer output busses than pairs of the ADAT mode, and one with
// a single bus: every gang state has its byte and no pair index is negative.
class SmallCardTest : public BusSelectTest, public testing::WithParamInterface<int> {
protected:
    SmallCardTest()
        : BusSelectTest(DefaultCardWith([](machine::CardConfig& card) {
              card.outputBusses = static_cast<std::uint16_t>(GetParam());
              card.analogOutputBusses = static_cast<std::uint16_t>((GetParam() + 1) / 2);
          }))
    {
    }
};

TEST_P(SmallCardTest, EveryPairHasItsGangStateAndButton)
{
    const int busses = GetParam();
    const int pairs = (busses + 1) / 2;
    Build();
    for (TGang* gang : {in_[0].GangButton(), out_[0].GangButton(), master_->GangButton()})
        Click(*gang);
    SelectBus(0);
    for (TGang* gang : {in_[0].GangButton(), out_[0].GangButton(), master_->GangButton()})
        EXPECT_FALSE(gang->Down()) << "the state kept for pair 0";
    std::vector<BYTE> bytes(static_cast<std::size_t>(pairs), 0xEE);
    EXPECT_TRUE(in_[0].GetGangs(bytes.data(), pairs));
    EXPECT_EQ(bytes[0], 0);
    // What the registry keeps, output busses / 2 bytes, may be none.
    std::vector<BYTE> stored(static_cast<std::size_t>(busses / 2 + 1), 0xEE);
    EXPECT_TRUE(in_[0].GetGangs(stored.data(), busses / 2));
    EXPECT_EQ(stored.back(), 0xEE) << "no more than asked for";
    master_->GetGangStates(bytes.data(), pairs);
    EXPECT_EQ(bytes[0], 0);

    for (int k = 0; k < BUS_SELECT_PAIRS; ++k)
        EXPECT_EQ(select_->Button(k) != nullptr, k < pairs) << k;
    select_->SetBusCount(static_cast<WORD>(busses));
    for (int k = 0; k < pairs; ++k)
        EXPECT_TRUE(select_->Button(k)->Visible());
    select_->SetBusCount(0);
    for (int k = 0; k < pairs; ++k)
        EXPECT_FALSE(select_->Button(k)->Visible()) << "all of them are among the last three pairs";

    Hooks().SetMeterCountOverride(std::nullopt, 64);
    Hooks().SetMeterLevel(machine::MeterGroup::OutputBus, 0, Db(-9));
    card_->ReadMeters();
    select_->SetPeakMeters(card_->Meters());
    EXPECT_EQ(select_->Button(0)->Level(0), -9);
}

INSTANTIATE_TEST_SUITE_P(OutputBusses, SmallCardTest, testing::Values(1, 4));
