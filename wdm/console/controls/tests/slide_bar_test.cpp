// The slider's value model, setters, keys, mouse gestures, focus and
// messages, with the order in which its own steps and the events run.
#include "widget_fixture.h"

namespace {

using SlideBarTest = WidgetTest;

TEST_F(SlideBarTest, ConstructionStoresDefaultsWithoutEvents)
{
    auto* bar = new TzSlideBar(form_);
    EXPECT_EQ(bar->Width(), 100);
    EXPECT_EQ(bar->Height(), 20);
    EXPECT_TRUE(bar->JumpToMouse());
    EXPECT_FALSE(bar->AutoFocus());
    EXPECT_EQ(bar->Color(), clBtnFace);
    EXPECT_FALSE(bar->SteelLook());
    EXPECT_EQ(bar->TickSize(), 4);
    EXPECT_EQ(bar->TickSpace(), 3);
    EXPECT_EQ(bar->TickStyle(), TzTickStyle::tsNormal);
    EXPECT_EQ(bar->FocusColor(), clActiveCaption);
    EXPECT_EQ(bar->NonFocusColor(), clBtnFace);
    EXPECT_EQ(bar->Labels()->Count(), 0);
    EXPECT_EQ(bar->Min(), 0);
    EXPECT_EQ(bar->Max(), 10);
    EXPECT_EQ(bar->Value(), 0);
    EXPECT_EQ(bar->Orientation(), TOrientation::orHorizontal);
    EXPECT_EQ(bar->Style(), TBarStyle::bsLowered);
    EXPECT_EQ(bar->Thickness(), 2);
    EXPECT_TRUE(bar->Ticks());
    EXPECT_EQ(bar->TickWhere(), TBarTickStyle::ttsBoth);
    EXPECT_EQ(bar->StepPerTick(), 1);
    EXPECT_EQ(bar->ThumbStyle(), TThumbStyle::tsVertHigh);
    EXPECT_TRUE(bar->TabStop());
    EXPECT_EQ(bar->ThumbBitmap().Width(), 10);
    EXPECT_EQ(bar->ThumbBitmap().Height(), 20);
    EXPECT_EQ(static_cast<int>(TOrientation::orVertical), 0);
    EXPECT_EQ(static_cast<int>(TThumbStyle::tsSquarehollowVLine), 15);
}

TEST_F(SlideBarTest, SetValueRepaintsAndTells)
{
    TRecordingSlideBar* bar = AddSlider(10, 10, 100, 20);
    ShowForm();
    RecordEvents(*bar);

    bar->SetValue(0);  // the current value: nothing at all
    EXPECT_TRUE(log_.empty());

    bar->SetValue(10);
    EXPECT_EQ(log_, (EventLog{"paint", "change 10", "maximum"}));
    log_.clear();

    // Refused, yet repainted and told, and at the end still.
    bar->SetValue(15);
    EXPECT_EQ(bar->Value(), 10);
    EXPECT_EQ(log_, (EventLog{"paint", "change 10", "maximum"}));
    log_.clear();

    bar->SetValue(4);
    EXPECT_EQ(log_, (EventLog{"paint", "change 4"}));
    log_.clear();

    bar->SetValue(0);
    EXPECT_EQ(log_, (EventLog{"paint", "change 0", "minimum"}));
    log_.clear();

    bar->SetDesigning(true);
    bar->SetValue(3);
    EXPECT_EQ(bar->Value(), 3);
    EXPECT_EQ(log_, (EventLog{"paint"}));
}

TEST_F(SlideBarTest, RangeSettersKeepMinBelowMaxAndLeaveTheValue)
{
    TRecordingSlideBar* bar = AddSlider(10, 10, 20, 181);
    ShowForm();
    RecordEvents(*bar);

    struct {
        bool max;
        int v, min, maxAfter;
        bool repaints;
    } const steps[] = {
        {false, 10, 0, 10, false},    // Min not below Max
        {false, 0, 0, 10, false},     // unchanged
        {true, 0, 0, 10, false},      // Max not above Min
        {true, 1000, 0, 1000, true},
        {false, 250, 250, 1000, true},
        {true, 200, 250, 1000, false},
    };
    for (const auto& s : steps) {
        log_.clear();
        if (s.max) bar->SetMax(s.v);
        else bar->SetMin(s.v);
        EXPECT_EQ(bar->Min(), s.min) << s.v;
        EXPECT_EQ(bar->Max(), s.maxAfter) << s.v;
        EXPECT_EQ(log_, s.repaints ? EventLog{"paint"} : EventLog{}) << s.v;
    }
    // The value stays below the new range, the thumb at the bottom end.
    EXPECT_EQ(bar->Value(), 0);
    EXPECT_EQ(bar->ThumbRect(), Rect(5, 161, 15, 181));
}

TEST_F(SlideBarTest, SettersThatRepaintAndThoseThatDoNot)
{
    TRecordingSlideBar* bar = AddSlider(10, 10, 100, 20);
    ShowForm();
    auto paints = [&](auto&& set) {
        log_.clear();
        set();
        return static_cast<int>(log_.size());
    };
    EXPECT_EQ(paints([&] { bar->SetOrientation(TOrientation::orHorizontal); }), 0);
    EXPECT_EQ(paints([&] { bar->SetStyle(TBarStyle::bsRaised); }), 1);
    EXPECT_EQ(paints([&] { bar->SetStyle(TBarStyle::bsRaised); }), 0);
    EXPECT_EQ(paints([&] { bar->SetTickSize(4); }), 0);
    EXPECT_EQ(paints([&] { bar->SetTickSpace(5); }), 1);
    EXPECT_EQ(paints([&] { bar->SetFocusColor(clActiveCaption); }), 0);
    EXPECT_EQ(paints([&] { bar->SetNonFocusColor(clRed); }), 1);
    EXPECT_EQ(paints([&] { bar->SetSteelLook(false); }), 0);
    EXPECT_EQ(paints([&] { bar->SetTickWhere(TBarTickStyle::ttsBoth); }), 0);
    // These repaint even when nothing changes.
    EXPECT_EQ(paints([&] { bar->SetTicks(true); }), 1);
    EXPECT_EQ(paints([&] { bar->SetTickStyle(TzTickStyle::tsNormal); }), 1);
    // Stored only.
    EXPECT_EQ(paints([&] { bar->SetJumpToMouse(false); }), 0);
    EXPECT_EQ(paints([&] { bar->SetAutoFocus(true); }), 0);
    // Thickness 1..10 only.
    EXPECT_EQ(paints([&] { bar->SetThickness(0); }), 0);
    EXPECT_EQ(paints([&] { bar->SetThickness(11); }), 0);
    EXPECT_EQ(paints([&] { bar->SetThickness(10); }), 1);
    EXPECT_EQ(bar->Thickness(), 10);
    // A step below 1 would never end the tick loop: ignored.
    EXPECT_EQ(paints([&] { bar->SetStepPerTick(0); }), 0);
    EXPECT_EQ(paints([&] { bar->SetStepPerTick(-3); }), 0);
    EXPECT_EQ(bar->StepPerTick(), 1);
    EXPECT_EQ(paints([&] { bar->SetStepPerTick(2); }), 1);

    // The labels are copied into the slider's own list.
    TStringList labels{"-inf", "0"};
    bar->SetLabels(labels);
    labels.Add("+6");
    EXPECT_EQ(bar->Labels()->Count(), 2);
    EXPECT_EQ(bar->Labels()->Strings(1), "0");

    // A new thumb style rebuilds the thumb and repaints.
    EXPECT_EQ(paints([&] { bar->SetThumbStyle(TThumbStyle::tsLeft); }), 1);
    EXPECT_EQ(bar->ThumbBitmap().Width(), 27);
    EXPECT_EQ(bar->ThumbBitmap().Height(), 11);
    // So does a new face colour.
    EXPECT_EQ(paints([&] { bar->SetColor(clRed); }), 1);
    EXPECT_TRUE(SameColor(BitmapPixel(bar->ThumbBitmap(), 12, 5), clRed));
}

struct KeyCase {
    int start;
    WORD key;
    int expected;
};

TEST_F(SlideBarTest, KeysStepTheValueBeforeOnKeyDown)
{
    TRecordingSlideBar* bar = AddFader();
    ShowForm();
    bar->SetFocus();

    const KeyCase cases[] = {
        {500, VK_PRIOR, 575}, {990, VK_PRIOR, 1000}, {500, VK_NEXT, 425}, {300, VK_NEXT, 250},
        {500, VK_END, 1000},  {500, VK_HOME, 250},   {500, VK_LEFT, 499}, {500, VK_DOWN, 499},
        {500, VK_UP, 501},    {500, VK_RIGHT, 501},  {250, VK_DOWN, 250}, {1000, VK_UP, 1000},
        {500, 'A', 500},
    };
    for (const KeyCase& c : cases) {
        bar->SetValue(c.start);
        RecordEvents(*bar);
        log_.clear();
        Key(c.key);
        EXPECT_EQ(bar->Value(), c.expected) << c.key << " from " << c.start;
        const std::string handler = "keydown " + std::to_string(c.key) + " at " + std::to_string(c.expected);
        ASSERT_FALSE(log_.empty());
        EXPECT_EQ(log_.back(), handler) << c.key << " from " << c.start;
    }

    // Home: the step, its events, then the handler with the value at Min.
    bar->SetValue(500);
    log_.clear();
    Key(VK_HOME);
    EXPECT_EQ(log_, (EventLog{"paint", "change 250", "minimum", "keydown 36 at 250"}));
}

TEST_F(SlideBarTest, ValueOutsideTheRangeAfterSettingIt)
{
    // Max 1000 then Min 250 leaves Value 0 until an accepted SetValue.
    TRecordingSlideBar* bar = AddFader();
    ShowForm();
    bar->SetFocus();
    RecordEvents(*bar);

    Key(VK_DOWN);  // 0 is not above Min
    EXPECT_EQ(log_, (EventLog{"keydown 40 at 0"}));
    log_.clear();
    Key(VK_UP);  // SetValue(1): refused, still told
    EXPECT_EQ(bar->Value(), 0);
    EXPECT_EQ(log_, (EventLog{"paint", "change 0", "keydown 38 at 0"}));
    Key(VK_NEXT);
    EXPECT_EQ(bar->Value(), 250);
}

TEST_F(SlideBarTest, KeyPreviewThatClearsTheKeyKeepsItFromTheSlider)
{
    TRecordingSlideBar* bar = AddSlider(10, 10, 100, 20);
    form_->SetKeyPreview(true);
    form_->OnKeyDown = [](TObject*, Word& key, TShiftState) {
        if (key == VK_END) key = 0;
    };
    ShowForm();
    bar->SetFocus();
    RecordEvents(*bar);
    Key(VK_END);
    EXPECT_EQ(bar->Value(), 0);
    EXPECT_TRUE(log_.empty());
    Key(VK_RIGHT);
    EXPECT_EQ(bar->Value(), 1);
}

TEST_F(SlideBarTest, DragOnTheThumb)
{
    // Vertical fader: 20 x 181, 20 x 10 thumb, 250..1000, at 500 (top 114).
    TRecordingSlideBar* bar = AddFader();
    TRecordingSlideBar* other = AddSlider(100, 10, 100, 20, false);
    bar->SetValue(500);
    ShowForm();
    other->SetFocus();
    ASSERT_EQ(bar->ThumbRect(), Rect(0, 114, 20, 124));
    RecordEvents(*bar);
    log_.clear();

    // The focus first (the groove repaints), then the jump to the press
    // point, (181 - 120) / 181 of the range, then OnMouseDown.
    Press(*bar, 10, 120);
    EXPECT_TRUE(bar->Focused());
    EXPECT_EQ(bar->Value(), 503);
    EXPECT_EQ(log_, (EventLog{"enter", "paint", "paint", "change 503", "mousedown at 503"}));

    log_.clear();
    Move(*bar, 10, 90);
    EXPECT_EQ(bar->Value(), 627);
    EXPECT_EQ(log_, (EventLog{"paint", "change 627", "mousemove at 627"}));

    log_.clear();
    Release(*bar, 10, 100);
    // OnMouseUp first, then the value of the release point, OnMouseUpTwo last.
    EXPECT_EQ(bar->Value(), 586);
    EXPECT_EQ(log_, (EventLog{"mouseup at 627", "paint", "change 586", "paint", "mouseuptwo at 586"}));

    // Dragging is over: a move with no button changes nothing.
    log_.clear();
    Move(*bar, 10, 20);
    EXPECT_EQ(bar->Value(), 586);
}

TEST_F(SlideBarTest, ClickBesideTheThumbStepsTowardTheClickAtTheRelease)
{
    TRecordingSlideBar* bar = AddFader();
    bar->SetValue(500);
    ShowForm();
    RecordEvents(*bar);

    Press(*bar, 10, 30);  // above the thumb
    EXPECT_EQ(bar->Value(), 500);
    Move(*bar, 10, 40);  // not dragging: nothing
    EXPECT_EQ(bar->Value(), 500);
    log_.clear();
    Release(*bar, 10, 40);
    EXPECT_EQ(bar->Value(), 501);  // above raises it
    EXPECT_EQ(log_, (EventLog{"mouseup at 500", "paint", "change 501", "paint", "mouseuptwo at 501"}));
    Press(*bar, 10, 170);
    Release(*bar, 10, 170);
    EXPECT_EQ(bar->Value(), 500);

    // A right click beside the thumb does nothing to the value.
    log_.clear();
    Press(*bar, 10, 30, mbRight);
    Release(*bar, 10, 30, mbRight);
    EXPECT_EQ(bar->Value(), 500);
    EXPECT_EQ(log_.back(), "mouseuptwo at 500");

    // Horizontal: left of the thumb lowers it.
    TRecordingSlideBar* pan = AddSlider(50, 10, 64, 20);
    pan->SetValue(5);
    pan->Refresh();
    Press(*pan, 2, 10);
    Release(*pan, 2, 10);
    EXPECT_EQ(pan->Value(), 4);
}

TEST_F(SlideBarTest, WithoutJumpToMouseThePressLeavesTheValue)
{
    TRecordingSlideBar* bar = AddSlider(10, 10, 64, 20);
    bar->SetJumpToMouse(false);
    bar->SetValue(5);
    ShowForm();
    const TRect thumb = bar->ThumbRect();
    Press(*bar, thumb.Left + 1, 10);
    EXPECT_EQ(bar->Value(), 5);
    // The press coordinate was never recorded (0): any move along the bar
    // away from 0 sets the value.
    Move(*bar, 48, 10);
    EXPECT_EQ(bar->Value(), 8);
    Release(*bar, 16, 10);
    EXPECT_EQ(bar->Value(), 2);
}

TEST_F(SlideBarTest, FocusRepaintsTheGrooveFill)
{
    TRecordingSlideBar* bar = AddSlider(10, 10, 20, 181);
    TRecordingSlideBar* other = AddSlider(100, 10, 20, 181, false);
    bar->SetValue(10);  // thumb at the top, off the groove's lower part
    ShowForm();
    other->SetFocus();
    EXPECT_TRUE(SameColor(PixelAt(*bar, 9, 150), clBtnFace));
    RecordEvents(*bar);
    log_.clear();
    bar->SetFocus();
    EXPECT_EQ(log_, (EventLog{"enter", "paint"}));
    EXPECT_TRUE(SameColor(PixelAt(*bar, 9, 150), clActiveCaption));
    log_.clear();
    other->SetFocus();
    EXPECT_EQ(log_.front(), "exit");
    EXPECT_TRUE(SameColor(PixelAt(*bar, 9, 150), clBtnFace));
}

TEST_F(SlideBarTest, AutoFocusTakesTheFocusWhenTheMouseEnters)
{
    TRecordingSlideBar* other = AddSlider(100, 10, 20, 181, false);
    TRecordingSlideBar* bar = AddSlider(10, 10, 20, 181);
    bar->SetValue(10);
    bar->SetAutoFocus(true);
    ShowForm();
    ASSERT_TRUE(other->Focused());
    RecordEvents(*bar);
    Move(*bar, 5, 100);
    Application->ProcessMessages();
    EXPECT_TRUE(bar->Focused());
    EXPECT_EQ(log_, (EventLog{"mousemove at 10", "enter", "paint", "mouseenter"}));
    EXPECT_TRUE(SameColor(PixelAt(*bar, 9, 150), clActiveCaption));
    log_.clear();
    gui::MoveMouse(*form_, 300, 250);
    Application->ProcessMessages();
    EXPECT_EQ(log_, (EventLog{"mouseleave"}));
}

TEST_F(SlideBarTest, TheShapeDecidesTheOrientation)
{
    TRecordingSlideBar* bar = AddSlider(10, 10, 100, 20);
    ShowForm();
    bar->SetBounds(10, 10, 20, 181);
    EXPECT_EQ(bar->Orientation(), TOrientation::orVertical);
    bar->SetBounds(10, 10, 30, 30);
    EXPECT_EQ(bar->Orientation(), TOrientation::orHorizontal);
    bar->SetOrientation(TOrientation::orVertical);
    bar->SetBounds(10, 10, 31, 31);
    EXPECT_EQ(bar->Orientation(), TOrientation::orHorizontal);
}

TEST_F(SlideBarTest, DialogCodeAndErase)
{
    TRecordingSlideBar* bar = AddSlider(10, 10, 100, 20);
    ShowForm();
    EXPECT_EQ(bar->Perform(WM_GETDLGCODE), DLGC_WANTARROWS);
    EXPECT_EQ(bar->Perform(WM_ERASEBKGND), 1);
}

TEST_F(SlideBarTest, PointToValueAndThumbRect)
{
    TRecordingSlideBar* fader = AddFader();
    TRecordingSlideBar* pan = AddSlider(50, 10, 30, 20);
    pan->SetMax(1000);
    ShowForm();
    ASSERT_TRUE(fader->IsVertical());
    EXPECT_EQ(fader->PointToValue(3, 90), 627);
    EXPECT_EQ(fader->PointToValue(3, 100), 586);
    EXPECT_EQ(fader->PointToValue(3, 181), 250);
    EXPECT_EQ(fader->PointToValue(3, 0), 1000);
    struct {
        int value;
        TRect rect;
    } const faderCases[] = {{250, Rect(0, 171, 20, 181)}, {500, Rect(0, 114, 20, 124)}, {1000, Rect(0, 0, 20, 10)},
                            {375, Rect(0, 143, 20, 153)}, {875, Rect(0, 29, 20, 39)}};
    for (const auto& c : faderCases) {
        fader->SetValue(c.value);
        EXPECT_EQ(fader->ThumbRect(), c.rect) << c.value;
    }
    EXPECT_EQ(pan->PointToValue(15, 3), 500);
    EXPECT_EQ(pan->PointToValue(29, 3), 967);
    pan->SetValue(500);
    EXPECT_EQ(pan->ThumbRect(), Rect(10, 0, 20, 20));
    pan->SetValue(1000);
    EXPECT_EQ(pan->ThumbRect().Left, 20);
}

}  // namespace

namespace {

TEST_F(SlideBarTest, AStoredRangeBelowZeroDoesNotLoadAsStored)
{
    // A stored form sets its values through the setters in published
    // order, Max before Min, with no event bound yet.
    TRecordingSlideBar* bar = AddSlider(10, 10, 100, 20);
    bar->BeginLoading();
    bar->SetMax(-5);  // not above the Min in force (0): refused
    bar->SetMin(-20);
    bar->SetValue(-8);
    bar->EndLoading();
    EXPECT_EQ(bar->Max(), 10);
    EXPECT_EQ(bar->Min(), -20);
    EXPECT_EQ(bar->Value(), -8);
}

}  // namespace
