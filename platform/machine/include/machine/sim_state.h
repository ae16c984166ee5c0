// The card's mixer and settings state, as the card driver keeps it and as
// tests read it back. Indices: input x output bus and pipe x output bus.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "machine/card_config.h"
#include "machine/sim_records.h"

namespace machine::sim {

struct BusOutState {
    std::int32_t gain = 0;
    std::uint32_t mute = 0;
    std::uint32_t nominal = 4;
    friend bool operator==(const BusOutState&, const BusOutState&) = default;
};

struct InputState {
    std::int32_t trim = 0;
    std::uint32_t nominal = 4;
    friend bool operator==(const InputState&, const InputState&) = default;
};

// One route onto an output bus: a monitor (input) or a playback pipe.
struct RouteState {
    std::int32_t gain = kMeterFloor;
    std::uint32_t mute = 0;
    std::uint32_t pan = 500;
    friend bool operator==(const RouteState&, const RouteState&) = default;
};

struct MixerState {
    std::uint16_t outputBusses = 0, inputBusses = 0, outputPipes = 0;
    std::vector<BusOutState> busOut;  // [bus]
    std::vector<InputState> inputs;   // [input]
    std::vector<RouteState> monitors; // [input * outputBusses + bus]
    std::vector<RouteState> pipes;    // [pipe * outputBusses + bus]

    std::uint16_t inputClock = 0;
    std::uint16_t outputClock = 1;
    std::uint32_t digitalMode = 0;
    std::uint32_t spdifFormat = 0;
    std::uint16_t userFlags = 0;  // DRIVER_FLAG_SYNC_WAVE | DRIVER_FLAG_RATE_LOCK
    std::uint32_t lockedRate = 44100;
    std::uint32_t digInAutoMute = 0;
    std::uint32_t phantomPower = 0;

    // The defaults of a card with these counts: every pipe on its own bus at 0 dB,
    // every monitor off.
    static MixerState Defaults(const CardConfig& card);

    RouteState& Monitor(unsigned input, unsigned bus) { return monitors[input * outputBusses + bus]; }
    const RouteState& Monitor(unsigned input, unsigned bus) const { return monitors[input * outputBusses + bus]; }
    RouteState& Pipe(unsigned pipe, unsigned bus) { return pipes[pipe * outputBusses + bus]; }
    const RouteState& Pipe(unsigned pipe, unsigned bus) const { return pipes[pipe * outputBusses + bus]; }

    friend bool operator==(const MixerState&, const MixerState&) = default;
};

struct CardSettings {
    std::string name;         // the name the caps report
    std::string pendingName;  // applied at the next restart when names wait for it
    std::array<std::uint32_t, kSpeakers> speakerDelays{};
    WaveConfigRecord storedWaveConfig{};     // flags always 0
    WaveConfigRecord effectiveWaveConfig{};  // what the card runs with
    bool waveConfigInEffect = true;
    std::uint32_t waveBufferSize = 512;
    std::uint32_t gsifBufferSize = 128;
    std::uint32_t sampleRate = 44100;

    // Every pair of pipes a Nimbrel device of width 2, both ways.
    static CardSettings Defaults(const CardConfig& card);

    friend bool operator==(const CardSettings&, const CardSettings&) = default;
};

}  // namespace machine::sim
