// The card's meters, measured from the audio it moves: each input's signal,
// the samples played on each output pipe, and each output bus's mix of its
// monitor and playback routes after the bus's own gain and mute. A meter
// holds its peak and falls back at a steady rate between reads.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "machine/card_config.h"
#include "machine/card_driver_hooks.h"
#include "machine/sim_state.h"
#include "pipe_history.h"

namespace machine::sim {

class MeterBank {
public:
    // How fast a meter falls back, in 1/256 dB per second (20 dB/s).
    static constexpr double kFallPerSecond = 20.0 * 256.0;

    void Reset();
    // Plays `frames` frames of card time through the mixer, then lets every meter fall
    // back over `seconds` and rise to the peaks just measured.
    void Run(const MixerState& mixer, std::span<const Signal> inputs, std::span<PipeHistory> pipes,
             std::uint64_t frames, double rate, double seconds);

    std::int32_t Level(MeterGroup group, unsigned index) const noexcept;
    void SetOverride(MeterGroup group, unsigned index, std::optional<std::int32_t> level);

    static std::int32_t PeakToLevel(double peak) noexcept;

private:
    struct Route {
        unsigned source;  // input, or pipe
        unsigned bus;
        double coefficient;
    };
    void CollectRoutes(const MixerState& mixer);

    static constexpr unsigned kPipes = 128, kBusses = 64, kInputs = 32;
    std::array<std::int32_t, kPipes> pipeLevels_{};
    std::array<std::int32_t, kBusses> busLevels_{};
    std::array<std::int32_t, kInputs> inputLevels_{};
    std::array<std::optional<std::int32_t>, kPipes> pipeOverrides_{};
    std::array<std::optional<std::int32_t>, kBusses> busOverrides_{};
    std::array<std::optional<std::int32_t>, kInputs> inputOverrides_{};
    std::uint64_t cardFrame_ = 0;
    std::vector<Route> monitorRoutes_, pipeRoutes_;
    std::array<double, kBusses> busCoefficient_{};
};

}  // namespace machine::sim
