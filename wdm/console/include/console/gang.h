// TGang, the toggle that links the controls of a pair of adjacent channels,
// the gang rule those controls follow, and the console-wide counter from
// which the toggle buttons take their group indices.
#pragma once

#include <vcl.h>

// Starts at 1000; every mute, gang and phantom-power button takes the next
// index, so that each is a group of its own and can be released again.
extern int ButtonGroupCounter;
// The counter's value; the counter moves on.
int TakeButtonGroup();

// Down (ganged) from the start; a click only toggles it.
class TGang : public TSpeedButton {
public:
    explicit TGang(TComponent* owner);
};

// A control is ganged at this moment when its gang button is down, inverted
// while Shift is held (read from the keyboard state now). A control without
// a gang button is not ganged.
bool IsGanged(const TGang* gang);
