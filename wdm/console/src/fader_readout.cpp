#include "console/fader_readout.h"

TFaderReadout::TFaderReadout(TWinControl* owner, int placement) : TLabel(owner)
{
    // The parent first, so that the font is the parent's; the changes below
    // keep its name.
    SetParent(owner);
    SetAutoSize(false);
    SetAlignment(taCenter);
    SetLayout(tlCenter);
    SetColor(clBlack);
    Font()->SetColor(clLime);
    SetWidth(26);
    SetLeft(7);
    if (placement == 0) {
        SetHeight(18);
        SetTop(495);
    } else {
        SetHeight(15);
        SetTop(27);
    }
    Font()->SetHeight(Height() * 7 / 8);
    SetText("0");
    OnMouseUp = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        MouseUpHandler(Sender, Button, Shift, X, Y);
    };
}

void TFaderReadout::SetTarget(TControl* target, std::function<void()> clickAction)
{
    FTarget = target;
    FClickAction = std::move(clickAction);
}

void TFaderReadout::SetCaption(int v) { SetText(Format("%d", v)); }

// Any button: a right-button release opens the dialog too.
void TFaderReadout::MouseUpHandler(TObject*, TMouseButton, TShiftState, int, int) { InvokeEvent(FClickAction); }
