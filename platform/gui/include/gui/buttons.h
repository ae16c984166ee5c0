// Speed buttons: graphic push and toggle buttons with a glyph.
#pragma once

#include "gui/controls.h"

enum TButtonLayout : std::uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
// Scoped: bs* names brush, border and bevel styles too.
enum class TButtonState : std::uint8_t { bsUp, bsDisabled, bsDown, bsExclusive };

// A press shows it pressed; a left release inside toggles Down when
// GroupIndex is not 0 (other buttons of the group on the same parent go up;
// a down button goes up only with AllowAllUp), then fires OnClick. A release
// outside does not click. Setting Down by program repaints and fires nothing.
// A double-click is two clicks. The glyph's transparent colour is its
// bottom-left pixel; pressed or down it is drawn one pixel right and down.
class TSpeedButton : public TGraphicControl {
public:
    explicit TSpeedButton(TComponent* AOwner);
    ~TSpeedButton() override;

    // The button keeps a copy.
    TBitmap* Glyph() { return glyph_.get(); }
    void SetGlyph(const TBitmap* glyph);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int v);
    bool Down() const { return down_; }
    void SetDown(bool v);
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool v);
    // -1 centres glyph and caption together.
    int Margin() const { return margin_; }
    void SetMargin(int v);
    int Spacing() const { return spacing_; }
    void SetSpacing(int v);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout l);
    bool Flat() const { return flat_; }
    void SetFlat(bool v);
    TButtonState State() const { return state_; }
    void Click() override;
    void WndProc(TMessage& Message) override;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Paint() override;

private:
    void UpdateExclusive();
    std::unique_ptr<TBitmap> glyph_;
    int groupIndex_ = 0;
    bool down_ = false;
    bool allowAllUp_ = false;
    int margin_ = -1;
    int spacing_ = 4;
    TButtonLayout layout_ = blGlyphLeft;
    bool flat_ = false;
    bool dragging_ = false;
    TButtonState state_ = TButtonState::bsUp;
};
