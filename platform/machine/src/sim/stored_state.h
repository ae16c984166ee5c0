// What the card keeps in the registry under its interface's device
// parameters: the "Wave config" value the wave driver reads, and the card's
// settings, loaded at the first open in a process and saved when the last
// file closes and after a restart, so that the next process finds them.
#pragma once

#include <optional>
#include <string>
#include <utility>

#include "machine/card_config.h"
#include "machine/sim_records.h"
#include "machine/sim_state.h"

namespace machine::sim {

class StoredState {
public:
    // The saved state, read the first time in this process (and again after Forget);
    // a card never opened before keeps what it has.
    void LoadOnce(const CardConfig& card, MixerState& mixer, CardSettings& settings);
    // Writes the state unless it is what the registry already holds as far as this
    // process knows. Only below the card's interface key: a removed card's state is
    // dropped, so that the card starts clean when it is found again.
    void Save(const CardConfig& card, const MixerState& mixer, const CardSettings& settings);
    // As in a new process: the next LoadOnce reads again.
    void Forget() noexcept { loaded_ = false; }

    // "Wave config", written at once (where the card's interface key exists).
    static void WriteWaveConfig(const CardConfig& card, const WaveConfigRecord& record);
    // Every key and value the card owns in the registry, one per line.
    static std::string Dump(const CardConfig& card);

private:
    bool loaded_ = false;
    std::optional<std::pair<MixerState, CardSettings>> persisted_;
};

}  // namespace machine::sim
