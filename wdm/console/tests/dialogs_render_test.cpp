// The settings dialog (its Driver and About pages) and the wave-device
// configuration dialog rendered headless for the default card, as a person
// sees them; the pictures are kept beside the test as settings_driver.png,
// settings_about.png and wave_config.png for a look.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "console/console_version.h"
#include "dialog_fixture.h"

namespace {

class DialogRender : public DialogTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Open());
        DeclareConsoleVersion();
    }
    void TearDown() override { win32::UnregisterModuleVersion("korvane3.exe"); }
    static void Save(TCustomForm& form, const char* file)
    {
        const TBitmap picture = gui::ComposeForm(form);
        EXPECT_EQ(picture.Width(), form.ClientWidth());
        EXPECT_EQ(picture.Height(), form.ClientHeight());
        const std::filesystem::path png = std::filesystem::current_path() / file;
        ASSERT_TRUE(gui::SaveBitmapPng(picture, png.string()));
        EXPECT_GT(std::filesystem::file_size(png), 3000u);
    }
    TSettingsDialog& Settings()
    {
        settings_ = std::make_unique<TSettingsDialog>(form_);
        settings_->SetText("Zavo24 8x8 settings");
        settings_->SpeakerDelays[0] = 12;
        settings_->Setup(0, 1, card_, Caps().Family, 1, 48000);
        settings_->Show();
        return *settings_;
    }
    std::unique_ptr<TSettingsDialog> settings_;
};

TEST_F(DialogRender, TheSettingsDialogsDriverPage)
{
    TSettingsDialog& d = Settings();
    ASSERT_EQ(d.PageControl->ActivePage(), d.Driver);
    Save(d, "settings_driver.png");
}

TEST_F(DialogRender, TheSettingsDialogsAboutPageWithItsPicture)
{
    TSettingsDialog& d = Settings();
    d.PageControl->SetActivePage(d.AboutTab);
    EXPECT_EQ(d.DriverVersionLabel->Caption(), "2.05.3");
    EXPECT_FALSE(d.ConsoleVersionLabel->Caption().empty());
    const TBitmap picture = gui::ComposeForm(d);
    // The picture's middle shows on the page where the image lies.
    const TPoint at = d.Image1->FormOrigin();
    const TBitmap& own = *d.Image1->Picture()->Bitmap();
    EXPECT_EQ(picture.Surface().at(at.X + 56, at.Y + 37), own.Surface().at(56, 37));
    Save(d, "settings_about.png");
}

TEST_F(DialogRender, TheWaveDialogForTheDefaultCard)
{
    TWaveConfig d(form_, card_);
    d.Show();
    Click(*d.Row(true, 0).Link);
    Click(*d.Row(false, 2).ModeLabel);
    Save(d, "wave_config.png");
}

}  // namespace
