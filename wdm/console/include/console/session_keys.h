// The keys of a session file, shared by its writer and its reader, and the
// card's counts as the file uses them. Channel, bus and pipe numbers in keys
// are 1-based, a pair written "03/04"; wave-configuration entries and
// speakers are 0-based.
#pragma once

#include <algorithm>
#include <string>

#include <vcl.h>

#include "daveror_records.h"

namespace session_keys {

inline const char* const CardType = "Card type";
inline const char* const CurrentOutputBus = "Current output bus";
inline const char* const InputClock = "Input clock";
inline const char* const DigitalMode = "Digital mode";
inline const char* const OutputClock = "Output clock";
inline const char* const LockedSampleRate = "Locked sample rate";
inline const char* const SampleRateLocked = "Sample rate locked";
inline const char* const SyncWaveDevs = "Sync wave devs";
inline const char* const GsifBufferSize = "GSIF buffer size";
inline const char* const SpdifProfessional = "S/PDIF professional format";
inline const char* const WaveOutCount = "Wave config num out devs";
inline const char* const WaveInCount = "Wave config num in devs";

// "Input bus 01 gain"; `what` is "gain" or "nominal".
inline std::string InputBus(int input, const char* what) { return Format("Input bus %02d %s", input + 1, what); }
// "Monitor 01 -> 03/04 pan", "Playback 05 -> 01/02 gain".
inline std::string Route(const char* kind, int channel, int bus, const char* what)
{
    return Format("%s %02d -> %02d/%02d %s", kind, channel + 1, bus + 1, bus + 2, what);
}
// "Monitor 01/02 -> 03/04 gang".
inline std::string PairRouteGang(const char* kind, int channel, int bus)
{
    return Format("%s %02d/%02d -> %02d/%02d gang", kind, channel + 1, channel + 2, bus + 1, bus + 2);
}
// Without virtual outputs: "Playback 01 gain", "Playback 01 mute".
inline std::string Playback(int pipe, const char* what) { return Format("Playback %02d %s", pipe + 1, what); }
inline std::string PlaybackGang(int pipe) { return Format("Playback %02d/%02d gang", pipe + 1, pipe + 2); }
inline std::string OutputBus(int bus, const char* what) { return Format("Output bus %02d %s", bus + 1, what); }
inline std::string OutputBusGang(int bus) { return Format("Output bus %02d/%02d gang", bus + 1, bus + 2); }
// "Wave config output 00 mode"; `direction` is "output" or "input".
inline std::string WaveEntry(const char* direction, int entry, const char* what)
{
    return Format("Wave config %s %02d %s", direction, entry, what);
}
inline std::string SpeakerDelay(int speaker) { return Format("Speaker delay %02d", speaker); }

}  // namespace session_keys

// The card's counts, kept within the capability record's flag arrays.
struct SessionCounts {
    explicit SessionCounts(const CapabilitiesRecord& caps)
        : Inputs(std::min<int>(caps.InputBusses, std::size(caps.InputFlags))),
          OutputBusses(std::min<int>(caps.OutputBusses, std::size(caps.OutputBusFlags))),
          Pipes(std::min<int>(caps.OutputPipes, std::size(caps.OutputPipeFlags))),
          OutputPairs((OutputBusses + 1) / 2)
    {
    }
    int Inputs;
    int OutputBusses;
    int Pipes;
    int OutputPairs;  // the pairs b = 0, 2, ... below OutputBusses
};

// A gang array: one byte per output pair, or per pipe pair of the first
// playback strip of a card without virtual outputs.
constexpr int SESSION_GANG_BYTES = 32;

// The speakers of the speaker delays.
constexpr int SESSION_SPEAKERS = 8;
