// What the console reads from a card's capabilities besides its counts and
// flag arrays: the digital-mode switch, the three digital modes, and the
// family whose mode buttons set the output clock instead.
#pragma once

#include "daveror_records.h"

// Bit 2 of CapabilitiesRecord::DigitalModeFlags: the digital I/O mode can be switched.
constexpr DWORD DIGITAL_MODE_SWITCH = 0x4;

// CDaveror::GetDigitalMode / SetDigitalMode.
enum : int {
    DIGITAL_MODE_SPDIF_RCA = 0,
    DIGITAL_MODE_SPDIF_OPTICAL = 1,
    DIGITAL_MODE_ADAT = 2,
};

// The family with a word-clock or super-clock output instead of a digital mode.
constexpr WORD FAMILY_OUTPUT_CLOCK = 0x30;

inline bool HasDigitalModeSwitch(const CapabilitiesRecord& caps)
{
    return (caps.DigitalModeFlags & DIGITAL_MODE_SWITCH) != 0;
}
