// The slider's value model, its keyboard and mouse handling and its messages.
#include "controls/slide_bar.h"

#include "controls/slide_bar_math.h"
#include "controls/slide_bar_thumb_builder.h"

using SlideBar::LargerOf;
using SlideBar::SmallerOf;

TzSlideBar::TzSlideBar(TComponent* AOwner) : TCustomControl(AOwner)
{
    // Stores only: the constructor fires no event.
    FJumpToMouse = true;
    FAutoFocus = false;
    FColor = clBtnFace;
    FSteelLook = false;
    SetBounds(Left(), Top(), 100, 20);
    FTickSize = 4;
    FTickSpace = 3;
    FTickStyle = TzTickStyle::tsNormal;
    FThumbStyle = TThumbStyle::tsVertHigh;
    BuildThumb();
    FFocusColor = clActiveCaption;
    FNonFocusColor = clBtnFace;
    FLabels = std::make_unique<TStringList>();
    FMin = 0;
    FMax = 10;
    FOrientation = TOrientation::orHorizontal;
    FValue = 0;
    FStyle = TBarStyle::bsLowered;
    FThickness = 2;
    FTicks = true;
    FTickWhere = TBarTickStyle::ttsBoth;
    FStepPerTick = 1;
    FDragging = false;
    FPressCoordinate = 0;
    SetTabStop(true);
    FThumbHalfHeight = FThumb->Height() / 2;
    FThumbHalfWidth = FThumb->Width() / 2;
}

TzSlideBar::~TzSlideBar() = default;

void TzSlideBar::BuildThumb()
{
    FThumb = std::make_unique<TBitmap>();
    FThumbMask = std::make_unique<TBitmap>();
    BuildThumbBitmaps(static_cast<int>(FThumbStyle), FColor, *FThumb, *FThumbMask);
}

void TzSlideBar::SetValue(int v)
{
    if (v == FValue) return;
    // A value outside the range is refused, but still repaints and tells.
    if (FMin <= v && v <= FMax) FValue = v;
    Refresh();
    if (ComponentState().Contains(csDesigning)) return;
    InvokeEvent(OnChange, this);
    if (FValue == FMin) InvokeEvent(OnMinimum, this);
    if (FValue == FMax) InvokeEvent(OnMaximum, this);
}

// Changing the range leaves Value where it is, even outside the new range.
void TzSlideBar::SetMin(int v)
{
    if (v >= FMax || v == FMin) return;
    FMin = v;
    Refresh();
}

void TzSlideBar::SetMax(int v)
{
    if (v <= FMin || v == FMax) return;
    FMax = v;
    Refresh();
}

void TzSlideBar::SetThickness(int v)
{
    if (v == FThickness || v < 1 || v > 10) return;
    FThickness = static_cast<std::uint8_t>(v);
    Refresh();
}

namespace {

// Stores a changed value and repaints; an equal value does nothing.
template <class T>
void StoreChanged(TzSlideBar& bar, T& field, T v)
{
    if (field == v) return;
    field = v;
    bar.Refresh();
}

}  // namespace

void TzSlideBar::SetOrientation(TOrientation v) { StoreChanged(*this, FOrientation, v); }
void TzSlideBar::SetStyle(TBarStyle v) { StoreChanged(*this, FStyle, v); }
void TzSlideBar::SetTickWhere(TBarTickStyle v) { StoreChanged(*this, FTickWhere, v); }
void TzSlideBar::SetTickSize(int v) { StoreChanged(*this, FTickSize, v); }
void TzSlideBar::SetTickSpace(int v) { StoreChanged(*this, FTickSpace, v); }
void TzSlideBar::SetFocusColor(TColor c) { StoreChanged(*this, FFocusColor, c); }
void TzSlideBar::SetNonFocusColor(TColor c) { StoreChanged(*this, FNonFocusColor, c); }
void TzSlideBar::SetSteelLook(bool v) { StoreChanged(*this, FSteelLook, v); }

void TzSlideBar::SetStepPerTick(TBarTick v)
{
    // Below 1 the tick loop would never end.
    if (v < 1) return;
    StoreChanged(*this, FStepPerTick, v);
}

void TzSlideBar::SetTickStyle(TzTickStyle v)
{
    FTickStyle = v;
    Refresh();
}

void TzSlideBar::SetTicks(bool v)
{
    FTicks = v;
    Refresh();
}

void TzSlideBar::SetColor(TColor c)
{
    FColor = c;
    SetThumbStyle(FThumbStyle);  // the thumb in its new face colour
}

void TzSlideBar::SetThumbStyle(TThumbStyle s)
{
    FThumb.reset();
    FThumbMask.reset();
    FThumbStyle = s;
    BuildThumb();
    FThumbHalfHeight = FThumb->Height() / 2;
    FThumbHalfWidth = FThumb->Width() / 2;
    Refresh();
}

bool TzSlideBar::IsVertical() { return FOrientation == TOrientation::orVertical; }

int TzSlideBar::PointToValue(int X, int Y)
{
    const bool vertical = IsVertical();
    return SlideBar::PointToValueOnBar(vertical ? Y : X, vertical ? Height() : Width(), vertical, FMin, FMax);
}

void TzSlideBar::CalcThumbRect()
{
    const int w = FThumb->Width();
    const int h = FThumb->Height();
    int left, top;
    if (IsVertical()) {
        top = SlideBar::ThumbOffset(Height(), h, true, FValue, FMin, FMax);
        left = (Width() - w) / 2;
    } else {
        left = SlideBar::ThumbOffset(Width(), w, false, FValue, FMin, FMax);
        top = (Height() - h) / 2;
    }
    FThumbRect = Rect(left, top, left + w, top + h);
}

void TzSlideBar::SetLeadingEdgePen(TCanvas* Canvas)
{
    Canvas->Pen()->Color = FStyle == TBarStyle::bsLowered ? clBtnShadow : clBtnHighlight;
}

void TzSlideBar::SetTrailingEdgePen(TCanvas* Canvas)
{
    Canvas->Pen()->Color = FStyle == TBarStyle::bsRaised ? clBtnShadow : clBtnHighlight;
}

void TzSlideBar::KeyDown(Word& Key, TShiftState Shift)
{
    KeyStep(Key);
    // The handler sees the value already moved, and the same key.
    TCustomControl::KeyDown(Key, Shift);
}

void TzSlideBar::KeyStep(Word& Key)
{
    const std::int64_t step = SlideBar::PageStep(FMin, FMax);
    const std::int64_t value = FValue;
    switch (Key) {
    case VK_PRIOR:
        SetValue(value + step < FMax ? static_cast<int>(value + step) : FMax);
        break;
    case VK_NEXT:
        SetValue(value - step > FMin ? static_cast<int>(value - step) : FMin);
        break;
    case VK_END: SetValue(FMax); break;
    case VK_HOME: SetValue(FMin); break;
    case VK_LEFT:
    case VK_DOWN:
        if (FValue > FMin) SetValue(FValue - 1);
        break;
    case VK_UP:
    case VK_RIGHT:
        if (FValue < FMax) SetValue(FValue + 1);
        break;
    default: break;
    }
}

void TzSlideBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    FMoved = false;
    SetFocus();
    FDragging = PtInRect(FThumbRect, Point(X, Y));
    if (FJumpToMouse && FDragging) {
        FPressCoordinate = IsVertical() ? Y : X;
        SetValue(PointToValue(X, Y));
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TzSlideBar::MouseMove(TShiftState Shift, int X, int Y)
{
    if (Shift.Contains(ssLeft) && FDragging) {
        FMoved = true;
        // The press coordinate stays as it was recorded at the press.
        if ((IsVertical() ? Y : X) != FPressCoordinate) SetValue(PointToValue(X, Y));
    }
    TCustomControl::MouseMove(Shift, X, Y);
}

void TzSlideBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (Button == mbLeft) {
        std::int64_t v;
        if (FDragging) {
            v = PointToValue(X, Y);
        } else {
            // A click beside the thumb moves one step toward the click.
            FMoved = true;
            v = FValue;
            if (IsVertical()) {
                const int centre = FThumbRect.Top + FThumbHalfHeight;
                if (Y < centre) ++v;
                else if (Y > centre) --v;
            } else {
                const int centre = FThumbRect.Left + FThumbHalfWidth;
                if (X < centre) --v;
                else if (X > centre) ++v;
            }
        }
        if (FMoved) {
            const std::int64_t bounded = v < FMin ? FMin : (v > FMax ? FMax : v);
            SetValue(static_cast<int>(bounded));
        }
        Refresh();
    }
    FDragging = false;
    InvokeEvent(OnMouseUpTwo, this, Button, Shift, X, Y);
}

void TzSlideBar::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case CM_ENTER:
    case CM_EXIT:
        // The groove fill follows the focus.
        TCustomControl::WndProc(Message);
        Refresh();
        return;
    case CM_MOUSEENTER:
        TCustomControl::WndProc(Message);
        if (FAutoFocus && !Focused() && CanFocus()) SetFocus();
        InvokeEvent(OnMouseEnter, this);
        return;
    case CM_MOUSELEAVE:
        TCustomControl::WndProc(Message);
        InvokeEvent(OnMouseLeave, this);
        return;
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS;
        return;
    case WM_SIZE:
        // The shape decides the orientation; not passed on.
        SetOrientation(Height() > Width() ? TOrientation::orVertical : TOrientation::orHorizontal);
        return;
    case WM_ERASEBKGND:
        Message.Result = 1;  // Paint covers the whole client area
        return;
    default:
        TCustomControl::WndProc(Message);
    }
}
