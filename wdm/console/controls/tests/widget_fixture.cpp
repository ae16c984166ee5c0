#include "widget_fixture.h"

#include <gui_testing/control_input.h>

WidgetTest::WidgetTest()
{
    SlideBarUnitStartup();
    form_ = new TForm(Application);
    form_->SetClientWidth(400);
    form_->SetClientHeight(300);
    form_->SetColor(FormColor);
}

WidgetTest::~WidgetTest()
{
    delete form_;
    SlideBarUnitShutdown();
}

TRecordingSlideBar* WidgetTest::AddSlider(int left, int top, int width, int height, bool recorded)
{
    auto* bar = new TRecordingSlideBar(form_, recorded ? log_ : unrecorded_);
    bar->SetParent(form_);
    bar->SetBounds(left, top, width, height);
    return bar;
}

TRecordingSlideBar* WidgetTest::AddFader()
{
    TRecordingSlideBar* fader = AddSlider(10, 10, 20, 181);
    fader->SetThumbStyle(TThumbStyle::tsHorzHigh);
    fader->SetMax(1000);
    fader->SetMin(250);
    return fader;
}

TKnob* WidgetTest::ShowKnobBesideFocus(int position)
{
    TKnob* knob = AddKnob(10, 10);
    TRecordingSlideBar* other = AddSlider(100, 10, 100, 20, false);
    ShowForm();
    other->SetFocus();
    knob->SetPosition(position);
    return knob;
}

TKnob* WidgetTest::AddKnob(int left, int top)
{
    auto* knob = new TKnob(form_);
    knob->SetParent(form_);
    knob->SetBounds(left, top, knob->Width(), knob->Height());
    return knob;
}

void WidgetTest::ShowForm()
{
    form_->Show();
    Application->ProcessMessages();
    log_.clear();
}

void WidgetTest::RecordEvents(TzSlideBar& bar)
{
    auto value = [&bar] { return std::to_string(bar.Value()); };
    bar.OnChange = [this, value](TObject*) { log_.push_back("change " + value()); };
    bar.OnMinimum = [this](TObject*) { log_.push_back("minimum"); };
    bar.OnMaximum = [this](TObject*) { log_.push_back("maximum"); };
    bar.OnKeyDown = [this, value](TObject*, Word& key, TShiftState) {
        log_.push_back("keydown " + std::to_string(key) + " at " + value());
    };
    bar.OnMouseDown = [this, value](TObject*, TMouseButton, TShiftState, int, int) {
        log_.push_back("mousedown at " + value());
    };
    bar.OnMouseMove = [this, value](TObject*, TShiftState, int, int) { log_.push_back("mousemove at " + value()); };
    bar.OnMouseUp = [this, value](TObject*, TMouseButton, TShiftState, int, int) {
        log_.push_back("mouseup at " + value());
    };
    bar.OnMouseUpTwo = [this, value](TObject*, TMouseButton, TShiftState, int, int) {
        log_.push_back("mouseuptwo at " + value());
    };
    bar.OnEnter = [this](TObject*) { log_.push_back("enter"); };
    bar.OnExit = [this](TObject*) { log_.push_back("exit"); };
    bar.OnMouseEnter = [this](TObject*) { log_.push_back("mouseenter"); };
    bar.OnMouseLeave = [this](TObject*) { log_.push_back("mouseleave"); };
}

void WidgetTest::RecordEvents(TKnob& knob)
{
    auto position = [&knob] { return std::to_string(knob.Position()); };
    knob.OnChange = [this, position](TObject*) { log_.push_back("change " + position()); };
    knob.OnKeyDown = [this, position](TObject*, Word& key, TShiftState) {
        log_.push_back("keydown " + std::to_string(key) + " at " + position());
    };
    knob.OnMouseDown = [this, position](TObject*, TMouseButton, TShiftState, int, int) {
        log_.push_back("mousedown at " + position());
    };
    knob.OnMouseUp = [this, position](TObject*, TMouseButton, TShiftState, int, int) {
        log_.push_back("mouseup at " + position());
    };
}

void WidgetTest::Press(TControl& control, int x, int y, TMouseButton button)
{
    gui_testing::PressOn(control, x, y, button);
}

void WidgetTest::Move(TControl& control, int x, int y) { gui_testing::MoveOn(control, x, y); }

void WidgetTest::Release(TControl& control, int x, int y, TMouseButton button)
{
    gui_testing::ReleaseOn(control, x, y, button);
}

void WidgetTest::Key(WORD key) { gui_testing::KeyOn(*form_, key); }
