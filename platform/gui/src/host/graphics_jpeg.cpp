// JPEG pictures, decoded by JUCE's image codec (libjpeg).
#include "host/text.h"

#include "gui/graphics.h"

#include <juce_graphics/juce_graphics.h>

#include <fstream>
#include <iterator>
#include <vector>

bool TJPEGImage::LoadFromBytes(std::span<const std::uint8_t> bytes)
{
    if (bytes.empty()) return false;
    gui::detail::EnsureJuce();
    juce::MemoryInputStream stream(bytes.data(), bytes.size(), false);
    juce::JPEGImageFormat jpeg;
    if (!jpeg.canUnderstand(stream)) return false;
    stream.setPosition(0);
    const juce::Image image = jpeg.decodeImage(stream);
    if (!image.isValid()) return false;
    TBitmap decoded(image.getWidth(), image.getHeight());
    const juce::Image::BitmapData data(image, juce::Image::BitmapData::readOnly);
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x) {
            const juce::Colour c = data.getPixelColour(x, y);
            decoded.Surface().set(x, y, (std::uint32_t{c.getRed()} << 16) | (std::uint32_t{c.getGreen()} << 8) | c.getBlue());
        }
    bitmap_.Assign(decoded);
    return true;
}

bool TJPEGImage::LoadFromFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return LoadFromBytes(bytes);
}
