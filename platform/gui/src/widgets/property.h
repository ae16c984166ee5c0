// The usual setter of a drawn property: store a new value and repaint.
#pragma once

namespace gui::detail {

// False (nothing done) when the value is the one in force.
template <class Control, class T>
bool StoreAndRepaint(Control& control, T& field, const T& value)
{
    if (field == value) return false;
    field = value;
    control.Invalidate();
    return true;
}

}  // namespace gui::detail
