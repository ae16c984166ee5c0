// What every widget test starts from: a machine and a scripted desktop of
// its own, the slider unit started, and a form the widgets sit on, shown
// headless. The log records events in the order they fire.
#pragma once

#include <vcl.h>

#include <gtest/gtest.h>
#include <win32_testing/scripted_desktop.h>
#include <win32_testing/temp_machine_dir.h>

#include <string>
#include <vector>

#include "controls/knob.h"
#include "controls/slide_bar.h"

using EventLog = std::vector<std::string>;

// A slider that also records its paints.
class TRecordingSlideBar : public TzSlideBar {
public:
    TRecordingSlideBar(TComponent* owner, EventLog& log) : TzSlideBar(owner), log_(log) {}

protected:
    void Paint() override
    {
        log_.push_back("paint");
        TzSlideBar::Paint();
    }

private:
    EventLog& log_;
};

class WidgetTest : public win32_testing::MachineTest {
protected:
    WidgetTest();
    ~WidgetTest() override;

    // A slider on the form at (left, top), not yet shown; its paints go to
    // the log, or with `recorded` false nowhere.
    TRecordingSlideBar* AddSlider(int left, int top, int width, int height, bool recorded = true);
    // A console fader at (10, 10): vertical, 20 x 181, a 20 x 10 thumb
    // (tsHorzHigh), Max 1000 set before Min 250, so Value is still 0.
    TRecordingSlideBar* AddFader();
    TKnob* AddKnob(int left, int top);
    // A shown knob at (10, 10) at `position`, the focus on an unrecorded
    // slider beside it.
    TKnob* ShowKnobBesideFocus(int position);
    // Shows the form (realising every control) and runs what is pending.
    void ShowForm();
    // Binds every slider event to the log, with the value as it stands.
    void RecordEvents(TzSlideBar& bar);
    void RecordEvents(TKnob& knob);

    // Input at client coordinates of `control`.
    void Press(TControl& control, int x, int y, TMouseButton button = mbLeft);
    void Move(TControl& control, int x, int y);
    void Release(TControl& control, int x, int y, TMouseButton button = mbLeft);
    void Key(WORD key);

    // The form's colour, which the slider takes as its background.
    static constexpr TColor FormColor = clTeal;

    win32_testing::ScopedDesktop desktop_;
    TForm* form_ = nullptr;
    EventLog log_;
    EventLog unrecorded_;
};

// The resolved colour of a pixel of a control's client area.
inline TColor PixelAt(TCustomControl& control, int x, int y) { return ColorToRGB(control.Canvas()->Pixels[x][y]); }

// The resolved colour of a bitmap's pixel.
inline TColor BitmapPixel(const TBitmap& bitmap, int x, int y) { return gui::FromPixel(bitmap.Surface().at(x, y)); }

// True when `pixel` is `color` once both are resolved.
inline bool SameColor(TColor pixel, TColor color) { return ColorToRGB(pixel) == ColorToRGB(color); }
