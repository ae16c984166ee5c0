#include "console/CBmpStash.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <span>

const char* const BmpNames[BMP_LAST] = {
    "METER_ON_BMP",
    "METER_OFF_BMP",
    "TINY_G_BMP",
    "TINY_M_BMP",
    "TINY_METER_ON_BMP",
    "TINY_METER_OFF_BMP",
    "LINK_BUTTON_LINKED_BMP",
    "LINK_BUTTON_UNLINKED_BMP",
    "BUS_SELECT_UP_BMP",
    "BUS_SELECT_DOWN_BMP",
};

CBmpStash* BmpStash = nullptr;

namespace {

struct Listed {
    int width;
    int height;
    TPixelFormat format;
};

constexpr Listed ListedFaces[BMP_LAST] = {
    {10, 190, pf16bit}, {10, 190, pf16bit}, {8, 8, pf8bit},    {16, 16, pf8bit},   {7, 24, pf16bit},
    {7, 24, pf16bit},   {24, 24, pf1bit},   {24, 24, pf1bit},  {30, 60, pfDevice}, {30, 60, pfDevice},
};

// Always checked: an index from anywhere else would reach past the arrays.
void CheckIndex(int iIndex, int line)
{
    if ((iIndex >= 0) && (iIndex < BMP_LAST)) return;
    std::fprintf(stderr, "Assertion failed: %s, file %s, line %d\n", "(iIndex >= 0) && (iIndex < BMP_LAST)",
                 __FILE__, line);
    std::abort();
}

// What `make` builds, or a blank bitmap of the entry's listed size when it
// cannot be built, so that every control copying the entry gets a picture.
template <class Make>
std::unique_ptr<TBitmap> Built(int iIndex, Make make)
{
    try {
        return make();
    } catch (const EResNotFound&) {
    } catch (const EOutOfMemory&) {
    } catch (const std::bad_alloc&) {
    }
    const Listed& listed = ListedFaces[iIndex];
    auto blank = std::make_unique<TBitmap>(listed.width, listed.height);
    blank->SetPixelFormat(listed.format);
    return blank;
}

// A raised button: light top and left edges, dark right and bottom ones, in
// the system colours of this moment.
std::unique_ptr<TBitmap> UpFace()
{
    const Listed& listed = ListedFaces[BUS_SELECT_UP_BMP];
    const int w = listed.width, h = listed.height;
    auto face = std::make_unique<TBitmap>(w, h);
    const TColor faceColor = ColorToRGB(clBtnFace);
    const TColor shadow = ColorToRGB(clBtnShadow);
    const TColor highlight = ColorToRGB(clBtnHighlight);
    TCanvas* c = face->Canvas();
    c->Brush()->Color = faceColor;
    c->Brush()->Style = TBrushStyle::bsSolid;
    c->FillRect(Rect(0, 0, w, h));
    c->Pen()->Width = 2;
    c->Pen()->Color = shadow;
    c->MoveTo(w - 2, 0);
    c->LineTo(w - 1, h - 1);
    c->MoveTo(0, h - 1);
    c->LineTo(w - 1, h - 1);
    c->Pen()->Color = highlight;
    c->MoveTo(0, 0);
    c->LineTo(w - 2, 0);
    c->MoveTo(0, 0);
    c->LineTo(0, h - 2);
    return face;
}

}  // namespace

CBmpStash::CBmpStash()
{
    for (int i = 0; i < BUS_SELECT_UP_BMP; ++i) {
        m_Bitmaps[i] = Built(i, [i] {
            auto bitmap = std::make_unique<TBitmap>();
            bitmap->LoadFromResourceName(nullptr, BmpNames[i]);
            return bitmap;
        });
    }
    m_Bitmaps[BUS_SELECT_UP_BMP] = Built(BUS_SELECT_UP_BMP, UpFace);
    m_Bitmaps[BUS_SELECT_DOWN_BMP] = Built(BUS_SELECT_DOWN_BMP, [this] {
        auto down = std::make_unique<TBitmap>(*m_Bitmaps[BUS_SELECT_UP_BMP]);
        RotateHalfTurn(down.get());
        return down;
    });
    for (int i = 0; i < BMP_LAST; ++i)
        m_Canvases[i] = m_Bitmaps[i]->Canvas();
}

CBmpStash::~CBmpStash() = default;

TBitmap* CBmpStash::GetBitmap(int iIndex)
{
    CheckIndex(iIndex, __LINE__);
    return m_Bitmaps[iIndex].get();
}

TCanvas* CBmpStash::GetCanvas(int iIndex)
{
    CheckIndex(iIndex, __LINE__);
    return m_Canvases[iIndex];
}

void RotateHalfTurn(TBitmap* bitmap)
{
    // Rows follow each other without gaps, so (x, y) <-> (w-1-x, h-1-y) is
    // the whole pixel sequence reversed, the middle column of an odd width
    // turned upside down with the rest.
    const std::span<std::uint32_t> pixels = bitmap->Surface().pixels();
    std::reverse(pixels.begin(), pixels.end());
    InvokeEvent(bitmap->OnChange);  // whoever shows it repaints
}
