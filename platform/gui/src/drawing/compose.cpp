// Composing a form's picture from its windows' surfaces.
#include "drawing/compose.h"

#include <algorithm>

namespace gui::detail {

namespace {

// Copies w's surface to (x, y) of `out`, within `clip` (out's pixels), then
// its windowed children above it.
void Compose(const TWinControl& w, int x, int y, const TRect& clip, Surface& out)
{
    const Surface& s = w.ClientSurface();
    const TRect area = IntersectRect(clip, Bounds(x, y, s.width(), s.height()));
    for (int row = area.Top; row < area.Bottom; ++row) {
        const std::uint32_t* from = s.row(row - y) + (area.Left - x);
        std::copy(from, from + area.Width(), out.row(row) + area.Left);
    }
    for (const TControl* c : w.ControlList()) {
        const auto* child = dynamic_cast<const TWinControl*>(c);
        if (!child || !child->Visible() || !child->HandleAllocated()) continue;
        Compose(*child, x + child->Left(), y + child->Top(), area, out);
    }
}

}  // namespace

void ComposeArea(const TWinControl& form, const TRect& area, Surface& out)
{
    if (form.HandleAllocated()) Compose(form, 0, 0, IntersectRect(area, TRect{0, 0, out.width(), out.height()}), out);
}

}  // namespace gui::detail
