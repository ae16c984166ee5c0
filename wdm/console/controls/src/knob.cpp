// The knob's value model, input and messages.
#include "controls/knob.h"

#include "controls/knob_law.h"

#include <limits>

namespace {

TUnitCounter KnobCounter;

int Saturated(std::int64_t v)
{
    if (v < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    if (v > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    return static_cast<int>(v);
}

}  // namespace

TKnob::TKnob(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetBounds(Left(), Top(), 40, 40);
    FRadius = 20;
    FMin = 0;
    FMax = 127;
    FPosition = 0;
    FPageSize = 10;
    FSpringLoaded = false;
    FLineColor = clActiveCaption;
    SetTabStop(true);
    SetControlStyle(ControlStyle() + TControlStyle{csOpaque});
}

TKnob::~TKnob()
{
    if (FPositionLabel != nullptr) FPositionLabel->RemoveFreeNotification(this);
}

void TKnob::SetPosition(int v) { SetParams(v, FMin, FMax); }
void TKnob::SetMin(int v) { SetParams(FPosition, v, FMax); }
void TKnob::SetMax(int v) { SetParams(FPosition, FMin, v); }

void TKnob::SetParams(int APosition, int AMin, int AMax)
{
    if (AMin != FMin) {
        FMin = AMin;
        SetSteps();
    }
    if (AMax != FMax) {
        FMax = AMax;
        SetSteps();
    }
    FPosition = Knob::BoundedPosition(APosition, AMin, AMax, FDegreesPerStep);
    CalcAngle();
    PaintIndicator();
    ShowPosition(FPosition);
    // Every call tells, also when nothing changed.
    if (!ComponentState().Contains(csDesigning)) InvokeEvent(OnChange, this);
}

void TKnob::SetSteps() { FDegreesPerStep = Knob::DegreesPerStep(FMin, FMax); }

void TKnob::CalcAngle() { FAngle = Knob::Angle(FPosition, FMin, FDegreesPerStep); }

void TKnob::SetLineColor(TColor c)
{
    if (c == FLineColor || c == clBtnFace) return;
    FLineColor = c;
    Invalidate();
}

void TKnob::SetSpringLoaded(bool v)
{
    FSpringLoaded = v;
    if (v) SetPosition(0);
}

void TKnob::SetPositionLabel(TLabel* label)
{
    if (FPositionLabel != nullptr && FPositionLabel != label) FPositionLabel->RemoveFreeNotification(this);
    FPositionLabel = label;
    if (FPositionLabel != nullptr) {
        FPositionLabel->FreeNotification(this);
        ShowPosition(FPosition);
    }
}

void TKnob::ShowPosition(int v)
{
    // The caption is appended as text, never read as a format.
    if (FPositionLabel != nullptr) FPositionLabel->SetText(Format("%d ", v) + Caption());
}

void TKnob::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (AComponent != nullptr && AComponent == FPositionLabel && Operation == opRemove) {
        FPositionLabel = nullptr;  // it is going: no removal request to it
        SetPositionLabel(nullptr);
    }
}

void TKnob::Square()
{
    const int side = Knob::SquaredSide(FLastSide, Width(), Height());
    SetBounds(Left(), Top(), side, side);
    FLastSide = side;
    FRadius = side / 2;
}

void TKnob::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (Button == mbLeft) {
        if (Shift.Contains(ssCtrl)) {
            SetPosition(0);
            PaintIndicator();
        } else if (Knob::InsideFace(X, Y, Width(), Height())) {
            SetFocus();
            FDragging = true;
            FDragStartPosition = FPosition;
            FDragStartX = X;
            FDragStartY = Y;
            PaintIndicator();
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TKnob::MouseMove(TShiftState Shift, int X, int Y)
{
    if (FDragging) {
        const int position = Knob::DragPosition(FDragStartPosition, FDragStartX, FDragStartY, X, Y);
        if (position != FPosition) SetPosition(position);
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TKnob::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (FDragging) {
        if (FSpringLoaded) SetPosition(0);
        FDragging = false;
    }
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TKnob::KeyDown(Word& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    const std::int64_t position = FPosition;
    switch (Key) {
    case VK_PRIOR: SetPosition(Saturated(position + FPageSize)); break;
    case VK_NEXT: SetPosition(Saturated(position - FPageSize)); break;
    case VK_END: SetPosition(FMax); break;
    case VK_HOME: SetPosition(FMin); break;
    case VK_LEFT:
    case VK_DOWN: SetPosition(Saturated(position - 1)); break;
    case VK_RIGHT:
    case VK_UP: SetPosition(Saturated(position + 1)); break;
    default: break;
    }
}

void TKnob::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_CREATE:
        TCustomControl::WndProc(Message);
        SetSteps();
        CalcAngle();
        return;
    case WM_SIZE:
        Square();
        TCustomControl::WndProc(Message);
        return;
    case WM_KILLFOCUS:
        FDragging = false;
        if (FSpringLoaded) SetPosition(0);
        TCustomControl::WndProc(Message);
        return;
    case WM_GETDLGCODE:
        TCustomControl::WndProc(Message);
        Message.Result = DLGC_WANTARROWS;
        return;
    case CM_MOUSELEAVE:
        ShowPosition(FPosition);
        TCustomControl::WndProc(Message);
        return;
    case CM_TEXTCHANGED:
        ShowPosition(FPosition);
        return;
    case CM_ENABLEDCHANGED:
        PaintState();
        TCustomControl::WndProc(Message);
        return;
    case CM_VISIBLECHANGED:
        if (FPositionLabel != nullptr) FPositionLabel->SetVisible(Visible());
        TCustomControl::WndProc(Message);
        return;
    case CM_PARENTCOLORCHANGED:
        if (Parent() != nullptr) {
            // The host's brush turns solid when given a colour.
            Canvas()->Brush()->Color = Parent()->Brush()->Color;
            Canvas()->Brush()->Style = TBrushStyle::bsSolid;
        }
        Canvas()->FillRect(ClientRect());
        Paint();
        TCustomControl::WndProc(Message);
        return;
    default:
        TCustomControl::WndProc(Message);
    }
}

void KnobUnitStartup() { KnobCounter.Startup(); }
void KnobUnitShutdown() { KnobCounter.Shutdown(); }
int KnobUnitStartups() { return KnobCounter.Count(); }

namespace Knob {
void Register() { RegisterComponents("Custom", {ClassOf<TKnob>()}); }
}  // namespace Knob
