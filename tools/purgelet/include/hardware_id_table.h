// HardwareIdTable: the hardware-ID prefixes of the card family named on the
// command line. Each prefix is the 37 characters
// "PCI\VEN_1057&DEV_dddd&SUBSYS_ssssA5C3" that begin the first hardware ID of
// one card model: dddd the device ID of the card's DSP chip, ssss the model.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include <juce_core/juce_core.h>

struct HardwareIdTable {
    static constexpr std::size_t prefixLength = 37;

    std::int32_t count = 0;
    const char* const* prefixes = nullptr;

    // The list of the family whose key equals `key` ignoring case, tried as
    // "zavo24", "dazarorora", then "tarnex"; an empty table for any other text.
    static HardwareIdTable forFamily(const juce::String& key);

    // Whether the zero-terminated `hardwareId` begins with one of the
    // prefixes, in order, compared case-sensitively.
    bool matches(const char* hardwareId) const;
};

// The one table of the program: the application builds it at start-up and
// deletes it at shut-down; the cleanup's scan compares with it.
extern std::unique_ptr<HardwareIdTable> hardwareIdTable;
