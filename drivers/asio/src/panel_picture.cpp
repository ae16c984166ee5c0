// Bitmap 109, drawn: no artwork comes from elsewhere.
#include "panel_picture.h"

#include "driver_identity.h"

namespace {

constexpr TColor PANEL_COLOUR = RGB(0x2E, 0x3A, 0x4C);
constexpr TColor FRAME_COLOUR = RGB(0x8C, 0x9B, 0xB0);
constexpr TColor NAME_COLOUR = RGB(0xF2, 0xF4, 0xF7);

}  // namespace

TBitmap DrawPanelPicture(int width, int height)
{
    TBitmap picture(width, height);
    TCanvas* canvas = picture.Canvas();
    canvas->Brush()->Color = PANEL_COLOUR;
    canvas->FillRect(TRect{0, 0, width, height});
    canvas->Brush()->Color = FRAME_COLOUR;
    canvas->FrameRect(TRect{0, 0, width, height});
    // The name, centred, as large as the panel leaves room for.
    canvas->Brush()->Style = TBrushStyle::bsClear;
    canvas->Font()->SetName("Arial");
    canvas->Font()->SetStyle(TFontStyles{fsBold});
    canvas->Font()->SetColor(NAME_COLOUR);
    for (int size = 12; size > 6; --size) {
        canvas->Font()->SetSize(size);
        if (canvas->TextWidth(kDriverName) <= width - 8) break;
    }
    const TPoint text = canvas->TextExtent(kDriverName);
    canvas->TextOut((width - text.X) / 2, (height - text.Y) / 2, kDriverName);
    return picture;
}
