// Runs the drawing steps of a thumb shape on the thumb and mask canvases.
#include "controls/slide_bar_thumb_builder.h"

#include "controls/slide_bar_thumbs.h"

#include <array>

namespace {

using SlideBar::ThumbInk;
using SlideBar::ThumbStep;
using SlideBar::ThumbStepKind;

constexpr TColor InnerShadow = 0x808080;  // RGB(128,128,128)

TColor InkColor(ThumbInk ink, TColor face)
{
    switch (ink) {
    case ThumbInk::Face: return face;
    case ThumbInk::Grey: return InnerShadow;
    case ThumbInk::Black: return clBlack;
    case ThumbInk::White: return clWhite;
    }
    return clBlack;
}

void SetPenAndBrush(TCanvas& c, TColor pen, TColor brush)
{
    c.Pen()->Color = pen;
    c.Pen()->Style = psSolid;
    c.Pen()->Width = 1;
    c.Brush()->Color = brush;
    c.Brush()->Style = TBrushStyle::bsSolid;
}

void RunStep(const ThumbStep& step, TColor face, TCanvas& c)
{
    std::array<TPoint, 8> pts{};
    for (int i = 0; i < step.count; ++i) pts[static_cast<std::size_t>(i)] = Point(step.points[i].x, step.points[i].y);
    const std::span<const TPoint> points(pts.data(), step.count);
    const TColor ink = InkColor(step.ink, face);
    switch (step.kind) {
    case ThumbStepKind::Polyline:
        SetPenAndBrush(c, ink, ink);
        c.Polyline(points);
        break;
    case ThumbStepKind::Polygon:
        SetPenAndBrush(c, ink, ink);
        c.Polygon(points);
        break;
    case ThumbStepKind::Box:
        SetPenAndBrush(c, ink, ink);
        c.Rectangle(pts[0].X, pts[0].Y, pts[1].X, pts[1].Y);
        break;
    case ThumbStepKind::Ellipse:
        SetPenAndBrush(c, ink, InkColor(step.brush, face));
        c.Ellipse(pts[0].X, pts[0].Y, pts[1].X, pts[1].Y);
        break;
    case ThumbStepKind::Arc:
        c.Pen()->Color = ink;
        c.Arc(pts[0].X, pts[0].Y, pts[1].X, pts[1].Y, pts[2].X, pts[2].Y, pts[3].X, pts[3].Y);
        break;
    }
}

}  // namespace

void ClearThumbMask(TBitmap& mask)
{
    TCanvas& c = *mask.Canvas();
    SetPenAndBrush(c, clBlack, clBlack);
    c.Rectangle(0, 0, mask.Width(), mask.Height());
}

void BuildThumbBitmaps(int style, TColor face, TBitmap& thumb, TBitmap& mask)
{
    const SlideBar::ThumbShape& shape = SlideBar::ThumbShapeOf(style);
    if (shape.base >= 0) {
        BuildThumbBitmaps(shape.base, face, thumb, mask);
    } else {
        thumb.SetSize(shape.width, shape.height);
        mask.SetSize(shape.width, shape.height);
        if (shape.clearMask) ClearThumbMask(mask);
        if (shape.fillFace) {
            SetPenAndBrush(*thumb.Canvas(), face, face);
            thumb.Canvas()->FillRect(Rect(0, 0, shape.width, shape.height));
        }
    }
    for (const ThumbStep& step : shape.steps) {
        TBitmap& target = step.target == SlideBar::ThumbTarget::Thumb ? thumb : mask;
        RunStep(step, face, *target.Canvas());
    }
}
