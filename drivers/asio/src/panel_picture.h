// The control panel's picture, bitmap 109: the driver's own, drawn by it.
#pragma once

#include <vcl.h>

// A plain panel of that size with a thin frame and the driver's name.
TBitmap DrawPanelPicture(int width, int height);
