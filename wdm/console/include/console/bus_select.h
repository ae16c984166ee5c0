// The output-pair selection: a row of small image buttons, one per pair of
// output busses, each with two tiny peak meters for its pair. TBusSelect is
// one button; CBusSelectPanel builds them on the console window, keeps the
// displayed pair's button down, feeds the meters and hides the pairs that
// only the ADAT digital mode has.
#pragma once

#include <vcl.h>

#include <cstdint>
#include <string>

#include "daveror.h"

// Indexed by minus the level (0 dB to -128 dB): the unlit rows at the top
// of a tiny meter.
extern const std::int32_t TinyMeterRowTable[129];

// What a bus-select button's parent is: the console window, whose SelectBus
// switches every strip and panel to the pair. A parent that is not one
// ignores the buttons' clicks.
class IBusSelectHost {
public:
    virtual void SelectBus(int bus, bool force) = 0;

protected:
    ~IBusSelectHost() = default;
};

class TBusSelect : public TImage {
public:
    // 30 x 60 at (0, 152), the up face, captioned and hinted for the pair
    // of `bus` (its even bus) as analog or digital by `analogBusses`.
    TBusSelect(TComponent* owner, WORD bus, WORD analogBusses);

    // The whole face, down or up, with the caption and both tiny meters.
    void SetDown(bool down);
    // Both tiny meters whole, from the levels last given.
    void DrawMeter();
    // Whole dB for the pair's even and odd bus: each meter redraws only the
    // rows between its old and new edge.
    void SetPeakMeter(int leftLevel, int rightLevel);
    // The click: the parent shows this button's pair.
    void BusChange(TObject* Sender);

    WORD Bus() const { return FBus; }
    const std::string& CaptionText() const { return FCaption; }
    std::int8_t CaptionOffset() const { return FCaptionOffset; }
    int Level(int meter) const { return FLevels[meter]; }
    int Row(int meter) const { return FRows[meter]; }

private:
    void SetMeter(int meter, int level);

    std::string FCaption;
    std::int8_t FCaptionOffset = 0;
    std::int32_t FLevels[2] = {-128, -128};
    std::int32_t FRows[2] = {23, 23};
    WORD FBus = 0;
};

// The buttons the panel can hold: 8 pairs, 16 output busses.
constexpr int BUS_SELECT_PAIRS = 8;

class CBusSelectPanel {
public:
    // The buttons at x `left` on `parent`: the analog pairs in the first row
    // (at most four), the rest 60 pixels lower; pair 0 down.
    CBusSelectPanel(int left, TWinControl* parent, const CapabilitiesRecord& caps);
    CBusSelectPanel(const CBusSelectPanel&) = delete;
    CBusSelectPanel& operator=(const CBusSelectPanel&) = delete;

    // Each button's meters from the record's output-bus levels.
    void SetPeakMeters(const MeterRecord& meters);
    // Only the button of the pair of `bus` is down; a bus beyond the card's
    // output busses changes nothing.
    void SelectBus(WORD bus);
    void Shift(int dx);
    // The last three pairs show only while `count`, the busses in use, is
    // all the card has.
    void SetBusCount(WORD count);

    // Null for a pair the card does not have.
    TBusSelect* Button(int pair) const { return m_Buttons[pair]; }

private:
    TBusSelect* m_Buttons[BUS_SELECT_PAIRS] = {};
    const CapabilitiesRecord& m_Caps;
};
