// Builds a slider thumb and its mask from the thumb shape table. Both
// bitmaps must be new (white): the arrow styles paint only part of the
// thumb and the round ones leave their mask as it starts.
#pragma once

#include <vcl.h>

void BuildThumbBitmaps(int style, TColor face, TBitmap& thumb, TBitmap& mask);
// The whole mask black (opaque).
void ClearThumbMask(TBitmap& mask);
