#include "console/bus_select.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "console/CBmpStash.h"

const std::int32_t TinyMeterRowTable[] = {
    1,  2,  3,  3,  4,  5,  5,  6,  6,  7,  8,  8,  9,  9,  10, 10,  // 0 to -15 dB
    11, 11, 11, 12, 12, 13, 13, 13, 14, 14, 14, 15, 15, 15, 15, 16,  // -16 to -31
    16, 16, 17, 17, 17, 17, 17, 18, 18, 18, 18, 18, 19, 19, 19, 19,  // -32 to -47
    19, 19, 19, 20, 20, 20, 20, 20, 20, 20, 20, 21, 21, 21, 21, 21,  // -48 to -63
    21, 21, 21, 21, 21, 21, 21, 21, 22, 22, 22, 22, 22, 22, 22, 22,  // -64 to -79
    22,                                                              // -80
    23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23,  // -81 to -128
    23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23,
    23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23, 23,
};
static_assert(std::size(TinyMeterRowTable) == 129);

namespace {

constexpr int MeterX[2] = {8, 15};
constexpr int MeterTop = 10;
constexpr int MeterWidth = 7;
constexpr int MeterRows = 24;

}  // namespace

TBusSelect::TBusSelect(TComponent* owner, WORD bus, WORD analogBusses) : TImage(owner)
{
    SetHeight(60);
    SetWidth(30);
    SetLeft(0);
    SetTop(152);
    OnClick = [this](TObject* Sender) { BusChange(Sender); };
    Picture()->Assign(*BmpStash->GetBitmap(BUS_SELECT_UP_BMP));
    // Taken after the picture: assigning it replaces the bitmap and its canvas.
    TCanvas* canvas = Canvas();
    canvas->SetCopyMode(SRCCOPY);
    canvas->Brush()->Style = TBrushStyle::bsClear;  // the caption has no background
    canvas->Font()->SetName("Small Fonts");
    canvas->Font()->SetHeight(10);
    FBus = bus;
    std::string hint;
    if (bus < analogBusses) {
        FCaption = Format("A %d-%d", bus + 1, bus + 2);
        hint = Format("Select analog outputs %d and %d", bus + 1, bus + 2);
    } else {
        const int n = bus + 1 - analogBusses;
        FCaption = Format("D %d-%d", n, n + 1);
        hint = Format("Select digital outputs %d and %d", n, n + 1);
    }
    SetHint(hint);
    SetShowHint(true);
    FCaptionOffset = static_cast<std::int8_t>((30 - canvas->TextWidth(FCaption)) >> 1);
}

void TBusSelect::SetDown(bool down)
{
    const TRect face = Rect(0, 0, 30, 60);
    Canvas()->CopyRect(face, BmpStash->GetCanvas(down ? BUS_SELECT_DOWN_BMP : BUS_SELECT_UP_BMP), face);
    Canvas()->TextOut(FCaptionOffset, 40, FCaption);
    DrawMeter();
}

void TBusSelect::DrawMeter()
{
    for (int m = 0; m < 2; ++m) {
        const int x = MeterX[m];
        const int r = TinyMeterRowTable[-FLevels[m]];
        Canvas()->CopyRect(Rect(x, MeterTop, x + MeterWidth, MeterTop + r), BmpStash->GetCanvas(TINY_METER_OFF_BMP),
                           Rect(0, 0, MeterWidth, r));
        Canvas()->CopyRect(Rect(x, MeterTop + r, x + MeterWidth, MeterTop + MeterRows),
                           BmpStash->GetCanvas(TINY_METER_ON_BMP), Rect(0, r, MeterWidth, MeterRows));
    }
}

void TBusSelect::SetMeter(int m, int level)
{
    // Levels from the card can be anything: beyond the table is its ends.
    level = std::clamp(level, -128, 0);
    if (level == FLevels[m]) return;
    const int r = TinyMeterRowTable[-level];
    const int old = FRows[m];
    const int x = MeterX[m];
    if (r != old) {
        if (old < r) {  // the level fell
            Canvas()->CopyRect(Rect(x, MeterTop + old, x + MeterWidth, MeterTop + r),
                               BmpStash->GetCanvas(TINY_METER_OFF_BMP), Rect(0, old, MeterWidth, r));
        } else {
            Canvas()->CopyRect(Rect(x, MeterTop + r, x + MeterWidth, MeterTop + old),
                               BmpStash->GetCanvas(TINY_METER_ON_BMP), Rect(0, r, MeterWidth, old));
        }
        FRows[m] = r;
    }
    FLevels[m] = level;
}

void TBusSelect::SetPeakMeter(int leftLevel, int rightLevel)
{
    SetMeter(0, leftLevel);
    SetMeter(1, rightLevel);
}

void TBusSelect::BusChange(TObject*)
{
    if (auto* host = dynamic_cast<IBusSelectHost*>(Parent())) host->SelectBus(FBus, false);
}

CBusSelectPanel::CBusSelectPanel(int left, TWinControl* parent, const CapabilitiesRecord& caps) : m_Caps(caps)
{
    const int perRow = std::min<int>(caps.AnalogOutputBusses, 8);
    int column = 0;
    int rowTop = 0;
    for (int bus = 0; bus < caps.OutputBusses && bus / 2 < BUS_SELECT_PAIRS; bus += 2) {
        if (bus == perRow) {
            rowTop += 60;
            column = 0;
        }
        auto* button = new TBusSelect(parent, static_cast<WORD>(bus), caps.AnalogOutputBusses);
        button->SetParent(parent);
        button->SetTop(button->Top() + rowTop);
        button->SetLeft(left + column + button->Left());
        column += 30;
        button->SetDown(bus == 0);
        m_Buttons[bus / 2] = button;
    }
}

void CBusSelectPanel::SetPeakMeters(const MeterRecord& meters)
{
    // The record's count comes from the card driver; buttons exist only for
    // the card's own pairs.
    const DWORD count = std::min<DWORD>({meters.BusMeterCount, m_Caps.OutputBusses, 2 * BUS_SELECT_PAIRS});
    for (DWORD i = 0; i < count; i += 2)
        m_Buttons[i / 2]->SetPeakMeter(meters.BusLevels[i] >> 8, meters.BusLevels[i + 1] >> 8);
}

void CBusSelectPanel::SelectBus(WORD bus)
{
    if (bus >= m_Caps.OutputBusses) return;
    for (TBusSelect* button : m_Buttons)
        if (button != nullptr) button->SetDown(button->Bus() == bus);
}

void CBusSelectPanel::Shift(int dx)
{
    for (TBusSelect* button : m_Buttons)
        if (button != nullptr) button->SetLeft(button->Left() + dx);
}

void CBusSelectPanel::SetBusCount(WORD count)
{
    // The pairs of the last six busses; on a card with fewer, every pair.
    for (TBusSelect* button : m_Buttons)
        if (button != nullptr && button->Bus() + 6 >= m_Caps.OutputBusses)
            button->SetVisible(count == m_Caps.OutputBusses);
}
