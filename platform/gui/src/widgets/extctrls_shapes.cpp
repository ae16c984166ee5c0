// Bevels (3D frames and lines) and shapes.
#include "widgets/look.h"
#include "widgets/property.h"

#include "gui/extctrls.h"

#include <algorithm>

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner)
{
    SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape s)
{
    gui::detail::StoreAndRepaint(*this, shape_, s);
}

void TBevel::SetStyle(TBevelStyle s)
{
    gui::detail::StoreAndRepaint(*this, style_, s);
}

void TBevel::Paint()
{
    TCanvas& c = *Canvas();
    // Lowered: dark where the light does not reach (top and left), light below.
    const bool lowered = style_ == TBevelStyle::bsLowered;
    const TColor first = lowered ? clBtnShadow : clBtnHighlight;
    const TColor second = lowered ? clBtnHighlight : clBtnShadow;
    const int w = Width(), h = Height();
    auto line = [&](TColor color, int x1, int y1, int x2, int y2) {
        c.Pen()->Color = color;
        c.Pen()->Style = psSolid;
        c.Pen()->Width = 1;
        c.MoveTo(x1, y1);
        c.LineTo(x2, y2);
    };
    switch (shape_) {
    case TBevelShape::bsBox:
        gui::detail::Frame3D(c, TRect{0, 0, w, h}, first, second);
        break;
    case TBevelShape::bsFrame:
        // An etched groove: an outer frame and an inner one in the other colours.
        gui::detail::Frame3D(c, TRect{1, 1, w, h}, second, second);
        gui::detail::Frame3D(c, TRect{0, 0, w - 1, h - 1}, first, first);
        break;
    case TBevelShape::bsTopLine:
        line(first, 0, 0, w, 0);
        line(second, 0, 1, w, 1);
        break;
    case TBevelShape::bsBottomLine:
        line(first, 0, h - 2, w, h - 2);
        line(second, 0, h - 1, w, h - 1);
        break;
    case TBevelShape::bsLeftLine:
        line(first, 0, 0, 0, h);
        line(second, 1, 0, 1, h);
        break;
    case TBevelShape::bsRightLine:
        line(first, w - 2, 0, w - 2, h);
        line(second, w - 1, 0, w - 1, h);
        break;
    case TBevelShape::bsSpacer:
        break;
    }
}

TShape::TShape(TComponent* AOwner) : TGraphicControl(AOwner)
{
    SetBounds(0, 0, 65, 65);
}

void TShape::SetShape(TShapeType s)
{
    gui::detail::StoreAndRepaint(*this, shape_, s);
}

void TShape::Paint()
{
    TCanvas& c = *Canvas();
    *c.Pen() = pen_;
    *c.Brush() = brush_;
    // Inside the pen, so that a wide outline stays within the control.
    const int inset = pen_.Width / 2;
    int w = Width() - 2 * inset, h = Height() - 2 * inset;
    int x = inset, y = inset;
    if (shape_ == stSquare || shape_ == stRoundSquare || shape_ == stCircle) {
        const int side = std::min(w, h);
        x += (w - side) / 2;
        y += (h - side) / 2;
        w = h = side;
    }
    if (w <= 0 || h <= 0) return;
    switch (shape_) {
    case stEllipse:
    case stCircle:
        c.Ellipse(x, y, x + w, y + h);
        break;
    case stRoundRect:
    case stRoundSquare: {
        // Corners cut round by a quarter of the smaller side.
        const int r = std::max(1, std::min(w, h) / 4);
        c.Polygon({TPoint{x + r, y}, TPoint{x + w - 1 - r, y}, TPoint{x + w - 1, y + r}, TPoint{x + w - 1, y + h - 1 - r},
                   TPoint{x + w - 1 - r, y + h - 1}, TPoint{x + r, y + h - 1}, TPoint{x, y + h - 1 - r}, TPoint{x, y + r}});
        break;
    }
    default:
        c.Rectangle(x, y, x + w, y + h);
    }
}
