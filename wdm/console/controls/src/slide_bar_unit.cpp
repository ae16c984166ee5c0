// The slider unit's start-up pieces: the steel-look pattern and its counters.
#include "controls/slide_bar.h"

#include <array>
#include <stdexcept>

namespace {

TUnitCounter PatternCounter;
std::array<TUnitCounter, 2> FurtherCounters;
std::unique_ptr<TBitmap> Pattern;

}  // namespace

void SlideBarUnitStartup()
{
    if (!PatternCounter.Startup()) return;
    // Light grey with a white dot at every second pixel of every second row.
    Pattern = std::make_unique<TBitmap>();
    Pattern->SetSize(8, 8);
    TCanvas* c = Pattern->Canvas();
    c->Brush()->Color = 0xC0C0C0;  // RGB(192,192,192)
    c->Brush()->Style = TBrushStyle::bsSolid;
    c->FillRect(Rect(0, 0, 8, 8));
    for (int i = 0; i < 8; ++i) {
        for (int j = 0; j < 8; ++j) {
            if (i % 2 == 1 && j % 2 == 1) c->Pixels[i][j] = clWhite;
        }
    }
}

void SlideBarUnitShutdown()
{
    if (PatternCounter.Shutdown()) Pattern.reset();
}

TUnitCounter& SlideBarUnitCounter(int pair)
{
    if (pair < 1 || pair > 2) throw std::out_of_range("slider unit counter pair");
    return FurtherCounters[static_cast<std::size_t>(pair - 1)];
}

TBitmap* SlideBarPattern() { return Pattern.get(); }
