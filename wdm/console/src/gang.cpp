#include "console/gang.h"

#include "console/CBmpStash.h"
#include "console/key_state.h"

int ButtonGroupCounter = 1000;

int TakeButtonGroup() { return ButtonGroupCounter++; }

TGang::TGang(TComponent* owner) : TSpeedButton(owner)
{
    SetBounds(32, 468, 16, 16);
    SetGlyph(BmpStash->GetBitmap(TINY_G_BMP));
    SetAllowAllUp(true);
    SetMargin(-1);
    SetLayout(blGlyphTop);
    // A group first: only a button of a group can be down.
    SetGroupIndex(TakeButtonGroup());
    SetDown(true);
}

bool IsGanged(const TGang* gang) { return gang != nullptr && gang->Down() != KeyHeld(VK_SHIFT); }
