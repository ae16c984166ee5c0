// Speed buttons: graphic push and toggle buttons with a glyph.
#include "widgets/look.h"
#include "widgets/property.h"

#include "gui/buttons.h"

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner), glyph_(std::make_unique<TBitmap>())
{
    // No double-clicks: a second quick press is another press.
    SetControlStyle(TControlStyle{csCaptureMouse});
    SetBounds(0, 0, 23, 22);
    glyph_->OnChange = [this] { Invalidate(); };
}

TSpeedButton::~TSpeedButton()
{
    glyph_->OnChange = nullptr;
}

void TSpeedButton::SetGlyph(const TBitmap* glyph)
{
    if (glyph) glyph_->Assign(*glyph);
    else glyph_->SetSize(0, 0);
    Invalidate();
}

void TSpeedButton::SetGroupIndex(int v)
{
    if (v == groupIndex_) return;
    groupIndex_ = v;
    UpdateExclusive();
}

void TSpeedButton::SetDown(bool v)
{
    if (groupIndex_ == 0) v = false;
    if (v == down_) return;
    if (down_ && !allowAllUp_) return;
    down_ = v;
    state_ = v ? TButtonState::bsExclusive : TButtonState::bsUp;
    Repaint();
    if (v) UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool v)
{
    allowAllUp_ = v;
}

void TSpeedButton::SetMargin(int v)
{
    gui::detail::StoreAndRepaint(*this, margin_, v);
}

void TSpeedButton::SetSpacing(int v)
{
    gui::detail::StoreAndRepaint(*this, spacing_, v);
}

void TSpeedButton::SetLayout(TButtonLayout l)
{
    gui::detail::StoreAndRepaint(*this, layout_, l);
}

void TSpeedButton::SetFlat(bool v)
{
    gui::detail::StoreAndRepaint(*this, flat_, v);
}

void TSpeedButton::UpdateExclusive()
{
    // The other buttons of the group on the same parent go up.
    if (groupIndex_ == 0 || !down_ || !Parent()) return;
    for (TControl* c : Parent()->ControlList()) {
        auto* other = dynamic_cast<TSpeedButton*>(c);
        if (!other || other == this || other->groupIndex_ != groupIndex_ || !other->down_) continue;
        other->down_ = false;
        other->state_ = TButtonState::bsUp;
        other->Invalidate();
    }
}

void TSpeedButton::Click()
{
    TGraphicControl::Click();
}

void TSpeedButton::WndProc(TMessage& m)
{
    // Its accelerator does what a click does.
    if (m.Msg == CM_DIALOGCHAR && gui::detail::IsAccel(m.WParam, Caption()) && Enabled()) {
        if (groupIndex_ != 0) SetDown(!down_);
        Click();
        m.Result = 1;
        return;
    }
    if (m.Msg == CM_ENABLEDCHANGED && !Enabled()) {
        dragging_ = false;
        state_ = down_ ? TButtonState::bsExclusive : TButtonState::bsUp;
    }
    TGraphicControl::WndProc(m);
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !Enabled()) return;
    if (!down_) {
        state_ = TButtonState::bsDown;
        Repaint();
    }
    dragging_ = true;
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!dragging_) return;
    const bool inside = ClientRect().Contains(TPoint{X, Y});
    const TButtonState next = inside ? (down_ ? TButtonState::bsExclusive : TButtonState::bsDown)
                                     : (down_ ? TButtonState::bsExclusive : TButtonState::bsUp);
    if (next != state_) {
        state_ = next;
        Repaint();
    }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!dragging_ || Button != mbLeft) return;
    dragging_ = false;
    const bool inside = ClientRect().Contains(TPoint{X, Y});
    if (groupIndex_ == 0) {
        state_ = TButtonState::bsUp;
        Repaint();
    } else if (inside) {
        SetDown(!down_);
        state_ = down_ ? TButtonState::bsExclusive : TButtonState::bsUp;
        Repaint();
    } else {
        state_ = down_ ? TButtonState::bsExclusive : TButtonState::bsUp;
        Repaint();
    }
    if (inside) Click();
}

void TSpeedButton::Paint()
{
    TCanvas& canvas = *Canvas();
    const bool pressed = state_ == TButtonState::bsDown || state_ == TButtonState::bsExclusive;
    TRect r = ClientRect();
    if (flat_ && !pressed) gui::detail::Fill(canvas, r, clBtnFace);
    else r = gui::detail::ButtonFace(canvas, r, pressed);
    if (state_ == TButtonState::bsExclusive) gui::detail::Fill(canvas, r, cl3DLight);

    const int offset = pressed ? 1 : 0;
    const bool hasGlyph = !glyph_->Surface().empty();
    canvas.Font()->Assign(*Font());
    const gui::detail::ShownCaption caption = gui::detail::ParseCaption(Caption());
    const TPoint text = caption.text.empty() ? TPoint{} : canvas.TextExtent(caption.text);
    const int gw = hasGlyph ? glyph_->Width() : 0, gh = hasGlyph ? glyph_->Height() : 0;
    const int gap = hasGlyph && !Caption().empty() ? spacing_ : 0;
    const bool vertical = layout_ == blGlyphTop || layout_ == blGlyphBottom;
    const int w = Width(), h = Height();
    // Glyph and caption as one block, centred (Margin -1) or Margin from the glyph's side.
    const int blockMain = vertical ? gh + gap + text.Y : gw + gap + text.X;
    const int extent = vertical ? h : w;
    int start = margin_ < 0 ? (extent - blockMain) / 2 : margin_;
    if (margin_ >= 0 && (layout_ == blGlyphRight || layout_ == blGlyphBottom)) start = extent - margin_ - blockMain;
    TPoint glyphAt, textAt;
    if (vertical) {
        const bool glyphFirst = layout_ == blGlyphTop;
        glyphAt = TPoint{(w - gw) / 2, glyphFirst ? start : start + text.Y + gap};
        textAt = TPoint{(w - text.X) / 2, glyphFirst ? start + gh + gap : start};
    } else {
        const bool glyphFirst = layout_ == blGlyphLeft;
        glyphAt = TPoint{glyphFirst ? start : start + text.X + gap, (h - gh) / 2};
        textAt = TPoint{glyphFirst ? start + gw + gap : start, (h - text.Y) / 2};
    }
    if (hasGlyph) {
        // The bottom-left pixel's colour is transparent.
        const gui::Surface& g = glyph_->Surface();
        const std::uint32_t transparent = g.at(0, g.height() - 1);
        for (int y = 0; y < g.height(); ++y)
            for (int x = 0; x < g.width(); ++x) {
                const std::uint32_t p = g.at(x, y);
                if (p == transparent) continue;
                canvas.SetPixel(glyphAt.X + x + offset, glyphAt.Y + y + offset,
                                Enabled() ? gui::FromPixel(p) : ColorToRGB(clBtnShadow));
            }
    }
    if (!Caption().empty())
        gui::detail::CaptionText(canvas, *Font(), Enabled(), textAt.X + offset, textAt.Y + offset, caption);
}
