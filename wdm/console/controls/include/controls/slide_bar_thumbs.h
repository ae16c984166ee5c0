// The slider's thumb shapes as data: for each thumb style its size and the
// drawing steps that build the thumb bitmap and its mask. The slider runs
// the steps on the two bitmaps' canvases; the table is the whole design.
#pragma once

#include <cstdint>
#include <span>

namespace SlideBar {

// Colours a thumb is drawn in: the control's face colour, the inner
// shadow RGB(128,128,128), the outer shadow and the highlight.
enum class ThumbInk : std::uint8_t { Face, Grey, Black, White };

enum class ThumbTarget : std::uint8_t { Thumb, Mask };

enum class ThumbStepKind : std::uint8_t {
    Polyline,  // points are a polyline, end point excluded
    Polygon,   // filled polygon, pen and brush in the ink
    Box,       // rectangle p0-p1 with pen and brush in the ink
    Ellipse,   // ellipse in the box p0-p1, pen in `ink`, brush in `brush`
    Arc,       // arc of the ellipse in the box p0-p1 from the radial to p2 to the radial to p3
};

struct ThumbPoint {
    std::int8_t x;
    std::int8_t y;
};

struct ThumbStep {
    ThumbTarget target;
    ThumbStepKind kind;
    ThumbInk ink;
    ThumbInk brush;  // Ellipse only
    std::uint8_t count;
    ThumbPoint points[8];
};

struct ThumbShape {
    std::int32_t width;
    std::int32_t height;
    // The style whose thumb and mask this one starts from, or -1.
    std::int32_t base;
    // Every style but the round ones starts with a black (opaque) mask.
    bool clearMask;
    // Styles 0 to 5 start with the whole thumb in the face colour.
    bool fillFace;
    std::span<const ThumbStep> steps;
};

constexpr int ThumbStyleCount = 16;

// The shape of thumb style `style` (0..15).
const ThumbShape& ThumbShapeOf(int style);

}  // namespace SlideBar
