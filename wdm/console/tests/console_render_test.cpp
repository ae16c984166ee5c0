// A pair of input strips and an output-bus section built by hand, the
// strips and panels of a two-input card as the console window builds them,
// the stash's ten pictures and the gain dialog, each rendered headless as a
// person sees them; the pictures are kept as console_strip.png,
// console_layout.png, console_bitmaps.png and console_gain_dialog.png
// beside the test for a look.
#include "console_fixture.h"

#include <filesystem>

#include "console/gain_dialog.h"
#include "console/peak_meter.h"
#include "layout_fixture.h"

namespace {

using ConsoleRenderTest = ConsoleTest;

// Two analog inputs, eight analog and eight digital output busses.
class LayoutRenderTest : public LayoutTest {
protected:
    LayoutRenderTest()
        : LayoutTest(DefaultCardWith([](machine::CardConfig& card) {
              card.inputBusses = 2;
              card.analogInputBusses = 2;
          }))
    {
    }
};

TEST_F(LayoutRenderTest, StripsOutputSectionAndBusSelection)
{
    SetEveryGain(-20);
    ExternalSet(CMD_SET_MONITOR_GAIN, 1, 0, 0, static_cast<DWORD>(Db(-6)));
    ExternalSet(CMD_SET_MONITOR_MUTE, 1, 0, 0, 1);
    ExternalSet(CMD_SET_MONITOR_PAN, 0, 0, 0, 250);
    ExternalSet(CMD_SET_MONITOR_PAN, 1, 0, 0, 750);
    ExternalSet(CMD_SET_GAIN, 0, CHANNEL_BUS_IN, 0, static_cast<DWORD>(Db(6)));
    ExternalSet(CMD_SET_GAIN, 1, CHANNEL_BUS_IN, 0, static_cast<DWORD>(Db(-3)));
    ExternalSet(CMD_SET_NOMINAL, 1, CHANNEL_BUS_IN, 0, static_cast<DWORD>(-10));
    ExternalSet(CMD_SET_GAIN, 0, CHANNEL_PIPE_OUT, 0, 0);
    ExternalSet(CMD_SET_GAIN, 1, CHANNEL_PIPE_OUT, 1, static_cast<DWORD>(Db(-10)));
    ExternalSet(CMD_SET_GAIN, 1, CHANNEL_BUS_OUT, 0, static_cast<DWORD>(Db(-4)));
    ExternalSet(CMD_SET_NOMINAL, 0, CHANNEL_BUS_OUT, 0, static_cast<DWORD>(-10));
    const std::int32_t busLevels[16] = {-3, -8, -30, -40, 0, -60, -128, -128, -12, -14, -90, -128, -20, -2, -50, -70};
    for (unsigned bus = 0; bus < 16; ++bus)
        Hooks().SetMeterLevel(machine::MeterGroup::OutputBus, bus, Db(busLevels[bus]));
    Build();
    Click(*out_[0].GangButton());

    in_[0].Meter()->SetLevel(-9);
    in_[1].Meter()->SetLevel(-24);
    out_[0].Meter()->SetLevel(-2);
    out_[1].Meter()->SetLevel(-16);
    master_->Meter(0)->SetLevel(-3);
    master_->Meter(1)->SetLevel(-8);
    card_->ReadMeters();
    select_->SetPeakMeters(card_->Meters());

    const TBitmap picture = gui::ComposeForm(*form_);
    EXPECT_EQ(picture.Width(), panelX_ + 124);
    // The second select button's right tiny meter, lit from the -40 dB row.
    const TPoint button = select_->Button(1)->FormOrigin();
    const gui::Surface& lit = stash_->GetBitmap(TINY_METER_ON_BMP)->Surface();
    const gui::Surface& unlit = stash_->GetBitmap(TINY_METER_OFF_BMP)->Surface();
    for (int y = 0; y < 24; ++y)
        EXPECT_EQ(picture.Surface().at(button.X + 15 + 3, button.Y + 10 + y),
                  (y >= TinyMeterRowTable[40] ? lit : unlit).at(3, y))
            << y;

    const std::filesystem::path png = std::filesystem::current_path() / "console_layout.png";
    ASSERT_TRUE(gui::SaveBitmapPng(picture, png.string()));
    EXPECT_GT(std::filesystem::file_size(png), 4000u);
}

TEST_F(ConsoleRenderTest, InputStripsAndOutputSection)
{
    form_->SetClientWidth(240);
    ExternalSet(CMD_SET_MONITOR_GAIN, 0, 0, 0, static_cast<DWORD>(Db(-6)));
    ExternalSet(CMD_SET_MONITOR_GAIN, 1, 0, 0, static_cast<DWORD>(Db(-20)));
    ExternalSet(CMD_SET_MONITOR_MUTE, 1, 0, 0, 1);
    ExternalSet(CMD_SET_MONITOR_PAN, 0, 0, 0, 200);
    ExternalSet(CMD_SET_MONITOR_PAN, 1, 0, 0, 800);
    ExternalSet(CMD_SET_GAIN, 0, CHANNEL_BUS_IN, 0, static_cast<DWORD>(Db(-8)));
    ExternalSet(CMD_SET_GAIN, 1, CHANNEL_BUS_IN, 0, static_cast<DWORD>(Db(12)));
    ExternalSet(CMD_SET_NOMINAL, 1, CHANNEL_BUS_IN, 0, static_cast<DWORD>(-10));

    auto* bevel = new TBevel(form_);
    bevel->SetParent(form_);
    bevel->SetBounds(0, 0, 80, 532);
    std::vector<std::unique_ptr<CPeakMeter>> meters;
    for (WORD input = 0; input < 2; ++input) {
        const int x = input * 40;
        meters.push_back(std::make_unique<CPeakMeter>(form_, x + 15, 64, input == 0, 40));
        AddMonitorFader(x, input);
        AddMonitorPan(x, input);
        AddMonitorMute(x, input);
        AddNominalInput(x, input);
        AddTrim(x, input);
    }
    AddGang(0);

    const int panel = 120;
    for (WORD bus = 0; bus < 2; ++bus) {
        const int x = panel + bus * 80;
        AddBusOutFader(x, bus);
        AddBusOutMute(x, bus);
        AddNominalOut(x, bus);
    }
    meters.push_back(std::make_unique<CPeakMeter>(form_, panel + 35, 300, true, 40));
    meters.push_back(std::make_unique<CPeakMeter>(form_, panel + 75, 300, false, 0));
    ShowForm();
    const int levels[] = {-6, -30, 0, -14};
    for (std::size_t i = 0; i < meters.size(); ++i)
        meters[i]->SetLevel(levels[i]);

    const TBitmap picture = gui::ComposeForm(*form_);
    // The first meter shows its lit bar from the -6 dB row down.
    const TPoint meter = meters[0]->Image()->FormOrigin();
    const TBitmap& lit = *stash_->GetBitmap(METER_ON_BMP);
    for (int y = MeterRowTable[6]; y < 190; ++y)
        ASSERT_EQ(picture.Surface().at(meter.X + 5, meter.Y + y), lit.Surface().at(5, y)) << y;

    const std::filesystem::path png = std::filesystem::current_path() / "console_strip.png";
    ASSERT_TRUE(gui::SaveBitmapPng(picture, png.string()));
    EXPECT_GT(std::filesystem::file_size(png), 2000u);
}

TEST_F(ConsoleRenderTest, TheStashsPictures)
{
    form_->SetClientWidth(BMP_LAST * 34 + 4);
    form_->SetClientHeight(200);
    for (int i = 0; i < BMP_LAST; ++i) {
        auto* image = new TImage(form_);
        image->SetParent(form_);
        image->SetBounds(4 + i * 34, 4, 30, 192);
        image->Picture()->Assign(*stash_->GetBitmap(i));
    }
    ShowForm();
    const std::filesystem::path png = std::filesystem::current_path() / "console_bitmaps.png";
    ASSERT_TRUE(gui::SaveFormPng(*form_, png.string()));
    EXPECT_GT(std::filesystem::file_size(png), 1000u);
}

TEST_F(ConsoleRenderTest, TheGainDialog)
{
    auto* dialog = new TGainDialog(form_);
    dialog->SetGain(-20);
    dialog->Show();
    Application->ProcessMessages();
    const std::filesystem::path png = std::filesystem::current_path() / "console_gain_dialog.png";
    ASSERT_TRUE(gui::SaveFormPng(*dialog, png.string()));
    EXPECT_GT(std::filesystem::file_size(png), 500u);
}

}  // namespace
