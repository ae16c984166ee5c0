// Raw input aimed at one control: mouse points in that control's client
// coordinates, sent to the form it lies on as a window system would.
//
//     gui_testing::PressOn(*slider, 10, 5);
//     gui_testing::ReleaseOn(*slider, 10, 5);
#pragma once

#include <vcl.h>

namespace gui_testing {

inline TPoint OnForm(const TControl& control, int x, int y)
{
    const TPoint o = control.FormOrigin();
    return TPoint{o.X + x, o.Y + y};
}

inline void PressOn(TControl& control, int x, int y, TMouseButton button = mbLeft)
{
    const TPoint p = OnForm(control, x, y);
    gui::PressMouse(*control.ParentForm(), button, p.X, p.Y);
}

inline void MoveOn(TControl& control, int x, int y)
{
    const TPoint p = OnForm(control, x, y);
    gui::MoveMouse(*control.ParentForm(), p.X, p.Y);
}

inline void ReleaseOn(TControl& control, int x, int y, TMouseButton button = mbLeft)
{
    const TPoint p = OnForm(control, x, y);
    gui::ReleaseMouse(*control.ParentForm(), button, p.X, p.Y);
}

// A key pressed and released: it goes to the form's focused control.
inline void KeyOn(TCustomForm& form, WORD key)
{
    gui::PressKey(form, key);
    gui::ReleaseKey(form, key);
}

}  // namespace gui_testing
