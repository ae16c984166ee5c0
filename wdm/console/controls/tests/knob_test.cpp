// The knob: value model, keys (handler first), mouse, focus, squaring, the
// position label, painting of the dot, and its unit.
#include "widget_fixture.h"

namespace {

using KnobTest = WidgetTest;

TEST_F(KnobTest, ConstructionDefaults)
{
    auto* knob = new TKnob(form_);
    EXPECT_EQ(knob->Width(), 40);
    EXPECT_EQ(knob->Height(), 40);
    EXPECT_EQ(knob->Radius(), 20);
    EXPECT_EQ(knob->Min(), 0);
    EXPECT_EQ(knob->Max(), 127);
    EXPECT_EQ(knob->Position(), 0);
    EXPECT_EQ(knob->PageSize(), 10);
    EXPECT_FALSE(knob->SpringLoaded());
    EXPECT_EQ(knob->LineColor(), clActiveCaption);
    EXPECT_EQ(knob->PositionLabel(), nullptr);
    EXPECT_TRUE(knob->TabStop());
    EXPECT_TRUE(knob->ControlStyle().Contains(csOpaque));
}

TEST_F(KnobTest, EverySetParamsTells)
{
    TKnob* knob = AddKnob(10, 10);
    RecordEvents(*knob);
    knob->SetPosition(0);  // nothing changes, still told
    knob->SetPosition(200);
    knob->SetMin(10);
    knob->SetPosition(-4);
    EXPECT_EQ(log_, (EventLog{"change 0", "change 127", "change 127", "change 10"}));

    // Reversed: Position stays within [Max, Min].
    knob->SetMax(0);
    EXPECT_EQ(knob->Position(), 10);
    knob->SetPosition(-3);
    EXPECT_EQ(knob->Position(), 0);
    knob->SetPosition(5);
    EXPECT_EQ(knob->Position(), 5);

    // Min = Max: no sweep, Position always Min.
    knob->SetParams(7, 4, 4);
    EXPECT_EQ(knob->Position(), 4);
    EXPECT_EQ(knob->Angle(), 240);

    log_.clear();
    knob->SetDesigning(true);
    knob->SetPosition(4);
    EXPECT_TRUE(log_.empty());
}

TEST_F(KnobTest, AngleAndDotOfTheDefaultKnob)
{
    TKnob* knob = AddKnob(10, 10);
    ShowForm();
    struct {
        int position, angle, x, y;
    } const cases[] = {{0, 240, 13, 32}, {64, 89, 20, 6}, {127, -60, 27, 32}};
    for (const auto& c : cases) {
        knob->SetPosition(c.position);
        EXPECT_EQ(knob->Angle(), c.angle) << c.position;
        EXPECT_EQ(knob->IndicatorPoint(), Point(c.x, c.y)) << c.position;
    }
}

TEST_F(KnobTest, KeysRunTheHandlerFirst)
{
    TKnob* knob = AddKnob(10, 10);
    ShowForm();
    knob->SetFocus();
    struct {
        int start;
        WORD key;
        int expected;
    } const cases[] = {
        {50, VK_PRIOR, 60}, {50, VK_NEXT, 40}, {50, VK_END, 127}, {50, VK_HOME, 0}, {50, VK_LEFT, 49},
        {50, VK_DOWN, 49},  {50, VK_RIGHT, 51}, {50, VK_UP, 51},  {5, VK_NEXT, 0},  {125, VK_PRIOR, 127},
        {50, 'A', 50},
    };
    for (const auto& c : cases) {
        knob->SetPosition(c.start);
        RecordEvents(*knob);
        log_.clear();
        Key(c.key);
        EXPECT_EQ(knob->Position(), c.expected) << c.key;
        ASSERT_FALSE(log_.empty());
        EXPECT_EQ(log_.front(), "keydown " + std::to_string(c.key) + " at " + std::to_string(c.start)) << c.key;
    }
    // A handler that clears the key stops the knob's step.
    knob->SetPosition(50);
    knob->OnKeyDown = [](TObject*, Word& key, TShiftState) { key = 0; };
    Key(VK_END);
    EXPECT_EQ(knob->Position(), 50);
    EXPECT_EQ(knob->Perform(WM_GETDLGCODE), DLGC_WANTARROWS);
}

TEST_F(KnobTest, DragInsideTheFace)
{
    TKnob* knob = ShowKnobBesideFocus(50);
    RecordEvents(*knob);

    Press(*knob, 20, 20);
    EXPECT_TRUE(knob->Focused());
    EXPECT_EQ(log_, (EventLog{"mousedown at 50"}));
    Move(*knob, 30, 24);  // 10 right, 4 down: +3
    EXPECT_EQ(knob->Position(), 53);
    Move(*knob, 31, 24);
    EXPECT_EQ(knob->Position(), 53);
    Move(*knob, 20, 0);  // 20 up
    EXPECT_EQ(knob->Position(), 60);
    Release(*knob, 20, 0);
    EXPECT_EQ(log_.back(), "mouseup at 60");
    Move(*knob, 40, 40);  // the drag is over
    EXPECT_EQ(knob->Position(), 60);
}

TEST_F(KnobTest, PressesThatDoNotDrag)
{
    TKnob* knob = ShowKnobBesideFocus(50);

    Press(*knob, 1, 1);  // a corner, outside the face
    EXPECT_FALSE(knob->Focused());
    Move(*knob, 30, 1);
    Release(*knob, 30, 1);
    EXPECT_EQ(knob->Position(), 50);

    Press(*knob, 20, 20, mbRight);  // only the left button turns it
    Move(*knob, 30, 20);
    Release(*knob, 30, 20, mbRight);
    EXPECT_EQ(knob->Position(), 50);
    EXPECT_FALSE(knob->Focused());

    // Ctrl+left click: back to 0, bounded, without focus or drag.
    knob->SetMin(10);
    desktop_->SetKeyDown(VK_CONTROL, true);
    Press(*knob, 20, 20);
    desktop_->SetKeyDown(VK_CONTROL, false);
    EXPECT_EQ(knob->Position(), 10);
    EXPECT_FALSE(knob->Focused());
    Move(*knob, 40, 20);
    Release(*knob, 40, 20);
    EXPECT_EQ(knob->Position(), 10);
}

TEST_F(KnobTest, SpringLoadedReturnsToZero)
{
    TKnob* knob = AddKnob(10, 10);
    TRecordingSlideBar* other = AddSlider(100, 10, 100, 20, false);
    knob->SetMin(-20);
    knob->SetMax(20);
    ShowForm();
    knob->SetPosition(5);
    knob->SetSpringLoaded(true);
    EXPECT_EQ(knob->Position(), 0);

    Press(*knob, 20, 20);
    Move(*knob, 30, 20);
    EXPECT_EQ(knob->Position(), 5);
    Release(*knob, 30, 20);
    EXPECT_EQ(knob->Position(), 0);

    knob->SetFocus();
    knob->SetPosition(7);
    other->SetFocus();  // losing the focus springs back too
    EXPECT_EQ(knob->Position(), 0);
}

TEST_F(KnobTest, SquaresItselfWhenSized)
{
    TKnob* knob = AddKnob(10, 10);
    ShowForm();
    knob->SetBounds(10, 10, 60, 40);
    EXPECT_EQ(knob->Width(), 60);
    EXPECT_EQ(knob->Height(), 60);
    EXPECT_EQ(knob->Radius(), 30);
    knob->SetBounds(10, 10, 50, 50);
    EXPECT_EQ(knob->Width(), 50);
    EXPECT_EQ(knob->Height(), 50);
    EXPECT_EQ(knob->Radius(), 25);
}

TEST_F(KnobTest, PositionLabel)
{
    TKnob* knob = AddKnob(10, 10);
    auto* label = new TLabel(form_);
    label->SetParent(form_);
    knob->SetText("dB");
    knob->SetPositionLabel(label);
    EXPECT_EQ(label->Caption(), "0 dB");
    knob->SetMin(-20);
    knob->SetPosition(-3);
    EXPECT_EQ(label->Caption(), "-3 dB");
    knob->SetText("%s%d");  // a caption is text, never a format
    EXPECT_EQ(label->Caption(), "-3 %s%d");
    label->SetText("");
    knob->Perform(CM_MOUSELEAVE);  // the mouse leaving shows the position again
    EXPECT_EQ(label->Caption(), "-3 %s%d");

    ShowForm();
    knob->SetVisible(false);
    EXPECT_FALSE(label->Visible());
    knob->SetVisible(true);
    EXPECT_TRUE(label->Visible());
    knob->SetEnabled(false);
    EXPECT_FALSE(label->Enabled());
    knob->SetEnabled(true);
    EXPECT_TRUE(label->Enabled());

    delete label;  // the knob lets go of it
    EXPECT_EQ(knob->PositionLabel(), nullptr);
    knob->SetPosition(4);
    EXPECT_EQ(knob->Position(), 4);
}

TEST_F(KnobTest, LineColorIgnoresTheFaceColour)
{
    TKnob* knob = AddKnob(10, 10);
    knob->SetLineColor(clBtnFace);
    EXPECT_EQ(knob->LineColor(), clActiveCaption);
    knob->SetLineColor(0xC0C0C0);  // the same grey given as RGB is taken
    EXPECT_EQ(knob->LineColor(), 0xC0C0C0u);
}

// True when the 4 x 4 box of the dot at `p` holds a pixel of `color`.
bool DotAt(TKnob& knob, TPoint p, TColor color)
{
    for (int x = p.X - 2; x < p.X + 2; ++x)
        for (int y = p.Y - 2; y < p.Y + 2; ++y)
            if (SameColor(PixelAt(knob, x, y), color)) return true;
    return false;
}

struct ExpectedRing {
    int x, y;
    TColor color;
};

TEST_F(KnobTest, TheDotMovesAtOnce)
{
    TKnob* knob = AddKnob(10, 10);
    knob->SetLineColor(clRed);
    knob->SetPosition(64);  // before the knob has a window: drawn by the first paint
    EXPECT_EQ(knob->Angle(), 240);  // the steps are first worked out with the window
    ShowForm();
    EXPECT_EQ(knob->Angle(), 89);
    const TPoint top = knob->IndicatorPoint();
    EXPECT_TRUE(DotAt(*knob, top, clRed));
    knob->SetPosition(0);
    EXPECT_FALSE(DotAt(*knob, top, clRed));
    EXPECT_TRUE(DotAt(*knob, knob->IndicatorPoint(), clRed));
    // Where the rings cross the axes: the outline (black, its upper-left
    // half under the shadow arc), the face's highlight arc upper left and
    // its shadow arc lower right; the corners are left to the parent.
    const ExpectedRing rings[] = {
        {20, 0, clBtnShadow},    {0, 20, clBtnShadow},     {20, 39, clBlack},       {39, 20, clBlack},
        {20, 2, clBtnHighlight}, {2, 20, clBtnHighlight},  {20, 38, clBtnShadow},   {38, 20, clBtnShadow},
        {20, 20, clBtnFace},
    };
    for (const ExpectedRing& r : rings)
        EXPECT_TRUE(SameColor(PixelAt(*knob, r.x, r.y), r.color)) << r.x << "," << r.y;
    EXPECT_TRUE(SameColor(PixelAt(*knob, 0, 0), FormColor));
    knob->SetEnabled(false);
    EXPECT_TRUE(SameColor(PixelAt(*knob, 20, 39), clBtnShadow));
    // A new parent colour fills the knob's window and repaints it at once.
    form_->SetColor(clOlive);
    EXPECT_TRUE(SameColor(PixelAt(*knob, 0, 0), clOlive));
    EXPECT_TRUE(SameColor(PixelAt(*knob, 20, 39), clBtnShadow));
    EXPECT_TRUE(DotAt(*knob, knob->IndicatorPoint(), clRed));
}

TEST_F(KnobTest, UnitAndRegistration)
{
    const int before = KnobUnitStartups();
    KnobUnitStartup();
    KnobUnitStartup();
    EXPECT_EQ(KnobUnitStartups(), before + 2);
    KnobUnitShutdown();
    KnobUnitShutdown();
    EXPECT_EQ(KnobUnitStartups(), before);

    Knob::Register();
    bool found = false;
    for (const TRegisteredComponent& r : RegisteredComponents())
        found = found || (r.Page == "Custom" && r.Class == ClassOf<TKnob>());
    EXPECT_TRUE(found);
}

}  // namespace
