// Glyph coverage from JUCE, kept in a small cache: labels redraw the same
// few texts over and over.
#include "host/text.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <tuple>

namespace gui::detail {

void EnsureJuce()
{
    // Kept to the end of the process: JUCE's own statics go before ours
    // would, so shutting it down at exit frees things twice.
    static juce::ScopedJuceInitialiser_GUI* init = new juce::ScopedJuceInitialiser_GUI();
    (void)init;
}

namespace {

std::string Lower(std::string_view s)
{
    std::string r(s);
    for (char& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return r;
}

bool Installed(const juce::String& face)
{
    static const juce::StringArray names = juce::Font::findAllTypefaceNames();
    return names.contains(face, true);
}

juce::String Sans()
{
    static const juce::String face = Installed("Liberation Sans") ? juce::String("Liberation Sans") : juce::String("DejaVu Sans");
    return face;
}

juce::Font MakeFont(const TFont& font)
{
    EnsureJuce();
    int flags = juce::Font::plain;
    if (font.Style().Contains(fsBold)) flags |= juce::Font::bold;
    if (font.Style().Contains(fsItalic)) flags |= juce::Font::italic;
    if (font.Style().Contains(fsUnderline)) flags |= juce::Font::underlined;
    juce::Font f(juce::String(SubstituteFace(font.Name())), 10.0f, flags);
    int h = font.Height();
    if (h == 0) h = -11;
    // Positive: the cell height; negative: the em height, which is what
    // JUCE calls the point height.
    if (h > 0) f.setHeight(static_cast<float>(h));
    else f = f.withPointHeight(static_cast<float>(-h));
    return f;
}

using Key = std::tuple<std::string, int, std::uint32_t, std::string>;

}  // namespace

std::string SubstituteFace(std::string_view name)
{
    const std::string n = Lower(name);
    if (n == "courier new" || n == "courier" || n == "fixedsys") return Installed("Liberation Mono") ? "Liberation Mono" : "DejaVu Sans Mono";
    if (n == "times new roman" || n == "times") return Installed("Liberation Serif") ? "Liberation Serif" : "DejaVu Serif";
    // "MS Sans Serif", Arial, "Small Fonts" and anything unknown: the
    // Arial-metric sans; a positive height fits it to the cell.
    return Sans().toStdString();
}

TPoint MeasureText(const TFont& font, std::string_view text)
{
    const juce::Font f = MakeFont(font);
    const int w = static_cast<int>(std::ceil(f.getStringWidthFloat(juce::String::fromUTF8(text.data(), static_cast<int>(text.size())))));
    const int h = static_cast<int>(std::lround(f.getHeight()));
    return TPoint{text.empty() ? 0 : w, h};
}

const GlyphMask& RenderText(const TFont& font, std::string_view text)
{
    static std::map<Key, GlyphMask> cache;
    Key key{font.Name(), font.Height(), font.Style().Bits(), std::string(text)};
    if (auto it = cache.find(key); it != cache.end()) return it->second;
    if (cache.size() > 2048) cache.clear();

    const juce::Font f = MakeFont(font);
    const TPoint size = MeasureText(font, text);
    GlyphMask mask;
    mask.width = size.X;
    mask.height = size.Y;
    mask.alpha.assign(static_cast<std::size_t>(std::max(0, size.X * size.Y)), 0);
    if (size.X > 0 && size.Y > 0) {
        juce::Image image(juce::Image::SingleChannel, size.X, size.Y, true);
        {
            juce::Graphics g(image);
            g.setColour(juce::Colours::white);
            g.setFont(f);
            g.drawSingleLineText(juce::String::fromUTF8(text.data(), static_cast<int>(text.size())), 0,
                                 static_cast<int>(std::lround(f.getAscent())));
        }
        const juce::Image::BitmapData data(image, juce::Image::BitmapData::readOnly);
        for (int y = 0; y < size.Y; ++y)
            for (int x = 0; x < size.X; ++x)
                mask.alpha[static_cast<std::size_t>(y * size.X + x)] = *data.getPixelPointer(x, y);
    }
    return cache.emplace(std::move(key), std::move(mask)).first->second;
}

}  // namespace gui::detail
