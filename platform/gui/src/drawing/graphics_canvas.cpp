// The canvas: GDI's raster rules on 32-bit surfaces. Lines exclude their end
// point and clip per pixel; rectangles, fills, polygons and copies are exact;
// ellipses, arcs and wide pens are close approximations.
#include "gui/graphics.h"
#include "core/access.h"
#include "host/text.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <vector>

using gui::Surface;
using gui::ToPixel;

namespace {

constexpr std::uint32_t kMask = 0x00FFFFFF;

std::uint32_t Resolve(TColor c)
{
    return ToPixel(ColorToRGB(c));
}

std::uint32_t PenMix(TPenMode mode, std::uint32_t dst, std::uint32_t pen)
{
    switch (mode) {
    case pmBlack: return 0;
    case pmWhite: return kMask;
    case pmNop: return dst;
    case pmNot: return ~dst & kMask;
    case pmNotCopy: return ~pen & kMask;
    case pmMergePenNot: return (pen | ~dst) & kMask;
    case pmMaskPenNot: return pen & ~dst & kMask;
    case pmMergeNotPen: return (~pen | dst) & kMask;
    case pmMaskNotPen: return ~pen & dst & kMask;
    case pmMerge: return pen | dst;
    case pmNotMerge: return ~(pen | dst) & kMask;
    case pmMask: return pen & dst;
    case pmNotMask: return ~(pen & dst) & kMask;
    case pmXor: return pen ^ dst;
    case pmNotXor: return ~(pen ^ dst) & kMask;
    case pmCopy:
    default: return pen;
    }
}

std::uint32_t Rop(DWORD rop, std::uint32_t d, std::uint32_t s)
{
    switch (rop) {
    case SRCPAINT: return d | s;
    case SRCAND: return d & s;
    case SRCINVERT: return d ^ s;
    case SRCERASE: return s & ~d & kMask;
    case NOTSRCCOPY: return ~s & kMask;
    case NOTSRCERASE: return ~(d | s) & kMask;
    case MERGEPAINT: return (~s & kMask) | d;
    case DSTINVERT: return ~d & kMask;
    case BLACKNESS: return 0;
    case WHITENESS: return kMask;
    case SRCCOPY:
    default: return s;
    }
}

}  // namespace

// ---- the drawing context: a surface seen through origin and clip ----

namespace {

class Raster {
public:
    // The colours are resolved once: they do not change while one drawing runs.
    Raster(const CanvasTarget& t, TPen& pen, TBrush& brush)
        : t_(t), pen_(pen), brush_(brush), penPixel_(Resolve(pen.Color)), brushPixel_(Resolve(brush.Color))
    {
        if (t_.surface) clip_ = IntersectRect(t_.clip, TRect{0, 0, t_.surface->width(), t_.surface->height()});
    }
    bool ok() const { return t_.surface && !clip_.IsEmpty(); }
    bool inClip(int sx, int sy) const { return sx >= clip_.Left && sx < clip_.Right && sy >= clip_.Top && sy < clip_.Bottom; }

    void plotPen(int x, int y)
    {
        const int w = std::max(1, pen_.Width);
        const int off = (w - 1) / 2;
        for (int j = 0; j < w; ++j)
            for (int i = 0; i < w; ++i) {
                const int sx = x - off + i + t_.origin.X, sy = y - off + j + t_.origin.Y;
                if (inClip(sx, sy)) penPixel(t_.surface->row(sy)[sx]);
            }
    }
    void penPixel(std::uint32_t& d) const { d = pen_.Mode == pmCopy ? penPixel_ : PenMix(pen_.Mode, d, penPixel_); }
    // A one-pixel pen over canvas pixels x0..x1-1 of row y, clipped once.
    void penSpan(int x0, int x1, int y)
    {
        const int sy = y + t_.origin.Y;
        if (sy < clip_.Top || sy >= clip_.Bottom) return;
        const int sx0 = std::max(x0 + t_.origin.X, clip_.Left), sx1 = std::min(x1 + t_.origin.X, clip_.Right);
        if (sx0 >= sx1) return;
        std::uint32_t* row = t_.surface->row(sy);
        if (pen_.Mode == pmCopy) std::fill(row + sx0, row + sx1, penPixel_);
        else if (pen_.Mode != pmNop)
            for (int sx = sx0; sx < sx1; ++sx) row[sx] = PenMix(pen_.Mode, row[sx], penPixel_);
    }
    // A one-pixel pen over canvas pixels y0..y1-1 of column x, clipped once.
    void penColumn(int x, int y0, int y1)
    {
        const int sx = x + t_.origin.X;
        if (sx < clip_.Left || sx >= clip_.Right) return;
        const int sy0 = std::max(y0 + t_.origin.Y, clip_.Top), sy1 = std::min(y1 + t_.origin.Y, clip_.Bottom);
        for (int sy = sy0; sy < sy1; ++sy) penPixel(t_.surface->row(sy)[sx]);
    }
    // Brush over canvas pixels x0..x1-1 of row y.
    void brushSpan(int x0, int x1, int y)
    {
        const int sy = y + t_.origin.Y;
        if (sy < clip_.Top || sy >= clip_.Bottom) return;
        const int sx0 = std::max(x0 + t_.origin.X, clip_.Left);
        const int sx1 = std::min(x1 + t_.origin.X, clip_.Right);
        if (sx0 >= sx1) return;
        brushRow(t_.surface->row(sy), sx0, sx1, sy);
    }
    // Brush over surface pixels sx0..sx1-1 of row sy, already clipped. The
    // pattern repeats from the surface's origin: its first period is laid
    // pixel by pixel, and then copied in doubling blocks.
    void brushRow(std::uint32_t* row, int sx0, int sx1, int sy) const
    {
        if (const Surface* p = pattern()) {
            const std::uint32_t* prow = p->row(sy % p->height());
            const int pw = p->width(), n = sx1 - sx0;
            std::uint32_t* d = row + sx0;
            const int first = std::min(n, pw);
            for (int k = 0, px = sx0 % pw; k < first; ++k) {
                d[k] = prow[px];
                if (++px == pw) px = 0;
            }
            for (int k = first; k < n;) {
                const int c = std::min(k, n - k);
                std::copy_n(d, c, d + k);
                k += c;
            }
            return;
        }
        if (brush_.Style == TBrushStyle::bsClear) return;
        std::fill(row + sx0, row + sx1, brushPixel_);
    }
    const Surface* pattern() const
    {
        const TBitmap* b = brush_.Bitmap;
        return b && !b->Surface().empty() ? &b->Surface() : nullptr;
    }
    // Brush over the canvas rectangle r, clipped once. Pattern rows repeat
    // every pattern height, so later rows copy the row one period above;
    // solid rows are simply filled.
    void brushRect(const TRect& r)
    {
        const int sx0 = std::max(r.Left + t_.origin.X, clip_.Left), sx1 = std::min(r.Right + t_.origin.X, clip_.Right);
        const int sy0 = std::max(r.Top + t_.origin.Y, clip_.Top), sy1 = std::min(r.Bottom + t_.origin.Y, clip_.Bottom);
        if (sx0 >= sx1) return;
        const Surface* p = pattern();
        for (int sy = sy0; sy < sy1; ++sy) {
            std::uint32_t* row = t_.surface->row(sy);
            if (p && sy - sy0 >= p->height()) std::copy_n(t_.surface->row(sy - p->height()) + sx0, sx1 - sx0, row + sx0);
            else brushRow(row, sx0, sx1, sy);
        }
    }
    bool brushPaints() const { return brush_.Bitmap || brush_.Style != TBrushStyle::bsClear; }
    bool penPaints() const { return pen_.Style != psClear; }
    void brushPixel(int x, int y) { brushSpan(x, x + 1, y); }

    // Bresenham from a to b, b excluded. A one-pixel pen draws straight
    // lines as clipped spans, the same pixels as the general walk.
    void line(TPoint a, TPoint b)
    {
        if (!penPaints()) return;
        const bool thin = pen_.Width <= 1;
        if (thin && a.Y == b.Y) {
            if (a.X < b.X) penSpan(a.X, b.X, a.Y);
            else penSpan(b.X + 1, a.X + 1, a.Y);
            return;
        }
        if (thin && a.X == b.X) {
            if (a.Y < b.Y) penColumn(a.X, a.Y, b.Y);
            else penColumn(a.X, b.Y + 1, a.Y + 1);
            return;
        }
        int x = a.X, y = a.Y;
        const int dx = std::abs(b.X - a.X), sx = a.X < b.X ? 1 : -1;
        const int dy = -std::abs(b.Y - a.Y), sy = a.Y < b.Y ? 1 : -1;
        int err = dx + dy;
        while (x != b.X || y != b.Y) {
            if (!thin) plotPen(x, y);
            else if (inClip(x + t_.origin.X, y + t_.origin.Y)) penPixel(t_.surface->row(y + t_.origin.Y)[x + t_.origin.X]);
            const int e2 = 2 * err;
            if (e2 >= dy) { err += dy; x += sx; }
            if (e2 <= dx) { err += dx; y += sy; }
        }
    }

    const CanvasTarget& t_;
    TPen& pen_;
    TBrush& brush_;
    std::uint32_t penPixel_;
    std::uint32_t brushPixel_;
    TRect clip_;
};

struct EllipseShape {
    double cx, cy, a, b;
    explicit EllipseShape(int l, int t, int r, int bt) : cx((l + r) / 2.0), cy((t + bt) / 2.0), a((r - l) / 2.0), b((bt - t) / 2.0) {}
    bool inside(int x, int y) const
    {
        if (a <= 0 || b <= 0) return false;
        const double u = (x + 0.5 - cx) / a, v = (y + 0.5 - cy) / b;
        return u * u + v * v <= 1.0;
    }
    bool outline(int x, int y, int w) const
    {
        if (!inside(x, y)) return false;
        return !inside(x - w, y) || !inside(x + w, y) || !inside(x, y - w) || !inside(x, y + w);
    }
};

void Normalise(int& l, int& t, int& r, int& b)
{
    if (r < l) std::swap(l, r);
    if (b < t) std::swap(t, b);
}

}  // namespace

// ---- TFont ----

void TFont::SetName(std::string_view name) { if (name_ != name) { name_ = name; Changed(); } }
void TFont::SetHeight(int height) { if (height_ != height) { height_ = height; Changed(); } }
int TFont::Size() const { return (std::abs(height_) * 72 + 48) / 96; }
void TFont::SetSize(int points) { SetHeight(-((points * 96 + 36) / 72)); }
void TFont::SetColor(TColor color) { if (color_ != color) { color_ = color; Changed(); } }
void TFont::SetStyle(TFontStyles style) { if (!(style_ == style)) { style_ = style; Changed(); } }
void TFont::SetPitch(TFontPitch pitch) { if (pitch_ != pitch) { pitch_ = pitch; Changed(); } }
void TFont::Assign(const TFont& source)
{
    if (SameAs(source)) return;
    name_ = source.name_;
    height_ = source.height_;
    color_ = source.color_;
    style_ = source.style_;
    pitch_ = source.pitch_;
    Changed();
}
bool TFont::SameAs(const TFont& o) const
{
    return name_ == o.name_ && height_ == o.height_ && color_ == o.color_ && style_ == o.style_ && pitch_ == o.pitch_;
}
void TFont::Changed() { InvokeEvent(OnChange); }

// ---- TCanvas ----

TCanvas::TCanvas() = default;
TCanvas::~TCanvas() = default;

void TCanvas::Changed()
{
    gui::detail::PictureChanged();
    InvokeEvent(OnChange);
}

TRect TCanvas::ClipRect() const
{
    if (!target_.surface) return TRect{};
    TRect c = IntersectRect(target_.clip, TRect{0, 0, target_.surface->width(), target_.surface->height()});
    return OffsetRect(c, -target_.origin.X, -target_.origin.Y);
}

void TCanvas::MoveTo(int x, int y) { penPos_ = TPoint{x, y}; }

void TCanvas::LineTo(int x, int y)
{
    Raster r(target_, pen_, brush_);
    if (r.ok()) r.line(penPos_, TPoint{x, y});
    penPos_ = TPoint{x, y};
    if (r.ok()) Changed();
}

void TCanvas::Polyline(std::span<const TPoint> points)
{
    if (points.empty()) return;
    Raster r(target_, pen_, brush_);
    if (r.ok())
        for (std::size_t i = 1; i < points.size(); ++i) r.line(points[i - 1], points[i]);
    penPos_ = points.back();
    if (r.ok()) Changed();
}

void TCanvas::Polygon(std::span<const TPoint> points)
{
    Raster r(target_, pen_, brush_);
    if (!r.ok() || points.size() < 2) return;
    if (r.brushPaints() && points.size() >= 3) {
        int ymin = points[0].Y, ymax = points[0].Y;
        for (const TPoint& p : points) { ymin = std::min(ymin, p.Y); ymax = std::max(ymax, p.Y); }
        ymin = std::max(ymin, r.clip_.Top - target_.origin.Y);
        ymax = std::min(ymax, r.clip_.Bottom - target_.origin.Y);
        std::vector<double> xs;
        for (int y = ymin; y <= ymax; ++y) {
            xs.clear();
            for (std::size_t i = 0; i < points.size(); ++i) {
                const TPoint a = points[i], b = points[(i + 1) % points.size()];
                if (a.Y == b.Y) continue;
                const int lo = std::min(a.Y, b.Y), hi = std::max(a.Y, b.Y);
                if (y < lo || y >= hi) continue;  // half-open: a vertex counts once
                xs.push_back(a.X + static_cast<double>(y - a.Y) * (b.X - a.X) / (b.Y - a.Y));
            }
            std::sort(xs.begin(), xs.end());
            for (std::size_t i = 0; i + 1 < xs.size(); i += 2) {
                const int x0 = static_cast<int>(std::ceil(xs[i] - 1e-9));
                const int x1 = static_cast<int>(std::floor(xs[i + 1] + 1e-9));
                if (x1 >= x0) r.brushSpan(x0, x1 + 1, y);
            }
        }
    }
    for (std::size_t i = 0; i < points.size(); ++i) r.line(points[i], points[(i + 1) % points.size()]);
    Changed();
}

void TCanvas::Rectangle(int left, int top, int right, int bottom)
{
    Normalise(left, top, right, bottom);
    Raster r(target_, pen_, brush_);
    if (!r.ok()) return;
    if (!r.penPaints()) {
        r.brushRect(TRect{left, top, right - 1, bottom - 1});
        Changed();
        return;
    }
    const int w = std::max(1, pen_.Width);
    r.brushRect(TRect{left + w, top + w, right - w, bottom - w});
    TPen saved = pen_;
    pen_.Width = 1;
    for (int k = 0; k < w; ++k) {
        const int l = left + k, t = top + k, rr = right - 1 - k, b = bottom - 1 - k;
        if (rr < l || b < t) break;
        // Each ring's pixels once, so that mixing pen modes mix once.
        r.penSpan(l, rr + 1, t);
        if (b != t) r.penSpan(l, rr + 1, b);
        r.penColumn(l, t + 1, b);
        if (rr != l) r.penColumn(rr, t + 1, b);
    }
    pen_ = saved;
    Changed();
}

void TCanvas::FillRect(const TRect& rect)
{
    Raster r(target_, pen_, brush_);
    if (!r.ok()) return;
    r.brushRect(rect);
    Changed();
}

void TCanvas::FrameRect(const TRect& rect)
{
    Raster r(target_, pen_, brush_);
    if (!r.ok() || rect.IsEmpty()) return;
    r.brushSpan(rect.Left, rect.Right, rect.Top);
    r.brushSpan(rect.Left, rect.Right, rect.Bottom - 1);
    for (int y = rect.Top + 1; y < rect.Bottom - 1; ++y) {
        r.brushPixel(rect.Left, y);
        r.brushPixel(rect.Right - 1, y);
    }
    Changed();
}

void TCanvas::Ellipse(int left, int top, int right, int bottom)
{
    Normalise(left, top, right, bottom);
    Raster r(target_, pen_, brush_);
    if (!r.ok()) return;
    const EllipseShape e(left, top, right, bottom);
    const int w = std::max(1, pen_.Width);
    TPen saved = pen_;
    pen_.Width = 1;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            if (!e.inside(x, y)) continue;
            if (r.penPaints() && e.outline(x, y, w)) r.plotPen(x, y);
            else r.brushPixel(x, y);
        }
    pen_ = saved;
    Changed();
}

void TCanvas::Arc(int left, int top, int right, int bottom, int xs, int ys, int xe, int ye)
{
    Normalise(left, top, right, bottom);
    Raster r(target_, pen_, brush_);
    if (!r.ok() || !r.penPaints()) return;
    const EllipseShape e(left, top, right, bottom);
    constexpr double kTwoPi = 2 * std::numbers::pi;
    auto angle = [&](double x, double y) {
        double a = std::atan2(-(y - e.cy), x - e.cx);  // screen y grows downwards
        return a < 0 ? a + kTwoPi : a;
    };
    const double start = angle(xs, ys);
    double sweep = angle(xe, ye) - start;
    if (sweep <= 0) sweep += kTwoPi;
    const int w = std::max(1, pen_.Width);
    TPen saved = pen_;
    pen_.Width = 1;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            if (!e.outline(x, y, w)) continue;
            double d = angle(x + 0.5, y + 0.5) - start;
            if (d < 0) d += kTwoPi;
            if (d <= sweep) r.plotPen(x, y);
        }
    pen_ = saved;
    Changed();
}

namespace {

// One row of a same-size copy through a raster operation, the operation
// chosen once per row rather than per pixel.
void CopyRow(std::uint32_t* d, const std::uint32_t* s, int n, DWORD rop)
{
    switch (rop) {
    case SRCCOPY: std::copy_n(s, n, d); return;
    case SRCAND: for (int k = 0; k < n; ++k) d[k] &= s[k]; return;
    case SRCPAINT: for (int k = 0; k < n; ++k) d[k] |= s[k]; return;
    case SRCINVERT: for (int k = 0; k < n; ++k) d[k] ^= s[k]; return;
    case NOTSRCCOPY: for (int k = 0; k < n; ++k) d[k] = ~s[k] & kMask; return;
    default: for (int k = 0; k < n; ++k) d[k] = Rop(rop, d[k], s[k]); return;
    }
}

// How source pixels reach the destination: a 1-bit source takes the text
// and brush colours; a keyed (transparent) source leaves the destination
// alone wherever it holds the key.
struct SourceMap {
    bool mono = false;
    std::uint32_t textPixel = 0;
    std::uint32_t backPixel = 0;
    bool keyed = false;
    std::uint32_t key = 0;
    std::uint32_t operator()(std::uint32_t px) const { return mono ? ((px & kMask) == 0 ? textPixel : backPixel) : px; }
    bool skips(std::uint32_t px) const { return keyed && px == key; }
};

// A same-size copy: the rectangle that both the clip and the source allow is
// found once, then copied row by row. A copy within one surface reads from a
// copy of just the source rows it needs.
void BlitSameSize(const CanvasTarget& dt, const TRect& clip, const TRect& dr, const Surface& src, TPoint srcOrigin,
                  const TRect& sr, DWORD rop, const SourceMap& map)
{
    Surface& dst = *dt.surface;
    const int dx0 = dr.Left + dt.origin.X, dy0 = dr.Top + dt.origin.Y;
    const int sx0 = sr.Left + srcOrigin.X, sy0 = sr.Top + srcOrigin.Y;
    const int i0 = std::max({0, clip.Left - dx0, -sx0}), i1 = std::min({dr.Width(), clip.Right - dx0, src.width() - sx0});
    const int j0 = std::max({0, clip.Top - dy0, -sy0}), j1 = std::min({dr.Height(), clip.Bottom - dy0, src.height() - sy0});
    if (i0 >= i1 || j0 >= j1) return;
    const int n = i1 - i0;
    std::vector<std::uint32_t> rows;
    if (&src == &dst || map.mono) {
        // The source as it was before the copy, monochrome already mapped.
        rows.resize(static_cast<std::size_t>(n) * static_cast<std::size_t>(j1 - j0));
        for (int j = j0; j < j1; ++j) {
            const std::uint32_t* s = src.row(sy0 + j) + sx0 + i0;
            std::uint32_t* out = rows.data() + static_cast<std::size_t>(j - j0) * static_cast<std::size_t>(n);
            if (map.mono && !map.keyed) std::transform(s, s + n, out, map);
            else std::copy_n(s, n, out);
        }
    }
    for (int j = j0; j < j1; ++j) {
        const std::uint32_t* s = rows.empty() ? src.row(sy0 + j) + sx0 + i0
                                              : rows.data() + static_cast<std::size_t>(j - j0) * static_cast<std::size_t>(n);
        std::uint32_t* d = dst.row(dy0 + j) + dx0 + i0;
        if (!map.keyed) {
            CopyRow(d, s, n, rop);
            continue;
        }
        for (int k = 0; k < n; ++k)
            if (!map.skips(s[k])) d[k] = Rop(rop, d[k], map(s[k]));
    }
}

// Copies src (canvas-space rectangle sr) into dest (canvas-space rectangle dr)
// through a raster operation; different sizes stretch by nearest pixel.
void Blit(const CanvasTarget& dt, const TRect& dr, const Surface& src, TPoint srcOrigin, const TRect& sr, DWORD rop,
          const SourceMap& map)
{
    if (!dt.surface || dr.IsEmpty() || sr.IsEmpty()) return;
    Surface& dst = *dt.surface;
    const TRect clip = IntersectRect(dt.clip, TRect{0, 0, dst.width(), dst.height()});
    const int w = dr.Width(), h = dr.Height();
    if (w == sr.Width() && h == sr.Height()) {
        BlitSameSize(dt, clip, dr, src, srcOrigin, sr, rop, map);
        return;
    }
    Surface copy;
    const Surface* from = &src;
    if (&src == &dst) {
        copy = src;
        from = &copy;
    }
    for (int j = 0; j < h; ++j) {
        const int dy = dr.Top + j + dt.origin.Y;
        if (dy < clip.Top || dy >= clip.Bottom) continue;
        const int sy = sr.Top + static_cast<int>(static_cast<std::int64_t>(j) * sr.Height() / h) + srcOrigin.Y;
        if (sy < 0 || sy >= from->height()) continue;
        const std::uint32_t* srow = from->row(sy);
        std::uint32_t* drow = dst.row(dy);
        for (int i = 0; i < w; ++i) {
            const int dx = dr.Left + i + dt.origin.X;
            if (dx < clip.Left || dx >= clip.Right) continue;
            const int sx = sr.Left + static_cast<int>(static_cast<std::int64_t>(i) * sr.Width() / w) + srcOrigin.X;
            if (sx < 0 || sx >= from->width() || map.skips(srow[sx])) continue;
            drow[dx] = Rop(rop, drow[dx], map(srow[sx]));
        }
    }
}

// A bitmap's pixels as they reach this canvas.
SourceMap BitmapMap(const TBitmap& bitmap, std::uint32_t textPixel, std::uint32_t backPixel)
{
    SourceMap map{bitmap.Monochrome(), textPixel, backPixel, bitmap.Transparent(), 0};
    if (map.keyed) map.key = gui::ToPixel(bitmap.TransparentColor());
    return map;
}

}  // namespace

void TCanvas::CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect)
{
    if (!source || !source->target_.surface || !target_.surface) return;
    Blit(target_, dest, *source->target_.surface, source->target_.origin, sourceRect, copyMode_, SourceMap{});
    Changed();
}

void TCanvas::Draw(int x, int y, const TBitmap* bitmap)
{
    if (!bitmap || bitmap->Surface().empty() || !target_.surface) return;
    const int w = bitmap->Width(), h = bitmap->Height();
    Blit(target_, Bounds(x, y, w, h), bitmap->Surface(), TPoint{}, TRect{0, 0, w, h}, copyMode_,
         BitmapMap(*bitmap, Resolve(font_.Color()), Resolve(brush_.Color)));
    Changed();
}

void TCanvas::StretchDraw(const TRect& dest, const TBitmap* bitmap)
{
    if (!bitmap || bitmap->Surface().empty() || !target_.surface) return;
    Blit(target_, dest, bitmap->Surface(), TPoint{}, TRect{0, 0, bitmap->Width(), bitmap->Height()}, copyMode_,
         BitmapMap(*bitmap, Resolve(font_.Color()), Resolve(brush_.Color)));
    Changed();
}

void TCanvas::TextOut(int x, int y, std::string_view text)
{
    const TPoint size = gui::detail::MeasureText(font_, text);
    TextRect(Bounds(x, y, size.X, size.Y), x, y, text);
    penPos_ = TPoint{x + size.X, y};
}

void TCanvas::TextRect(const TRect& rect, int x, int y, std::string_view text)
{
    if (!target_.surface) return;
    CanvasTarget t = target_;
    t.clip = IntersectRect(t.clip, OffsetRect(rect, t.origin.X, t.origin.Y));
    Raster r(t, pen_, brush_);
    if (!r.ok()) return;
    if (brush_.Style == TBrushStyle::bsSolid && !brush_.Bitmap)
        r.brushRect(rect);
    const gui::detail::GlyphMask& mask = gui::detail::RenderText(font_, text);
    const std::uint32_t c = Resolve(font_.Color());
    for (int j = 0; j < mask.height; ++j) {
        const int sy = y + j + t.origin.Y;
        if (sy < r.clip_.Top || sy >= r.clip_.Bottom) continue;
        std::uint32_t* row = t.surface->row(sy);
        for (int i = 0; i < mask.width; ++i) {
            const int sx = x + i + t.origin.X;
            if (sx < r.clip_.Left || sx >= r.clip_.Right) continue;
            const unsigned a = mask.alpha[static_cast<std::size_t>(j * mask.width + i)];
            if (a == 0) continue;
            const std::uint32_t d = row[sx];
            std::uint32_t out = 0;
            for (int shift = 0; shift <= 16; shift += 8) {
                const unsigned dc = (d >> shift) & 0xFF, cc = (c >> shift) & 0xFF;
                out |= ((dc * (255 - a) + cc * a + 127) / 255) << shift;
            }
            row[sx] = out;
        }
    }
    Changed();
}

int TCanvas::TextWidth(std::string_view text) { return gui::detail::MeasureText(font_, text).X; }
int TCanvas::TextHeight(std::string_view text) { return gui::detail::MeasureText(font_, text).Y; }
TPoint TCanvas::TextExtent(std::string_view text) { return gui::detail::MeasureText(font_, text); }

TColor TCanvas::GetPixel(int x, int y) const
{
    if (!target_.surface) return 0xFFFFFFFF;
    const int sx = x + target_.origin.X, sy = y + target_.origin.Y;
    if (!target_.surface->contains(sx, sy)) return 0xFFFFFFFF;
    return gui::FromPixel(target_.surface->at(sx, sy));
}

void TCanvas::SetPixel(int x, int y, TColor color)
{
    TPen pen;
    pen.Color = color;
    Raster r(target_, pen, brush_);
    if (!r.ok()) return;
    r.plotPen(x, y);
    Changed();
}
