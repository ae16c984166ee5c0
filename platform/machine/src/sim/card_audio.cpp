// The card's audio and its meters.
#include "card_audio.h"

#include <algorithm>
#include <utility>

namespace machine::sim {

CardAudio::CardAudio(const CardConfig& card)
    : played_(card.outputPipes), lastMeterRun_(std::chrono::steady_clock::now())
{
    for (unsigned input = 0; input < card.inputBusses; ++input)
        inputSignals_.push_back(DefaultInputSignal(input));
    for (PipeHistory& history : played_)
        history.SetLimit(playedLimit_);
    meters_.Reset();
}

void CardAudio::SetInputSignal(unsigned input, Signal signal)
{
    if (input < inputSignals_.size()) inputSignals_[input] = std::move(signal);
}

std::vector<std::int32_t> CardAudio::Played(unsigned pipe) const
{
    return pipe < played_.size() ? played_[pipe].Kept() : std::vector<std::int32_t>{};
}

void CardAudio::ClearPlayed() noexcept
{
    for (PipeHistory& history : played_)
        history.Clear();
}

void CardAudio::SetPlayedLimit(std::size_t samples)
{
    playedLimit_ = samples;
    for (PipeHistory& history : played_)
        history.SetLimit(samples);
}

void CardAudio::RunMeters(const MixerState& mixer, ClockMode clock, double rate)
{
    const auto now = std::chrono::steady_clock::now();
    std::uint64_t frames;
    double seconds;
    if (clock == ClockMode::Manual) {
        frames = manualMeterFrames_;
        seconds = static_cast<double>(frames) / rate;
    } else {
        seconds = std::chrono::duration<double>(now - lastMeterRun_).count();
        // A meter shows peaks of the recent past; a long pause is not played back in full.
        frames = static_cast<std::uint64_t>(std::min(seconds, 0.25) * rate);
    }
    manualMeterFrames_ = 0;
    lastMeterRun_ = now;
    for (PipeHistory& history : played_)
        history.LimitMeterBacklog(frames);
    meters_.Run(mixer, inputSignals_, played_, frames, rate, seconds);
}

void CardAudio::SetMeterLevel(MeterGroup group, unsigned index, std::optional<std::int32_t> level)
{
    meters_.SetOverride(group, index, level);
}

void CardAudio::Reset()
{
    for (unsigned input = 0; input < inputSignals_.size(); ++input)
        inputSignals_[input] = DefaultInputSignal(input);
    ClearPlayed();
    meters_.Reset();
    manualMeterFrames_ = 0;
}

}  // namespace machine::sim
