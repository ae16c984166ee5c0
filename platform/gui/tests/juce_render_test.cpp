// JUCE draws text into an image without any display.
#include <juce_graphics/juce_graphics.h>

#include <gtest/gtest.h>

TEST(JuceRender, TextChangesPixelsHeadless)
{
    juce::ScopedJuceInitialiser_GUI gui;
    juce::Image image(juce::Image::ARGB, 200, 40, true);
    {
        juce::Graphics g(image);
        g.fillAll(juce::Colours::white);
        g.setColour(juce::Colours::black);
        g.setFont(juce::Font("Liberation Sans", 20.0f, juce::Font::plain));
        g.drawText("Zavo24 8x8", 0, 0, 200, 40, juce::Justification::centredLeft);
    }
    int dark = 0;
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            if (image.getPixelAt(x, y).getBrightness() < 0.5f) ++dark;
    EXPECT_GT(dark, 50);
}
