// The painting model, bounds and WM_SIZE, colour and font inheritance, the
// persistent canvas, images, labels and speed buttons.
#include "probe.h"

using gui_testing::GuiTest;
using gui_testing::Strings;

namespace {

TColor FormPixel(TCustomForm& form, int x, int y)
{
    TBitmap picture = gui::ComposeForm(form);
    return picture.Canvas()->Pixels[x][y];
}

}  // namespace

TEST_F(GuiTest, RefreshPaintsAtOnceOnlyWhenRealisedAndShowing)
{
    TForm* form = NewForm();
    auto* p = AddProbe(form, EventLog(), "p", Bounds(0, 0, 20, 20));
    p->Refresh();
    EXPECT_EQ(p->paints, 0) << "not realised";
    EXPECT_FALSE(p->Canvas()->HandleAllocated());
    form->Show();
    Application->ProcessMessages();
    const int shown = p->paints;
    EXPECT_EQ(shown, 1);
    p->Refresh();
    EXPECT_EQ(p->paints, shown + 1) << "synchronous";
    p->Invalidate();
    EXPECT_EQ(p->paints, shown + 1) << "asynchronous";
    Application->ProcessMessages();
    EXPECT_EQ(p->paints, shown + 2);
    p->Hide();
    p->Refresh();
    EXPECT_EQ(p->paints, shown + 2) << "not showing";
}

TEST_F(GuiTest, NewSurfaceStartsInTheControlsColourAndOpaqueControlsAreNotErased)
{
    TForm* form = NewForm();
    form->SetColor(clRed);
    auto* p = AddProbe(form, EventLog(), "p", Bounds(10, 10, 20, 20));
    EXPECT_EQ(p->Color(), clRed) << "parent colour";
    p->SetControlStyle(p->ControlStyle() + TControlStyle{csOpaque});
    form->Show();
    Application->ProcessMessages();
    EXPECT_EQ(FormPixel(*form, 15, 15), clRed);
    p->Canvas()->Pixels[1][1] = clBlue;  // out of the paint cycle, at once
    EXPECT_EQ(FormPixel(*form, 11, 11), clBlue);
    p->Invalidate();
    Application->ProcessMessages();
    EXPECT_EQ(FormPixel(*form, 11, 11), clBlue) << "no erase for an opaque control";
    p->SetControlStyle(p->ControlStyle() - TControlStyle{csOpaque});
    p->Invalidate();
    Application->ProcessMessages();
    EXPECT_EQ(FormPixel(*form, 11, 11), clRed) << "erased with the brush";
}

TEST_F(GuiTest, SetBoundsSendsWmSizeWithTheNewSizeInPlaceAndNothingWhenUnchanged)
{
    TForm* form = NewForm();
    auto* p = AddProbe(form, EventLog(), "p", Bounds(0, 0, 20, 30));
    form->Show();
    EXPECT_EQ(Events(), (Strings{"p create", "p size 20x30", "p enter focused=yes", "p setfocus focused=yes"}));
    ClearEvents();
    p->SetBounds(0, 0, 20, 30);
    p->SetLeft(5);
    EXPECT_TRUE(Events().empty());
    p->SetHeight(181);
    EXPECT_EQ(Events(), (Strings{"p size 20x181"}));
    EXPECT_EQ(p->ClientRect(), Rect(0, 0, 20, 181));
}

TEST_F(GuiTest, ParentColourAndFontFlowDownUntilTheChildSetsItsOwn)
{
    TForm* form = NewForm();
    form->Font()->SetName("Arial");
    auto* label = new TLabel(form);
    label->SetParent(form);
    auto* p = AddProbe(form, EventLog(), "p");
    EXPECT_EQ(label->Font()->Name(), "Arial");
    EXPECT_TRUE(label->ParentFont());
    label->Font()->SetColor(clLime);
    EXPECT_FALSE(label->ParentFont()) << "touching Font clears ParentFont";
    form->Font()->SetHeight(-20);
    EXPECT_EQ(label->Font()->Height(), -11);
    EXPECT_EQ(p->Font()->Height(), -20);
    form->SetColor(clBlue);
    EXPECT_EQ(p->Color(), clBlue);
    EXPECT_EQ(p->Brush()->Color, clBlue);
    EXPECT_EQ(label->Color(), clBlue);
    label->SetColor(clBlack);
    form->SetColor(clBtnFace);
    EXPECT_EQ(label->Color(), clBlack);
    EXPECT_EQ(p->Color(), clBtnFace);
}

TEST_F(GuiTest, CustomCanvasKeepsItsStateBetweenPaints)
{
    TForm* form = NewForm();
    auto* p = AddProbe(form, EventLog(), "p");
    form->Show();
    p->Canvas()->Brush()->Style = TBrushStyle::bsClear;
    p->Canvas()->Pen()->Color = clRed;
    p->Refresh();
    EXPECT_EQ(p->Canvas()->Brush()->Style, TBrushStyle::bsClear);
    EXPECT_EQ(p->Canvas()->Pen()->Color, clRed);
}

TEST_F(GuiTest, ImageSmallerThanItselfShowsTheParentAndRepaintsWhenDrawnOn)
{
    TForm* form = NewForm(100, 220);
    form->SetColor(clGreen);
    auto* image = new TImage(form);
    image->SetBounds(5, 5, 10, 191);
    image->SetParent(form);
    TBitmap strip(10, 190);
    strip.Canvas()->Brush()->Color = clBlack;
    strip.Canvas()->FillRect(Rect(0, 0, 10, 190));
    image->Picture()->Assign(strip);
    TCanvas* canvas = image->Canvas();  // after the assignment
    form->Show();
    EXPECT_EQ(FormPixel(*form, 6, 194), clBlack);
    EXPECT_EQ(FormPixel(*form, 6, 195), clGreen) << "row 190 shows the parent";
    canvas->Pixels[1][1] = clYellow;
    EXPECT_EQ(FormPixel(*form, 6, 6), clYellow);
}

TEST_F(GuiTest, LabelFillsItsBackgroundAndDrawsItsCaption)
{
    TForm* form = NewForm();
    auto* label = new TLabel(form);
    label->SetAutoSize(false);
    label->SetBounds(0, 0, 26, 16);
    label->SetColor(clBlack);
    label->Font()->SetColor(clLime);
    label->Font()->SetName("Arial");
    label->Font()->SetHeight(15);
    label->SetAlignment(taCenter);
    label->SetLayout(tlCenter);
    label->SetParent(form);
    label->SetText("-40");
    form->Show();
    TBitmap picture = gui::ComposeForm(*form);
    int lit = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 26; ++x) {
            const TColor c = picture.Canvas()->Pixels[x][y];
            EXPECT_EQ(c & 0xFF00FF, 0u) << "black or green only at " << x << "," << y;
            lit += (c & 0xFF00) > 0x8000;
        }
    EXPECT_GT(lit, 10);
    EXPECT_EQ(picture.Canvas()->Pixels[30][5], ColorToRGB(clBtnFace)) << "nothing outside the label";
}

TEST_F(GuiTest, SmallFontsFitTheirCellHeight)
{
    TCanvas canvas;
    canvas.Font()->SetName("Small Fonts");
    canvas.Font()->SetHeight(10);
    EXPECT_EQ(canvas.TextHeight("-70"), 10);
    EXPECT_LE(canvas.TextWidth("-70"), 18);
    canvas.Font()->SetName("MS Sans Serif");
    canvas.Font()->SetHeight(-11);
    const int sansWidth = canvas.TextWidth("Gain:");
    canvas.Font()->SetName("Arial");
    EXPECT_EQ(canvas.TextWidth("Gain:"), sansWidth) << "one substitute for both";
}

namespace {

class SpeedButtons : public GuiTest {
protected:
    SpeedButtons()
    {
        form = NewForm();
        for (int i = 0; i < 2; ++i) {
            auto* b = new TSpeedButton(form);
            b->SetBounds(i * 30, 0, 25, 25);
            b->SetGroupIndex(1);
            b->SetAllowAllUp(true);
            b->SetParent(form);
            b->OnClick = Log("click " + std::to_string(i));
            buttons.push_back(b);
        }
        form->Show();
    }
    void Click(int x, int y, int releaseX, bool dbl = false)
    {
        gui::PressMouse(*form, mbLeft, x, y, dbl);
        gui::ReleaseMouse(*form, mbLeft, releaseX, y);
    }
    TForm* form = nullptr;
    std::vector<TSpeedButton*> buttons;
};

}  // namespace

TEST_F(SpeedButtons, ReleaseInsideTogglesThenClicksAndOthersOfTheGroupGoUp)
{
    buttons[0]->OnClick = [this](TObject*) { Record(std::string("click 0 down=") + (buttons[0]->Down() ? "yes" : "no")); };
    Click(5, 5, 5);
    EXPECT_TRUE(buttons[0]->Down());
    Click(35, 5, 35);
    EXPECT_FALSE(buttons[0]->Down());
    EXPECT_TRUE(buttons[1]->Down());
    Click(35, 5, 80);  // released outside: nothing
    EXPECT_TRUE(buttons[1]->Down());
    Click(35, 5, 35, true);  // the second press of a double-click is a press
    EXPECT_EQ(Events(), (Strings{"click 0 down=yes", "click 1", "click 1"}));
    EXPECT_FALSE(buttons[1]->Down()) << "AllowAllUp lets it go up";
}

TEST_F(SpeedButtons, DownByProgramFiresNothingAndRepaints)
{
    const TColor before = FormPixel(*form, 3, 3);
    buttons[0]->SetDown(true);
    EXPECT_TRUE(Events().empty());
    EXPECT_NE(FormPixel(*form, 3, 3), before);
    buttons[1]->SetAllowAllUp(false);
    buttons[1]->SetDown(true);
    EXPECT_FALSE(buttons[0]->Down());
    buttons[1]->SetDown(false);
    EXPECT_TRUE(buttons[1]->Down()) << "a down button goes up only with AllowAllUp";
}

TEST_F(SpeedButtons, GlyphIsACopyWithItsBottomLeftColourTransparent)
{
    TBitmap glyph(4, 4);
    glyph.Canvas()->Brush()->Color = clFuchsia;
    glyph.Canvas()->FillRect(Rect(0, 0, 4, 4));
    glyph.Canvas()->Pixels[1][1] = clRed;
    buttons[0]->SetGlyph(&glyph);
    glyph.Canvas()->Pixels[2][2] = clRed;
    EXPECT_EQ(buttons[0]->Glyph()->Canvas()->Pixels[2][2], clFuchsia);
    TBitmap picture = gui::ComposeForm(*form);
    int red = 0, fuchsia = 0;
    for (int y = 0; y < 25; ++y)
        for (int x = 0; x < 25; ++x) {
            red += picture.Canvas()->Pixels[x][y] == clRed;
            fuchsia += picture.Canvas()->Pixels[x][y] == clFuchsia;
        }
    EXPECT_EQ(red, 1);
    EXPECT_EQ(fuchsia, 0);
}

TEST_F(GuiTest, ButtonClicksOnReleaseInsideAndOnSpace)
{
    TForm* form = NewForm();
    AddProbe(form, EventLog(), "other");
    auto* button = new TButton(form);
    button->SetBounds(50, 10, 75, 25);
    button->SetParent(form);
    button->OnClick = Log("click");
    form->Show();
    gui::PressMouse(*form, mbLeft, 60, 20);
    gui::ReleaseMouse(*form, mbLeft, 160, 20);
    EXPECT_TRUE(button->Focused());
    ClearEvents();
    gui::PressKey(*form, VK_SPACE);
    gui::ReleaseKey(*form, VK_SPACE);
    gui::PressMouse(*form, mbLeft, 60, 20);
    gui::ReleaseMouse(*form, mbLeft, 61, 21);
    EXPECT_EQ(Events(), (Strings{"click", "click"}));
}

TEST_F(GuiTest, EditPastesOneLineOfTheClipboardAtTheCaret)
{
    TForm* form = NewForm();
    auto* edit = new TEdit(form);
    edit->SetParent(form);
    edit->SetText("ab");
    edit->SetSelStart(1);
    SetClipboardText("77\r\nxx");
    edit->PasteFromClipboard();
    EXPECT_EQ(edit->Text(), "a77b");
    EXPECT_EQ(edit->SelStart(), 3);
}

TEST_F(GuiTest, OpaqueFormsAndImagesAreNotErasedBehindGraphicControls)
{
    TForm* form = NewForm(100, 60);
    form->SetColor(clRed);
    auto* image = new TImage(form);
    image->SetBounds(0, 0, 10, 10);
    image->SetParent(form);
    TBitmap small(10, 9);
    image->Picture()->Assign(small);
    EXPECT_FALSE(image->ControlStyle().Contains(csOpaque)) << "the picture does not cover it";
    TBitmap big(10, 10);
    image->Picture()->Assign(big);
    EXPECT_TRUE(image->ControlStyle().Contains(csOpaque));
    auto* label = new TLabel(form);
    label->SetBounds(40, 0, 20, 20);
    label->SetParent(form);
    form->SetControlStyle(form->ControlStyle() + TControlStyle{csOpaque});
    form->Show();
    Application->ProcessMessages();
    EXPECT_EQ(FormPixel(*form, 45, 5), clRed);
    label->Hide();
    EXPECT_EQ(FormPixel(*form, 45, 5), clRed) << "the label's picture stays on an opaque form";
    form->SetControlStyle(form->ControlStyle() - TControlStyle{csOpaque});
    label->Show();
    label->Hide();
    EXPECT_EQ(FormPixel(*form, 45, 5), clRed);
}

TEST_F(GuiTest, GraphicControlsRepaintOnlyWhatIsInvalid)
{
    TForm* form = NewForm();
    auto* label = new TLabel(form);
    label->SetAutoSize(false);
    label->SetBounds(0, 0, 40, 20);
    label->SetColor(clBlack);
    label->SetParent(form);
    auto* spot = new TImage(form);
    spot->SetBounds(0, 0, 10, 10);
    spot->SetParent(form);
    form->Show();
    Application->ProcessMessages();
    label->Canvas()->Pixels[30][5] = clRed;
    spot->Invalidate();  // overlaps the label's left end only
    Application->ProcessMessages();
    EXPECT_EQ(FormPixel(*form, 30, 5), clRed);
    EXPECT_EQ(FormPixel(*form, 12, 5), clBlack);
    label->Invalidate();
    EXPECT_EQ(FormPixel(*form, 30, 5), clBlack);
}

// Containers that fill their whole client when painted keep their graphic
// children where nothing changed: a paint draws only within its area.
TEST_F(GuiTest, AContainersPaintLeavesItsChildrenOutsideTheInvalidArea)
{
    const struct {
        const char* container;
        std::function<TWinControl*(TForm*)> make;
    } containers[] = {
        {"group box", [](TForm* form) -> TWinControl* {
             auto* box = new TGroupBox(form);
             box->SetParent(form);
             box->SetBounds(0, 0, 180, 180);
             box->SetText("Outputs");
             return box;
         }},
        {"tab sheet", [](TForm* form) -> TWinControl* {
             auto* pages = new TPageControl(form);
             pages->SetParent(form);
             pages->SetBounds(0, 0, 180, 180);
             auto* sheet = new TTabSheet(form);
             sheet->SetPageControl(pages);
             return sheet;
         }},
    };
    for (const auto& c : containers) {
        TForm* form = NewForm(200, 200);
        TWinControl* container = c.make(form);
        auto* kept = new TLabel(form);
        kept->SetAutoSize(false);
        kept->SetParent(container);
        kept->SetBounds(10, 100, 40, 20);
        kept->SetColor(clBlack);
        auto* changed = new TShape(form);
        changed->SetParent(container);
        changed->SetBounds(10, 40, 40, 20);
        form->Show();
        Application->ProcessMessages();
        const TPoint at = kept->FormOrigin();
        ASSERT_EQ(FormPixel(*form, at.X + 20, at.Y + 10), clBlack) << c.container;
        changed->Hide();
        EXPECT_EQ(FormPixel(*form, at.X + 20, at.Y + 10), clBlack) << c.container << ": the label outside stays";
        const TPoint gone = changed->FormOrigin();
        EXPECT_EQ(FormPixel(*form, gone.X + 20, gone.Y + 10), ColorToRGB(container->Color())) << c.container << ": the shape is gone";
    }
}

TEST_F(GuiTest, AskingForAHandleRealisesTheParentsFirstAndNeedsAForm)
{
    TForm* form = NewForm();
    auto* outer = AddProbe(form, EventLog(), "outer", Bounds(0, 0, 50, 50));
    auto* inner = AddProbe(outer, EventLog(), "inner", Bounds(5, 5, 10, 10));
    EXPECT_NE(inner->Handle(), nullptr);
    EXPECT_TRUE(form->HandleAllocated());
    EXPECT_TRUE(outer->HandleAllocated());
    EXPECT_EQ(Events(), (Strings{"outer create", "outer size 50x50", "inner create", "inner size 10x10"}));
    auto* loose = new Probe(nullptr, EventLog(), "loose");
    EXPECT_THROW(loose->Handle(), EInvalidOperation);
    delete loose;
}

TEST_F(GuiTest, BevelBoxIsDarkAboveAndLightBelowAndShowsTheParentInside)
{
    TForm* form = NewForm();
    auto* bevel = new TBevel(form);
    bevel->SetBounds(10, 10, 80, 18);
    bevel->SetParent(form);
    form->Show();
    EXPECT_EQ(FormPixel(*form, 10, 10), ColorToRGB(clBtnShadow));
    EXPECT_EQ(FormPixel(*form, 89, 10), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(FormPixel(*form, 10, 26), ColorToRGB(clBtnShadow));
    EXPECT_EQ(FormPixel(*form, 50, 27), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(FormPixel(*form, 50, 15), ColorToRGB(clBtnFace));
    bevel->SetStyle(TBevelStyle::bsRaised);
    EXPECT_EQ(FormPixel(*form, 50, 10), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(FormPixel(*form, 50, 27), ColorToRGB(clBtnShadow));
}

TEST_F(GuiTest, CaptionsShowTheirAcceleratorUnderlinedWithoutTheAmpersand)
{
    TForm* form = NewForm();
    auto* label = new TLabel(form);
    label->SetParent(form);
    label->SetText("&Load && save");
    TCanvas measure;
    measure.Font()->Assign(*label->Font());
    EXPECT_EQ(label->Width(), measure.TextWidth("Load & save"));
    label->SetTransparent(true);
    form->Show();
    // The line under "L" lies below the text's pixels in the caption's colour.
    const int under = measure.TextHeight("L") - 2;
    EXPECT_EQ(FormPixel(*form, 1, under), ColorToRGB(clWindowText));
    EXPECT_EQ(FormPixel(*form, measure.TextWidth("Load") + 1, under), ColorToRGB(clBtnFace));
}

TEST_F(GuiTest, ShapesDrawWithTheirOwnPenAndBrush)
{
    TForm* form = NewForm();
    auto* box = new TShape(form);
    box->SetBounds(0, 0, 20, 10);
    box->Brush()->Color = clLime;
    box->SetParent(form);
    auto* circle = new TShape(form);
    circle->SetShape(stCircle);
    circle->SetBounds(30, 0, 40, 20);
    circle->SetParent(form);
    form->Show();
    EXPECT_EQ(FormPixel(*form, 0, 0), clBlack);
    EXPECT_EQ(FormPixel(*form, 19, 9), clBlack);
    EXPECT_EQ(FormPixel(*form, 10, 5), clLime);
    EXPECT_EQ(FormPixel(*form, 50, 10), clWhite) << "a circle at the middle of the wider box";
    EXPECT_EQ(FormPixel(*form, 31, 10), ColorToRGB(clBtnFace)) << "left of the circle";
}

TEST_F(GuiTest, AlignedControlsFollowTheirParentsClientArea)
{
    TForm* form = NewForm(200, 100);
    auto* top = AddProbe(form, EventLog(), "top", Bounds(0, 0, 10, 20));
    top->SetAlign(alTop);
    auto* bottom = new TMemo(form);
    bottom->SetHeight(30);
    bottom->SetParent(form);
    bottom->SetAlign(alBottom);
    auto* rest = AddProbe(form, EventLog(), "rest");
    rest->SetAlign(alClient);
    EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 200, 20));
    EXPECT_EQ(bottom->BoundsRect(), Rect(0, 70, 200, 100));
    EXPECT_EQ(rest->BoundsRect(), Rect(0, 20, 200, 70));
    form->SetClientHeight(120);
    EXPECT_EQ(bottom->BoundsRect(), Rect(0, 90, 200, 120));
    bottom->Hide();
    EXPECT_EQ(rest->BoundsRect(), Rect(0, 20, 200, 120));
}

TEST_F(GuiTest, MemoWrapsItsLinesAndTakesEnterUnlessReadOnly)
{
    TForm* form = NewForm(200, 100);
    auto* memo = new TMemo(form);
    memo->SetParent(form);
    memo->SetBounds(0, 0, 80, 60);
    auto* ok = new TButton(form);
    ok->SetParent(form);
    ok->SetDefault(true);
    ok->OnClick = Log("ok");
    memo->SetText("one two three four five six\nlast");
    const auto rows = memo->ShownRows();
    ASSERT_GT(rows.size(), 2u);
    EXPECT_EQ(rows.front().substr(0, 3), "one");
    EXPECT_EQ(rows.back(), "last");
    TCanvas measure;
    measure.Font()->Assign(*memo->Font());
    for (const auto& row : rows) EXPECT_LE(measure.TextWidth(row), 72) << row;
    form->Show();
    memo->SetFocus();
    gui::TypeChar(*form, '!');
    gui::PressKey(*form, VK_RETURN);
    gui::TypeChar(*form, 'x');
    EXPECT_EQ(memo->Lines()->Text(), "one two three four five six\r\nlast!\r\nx\r\n");
    EXPECT_TRUE(Events().empty()) << "Enter stays in the memo";
    memo->SetReadOnly(true);
    gui::TypeChar(*form, 'y');
    EXPECT_EQ(memo->Lines()->Count(), 3);
}

namespace {

// Rows of the picture inside `r` that hold any pixel other than `background`.
std::vector<bool> InkedRows(TCustomForm& form, const TRect& r, TColor background)
{
    TBitmap picture = gui::ComposeForm(form);
    std::vector<bool> rows;
    for (int y = r.Top; y < r.Bottom; ++y) {
        bool ink = false;
        for (int x = r.Left; x < r.Right && !ink; ++x) ink = TColor(picture.Canvas()->Pixels[x][y]) != background;
        rows.push_back(ink);
    }
    return rows;
}

}  // namespace

TEST_F(GuiTest, WordWrappedLabelBreaksAtLineBreaksAndBlanksAndGrowsOnlyDownwards)
{
    TForm* form = NewForm(300, 200);
    form->SetColor(clWhite);
    auto* label = new TLabel(form);
    label->SetParent(form);
    label->SetTransparent(true);
    label->SetBounds(10, 10, 250, 17);
    label->SetWordWrap(true);
    label->SetText("Would you like to update?\r\n\r\nIt may take minutes.");
    form->Show();
    const int row = TCanvas().TextHeight(" ");
    EXPECT_EQ(label->Width(), 250) << "the width stays";
    EXPECT_EQ(label->Height(), 3 * row);
    const std::vector<bool> inked = InkedRows(*form, Bounds(10, 10, 250, 3 * row), clWhite);
    auto any = [&](int line) { return std::find(inked.begin() + line * row, inked.begin() + (line + 1) * row, true) != inked.begin() + (line + 1) * row; };
    EXPECT_TRUE(any(0));
    EXPECT_FALSE(any(1)) << "\\r\\n\\r\\n is an empty line";
    EXPECT_TRUE(any(2));

    // Too narrow for a line: it breaks at blanks, every row within the width.
    label->SetWidth(30);
    label->SetText("one two three four");
    EXPECT_GE(label->Height(), 3 * row);
    EXPECT_EQ(label->Width(), 30);
    const std::vector<bool> narrow = InkedRows(*form, Bounds(40, 10, 200, label->Height()), clWhite);
    EXPECT_EQ(std::count(narrow.begin(), narrow.end(), true), 0) << "nothing drawn past the width";

    // Without WordWrap a line break still starts a row, and AutoSize fits the widest.
    label->SetWordWrap(false);
    label->SetText("a\nlonger line");
    EXPECT_EQ(label->Height(), 2 * row);
    EXPECT_EQ(label->Width(), TCanvas().TextWidth("longer line"));
}

TEST_F(GuiTest, TransparentImageShowsTheParentWhereThePictureHasItsBottomLeftColour)
{
    TForm* form = NewForm(100, 100);
    form->SetColor(clRed);
    auto* image = new TImage(form);
    image->SetParent(form);
    image->SetBounds(10, 10, 4, 4);
    image->SetTransparent(true);
    TBitmap picture(4, 4);
    picture.Canvas()->Brush()->Color = clBlue;
    picture.Canvas()->FillRect(Rect(0, 0, 4, 4));
    picture.Canvas()->Pixels[1][1] = clLime;
    picture.Canvas()->Pixels[2][0] = clBlack;
    image->Picture()->Assign(picture);
    form->Show();
    EXPECT_EQ(FormPixel(*form, 11, 11), clLime);
    EXPECT_EQ(FormPixel(*form, 12, 10), clBlack);
    EXPECT_EQ(FormPixel(*form, 10, 13), clRed) << "the key colour";
    EXPECT_EQ(FormPixel(*form, 13, 10), clRed);
    image->SetTransparent(false);
    Application->ProcessMessages();
    EXPECT_EQ(FormPixel(*form, 10, 13), clBlue);

    // A 1-bit picture maps as ever (black takes the text colour); its white
    // key leaves the parent.
    auto* link = new TImage(form);
    link->SetParent(form);
    link->SetBounds(40, 40, 3, 3);
    link->SetTransparent(true);
    link->SetAutoSize(true);
    TBitmap mono(3, 3);
    mono.SetPixelFormat(pf1bit);
    mono.Canvas()->Pixels[1][1] = clBlack;
    link->Picture()->Assign(mono);
    Application->ProcessMessages();
    EXPECT_EQ(FormPixel(*form, 41, 41), ColorToRGB(clWindowText));
    EXPECT_EQ(FormPixel(*form, 40, 40), clRed);
    EXPECT_EQ(FormPixel(*form, 42, 42), clRed);
}
