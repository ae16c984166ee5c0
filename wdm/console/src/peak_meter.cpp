#include "console/peak_meter.h"

#include <algorithm>

#include "console/CBmpStash.h"

const std::int32_t ScaleLevels[] = {7, -3, -7, -12, -18, -26, -40, -70};

const std::int32_t MeterRowTable[] = {
    1,   8,   14,  21,  27,  33,  38,  44,  49,  54,  59,  64,  69,  73,  78,  82,   // 0 to -15 dB
    86,  90,  94,  97,  101, 104, 107, 111, 114, 117, 119, 122, 125, 127, 130, 132,  // -16 to -31
    135, 137, 139, 141, 143, 145, 147, 149, 151, 152, 154, 156, 157, 159, 160, 161,  // -32 to -47
    163, 164, 165, 166, 168, 169, 170, 171, 172, 173, 174, 175, 176, 176, 177, 178,  // -48 to -63
    179, 180, 180, 181, 182, 182, 183, 183, 184, 185, 185, 186, 186, 187, 187, 188,  // -64 to -79
    189, 189, 189, 189, 189, 189, 189, 189, 189, 189, 189, 189, 189, 189, 189, 189,  // -80 to -128
    189, 189, 189, 189, 189, 189, 189, 189, 189, 189, 189, 189, 189, 189, 189, 189,
    189, 189, 189, 189, 189, 189, 189, 189, 189, 189, 189, 189, 189, 189, 189, 189,
    189,
};

CPeakMeter::CPeakMeter(TWinControl* parent, int x, int y, bool withScale, int scaleWidth)
{
    m_Image = new TImage(parent);
    m_Image->SetParent(parent);
    m_Image->SetTop(y);
    m_Image->SetLeft(x);
    m_Image->SetHeight(191);
    m_Image->SetWidth(10);
    m_Image->Canvas()->SetCopyMode(SRCCOPY);
    m_Image->Picture()->Assign(*BmpStash->GetBitmap(METER_OFF_BMP));
    // Taken after the picture: assigning it replaces the bitmap and its canvas.
    m_Canvas = m_Image->Canvas();
    m_Level = -128;
    m_Row = 190;
    if (!withScale) return;
    const int count = ScaleLevels[0];
    m_ScaleLabels.reserve(static_cast<std::size_t>(count));
    for (int i = 1; i <= count; ++i) {
        const int v = ScaleLevels[i];
        auto* label = new TLabel(parent);
        m_ScaleLabels.push_back(label);
        label->SetParent(parent);
        label->SetAutoSize(false);
        label->Font()->SetName("Small Fonts");
        label->Font()->SetHeight(10);
        label->SetAlignment(taLeftJustify);
        label->SetWidth(18);
        label->SetTop(y);
        label->SetLeft(x + 10);
        label->SetText(Format("%d", v));
        label->SetTop(y + MeterRowTable[-v] - (label->Font()->Height() >> 1));
        label->SetLeft(label->Left() + ((scaleWidth - 28) >> 1));
    }
}

void CPeakMeter::SetLevel(int level)
{
    level = std::clamp(level, -128, 0);
    if (level == m_Level) return;
    const int r = MeterRowTable[-level];
    // The same row: nothing to draw, and the level stays the one drawn.
    if (r == m_Row) return;
    if (m_Level < level) {
        const TRect band = Rect(0, r, 10, m_Row);
        m_Canvas->CopyRect(band, BmpStash->GetCanvas(METER_ON_BMP), band);
    } else {
        const TRect band = Rect(0, m_Row, 10, r);
        m_Canvas->CopyRect(band, BmpStash->GetCanvas(METER_OFF_BMP), band);
    }
    m_Level = level;
    m_Row = r;
}

void CPeakMeter::SetVisible(bool visible)
{
    m_Image->SetVisible(visible);
    for (TLabel* label : m_ScaleLabels)
        label->SetVisible(visible);
}

void CPeakMeter::Shift(int dx)
{
    m_Image->SetLeft(m_Image->Left() + dx);
    for (TLabel* label : m_ScaleLabels)
        label->SetLeft(label->Left() + dx);
}
