// The scroll bar a form with AutoScroll shows along the bottom of its
// client area: arrows at both ends, a track and a thumb, driven by the
// mouse like any control. It is the form's last control, above the others,
// and never takes the focus.
#pragma once

#include "gui/extctrls.h"
#include "gui/forms.h"

namespace gui::detail {

class FormScrollBar final : public TWinControl {
public:
    static constexpr int kHeight = 17;
    explicit FormScrollBar(TCustomForm& form);
    bool CanFocus() const override { return false; }

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void PaintWindow(TCanvas& canvas) override;

private:
    enum class Part { None, LeftArrow, RightArrow, PageLeft, PageRight, Thumb };
    TControlScrollBar& Bar() const;
    TRect ThumbRect() const;
    Part PartAt(int x) const;
    // One step of what a press on `part` does; false once there is no more to do.
    bool Step(Part part);
    void Repeat();
    TCustomForm& form_;
    TTimer* repeat_ = nullptr;
    Part pressed_ = Part::None;
    int pointerX_ = 0;
    int grab_ = 0;  // pointer x within the thumb while it is dragged
};

// The form's scroll bar control, if it has one.
FormScrollBar* FindFormScrollBar(const TCustomForm& form);

}  // namespace gui::detail
