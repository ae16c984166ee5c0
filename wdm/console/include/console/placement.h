// How a strip or panel puts one of its controls on the window: the window
// as parent, moved right by the strip's or panel's x from the control's own
// place, and the card it reads and writes. Channel indices, the read from
// the card and the handler follow.
#pragma once

#include <vcl.h>

#include "daveror.h"

template <class Control>
Control* Place(Control* control, TWinControl* window, int x, CDaveror* card)
{
    control->SetParent(window);
    control->SetLeft(control->Left() + x);
    control->SetCard(card);
    return control;
}
