// CBmpStash, the ten bitmaps the console's controls draw with: meter faces,
// button glyphs, link-button faces and the two faces of the output-pair
// select buttons. The console keeps one stash in BmpStash while its window
// lives; controls copy from it and never own its bitmaps.
#pragma once

#include <vcl.h>

#include <memory>

enum {
    METER_ON_BMP = 0,          // 10 x 190, 16 bpp: the lit peak meter
    METER_OFF_BMP,             // 10 x 190, 16 bpp: the unlit peak meter
    TINY_G_BMP,                // 8 x 8, 8 bpp: the gang button's glyph
    TINY_M_BMP,                // 16 x 16, 8 bpp: the mute button's glyph
    TINY_METER_ON_BMP,         // 7 x 24, 16 bpp: a select button's meter, lit
    TINY_METER_OFF_BMP,        // 7 x 24, 16 bpp: the same, unlit
    LINK_BUTTON_LINKED_BMP,    // 24 x 24, 1 bpp
    LINK_BUTTON_UNLINKED_BMP,  // 24 x 24, 1 bpp
    BUS_SELECT_UP_BMP,         // 30 x 60, drawn: a raised face
    BUS_SELECT_DOWN_BMP,       // 30 x 60, drawn: the up face turned half round
    BMP_LAST
};

// The entries' names; the first eight are the program's bitmap resources.
extern const char* const BmpNames[BMP_LAST];

class CBmpStash {
public:
    // Every index holds a bitmap of its listed size afterwards: an entry
    // that cannot be built (a missing resource, memory) is left blank.
    CBmpStash();
    ~CBmpStash();
    CBmpStash(const CBmpStash&) = delete;
    CBmpStash& operator=(const CBmpStash&) = delete;

    TBitmap* GetBitmap(int iIndex);
    // The bitmap's own canvas.
    TCanvas* GetCanvas(int iIndex);

private:
    std::unique_ptr<TBitmap> m_Bitmaps[BMP_LAST];
    TCanvas* m_Canvases[BMP_LAST] = {};
};

// The console's stash; null while it has none.
extern CBmpStash* BmpStash;

// Turns the bitmap by 180 degrees in place.
void RotateHalfTurn(TBitmap* bitmap);
