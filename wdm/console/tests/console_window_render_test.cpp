// The whole window rendered headless as a person sees it after a few meter
// ticks, for the default card and for the wide window of a card with
// virtual outputs; the pictures are kept as console_window.png and
// console_window_virtual.png beside the test for a look.
#include <gtest/gtest.h>

#include <filesystem>

#include "console/CBmpStash.h"
#include "console/peak_meter.h"
#include "console_window_fixture.h"

namespace {

class WindowRender : public ConsoleWindowTest {
protected:
    explicit WindowRender(std::vector<machine::CardConfig> cards = DefaultCard())
        : ConsoleWindowTest(std::move(cards))
    {
    }

    // Meters between -3 and -48 dB, a few routes and settings off their defaults.
    void Liven()
    {
        for (int c = 0; c < 16; ++c) {
            Hooks().SetMeterLevel(machine::MeterGroup::Input, c, Db(-3 - 3 * c));
            Hooks().SetMeterLevel(machine::MeterGroup::OutputBus, c, Db(-2 - 4 * c));
            Hooks().SetMeterLevel(machine::MeterGroup::Pipe, c, Db(-1 - 2 * c));
        }
        Hooks().SetDetectedClocks(0x0B);
        Hooks().ExternalSet(CMD_SET_MONITOR_GAIN, 0, 0, 0, static_cast<DWORD>(-6 * 256));
        Hooks().ExternalSet(CMD_SET_MONITOR_GAIN, 1, 0, 0, static_cast<DWORD>(-6 * 256));
        Hooks().ExternalSet(CMD_SET_MONITOR_MUTE, 3, 0, 0, 1);
        Hooks().ExternalSet(CMD_SET_GAIN, 1, CHANNEL_BUS_OUT, 0, static_cast<DWORD>(-10 * 256));
    }
    void Save(const char* file)
    {
        const TBitmap picture = gui::ComposeForm(*form_);
        EXPECT_EQ(picture.Width(), form_->ClientWidth());
        EXPECT_EQ(picture.Height(), form_->ClientHeight());
        // The first input's meter shows its bar lit from the -3 dB row down, unlit above.
        const CPeakMeter& meter = *form_->InStrips[0].Meter();
        EXPECT_EQ(meter.Level(), -3);
        const TPoint at = meter.Image()->FormOrigin();
        const int row = MeterRowTable[3];
        const gui::Surface& lit = BmpStash->GetBitmap(METER_ON_BMP)->Surface();
        const gui::Surface& unlit = BmpStash->GetBitmap(METER_OFF_BMP)->Surface();
        EXPECT_EQ(picture.Surface().at(at.X + 5, at.Y + row + 2), lit.at(5, row + 2));
        EXPECT_EQ(picture.Surface().at(at.X + 5, at.Y + row - 2), unlit.at(5, row - 2));
        const std::filesystem::path png = std::filesystem::current_path() / file;
        ASSERT_TRUE(gui::SaveBitmapPng(picture, png.string()));
        EXPECT_GT(std::filesystem::file_size(png), 10000u);
    }
};

TEST_F(WindowRender, TheDefaultCard)
{
    Liven();
    ASSERT_TRUE(Open());
    Tick(3);
    EXPECT_EQ(form_->ClientWidth(), 618);
    Save("console_window.png");
}

class VirtualWindowRender : public WindowRender {
protected:
    VirtualWindowRender() : WindowRender({machine::MakePreset("virtual-outputs")}) {}
};

TEST_F(VirtualWindowRender, TheWideWindow)
{
    Liven();
    ASSERT_TRUE(Open());
    Tick(3);
    EXPECT_EQ(form_->Width(), 1024 * 4 / 5);
    Save("console_window_virtual.png");
}

}  // namespace
