// The card's audio: what each input hears, the samples each output pipe
// played (kept up to a limit), and the meters with the card time they are
// owed.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "machine/card_config.h"
#include "machine/card_driver_hooks.h"
#include "machine/sim_state.h"
#include "meter_bank.h"
#include "pipe_history.h"
#include "signal_source.h"

namespace machine::sim {

class CardAudio {
public:
    explicit CardAudio(const CardConfig& card);

    // What record pipe `pipe` hears at `frame`; a loopback hears its output pipe `ago`
    // samples back. Allocates nothing: the clock thread records.
    std::int32_t Recorded(unsigned pipe, std::uint64_t frame, double rate, std::uint64_t ago) const noexcept
    {
        if (pipe >= inputSignals_.size()) return 0;
        const Signal& signal = inputSignals_[pipe];
        const PipeHistory* loop = signal.kind == Signal::Kind::Loopback && signal.loopbackPipe < played_.size()
                                      ? &played_[signal.loopbackPipe]
                                      : nullptr;
        return SignalSample(signal, frame, rate, loop, ago);
    }
    // A sample output pipe `pipe` played.
    void Play(unsigned pipe, std::int32_t sample) noexcept
    {
        if (pipe < played_.size()) played_[pipe].Push(sample);
    }

    void SetInputSignal(unsigned input, Signal signal);
    std::vector<std::int32_t> Played(unsigned pipe) const;
    void ClearPlayed() noexcept;
    // Allocates; drops what was kept.
    void SetPlayedLimit(std::size_t samples);

    // Card time the manual clock advanced, owed to the meters until they next run.
    void OweMeterFrames(std::uint64_t frames) noexcept { manualMeterFrames_ += frames; }
    // Meters the audio since they last ran: under the manual clock the card time owed,
    // in real time what passed since (a long pause counts as a quarter second).
    void RunMeters(const MixerState& mixer, ClockMode clock, double rate);
    std::int32_t Level(MeterGroup group, unsigned index) const noexcept { return meters_.Level(group, index); }
    void SetMeterLevel(MeterGroup group, unsigned index, std::optional<std::int32_t> level);

    // A clean card's audio: default inputs, nothing played, meters at rest and owed
    // nothing. The played limit stays.
    void Reset();

private:
    std::vector<Signal> inputSignals_;  // [input bus]
    std::vector<PipeHistory> played_;   // [output pipe]
    std::size_t playedLimit_ = 1 << 15;
    MeterBank meters_;
    std::uint64_t manualMeterFrames_ = 0;  // card time advanced by the manual clock, not yet metered
    std::chrono::steady_clock::time_point lastMeterRun_{};
};

}  // namespace machine::sim
