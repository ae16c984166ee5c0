// TFaderReadout, the small lime-on-black number under every fader and above
// every input trim. It knows nothing of gains: it shows an integer and, when
// a mouse button is released over it, calls the click action of the control
// it belongs to (that control's gain dialog).
#pragma once

#include <vcl.h>

#include <functional>

class TFaderReadout : public TLabel {
public:
    // Placement 0 sits under a fader, any other above a trim knob. The
    // owner is also the parent, so the readout takes the parent's font name.
    TFaderReadout(TWinControl* owner, int placement);

    // The fader or trim the readout belongs to, and what a click runs.
    TControl* Target() const { return FTarget; }
    void SetTarget(TControl* target, std::function<void()> clickAction);

    // Shows v with "%d".
    void SetCaption(int v);

    void MouseUpHandler(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

private:
    TControl* FTarget = nullptr;
    std::function<void()> FClickAction;
};
