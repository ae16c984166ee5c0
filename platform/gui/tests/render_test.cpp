// A whole form rendered headless, kept as a PNG for a person to look at.
#include <gui_testing/gui_test.h>

#include <filesystem>

using gui_testing::GuiTest;

TEST_F(GuiTest, FormRendersHeadlessToAPngFile)
{
    TForm* form = NewForm(400, 120);
    form->Font()->SetName("Arial");
    auto* caption = new TLabel(form);
    caption->SetParent(form);
    caption->SetBounds(8, 8, 100, 16);
    caption->SetText("Gain:");
    auto* readout = new TLabel(form);
    readout->SetAutoSize(false);
    readout->SetParent(form);
    readout->SetBounds(8, 30, 26, 16);
    readout->SetColor(clBlack);
    readout->Font()->SetColor(clLime);
    readout->SetAlignment(taCenter);
    readout->SetText("-40");
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    edit->SetBounds(60, 30, 36, 21);
    edit->SetText("12");
    auto* ok = new TButton(form);
    ok->SetParent(form);
    ok->SetBounds(110, 80, 60, 25);
    ok->SetText("OK");
    ok->SetDefault(true);
    auto* mute = new TSpeedButton(form);
    mute->SetParent(form);
    mute->SetBounds(180, 10, 40, 22);
    mute->SetText("+48v");
    mute->SetGroupIndex(1);
    mute->SetAllowAllUp(true);
    mute->SetDown(true);
    auto* check = new TCheckBox(form);
    check->SetParent(form);
    check->SetBounds(8, 60, 90, 17);
    check->SetText("Always on top");
    check->SetChecked(true);
    auto* group = new TRadioGroup(form);
    group->SetParent(form);
    group->SetBounds(240, 8, 150, 70);
    group->SetText("S/PDIF format");
    group->SetItems(TStringList{"Consumer", "Professional"});
    group->SetItemIndex(1);
    auto* bar = new TTrackBar(form);
    bar->SetParent(form);
    bar->SetBounds(240, 80, 150, 35);
    bar->SetRange(0, 250);
    bar->SetFrequency(25);
    bar->SetPosition(100);
    auto* bevel = new TBevel(form);
    bevel->SetParent(form);
    bevel->SetBounds(4, 4, 226, 80);
    form->Show();

    TBitmap picture = gui::ComposeForm(*form);
    EXPECT_EQ(picture.Width(), 400);
    EXPECT_EQ(picture.Height(), 120);
    EXPECT_EQ(picture.Canvas()->Pixels[85][35], clWhite) << "the edit's window lies over the form";
    EXPECT_EQ(picture.Canvas()->Pixels[9][31], clBlack);
    const std::filesystem::path file = std::filesystem::current_path() / "gui_form_render.png";
    ASSERT_TRUE(gui::SaveFormPng(*form, file.string()));
    EXPECT_GT(std::filesystem::file_size(file), 200u);
    EXPECT_FALSE(gui::SaveBitmapPng(picture, (machine().path() / "missing" / "x.png").string()));
}
