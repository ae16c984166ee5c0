// How the knob draws itself: the face with its highlight and shadow arcs,
// the outline, and the dot. The dot is also drawn at once, outside a paint
// cycle, whenever the position changes; before the knob has a window that
// drawing does nothing and the next Paint shows the dot.
#include "controls/knob.h"

#include "controls/knob_law.h"

void TKnob::Paint()
{
    PaintKnob();
    PaintState();
    PaintIndicator();
}

void TKnob::PaintKnob()
{
    TCanvas* c = Canvas();
    const TRect r = ClientRect();
    c->Pen()->Color = clBtnFace;
    c->Brush()->Color = clBtnFace;
    c->Brush()->Style = TBrushStyle::bsSolid;
    c->Ellipse(2, 2, Width() - 2, Height() - 2);
    c->Pen()->Width = 1;
    c->Pen()->Color = clBtnHighlight;
    c->Arc(r.Left + 2, r.Top + 2, r.Right, r.Bottom, r.Right, r.Top, r.Left, r.Bottom);  // upper-left half
    c->Pen()->Color = clBtnShadow;
    c->Arc(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1, r.Left, r.Bottom, r.Right, r.Top);  // lower-right half
}

void TKnob::PaintState()
{
    TCanvas* c = Canvas();
    const TRect r = ClientRect();
    c->Pen()->Width = 1;
    c->Brush()->Style = TBrushStyle::bsClear;
    c->Pen()->Color = Enabled() ? clBlack : clBtnShadow;
    c->Ellipse(0, 0, Width(), Height());
    c->Pen()->Color = clBtnShadow;
    c->Arc(r.Left, r.Top, r.Right, r.Bottom, r.Right, r.Top, r.Left, r.Bottom);
    if (FPositionLabel != nullptr) FPositionLabel->SetEnabled(Enabled());
}

// The brush is left as the last paint left it.
void TKnob::PaintIndicator()
{
    TCanvas* c = Canvas();
    c->Pen()->Color = clBtnFace;
    c->Pen()->Width = 1;
    c->Ellipse(FIndicatorX - 2, FIndicatorY - 2, FIndicatorX + 2, FIndicatorY + 2);
    const Knob::IndicatorPoint p = Knob::IndicatorAt(FAngle, FRadius);
    FIndicatorX = p.x;
    FIndicatorY = p.y;
    c->Pen()->Color = FLineColor;
    c->Ellipse(FIndicatorX - 2, FIndicatorY - 2, FIndicatorX + 2, FIndicatorY + 2);
}
