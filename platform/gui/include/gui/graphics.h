// Drawing: pens, brushes, fonts, the canvas with the host's raster rules,
// bitmaps (with named resources) and pictures.
#pragma once

#include "gui/surface.h"
#include "gui/types.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>

class TBitmap;

enum TPenStyle : std::uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode : std::uint8_t {
    pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
    pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
// Scoped: bs* also names form border styles, bevel styles and slider styles.
enum class TBrushStyle : std::uint8_t { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

enum TFontStyle : std::uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
enum TFontPitch : std::uint8_t { fpDefault, fpVariable, fpFixed };

// Raster operations of CopyRect and Draw (the canvas's CopyMode).
using TCopyMode = DWORD;
constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr DWORD SRCPAINT = 0x00EE0086;
constexpr DWORD SRCAND = 0x008800C6;
constexpr DWORD SRCINVERT = 0x00660046;
constexpr DWORD SRCERASE = 0x00440328;
constexpr DWORD NOTSRCCOPY = 0x00330008;
constexpr DWORD NOTSRCERASE = 0x001100A6;
constexpr DWORD MERGEPAINT = 0x00BB0226;
constexpr DWORD DSTINVERT = 0x00550009;
constexpr DWORD BLACKNESS = 0x00000042;
constexpr DWORD WHITENESS = 0x00FF0062;
constexpr TCopyMode cmSrcCopy = SRCCOPY;
constexpr TCopyMode cmSrcPaint = SRCPAINT;
constexpr TCopyMode cmSrcAnd = SRCAND;
constexpr TCopyMode cmSrcInvert = SRCINVERT;
constexpr TCopyMode cmSrcErase = SRCERASE;
constexpr TCopyMode cmNotSrcCopy = NOTSRCCOPY;
constexpr TCopyMode cmNotSrcErase = NOTSRCERASE;
constexpr TCopyMode cmMergePaint = MERGEPAINT;
constexpr TCopyMode cmDstInvert = DSTINVERT;
constexpr TCopyMode cmBlackness = BLACKNESS;
constexpr TCopyMode cmWhiteness = WHITENESS;

struct TPen {
    TColor Color = clBlack;
    TPenStyle Style = psSolid;
    int Width = 1;
    TPenMode Mode = pmCopy;
};

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = TBrushStyle::bsSolid;
    // An 8 x 8 pattern tiled from the target's origin; not owned.
    TBitmap* Bitmap = nullptr;
};

// Height: negative = character (em) height in pixels, positive = cell
// height (ascent + descent). Size is in points at 96 pixels per inch.
class TFont {
public:
    const std::string& Name() const { return name_; }
    void SetName(std::string_view name);
    int Height() const { return height_; }
    void SetHeight(int height);
    int Size() const;
    void SetSize(int points);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles style);
    TFontPitch Pitch() const { return pitch_; }
    void SetPitch(TFontPitch pitch);
    // Copies every attribute, then tells OnChange once.
    void Assign(const TFont& source);
    bool SameAs(const TFont& other) const;

    // Fired after any attribute changed.
    std::function<void()> OnChange;

private:
    void Changed();
    std::string name_ = "MS Sans Serif";
    int height_ = -11;
    TColor color_ = clWindowText;
    TFontStyles style_;
    TFontPitch pitch_ = fpDefault;
};

// Where a canvas draws: a surface with an origin and a clip rectangle, both in
// surface pixels. Controls retarget their canvas when realised or resized.
struct CanvasTarget {
    gui::Surface* surface = nullptr;
    TPoint origin;   // canvas (0,0) in surface pixels
    TRect clip;      // in surface pixels
};

class TCanvas {
public:
    TCanvas();
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    TPen* Pen() { return &pen_; }
    TBrush* Brush() { return &brush_; }
    TFont* Font() { return &font_; }
    TCopyMode CopyMode() const { return copyMode_; }
    void SetCopyMode(TCopyMode mode) { copyMode_ = mode; }
    TPoint PenPos() const { return penPos_; }
    void SetPenPos(TPoint p) { penPos_ = p; }
    // In canvas coordinates.
    TRect ClipRect() const;
    // False while there is nothing to draw on (an unrealised control):
    // every drawing operation is then a no-op.
    bool HandleAllocated() const { return target_.surface != nullptr; }

    // Lines exclude their end point; the current position becomes (x, y).
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Polyline(std::span<const TPoint> points);
    void Polyline(std::initializer_list<TPoint> points) { Polyline(std::span<const TPoint>(points.begin(), points.size())); }
    // Alternate fill with the brush, outline with the pen.
    void Polygon(std::span<const TPoint> points);
    void Polygon(std::initializer_list<TPoint> points) { Polygon(std::span<const TPoint>(points.begin(), points.size())); }
    // Outline on x = l, r - 1 and y = t, b - 1, interior with the brush; with
    // a clear pen the brush fills l .. r - 2 by t .. b - 2.
    void Rectangle(int left, int top, int right, int bottom);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    // Brush only, l .. r - 1 by t .. b - 1; a brush bitmap tiles from the target's origin.
    void FillRect(const TRect& r);
    void FrameRect(const TRect& r);
    void Ellipse(int left, int top, int right, int bottom);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    // Counter-clockwise (as seen on screen) from the radial through (xs, ys)
    // to the radial through (xe, ye).
    void Arc(int left, int top, int right, int bottom, int xs, int ys, int xe, int ye);
    // Through this canvas's CopyMode; right and bottom exclusive.
    void CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect);
    void Draw(int x, int y, const TBitmap* bitmap);
    void StretchDraw(const TRect& dest, const TBitmap* bitmap);
    // Text at (x, y) = top left of its cell; a solid brush fills the cell.
    void TextOut(int x, int y, std::string_view text);
    // Clipped to r.
    void TextRect(const TRect& r, int x, int y, std::string_view text);
    int TextWidth(std::string_view text);
    int TextHeight(std::string_view text);
    TPoint TextExtent(std::string_view text);

    TColor GetPixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);
    // Canvas->Pixels[x][y] = c; TColor c = Canvas->Pixels[x][y].
    class PixelRef {
    public:
        PixelRef(TCanvas* c, int x, int y) : c_(c), x_(x), y_(y) {}
        operator TColor() const { return c_->GetPixel(x_, y_); }
        PixelRef& operator=(TColor v) { c_->SetPixel(x_, y_, v); return *this; }
    private:
        TCanvas* c_;
        int x_, y_;
    };
    class PixelColumn {
    public:
        PixelColumn(TCanvas* c, int x) : c_(c), x_(x) {}
        PixelRef operator[](int y) const { return PixelRef(c_, x_, y); }
    private:
        TCanvas* c_;
        int x_;
    };
    class PixelsProperty {
    public:
        explicit PixelsProperty(TCanvas* c) : c_(c) {}
        PixelColumn operator[](int x) const { return PixelColumn(c_, x); }
    private:
        TCanvas* c_;
    };
    PixelsProperty Pixels{this};

    // Called after every drawing operation (an image repaints from it).
    std::function<void()> OnChange;

    // The library's side: what the canvas draws on.
    void SetTarget(const CanvasTarget& target) { target_ = target; }
    const CanvasTarget& Target() const { return target_; }

private:
    void Changed();
    CanvasTarget target_;
    TPen pen_;
    TBrush brush_;
    TFont font_;
    TCopyMode copyMode_ = cmSrcCopy;
    TPoint penPos_;
};

enum TPixelFormat : std::uint8_t { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit };

// The drawable pictures a TPicture can hold; JPEG images come later.
class TGraphic : public TObject {
public:
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual bool Empty() const { return Width() <= 0 || Height() <= 0; }
    // Draws the whole picture into `dest` of `canvas` (through its CopyMode).
    virtual void DrawOn(TCanvas& canvas, const TRect& dest) const = 0;
};

// Kept as 32-bit RGB whatever PixelFormat says. New pixels are white.
class TBitmap : public TGraphic {
public:
    TBitmap();
    TBitmap(int width, int height);
    // Deep copies, with a canvas of their own.
    TBitmap(const TBitmap& other);
    TBitmap& operator=(const TBitmap& other);
    ~TBitmap() override;

    int Width() const override { return surface_.width(); }
    int Height() const override { return surface_.height(); }
    void SetWidth(int width) { SetSize(width, Height()); }
    void SetHeight(int height) { SetSize(Width(), height); }
    void SetSize(int width, int height);
    void DrawOn(TCanvas& canvas, const TRect& dest) const override;

    // Persistent: one canvas per bitmap for its whole life.
    TCanvas* Canvas() { return canvas_.get(); }
    void Assign(const TBitmap& source);
    TPixelFormat PixelFormat() const { return pixelFormat_; }
    void SetPixelFormat(TPixelFormat format) { pixelFormat_ = format; }
    // A 1-bit bitmap: drawn onto colour, black takes the destination's
    // text (font) colour and white its brush colour.
    bool Monochrome() const { return pixelFormat_ == pf1bit; }
    // Drawn transparent, the pixels of the transparent colour (that of the
    // bottom-left pixel) leave what is under them.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    TColor TransparentColor() const;
    // Loads the module's bitmap resource of that name (see
    // RegisterBitmapResource); EResNotFound when there is none.
    void LoadFromResourceName(HINSTANCE module, std::string_view name);

    const gui::Surface& Surface() const { return surface_; }
    gui::Surface& Surface() { return surface_; }
    // Fired after the canvas drew or the bitmap changed size or content.
    std::function<void()> OnChange;

private:
    void Retarget();
    gui::Surface surface_;
    std::unique_ptr<TCanvas> canvas_;
    TPixelFormat pixelFormat_ = pfDevice;
    bool transparent_ = false;
};

// A JPEG picture, decoded when loaded and kept as a bitmap.
class TJPEGImage : public TGraphic {
public:
    int Width() const override { return bitmap_.Width(); }
    int Height() const override { return bitmap_.Height(); }
    void DrawOn(TCanvas& canvas, const TRect& dest) const override { bitmap_.DrawOn(canvas, dest); }
    // False (and the picture unchanged) when the bytes are not a JPEG image
    // or the file cannot be read.
    bool LoadFromBytes(std::span<const std::uint8_t> bytes);
    bool LoadFromFile(const std::string& path);
    const TBitmap& Bitmap() const { return bitmap_; }

private:
    TBitmap bitmap_;
};

// The program's named bitmap resources. The program registers its pictures
// at start-up; LoadFromResourceName copies them.
void RegisterBitmapResource(std::string_view name, const TBitmap& bitmap);
void UnregisterBitmapResource(std::string_view name);
bool HasBitmapResource(std::string_view name);

// Holds one picture. Assigning replaces the bitmap object, so a canvas taken
// before the assignment belongs to the old one.
class TPicture : public TObject {
public:
    TPicture();
    ~TPicture() override;
    // Created empty on first use.
    TBitmap* Bitmap();
    void SetBitmap(const TBitmap& bitmap) { Assign(bitmap); }
    void Assign(const TBitmap& bitmap);
    void Assign(const TJPEGImage& jpeg) { Assign(jpeg.Bitmap()); }
    void Clear();
    const TGraphic* Graphic() const { return bitmap_.get(); }
    int Width() const { return bitmap_ ? bitmap_->Width() : 0; }
    int Height() const { return bitmap_ ? bitmap_->Height() : 0; }
    std::function<void()> OnChange;

private:
    void Hook();
    std::unique_ptr<TBitmap> bitmap_;
};
