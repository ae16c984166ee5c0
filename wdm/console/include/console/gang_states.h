// CGangStates, the gang state of one channel pair for every output-bus pair:
// the gang button shows the state of the displayed output pair only, so a
// strip or panel that shows another pair stores the button's state first and
// then sets the button from the state it kept for the new one.
#pragma once

#include <vcl.h>

#include <vector>

class TGang;

class CGangStates {
public:
    // None: the odd strip of a pair keeps no states.
    CGangStates() = default;
    // One byte per output-bus pair, every pair ganged. A card with a single
    // output bus or an odd count still gets a byte for each pair it can show.
    explicit CGangStates(WORD outputBusses);

    bool Exists() const { return !m_Bytes.empty(); }
    // The byte of the pair holding `bus` := the button's down state.
    void Store(WORD bus, const TGang& gang);
    // The button's down state := the byte of the pair holding `bus`.
    void Show(WORD bus, TGang& gang) const;
    // The first n bytes, as many as there are; n may be 0.
    void CopyTo(BYTE* dst, int n) const;
    void CopyFrom(const BYTE* src, int n);

private:
    std::size_t Count(int n) const;

    std::vector<BYTE> m_Bytes;  // nonzero = ganged
};
