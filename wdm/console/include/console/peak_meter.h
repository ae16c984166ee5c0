// CPeakMeter, the vertical bar meter of a channel: an image 10 x 191 on the
// parent window showing the unlit meter bitmap, of which each new level
// redraws only the band of rows between the old and the new lit edge, from
// the lit or the unlit bitmap of the stash. The first meter of a pair may
// carry a dB scale of seven small labels beside it. The image and labels
// belong to the parent window; the meter owns only its list of labels.
#pragma once

#include <vcl.h>

#include <cstdint>
#include <vector>

// The count, then the dB values the scale labels show.
extern const std::int32_t ScaleLevels[8];
// Indexed by minus the level (0 dB to -128 dB): the image row at which the
// lit part of the bar begins.
extern const std::int32_t MeterRowTable[129];

class CPeakMeter {
public:
    // The image at (x, y) on `parent`; with a scale, labels placed by the
    // scale width (x + 16 for 40).
    CPeakMeter(TWinControl* parent, int x, int y, bool withScale, int scaleWidth);
    CPeakMeter(const CPeakMeter&) = delete;
    CPeakMeter& operator=(const CPeakMeter&) = delete;

    // Whole dB; what lies outside 0 .. -128 is taken as the nearer end.
    void SetLevel(int level);
    void SetVisible(bool visible);
    void Shift(int dx);

    TImage* Image() const { return m_Image; }
    const std::vector<TLabel*>& ScaleLabels() const { return m_ScaleLabels; }
    int Level() const { return m_Level; }
    int Row() const { return m_Row; }

private:
    TImage* m_Image;
    TCanvas* m_Canvas;
    std::vector<TLabel*> m_ScaleLabels;  // empty without a scale
    int m_Level;
    int m_Row;
};
