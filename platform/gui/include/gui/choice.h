// Choices: check boxes, radio buttons and groups, group boxes, track bars.
#pragma once

#include "gui/controls.h"
#include "gui/sysutils.h"

#include <vector>

// Checked by a left release inside or by Space (released) while focused.
// Changing Checked, also by program, fires OnClick.
class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TComponent* AOwner);
    bool Checked() const { return checked_; }
    virtual void SetChecked(bool v);
    void WndProc(TMessage& Message) override;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void PaintWindow(TCanvas& canvas) override;
    // What a click does: a check box toggles, a radio button checks itself.
    virtual void Toggle() { SetChecked(!checked_); }
    virtual bool Round() const { return false; }
    // Stores and repaints; fires nothing.
    void StoreChecked(bool v);

private:
    bool checked_ = false;
    bool pressed_ = false;
};

// Checking one unchecks the other radio buttons of the same parent; only the
// checked one is a tab stop, and OnClick fires only for the one checked. A
// radio button reached with the arrow keys checks itself.
class TRadioButton : public TCheckBox {
public:
    explicit TRadioButton(TComponent* AOwner);
    void SetChecked(bool v) override;
    void WndProc(TMessage& Message) override;

protected:
    void Toggle() override { SetChecked(true); }
    bool Round() const override { return true; }
};

// A frame with its caption at the top left, around its child controls.
class TGroupBox : public TCustomControl {
public:
    explicit TGroupBox(TComponent* AOwner);
    void WndProc(TMessage& Message) override;

protected:
    void Paint() override;
};

// A group box of radio buttons, one per item, in Columns columns. ItemIndex
// is the checked one (-1 none); setting it beyond the last item takes the
// last. A change of the checked item, also by program, fires OnClick.
class TRadioGroup : public TGroupBox {
public:
    explicit TRadioGroup(TComponent* AOwner);
    // One button for each item, rebuilt whenever the items change.
    TStringList* Items() { return &items_; }
    void SetItems(const TStringList& items) { items_.Assign(items); }
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int index);
    int Columns() const { return columns_; }
    void SetColumns(int columns);
    TRadioButton* Buttons(int index) const { return buttons_.at(static_cast<std::size_t>(index)); }

protected:
    void BoundsChanged(bool sized) override;

private:
    void Rebuild();
    void Arrange();
    void ButtonChecked(TRadioButton* button);
    TStringList items_;
    std::vector<TRadioButton*> buttons_;
    int itemIndex_ = -1;
    int columns_ = 1;
    bool updating_ = false;
};

enum TTrackBarOrientation : std::uint8_t { trHorizontal, trVertical };
// Scoped: ts* names the slider's tick and thumb styles too.
enum class TTickStyle : std::uint8_t { tsNone, tsAuto, tsManual };

// Position in [Min, Max]. Arrows move by LineSize (right and down
// increase), PgUp/PgDn by PageSize, Home/End to the ends; a press on the
// thumb drags it, a press beside it pages towards the press. A change of
// Position, also by program, fires OnChange.
class TTrackBar : public TWinControl {
public:
    explicit TTrackBar(TComponent* AOwner);
    int Min() const { return min_; }
    int Max() const { return max_; }
    int Position() const { return position_; }
    void SetMin(int v);
    void SetMax(int v);
    void SetRange(int min, int max);
    void SetPosition(int v);
    int LineSize() const { return lineSize_; }
    void SetLineSize(int v) { lineSize_ = v; }
    int PageSize() const { return pageSize_; }
    void SetPageSize(int v) { pageSize_ = v; }
    int Frequency() const { return frequency_; }
    void SetFrequency(int v);
    TTickStyle TickStyle() const { return tickStyle_; }
    void SetTickStyle(TTickStyle s);
    TTrackBarOrientation Orientation() const { return orientation_; }
    void SetOrientation(TTrackBarOrientation o);
    // The thumb's rectangle and the position a client point stands for.
    TRect ThumbRect() const;
    int PositionAt(int x, int y) const;
    TNotifyEvent OnChange;
    void WndProc(TMessage& Message) override;

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void PaintWindow(TCanvas& canvas) override;

private:
    int Travel() const;
    int min_ = 0;
    int max_ = 10;
    int position_ = 0;
    int lineSize_ = 1;
    int pageSize_ = 2;
    int frequency_ = 1;
    TTickStyle tickStyle_ = TTickStyle::tsAuto;
    TTrackBarOrientation orientation_ = trHorizontal;
    bool dragging_ = false;
};
