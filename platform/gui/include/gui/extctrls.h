// Images and timers.
#pragma once

#include "gui/controls.h"

#include <memory>

// Shows its picture at (0, 0); where the picture is smaller the parent shows.
// Transparent, the parent also shows through the picture's pixels of its
// bottom-left pixel's colour. Drawing on its Canvas (the picture bitmap's
// canvas) repaints it. Take the Canvas after assigning the picture.
class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;
    TPicture* Picture() { return picture_.get(); }
    // The picture bitmap's canvas; a bitmap of the image's size is made when
    // the picture is empty.
    TCanvas* Canvas();
    bool Stretch() const { return stretch_; }
    void SetStretch(bool v);
    bool Center() const { return center_; }
    void SetCenter(bool v);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    // Takes the picture's size whenever the picture changes.
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);

protected:
    void Paint() override;
    void BoundsChanged(bool sized) override;

private:
    void PictureChanged();
    std::unique_ptr<TPicture> picture_;
    bool stretch_ = false;
    bool center_ = false;
    bool transparent_ = false;
    bool autoSize_ = false;
};

// Scoped: bs* names brush, border and slider styles too.
enum class TBevelShape : std::uint8_t { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum class TBevelStyle : std::uint8_t { bsLowered, bsRaised };

// A 3D frame or line drawn in the button shadow and highlight colours; its
// inside shows the parent. 50 x 50, a lowered box.
class TBevel : public TGraphicControl {
public:
    explicit TBevel(TComponent* AOwner);
    TBevelShape Shape() const { return shape_; }
    void SetShape(TBevelShape s);
    TBevelStyle Style() const { return style_; }
    void SetStyle(TBevelStyle s);

protected:
    void Paint() override;

private:
    TBevelShape shape_ = TBevelShape::bsBox;
    TBevelStyle style_ = TBevelStyle::bsLowered;
};

enum TShapeType : std::uint8_t { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

// A figure drawn with its own pen and brush (black outline, white inside by
// default); the square and circle kinds are centred at the smaller side.
class TShape : public TGraphicControl {
public:
    explicit TShape(TComponent* AOwner);
    TShapeType Shape() const { return shape_; }
    void SetShape(TShapeType s);
    // Change them, then Invalidate.
    TPen* Pen() { return &pen_; }
    TBrush* Brush() { return &brush_; }

protected:
    void Paint() override;

private:
    TShapeType shape_ = stRectangle;
    TPen pen_;
    TBrush brush_;
};

// Fires OnTimer from the message loop (also inside modal loops), between
// messages, never while its own OnTimer is still running.
class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    // Milliseconds; 0 stops it.
    UINT Interval() const { return interval_; }
    void SetInterval(UINT ms);
    TNotifyEvent OnTimer;

    // The library's side.
    bool Due(std::uint64_t now) const;
    std::uint64_t NextDue() const { return next_; }
    void Fire(std::uint64_t now);
    bool Running() const { return running_; }

private:
    void Restart();
    bool enabled_ = true;
    UINT interval_ = 1000;
    std::uint64_t next_ = 0;
    bool running_ = false;
    // Cleared when the timer is freed (perhaps by its own OnTimer).
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
