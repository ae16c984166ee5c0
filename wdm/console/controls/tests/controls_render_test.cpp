// A row of mixer strips made of the two widgets, rendered headless as a
// person would see them; the picture is kept as controls_strip.png beside
// the test for a look.
#include "widget_fixture.h"

#include <filesystem>

namespace {

using ControlsRenderTest = WidgetTest;

TEST_F(ControlsRenderTest, StripsOfKnobsPansAndFaders)
{
    form_->SetColor(clBtnFace);
    form_->SetClientWidth(8 * 44);
    form_->SetClientHeight(290);
    std::vector<TzSlideBar*> faders;
    std::vector<TKnob*> knobs;
    for (int strip = 0; strip < 8; ++strip) {
        const int x = strip * 44;
        TKnob* trim = AddKnob(x + 2, 4);
        trim->SetMin(-20);
        trim->SetMax(20);
        trim->SetPosition(strip * 5 - 20);
        knobs.push_back(trim);

        TRecordingSlideBar* pan = AddSlider(x + 2, 50, 40, 20, false);
        pan->SetThumbStyle(strip % 2 ? TThumbStyle::tsTop : TThumbStyle::tsSquarehollowVLine);
        pan->SetTicks(false);
        pan->SetMax(1000);
        pan->SetValue(strip * 125);

        TRecordingSlideBar* fader = AddSlider(x + 12, 80, 20, 181, false);
        fader->SetThumbStyle(TThumbStyle::tsHorzHigh);
        fader->SetSteelLook(strip % 2 == 1);
        fader->SetMax(1000);
        fader->SetMin(250);
        fader->SetStepPerTick(75);
        fader->SetValue(250 + strip * 100);
        faders.push_back(fader);
    }
    ShowForm();
    faders[3]->SetFocus();

    const TBitmap picture = gui::ComposeForm(*form_);
    ASSERT_EQ(picture.Width(), form_->ClientWidth());
    ASSERT_EQ(picture.Height(), form_->ClientHeight());
    // What each widget drew is what the form shows at its place.
    std::vector<TCustomControl*> widgets(faders.begin(), faders.end());
    widgets.insert(widgets.end(), knobs.begin(), knobs.end());
    for (TCustomControl* w : widgets) {
        const TPoint o = w->FormOrigin();
        for (int y = 0; y < w->Height(); y += 3)
            for (int x = 0; x < w->Width(); ++x)
                ASSERT_EQ(picture.Surface().at(o.X + x, o.Y + y), w->ClientSurface().at(x, y)) << x << "," << y;
    }
    // The focused fader's groove is filled in the focus colour.
    const TPoint f = faders[3]->FormOrigin();
    EXPECT_TRUE(SameColor(BitmapPixel(picture, f.X + 9, f.Y + 30), clActiveCaption));

    const std::filesystem::path png = std::filesystem::current_path() / "controls_strip.png";
    ASSERT_TRUE(gui::SaveBitmapPng(picture, png.string()));
    EXPECT_GT(std::filesystem::file_size(png), 1000u);
}

}  // namespace
