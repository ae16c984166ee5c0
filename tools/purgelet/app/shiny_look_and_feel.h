// The look of the program's boxes: JUCE's older, glossy look, as it is.
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class ShinyLookAndFeel : public juce::LookAndFeel_V2 {};
