// Basic types of the component library: sets, points, rectangles, colours,
// shift states and the event slots.
#pragma once

#include <win32/types.h>

#include <cstdint>
#include <functional>
#include <initializer_list>

class TObject {
public:
    virtual ~TObject() = default;
};

using Word = WORD;

// A Pascal-style set over a small enumeration (at most 32 members).
template <class E>
class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> items)
    {
        for (E e : items) bits_ |= Bit(e);
    }
    constexpr bool Contains(E e) const { return (bits_ & Bit(e)) != 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr TSet& operator<<(E e) { bits_ |= Bit(e); return *this; }
    constexpr TSet& operator>>(E e) { bits_ &= ~Bit(e); return *this; }
    constexpr TSet operator+(TSet o) const { TSet r; r.bits_ = bits_ | o.bits_; return r; }
    constexpr TSet operator-(TSet o) const { TSet r; r.bits_ = bits_ & ~o.bits_; return r; }
    constexpr TSet operator*(TSet o) const { TSet r; r.bits_ = bits_ & o.bits_; return r; }
    constexpr bool operator==(const TSet&) const = default;
    constexpr std::uint32_t Bits() const { return bits_; }

private:
    static constexpr std::uint32_t Bit(E e) { return 1u << static_cast<unsigned>(e); }
    std::uint32_t bits_ = 0;
};

struct TPoint {
    int X = 0;
    int Y = 0;
    constexpr bool operator==(const TPoint&) const = default;
};

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    // Left and top edges inside, right and bottom outside.
    constexpr bool Contains(TPoint p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
    constexpr bool operator==(const TRect&) const = default;
};

constexpr TPoint Point(int x, int y) { return TPoint{x, y}; }
constexpr TRect Rect(int left, int top, int right, int bottom) { return TRect{left, top, right, bottom}; }
constexpr TRect Bounds(int left, int top, int width, int height) { return TRect{left, top, left + width, top + height}; }
constexpr bool PtInRect(const TRect& r, TPoint p) { return r.Contains(p); }
// The common part; empty (all zero) when they do not overlap.
TRect IntersectRect(const TRect& a, const TRect& b);
// The smallest rectangle holding both; an empty one adds nothing.
TRect UnionRect(const TRect& a, const TRect& b);
TRect OffsetRect(const TRect& r, int dx, int dy);

// 0x00BBGGRR, or 0x80000000 | index for a system colour.
using TColor = std::uint32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor clScrollBar = 0x80000000;
constexpr TColor clBackground = 0x80000001;
constexpr TColor clActiveCaption = 0x80000002;
constexpr TColor clInactiveCaption = 0x80000003;
constexpr TColor clMenu = 0x80000004;
constexpr TColor clWindow = 0x80000005;
constexpr TColor clWindowFrame = 0x80000006;
constexpr TColor clMenuText = 0x80000007;
constexpr TColor clWindowText = 0x80000008;
constexpr TColor clCaptionText = 0x80000009;
constexpr TColor clActiveBorder = 0x8000000A;
constexpr TColor clInactiveBorder = 0x8000000B;
constexpr TColor clAppWorkSpace = 0x8000000C;
constexpr TColor clHighlight = 0x8000000D;
constexpr TColor clHighlightText = 0x8000000E;
constexpr TColor clBtnFace = 0x8000000F;
constexpr TColor clBtnShadow = 0x80000010;
constexpr TColor clGrayText = 0x80000011;
constexpr TColor clBtnText = 0x80000012;
constexpr TColor clInactiveCaptionText = 0x80000013;
constexpr TColor clBtnHighlight = 0x80000014;
constexpr TColor cl3DDkShadow = 0x80000015;
constexpr TColor cl3DLight = 0x80000016;
constexpr TColor clInfoText = 0x80000017;
constexpr TColor clInfoBk = 0x80000018;

// Resolves a system colour through the host's fixed colour table; an RGB
// value comes back unchanged (without any high byte).
TColor ColorToRGB(TColor color);

enum TShiftStateItem : std::uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;

enum TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, Word& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;

// Fires an event slot through a copy, so that a handler may rebind the slot
// it was called from without destroying itself mid-call.
template <class Slot, class... Args>
void InvokeEvent(const Slot& slot, Args&&... args)
{
    if (!slot) return;
    Slot copy = slot;
    copy(std::forward<Args>(args)...);
}
