// TKnob, the rotary knob: an integer Position between Min and Max shown as a
// dot travelling over a 300-degree sweep of a drawn knob. It turns by
// dragging, by the keyboard or by setting Position; every SetParams fires
// OnChange, also when nothing changed. Max may lie below Min (a reversed
// knob). Its keys run OnKeyDown FIRST, then act on the key as the handler
// left it. An optional label shows the number.
#pragma once

#include <vcl.h>

#include <cstdint>

class TKnob : public TCustomControl {
public:
    explicit TKnob(TComponent* AOwner);
    ~TKnob() override;

    int Max() const { return FMax; }
    void SetMax(int v);
    int Min() const { return FMin; }
    void SetMin(int v);
    TColor LineColor() const { return FLineColor; }
    void SetLineColor(TColor c);
    int Position() const { return FPosition; }
    void SetPosition(int v);
    // Stored directly, without a setter's work.
    Word PageSize() const { return FPageSize; }
    void SetPageSize(Word v) { FPageSize = v; }
    TLabel* PositionLabel() const { return FPositionLabel; }
    void SetPositionLabel(TLabel* label);
    bool SpringLoaded() const { return FSpringLoaded; }
    void SetSpringLoaded(bool v);
    // The one place where Position, Min and Max change.
    void SetParams(int APosition, int AMin, int AMax);

    // The dot's direction in whole degrees and where it was last drawn.
    int Angle() const { return FAngle; }
    TPoint IndicatorPoint() const { return Point(FIndicatorX, FIndicatorY); }
    int Radius() const { return FRadius; }

    TNotifyEvent OnChange;

    void WndProc(TMessage& Message) override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Paint() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void SetSteps();
    void CalcAngle();
    void ShowPosition(int v);
    void PaintKnob();
    void PaintState();
    void PaintIndicator();
    void Square();

    TColor FLineColor = clActiveCaption;
    int FMin = 0;
    int FMax = 127;
    int FPosition = 0;
    TLabel* FPositionLabel = nullptr;
    bool FSpringLoaded = false;
    Word FPageSize = 10;
    int FLastSide = 0;
    int FRadius = 20;
    float FDegreesPerStep = 0.0f;
    int FAngle = 0;
    bool FDragging = false;
    int FDragStartPosition = 0;
    int FDragStartX = 0;
    int FDragStartY = 0;
    int FIndicatorX = 0;
    int FIndicatorY = 0;
};

// The knob unit's start-up and shut-down only count.
void KnobUnitStartup();
void KnobUnitShutdown();
int KnobUnitStartups();

namespace Knob {
// Design-time registration on the palette page "Custom"; the program never
// calls it.
void Register();
}  // namespace Knob
