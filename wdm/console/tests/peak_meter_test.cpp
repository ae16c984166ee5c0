// The peak meter: its image and scale, and the bands of rows each new level
// redraws from the lit and unlit bitmaps.
#include "console_fixture.h"

#include "console/peak_meter.h"

namespace {

class PeakMeterTest : public ConsoleTest {
protected:
    // The image shows the unlit bitmap above row `edge` and the lit one from
    // it down to row 189.
    testing::AssertionResult ShowsLitFrom(CPeakMeter& meter, int edge)
    {
        const gui::Surface& shown = meter.Image()->Picture()->Bitmap()->Surface();
        const gui::Surface& lit = stash_->GetBitmap(METER_ON_BMP)->Surface();
        const gui::Surface& unlit = stash_->GetBitmap(METER_OFF_BMP)->Surface();
        for (int y = 0; y < 190; ++y)
            for (int x = 0; x < 10; ++x)
                if (shown.at(x, y) != (y >= edge ? lit : unlit).at(x, y))
                    return testing::AssertionFailure() << "row " << y << " for the edge at " << edge;
        return testing::AssertionSuccess();
    }
};

TEST_F(PeakMeterTest, TablesAreTheConsolesOwn)
{
    EXPECT_EQ(ScaleLevels[0], 7);
    EXPECT_EQ(std::vector<int>(ScaleLevels + 1, ScaleLevels + 8), (std::vector<int>{-3, -7, -12, -18, -26, -40, -70}));
    const int firstRows[] = {1, 8, 14, 21, 27, 33, 38, 44, 49, 54, 59, 64, 69, 73, 78, 82};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(MeterRowTable[i], firstRows[i]) << i;
    EXPECT_EQ(MeterRowTable[40], 151);
    EXPECT_EQ(MeterRowTable[79], 188);
    for (int i = 80; i <= 128; ++i)
        EXPECT_EQ(MeterRowTable[i], 189) << i;
    for (int i = 1; i <= 128; ++i)
        EXPECT_GE(MeterRowTable[i], MeterRowTable[i - 1]) << "the bar only falls with the level";
}

TEST_F(PeakMeterTest, NewMeterShowsTheUnlitBarAndTheParentBelowIt)
{
    CPeakMeter meter(form_, 55, 64, false, 0);
    EXPECT_EQ(meter.Image()->BoundsRect(), Bounds(55, 64, 10, 191));
    EXPECT_EQ(meter.Image()->Parent(), form_);
    EXPECT_TRUE(meter.ScaleLabels().empty());
    EXPECT_EQ(meter.Level(), -128);
    EXPECT_EQ(meter.Row(), 190);
    EXPECT_TRUE(ShowsLitFrom(meter, 190));
    ShowForm();
    const TBitmap shown = gui::ComposeForm(*form_);
    EXPECT_EQ(shown.Surface().at(60, 64 + 100), stash_->GetBitmap(METER_OFF_BMP)->Surface().at(5, 100));
    EXPECT_EQ(ColorToRGB(gui::FromPixel(shown.Surface().at(60, 64 + 190))), ColorToRGB(clBtnFace))
        << "row 190 shows the parent";
}

TEST_F(PeakMeterTest, LevelsRedrawTheBandBetweenTheEdges)
{
    CPeakMeter meter(form_, 15, 64, false, 0);
    meter.SetLevel(0);
    EXPECT_TRUE(ShowsLitFrom(meter, 1)) << "0 dB lights rows 1 to 189";
    EXPECT_EQ(meter.Row(), 1);
    meter.SetLevel(-20);
    EXPECT_TRUE(ShowsLitFrom(meter, 101)) << "-20 dB unlights rows 1 to 100";
    meter.SetLevel(-85);
    EXPECT_TRUE(ShowsLitFrom(meter, 189));
    meter.SetLevel(-90);
    EXPECT_EQ(meter.Level(), -85) << "the same row: nothing drawn, the level kept";
    meter.SetLevel(-128);
    EXPECT_TRUE(ShowsLitFrom(meter, 189)) << "the last row stays lit down to -128 dB";
    EXPECT_EQ(meter.Level(), -85);
    meter.SetLevel(-3);
    EXPECT_TRUE(ShowsLitFrom(meter, 21));
}

TEST_F(PeakMeterTest, LevelsBeyondTheTableAreItsEnds)
{
    CPeakMeter meter(form_, 15, 64, false, 0);
    meter.SetLevel(5);
    EXPECT_EQ(meter.Level(), 0);
    EXPECT_TRUE(ShowsLitFrom(meter, 1));
    meter.SetLevel(-300);
    EXPECT_EQ(meter.Level(), -128);
    EXPECT_TRUE(ShowsLitFrom(meter, 189));
    meter.SetLevel(2147483647);
    meter.SetLevel(-2147483647 - 1);
    EXPECT_EQ(meter.Level(), -128);
}

TEST_F(PeakMeterTest, ScaleLabelsBesideTheMeter)
{
    CPeakMeter meter(form_, 55, 64, true, 40);
    ASSERT_EQ(meter.ScaleLabels().size(), 7u);
    const char* captions[] = {"-3", "-7", "-12", "-18", "-26", "-40", "-70"};
    for (std::size_t i = 0; i < 7; ++i) {
        const TLabel* label = meter.ScaleLabels()[i];
        EXPECT_EQ(label->Caption(), captions[i]);
        EXPECT_EQ(label->Left(), 55 + 16);
        EXPECT_EQ(label->Top(), 64 + MeterRowTable[-ScaleLevels[i + 1]] - 5);
        EXPECT_EQ(label->Width(), 18);
        EXPECT_EQ(label->Font()->Name(), "Small Fonts");
        EXPECT_EQ(label->Font()->Height(), 10);
        EXPECT_EQ(label->Alignment(), taLeftJustify);
        EXPECT_EQ(label->Parent(), form_);
    }
    EXPECT_EQ(meter.ScaleLabels()[5]->Top(), 64 + 146) << "-40";
    CPeakMeter narrow(form_, 100, 64, true, 20);
    EXPECT_EQ(narrow.ScaleLabels()[0]->Left(), 100 + 10 - 4) << "(20 - 28) >> 1";
}

TEST_F(PeakMeterTest, ShiftAndVisibilityTakeTheScaleAlong)
{
    CPeakMeter meter(form_, 55, 64, true, 40);
    meter.Shift(-40);
    EXPECT_EQ(meter.Image()->Left(), 15);
    EXPECT_EQ(meter.ScaleLabels()[3]->Left(), 31);
    meter.SetVisible(false);
    EXPECT_FALSE(meter.Image()->Visible());
    for (TLabel* label : meter.ScaleLabels())
        EXPECT_FALSE(label->Visible());
}

}  // namespace
