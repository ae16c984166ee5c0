// A form's composed pixels and PNG files of them.
#include "core/access.h"
#include "drawing/compose.h"
#include "host/juce_image.h"
#include "host/text.h"
#include "host/x11_atoms.h"

#include "gui/presentation.h"

#include <juce_graphics/juce_graphics.h>

#include <cstdlib>

namespace gui {

TBitmap ComposeForm(TCustomForm& form)
{
    Application->PaintPending();
    TBitmap picture(form.ClientWidth(), form.ClientHeight());
    detail::ComposeArea(form, form.ClientRect(), picture.Surface());
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
