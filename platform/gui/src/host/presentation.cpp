// A form's composed pixels: its client surface with every visible windowed
// control's surface over it, clipped to each parent; and PNG files of them.
#include "core/access.h"
#include "host/juce_image.h"
#include "host/text.h"
#include "host/x11_atoms.h"

#include "gui/presentation.h"

#include <juce_graphics/juce_graphics.h>

#include <cstdlib>

namespace gui {

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

TBitmap ComposeForm(TCustomForm& form)
{
    Application->PaintPending();
    TBitmap picture(form.ClientWidth(), form.ClientHeight());
    if (form.HandleAllocated()) {
        Surface& out = picture.Surface();
        Compose(form, 0, 0, TRect{0, 0, out.width(), out.height()}, out);
    }
    return picture;
}

bool SaveBitmapPng(const TBitmap& bitmap, const std::string& path)
{
    if (bitmap.Surface().empty()) return false;
    detail::EnsureJuce();
    const juce::Image image = detail::SurfaceImage(bitmap.Surface());
    const juce::File file = juce::File::getCurrentWorkingDirectory().getChildFile(juce::String::fromUTF8(path.c_str()));
    file.deleteFile();
    juce::FileOutputStream stream(file);
    if (!stream.openedOk()) return false;
    juce::PNGImageFormat png;
    return png.writeImageToStream(image, stream);
}

bool SaveFormPng(TCustomForm& form, const std::string& path)
{
    return SaveBitmapPng(ComposeForm(form), path);
}

bool DisplayAvailable()
{
    const char* display = std::getenv("DISPLAY");
    const char* headless = std::getenv("ZAVO_GUI_HEADLESS");
    if (!display || !*display || (headless && *headless)) return false;
    // A DISPLAY with no server behind it is no display.
    static const bool answers = detail::CanOpenDisplay();
    return answers;
}

}  // namespace gui
