// TzSlideBar, the slider: an integer Value between Min and Max shown as a
// thumb travelling along a groove, horizontal or vertical, with optional
// ticks. It moves by dragging the thumb, clicking beside it, the keyboard
// or by setting Value; a new Value fires OnChange, and OnMinimum or
// OnMaximum when it sits at an end. The console's faders and pans derive
// from it and rely on the order of its own step and the inherited events:
// a key steps the value BEFORE OnKeyDown; a release fires OnMouseUp BEFORE
// the value is applied, and OnMouseUpTwo last.
#pragma once

#include <vcl.h>

#include <cstdint>
#include <functional>
#include <memory>

enum class TzTickStyle : std::uint8_t { tsNormal = 0, tsOwnerDraw = 1 };
enum class TBarTickStyle : std::uint8_t { ttsLeft = 0, ttsRight = 1, ttsBoth = 2 };
enum class TOrientation : std::uint8_t { orVertical = 0, orHorizontal = 1 };
enum class TBarStyle : std::uint8_t { bsLowered = 0, bsRaised = 1 };
enum class TThumbStyle : std::uint8_t {
    tsHorzHigh, tsVertHigh, tsHorzLow, tsVertLow, tsSquare, tsSquarehollow, tsLeft, tsRight, tsTop, tsBottom,
    tsRound, tsHorzRound, tsSquarehollowHorz, tsSquarehollowVert, tsSquarehollowHLine, tsSquarehollowVLine
};
// Value distance between ticks, 1 .. 2147483647.
using TBarTick = std::int32_t;

// Draws one tick: X, Y its starting point, Left true for the left (vertical)
// or top (horizontal) side, TickNum counting from 0 at Min. No Sender.
using TsSlideTickOwnerDraw = std::function<void(TCanvas* Canvas, int X, int Y, bool Left, int TickNum)>;

class TzSlideBar : public TCustomControl {
public:
    explicit TzSlideBar(TComponent* AOwner);
    ~TzSlideBar() override;

    bool JumpToMouse() const { return FJumpToMouse; }
    void SetJumpToMouse(bool v) { FJumpToMouse = v; }
    bool AutoFocus() const { return FAutoFocus; }
    void SetAutoFocus(bool v) { FAutoFocus = v; }
    TzTickStyle TickStyle() const { return FTickStyle; }
    void SetTickStyle(TzTickStyle v);
    // The thumb's face colour (on other controls Color is the background).
    TColor Color() const { return FColor; }
    void SetColor(TColor c);
    bool SteelLook() const { return FSteelLook; }
    void SetSteelLook(bool v);
    bool Ticks() const { return FTicks; }
    void SetTicks(bool v);
    TBarTickStyle TickWhere() const { return FTickWhere; }
    void SetTickWhere(TBarTickStyle v);
    int TickSpace() const { return FTickSpace; }
    void SetTickSpace(int v);
    int TickSize() const { return FTickSize; }
    void SetTickSize(int v);
    TBarTick StepPerTick() const { return FStepPerTick; }
    void SetStepPerTick(TBarTick v);
    TColor FocusColor() const { return FFocusColor; }
    void SetFocusColor(TColor c);
    TColor NonFocusColor() const { return FNonFocusColor; }
    void SetNonFocusColor(TColor c);
    // Kept and streamed with the control; nothing draws or reads it.
    TStringList* Labels() { return FLabels.get(); }
    void SetLabels(const TStringList& list) { FLabels->Assign(list); }
    int Max() const { return FMax; }
    void SetMax(int v);
    int Min() const { return FMin; }
    void SetMin(int v);
    int Value() const { return FValue; }
    void SetValue(int v);
    TOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TOrientation v);
    TBarStyle Style() const { return FStyle; }
    void SetStyle(TBarStyle v);
    std::uint8_t Thickness() const { return FThickness; }
    void SetThickness(int v);
    TThumbStyle ThumbStyle() const { return FThumbStyle; }
    void SetThumbStyle(TThumbStyle s);

    // Where the thumb was last placed (by the last Paint).
    TRect ThumbRect() const { return FThumbRect; }
    const TBitmap& ThumbBitmap() const { return *FThumb; }
    const TBitmap& ThumbMask() const { return *FThumbMask; }

    virtual int PointToValue(int X, int Y);
    virtual bool IsVertical();
    virtual void CalcThumbRect();
    virtual void SetLeadingEdgePen(TCanvas* Canvas);
    virtual void SetTrailingEdgePen(TCanvas* Canvas);

    TsSlideTickOwnerDraw OnOwnerDraw;
    TNotifyEvent OnChange;
    TNotifyEvent OnMinimum;
    TNotifyEvent OnMaximum;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    // At the very end of a release, after the value is applied.
    TMouseEvent OnMouseUpTwo;

    void WndProc(TMessage& Message) override;

protected:
    void Paint() override;
    // The slider's own step, then the inherited step that fires OnKeyDown.
    void KeyDown(Word& Key, TShiftState Shift) override;
    // The slider's own step alone, for a subclass that runs OnKeyDown first.
    void KeyStep(Word& Key);
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void BuildThumb();
    TBitmap& OffscreenBitmap(std::unique_ptr<TBitmap>& own);
    void PaintTicks(TCanvas* canvas, int x1, int y1, int x2, int y2);
    void PaintTick(TCanvas* canvas, int a, int b, int p, bool vertical);

    bool FMoved = false;
    bool FAutoFocus = false;
    bool FJumpToMouse = true;
    TzTickStyle FTickStyle = TzTickStyle::tsNormal;
    TColor FColor = clBtnFace;
    bool FSteelLook = false;
    bool FTicks = true;
    TBarTickStyle FTickWhere = TBarTickStyle::ttsBoth;
    int FTickSpace = 3;
    int FTickSize = 4;
    TBarTick FStepPerTick = 1;
    TColor FFocusColor = clActiveCaption;
    TColor FNonFocusColor = clBtnFace;
    std::unique_ptr<TStringList> FLabels;
    int FMax = 10;
    int FMin = 0;
    int FValue = 0;
    TOrientation FOrientation = TOrientation::orHorizontal;
    TBarStyle FStyle = TBarStyle::bsLowered;
    std::uint8_t FThickness = 2;
    TThumbStyle FThumbStyle = TThumbStyle::tsVertHigh;
    std::unique_ptr<TBitmap> FThumb;
    std::unique_ptr<TBitmap> FThumbMask;
    std::unique_ptr<TBitmap> FOffscreen;  // the last paint's picture
    int FPressCoordinate = 0;
    int FThumbHalfWidth = 0;
    int FThumbHalfHeight = 0;
    TRect FThumbRect;
    bool FDragging = false;
};

// The slider unit's start-up and shut-down: the 8 x 8 pattern bitmap of the
// steel look, made by the first start-up and freed by the last shut-down.
void SlideBarUnitStartup();
void SlideBarUnitShutdown();
// The unit's two further start-up pairs (1 and 2); they only count.
TUnitCounter& SlideBarUnitCounter(int pair);
// Null outside the unit's start-up.
TBitmap* SlideBarPattern();
