// Card settings with control codes of their own: speaker delays, the wave
// device configuration, the card name and the two buffer sizes.
#include <algorithm>
#include <bit>
#include <cstring>

#include "handlers.h"
#include "win32/errors.h"

namespace machine::sim {
namespace {

// A buffer size: a power of two from `low` to `high`.
Outcome SetPowerOfTwo(const Request& request, std::uint32_t low, std::uint32_t high, std::uint32_t& size)
{
    const std::uint32_t value = Load<std::uint32_t>(request.buffer.data());
    if (value < low || value > high || !std::has_single_bit(value)) return Outcome::Fail(ERROR_INVALID_PARAMETER);
    size = value;
    return Outcome::Done(0);
}

Outcome Refused() noexcept { return Outcome::Fail(ERROR_INVALID_PARAMETER); }

}  // namespace

Outcome GetSpeakerDelay(Card& card, const Request& request)
{
    const std::uint32_t speaker = Load<std::uint32_t>(request.buffer.data());
    if (speaker >= kSpeakers) return Refused();
    Store(request.buffer.data() + 4, card.Settings().speakerDelays[speaker]);
    return Outcome::Done(sizeof(SpeakerDelayRecord));
}

Outcome SetSpeakerDelay(Card& card, const Request& request)
{
    const std::uint32_t speaker = Load<std::uint32_t>(request.buffer.data());
    const std::uint32_t delay = Load<std::uint32_t>(request.buffer.data() + 4);
    if (speaker >= kSpeakers || delay > kMaxSpeakerDelay) return Refused();
    card.Settings().speakerDelays[speaker] = delay;
    return Outcome::Done(0);
}

Outcome GetWaveConfig(Card& card, const Request& request)
{
    WaveConfigRecord record = card.Settings().storedWaveConfig;
    record.flags = card.Settings().waveConfigInEffect ? WAVE_CONFIG_IN_EFFECT : 0u;
    std::memcpy(request.buffer.data(), &record, sizeof record);
    return Outcome::Done(sizeof record);
}

Outcome SetWaveConfig(Card& card, const Request& request)
{
    WaveConfigRecord record;
    std::memcpy(&record, request.buffer.data(), sizeof record);
    if (record.outputCount > kWaveConfigEntries || record.inputCount > kWaveConfigEntries) return Refused();
    // Odd widths and more pipes than the card has are kept as sent: the card runs what it can.
    record.flags = 0;
    card.Settings().storedWaveConfig = record;
    card.Settings().waveConfigInEffect = false;  // until the next restart
    card.WriteWaveConfigValue();
    return Outcome::Done(0);
}

Outcome SetCardName(Card& card, const Request& request)
{
    if (request.inSize == 0 || request.inSize > kCardNameSize) return Refused();
    const auto* text = reinterpret_cast<const char*>(request.buffer.data());
    const auto* end = static_cast<const char*>(std::memchr(text, 0, request.inSize));
    if (end == nullptr) return Refused();
    card.Settings().pendingName.assign(text, end);
    if (!card.Faults().nameAppliesAtRestart) card.Settings().name = card.Settings().pendingName;
    return Outcome::Done(0);
}

Outcome GetWaveBufferSize(Card& card, const Request& request) { return Answer(request, card.Settings().waveBufferSize); }

// The wave driver's ring masks positions with its size, so only powers of two will do.
Outcome SetWaveBufferSize(Card& card, const Request& request)
{
    return SetPowerOfTwo(request, 64, 8192, card.Settings().waveBufferSize);
}

Outcome GetGsifBufferSize(Card& card, const Request& request) { return Answer(request, card.Settings().gsifBufferSize); }

Outcome SetGsifBufferSize(Card& card, const Request& request)
{
    return SetPowerOfTwo(request, 64, 2048, card.Settings().gsifBufferSize);
}

}  // namespace machine::sim
