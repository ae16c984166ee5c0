// Controls: the common control base, windowed controls with a persistent
// surface of their own, custom controls with a canvas, graphic controls
// painted on their parent.
#pragma once

#include "gui/classes.h"
#include "gui/graphics.h"
#include "gui/messages.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TWinControl;
class TCustomForm;

enum TControlStyleItem : std::uint8_t {
    csAcceptsControls, csCaptureMouse, csClickEvents, csFramed, csSetCaption, csOpaque,
    csDoubleClicks, csFixedWidth, csFixedHeight, csNoStdEvents
};
using TControlStyle = TSet<TControlStyleItem>;

using TCursor = std::int16_t;
constexpr TCursor crDefault = 0;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crHandPoint = -21;

enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };
// Where a control lies in its parent: along an edge (its other extent kept)
// or over what the edges leave.
enum TAlign : std::uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };

// Menus come with the console application; controls only keep the reference.
class TPopupMenu : public TComponent {
public:
    using TComponent::TComponent;
};

// Message handling: every message goes through the virtual WndProc. A class
// that handles a message overrides WndProc, switches on Msg, and calls its
// base class's WndProc for "inherited" handling; what no class handles ends
// in DefaultHandler.
//
// Caption and Text are one property. Its setter is SetText, so that a
// subclass's own SetCaption(...) hides nothing.
class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
    // No-op when nothing changes. A realised windowed control gets WM_SIZE
    // (holding the new size already) when its size changed.
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return Bounds(left_, top_, width_, height_); }
    // (0, 0, ClientWidth, ClientHeight).
    virtual TRect ClientRect() const;
    int ClientWidth() const { return ClientRect().Right; }
    int ClientHeight() const { return ClientRect().Bottom; }
    virtual void SetClientWidth(int v) { SetWidth(v); }
    virtual void SetClientHeight(int v) { SetHeight(v); }
    TPoint ClientToScreen(TPoint p) const;
    TPoint ScreenToClient(TPoint p) const;
    // Client origin in the parent form's client pixels.
    TPoint FormOrigin() const;

    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and every parent up to a shown form too.
    virtual bool Showing() const;
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool v);

    const std::string& Caption() const { return text_; }
    const std::string& Text() const { return text_; }
    void SetText(std::string_view text);

    TColor Color() const { return color_; }
    void SetColor(TColor color);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool v);
    // Changing any font attribute clears ParentFont.
    TFont* Font() { return &font_; }
    const TFont* Font() const { return &font_; }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool v);

    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool v);
    bool ParentShowHint() const { return parentShowHint_; }
    void SetParentShowHint(bool v);
    const std::string& Hint() const { return hint_; }
    void SetHint(std::string_view h) { hint_ = h; }
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor c);
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* menu);

    TAlign Align() const { return align_; }
    void SetAlign(TAlign a);

    TControlStyle ControlStyle() const { return style_; }
    void SetControlStyle(TControlStyle s) { style_ = s; }

    // Asynchronous repaint, at the next paint pass of the message loop.
    virtual void Invalidate();
    // Paints what is invalid now.
    virtual void Update();
    // Immediate synchronous repaint of the whole control; nothing when the
    // control is not realised or not showing.
    virtual void Repaint();
    void Refresh() { Repaint(); }
    void BringToFront();

    // Sends a message to this control at once.
    LRESULT Perform(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
    virtual void WndProc(TMessage& Message);
    virtual void DefaultHandler(TMessage& Message);

    bool MouseCapture() const;
    void SetMouseCapture(bool capture);

    TCustomForm* ParentForm() const;

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;

protected:
    virtual void Click();
    virtual void DblClick();
    // The inherited steps fire OnMouseDown / OnMouseMove / OnMouseUp.
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    // Called after the bounds changed (already stored).
    virtual void BoundsChanged(bool sized);
    virtual void VisibleChanging() {}
    // The colour/font the control takes from its parent.
    void ParentColorChanged();
    void ParentFontChanged();
    // True once the next left release inside may click.
    bool clicked_ = false;

    friend class TWinControl;
    friend struct ControlAccess;

private:
    void FontChanged();
    TWinControl* parent_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    std::string text_;
    TColor color_ = clWindow;
    bool parentColor_ = false;
    TFont font_;
    bool parentFont_ = true;
    bool copyingFont_ = false;
    bool showHint_ = false;
    bool parentShowHint_ = true;
    std::string hint_;
    TCursor cursor_ = crDefault;
    TPopupMenu* popupMenu_ = nullptr;
    TControlStyle style_{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    TAlign align_ = alNone;
};

// A control with a window of its own. Once realised (its form shown, or its
// Handle asked for while it has a parent) it owns a persistent 32-bit client
// surface that starts filled with its Color; it gets WM_CREATE then WM_SIZE.
class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    // Realises the control (it must have a form as ancestor).
    HWND Handle();
    bool HandleAllocated() const { return handle_ != nullptr; }
    void HandleNeeded() { Handle(); }

    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Controls(int index) const { return controls_.at(static_cast<std::size_t>(index)); }
    bool ContainsControl(const TControl* control) const;
    // The topmost visible child at client point p (windowed children above
    // graphic ones; later ones above earlier); disabled ones only if allowed.
    TControl* ControlAtPos(TPoint p, bool allowDisabled) const;

    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool v) { tabStop_ = v; }
    int TabOrder() const;
    void SetTabOrder(int order);
    // The windowed children in tab order.
    std::vector<TWinControl*> TabList() const;

    // Nothing when the control cannot take the focus.
    virtual void SetFocus();
    // This control holds the keyboard focus.
    virtual bool Focused() const;
    // It and all its parents visible and enabled.
    virtual bool CanFocus() const;

    // Brush->Color follows Color.
    TBrush* Brush() { return &brush_; }

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;

    void Invalidate() override;
    void Update() override;
    void Repaint() override;
    void InvalidateRect(const TRect& r);
    // `erase`: the background is filled with the brush (WM_ERASEBKGND) before
    // the paint, unless a handler answers that message.
    void InvalidateRect(const TRect& r, bool erase);

    // The library's side.
    const gui::Surface& ClientSurface() const { return surface_; }
    gui::Surface& ClientSurface() { return surface_; }
    const std::vector<TControl*>& ControlList() const { return controls_; }
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    // Realises the visible windowed children that are not yet realised.
    void RealiseChildren();
    // Places the aligned children: top, bottom, left and right ones in that
    // order (each in creation order) along what is left, then the client ones.
    void Realign();
    const TRect& InvalidArea() const { return invalid_; }
    // The key-down steps of the focused control: KeyPreview of the form,
    // then KeyDown (inherited fires OnKeyDown). True when handled.
    bool DoKeyDown(Word& Key, TShiftState Shift);
    bool DoKeyPress(char& Key);
    bool DoKeyUp(Word& Key, TShiftState Shift);

    void WndProc(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;

protected:
    virtual void KeyDown(Word& Key, TShiftState Shift);
    virtual void KeyUp(Word& Key, TShiftState Shift);
    virtual void KeyPress(char& Key);
    virtual void DoEnter();
    virtual void DoExit();
    // Paints the client area (WM_PAINT): custom controls call Paint.
    virtual void PaintWindow(TCanvas& canvas);
    // Graphic children over the window's own picture.
    void PaintControls(const TRect& area);
    virtual void CreateHandle();
    // The two halves of CreateHandle: the handle and its surface, then
    // WM_CREATE, WM_SIZE and the children.
    void AllocateWindow();
    void AnnounceWindow();
    void BoundsChanged(bool sized) override;
    TCanvas& PaintCanvas() { return *paintCanvas_; }
    // Points a canvas at the surface (nothing to draw on before realisation).
    void TargetCanvas(TCanvas& canvas);

    friend class TControl;
    friend struct ControlAccess;

private:
    void PaintNow();
    void LoseFocus();
    HWND handle_ = nullptr;
    std::vector<TControl*> controls_;
    std::vector<TWinControl*> tabList_;
    bool tabStop_ = false;
    TBrush brush_;
    gui::Surface surface_;
    TRect invalid_;
    bool erase_ = false;
    bool aligning_ = false;
    TRect paintArea_;
    bool paintErase_ = false;
    std::unique_ptr<TCanvas> paintCanvas_;
};

// A windowed control that draws itself: a persistent Canvas usable inside
// and outside Paint, whose pen, brush and font persist between paints.
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    TCanvas* Canvas() { return canvas_.get(); }

protected:
    virtual void Paint() {}
    void PaintWindow(TCanvas& canvas) override;
    void CreateHandle() override;
    void BoundsChanged(bool sized) override;

private:
    std::unique_ptr<TCanvas> canvas_;
};

// A control without a window, painted on its parent's surface within its
// bounds; its mouse input comes through the parent.
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    // Draws on the parent's surface, clipped to this control.
    TCanvas* Canvas();

    // The library's side: paints into the parent's surface within `area`.
    void PaintOn(gui::Surface& surface, const TRect& area);

protected:
    virtual void Paint() {}

private:
    std::unique_ptr<TCanvas> canvas_;
    bool painting_ = false;
};
