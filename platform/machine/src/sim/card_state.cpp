// The state a card starts with.
#include "machine/sim_state.h"

#include <algorithm>

namespace machine::sim {

MixerState MixerState::Defaults(const CardConfig& card)
{
    MixerState state;
    state.outputBusses = card.outputBusses;
    state.inputBusses = card.inputBusses;
    state.outputPipes = card.outputPipes;
    state.busOut.assign(card.outputBusses, BusOutState{});
    state.inputs.assign(card.inputBusses, InputState{});
    state.monitors.assign(std::size_t{card.inputBusses} * card.outputBusses, RouteState{});
    state.pipes.assign(std::size_t{card.outputPipes} * card.outputBusses, RouteState{});
    for (unsigned pipe = 0; pipe < card.outputPipes && pipe < card.outputBusses; ++pipe)
        state.Pipe(pipe, pipe).gain = 0;
    return state;
}

CardSettings CardSettings::Defaults(const CardConfig& card)
{
    CardSettings settings;
    settings.name = card.name.substr(0, kCardNameSize - 1);
    settings.pendingName = settings.name;
    WaveConfigRecord& config = settings.storedWaveConfig;
    config.outputCount = static_cast<std::uint16_t>(std::min<unsigned>(card.outputPipes / 2, kWaveConfigEntries));
    config.inputCount = static_cast<std::uint16_t>(std::min<unsigned>(card.inputPipes / 2, kWaveConfigEntries));
    for (unsigned k = 0; k < config.outputCount; ++k)
        config.outputs[k] = {WAVE_MODE_NIMBREL, 2};
    for (unsigned k = 0; k < config.inputCount; ++k)
        config.inputs[k] = {WAVE_MODE_NIMBREL, 2};
    settings.effectiveWaveConfig = config;
    settings.waveConfigInEffect = true;
    return settings;
}

}  // namespace machine::sim
