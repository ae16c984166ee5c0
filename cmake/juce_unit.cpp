// The module sources come from the JUCE targets; this unit only gives the
// static library a translation unit of its own.
