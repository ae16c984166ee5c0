// The card's state in the registry.
#include "stored_state.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <span>
#include <type_traits>
#include <vector>

#include "common/reg_key.h"
#include "win32/registry.h"

namespace machine::sim {
namespace {

constexpr char kWaveConfig[] = "Wave config";
constexpr char kEffectiveWaveConfig[] = "Effective wave config";
constexpr char kWaveConfigInEffect[] = "Wave config in effect";
constexpr char kCardName[] = "Card name";
constexpr char kPendingCardName[] = "Pending card name";
constexpr char kSpeakerDelays[] = "Speaker delays";
constexpr char kWaveBufferSize[] = "Wave buffer size";
constexpr char kGsifBufferSize[] = "GSIF buffer size";
constexpr char kSampleRate[] = "Sample rate";
constexpr char kMixerState[] = "Mixer state";
constexpr std::uint32_t kMixerStateVersion = 1;

// A record's bytes, as a value holds them.
template <class T>
std::span<const BYTE> BytesOf(const T& record)
{
    return {reinterpret_cast<const BYTE*>(&record), sizeof record};
}

// The card's device parameters for writing. They are made where missing, but only below
// the card's interface key: once the card's node has been removed, that key is gone and
// what the card would save is dropped, so that the card starts clean when it is found again.
RegKey ParametersForWriting(const CardConfig& card)
{
    const std::string interfaceKey = DeviceClassesKey(card);
    const RegKey parent = RegKey::Open(interfaceKey, KEY_ALL_ACCESS);
    return parent.CreateSubkey(DeviceParametersKey(card).substr(interfaceKey.size() + 1));
}

// A value of exactly the record's size and the given type.
template <class T>
bool GetRecord(const RegKey& key, const char* name, T& record, DWORD type = REG_BINARY)
{
    const auto bytes = key.QueryOfType(name, type);
    if (!bytes || bytes->size() != sizeof record) return false;
    std::memcpy(&record, bytes->data(), sizeof record);
    return true;
}

bool GetDword(const RegKey& key, const char* name, std::uint32_t& value) { return GetRecord(key, name, value, REG_DWORD); }

bool GetString(const RegKey& key, const char* name, std::string& text)
{
    const auto bytes = key.QueryOfType(name, REG_SZ);
    if (!bytes) return false;
    text.assign(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    text.resize(std::min<std::size_t>(text.find('\0'), kCardNameSize - 1));
    return true;
}

// The mixer state as one binary value: its counts first, so that a value of another model is not taken.
class Packer {
public:
    template <class T>
    void Put(T value)
    {
        const auto* at = reinterpret_cast<const BYTE*>(&value);
        bytes.insert(bytes.end(), at, at + sizeof value);
    }
    std::vector<BYTE> bytes;
};

class Unpacker {
public:
    explicit Unpacker(const std::vector<BYTE>& bytes) : bytes_(bytes) {}
    template <class T>
    T Get()
    {
        T value{};
        if (at_ + sizeof value > bytes_.size()) {
            ok_ = false;
            return value;
        }
        std::memcpy(&value, bytes_.data() + at_, sizeof value);
        at_ += sizeof value;
        return value;
    }
    bool Complete() const noexcept { return ok_ && at_ == bytes_.size(); }

private:
    const std::vector<BYTE>& bytes_;
    std::size_t at_ = 0;
    bool ok_ = true;
};

template <class Visit>
void VisitMixer(MixerState& state, Visit&& visit)
{
    auto route = [&](RouteState& r) { visit(r.gain), visit(r.mute), visit(r.pan); };
    for (BusOutState& bus : state.busOut)
        visit(bus.gain), visit(bus.mute), visit(bus.nominal);
    for (InputState& input : state.inputs)
        visit(input.trim), visit(input.nominal);
    for (RouteState& r : state.monitors)
        route(r);
    for (RouteState& r : state.pipes)
        route(r);
    visit(state.inputClock), visit(state.outputClock), visit(state.digitalMode), visit(state.spdifFormat);
    visit(state.userFlags), visit(state.lockedRate), visit(state.digInAutoMute), visit(state.phantomPower);
}

std::vector<BYTE> PackMixer(MixerState state)
{
    Packer packer;
    packer.Put(kMixerStateVersion);
    packer.Put(state.outputBusses), packer.Put(state.inputBusses), packer.Put(state.outputPipes);
    VisitMixer(state, [&](auto& field) { packer.Put(field); });
    return packer.bytes;
}

bool UnpackMixer(const std::vector<BYTE>& bytes, MixerState& state)
{
    Unpacker unpacker(bytes);
    if (unpacker.Get<std::uint32_t>() != kMixerStateVersion || unpacker.Get<std::uint16_t>() != state.outputBusses ||
        unpacker.Get<std::uint16_t>() != state.inputBusses || unpacker.Get<std::uint16_t>() != state.outputPipes)
        return false;
    MixerState loaded = state;
    VisitMixer(loaded, [&](auto& field) { field = unpacker.Get<std::remove_reference_t<decltype(field)>>(); });
    if (!unpacker.Complete()) return false;
    state = std::move(loaded);
    return true;
}

void DumpKey(const std::string& path, std::string& out)
{
    const RegKey key = RegKey::Open(path);
    if (!key) return;
    out += path + "\n";
    for (const RegKey::Value& value : key.Values()) {
        out += "  \"" + value.name + "\" type " + std::to_string(value.type) + ":";
        for (const BYTE b : value.data) {
            char hex[4];
            std::snprintf(hex, sizeof hex, " %02x", b);
            out += hex;
        }
        out += "\n";
    }
    for (const std::string& child : key.Subkeys())
        DumpKey(path + "\\" + child, out);
}

}  // namespace

void StoredState::WriteWaveConfig(const CardConfig& card, const WaveConfigRecord& record)
{
    RegKey key = ParametersForWriting(card);
    if (key) key.SetBinary(kWaveConfig, BytesOf(record));
}

void StoredState::LoadOnce(const CardConfig& card, MixerState& mixer, CardSettings& settings)
{
    if (loaded_) return;
    loaded_ = true;
    const RegKey key = RegKey::Open(DeviceParametersKey(card));
    persisted_.reset();
    if (!key) return;  // a card never opened before: its defaults
    GetRecord(key, kWaveConfig, settings.storedWaveConfig);
    settings.storedWaveConfig.flags = 0;
    if (!GetRecord(key, kEffectiveWaveConfig, settings.effectiveWaveConfig))
        settings.effectiveWaveConfig = settings.storedWaveConfig;
    std::uint32_t inEffect = 1;
    GetDword(key, kWaveConfigInEffect, inEffect);
    settings.waveConfigInEffect = inEffect != 0;
    GetString(key, kCardName, settings.name);
    if (!GetString(key, kPendingCardName, settings.pendingName)) settings.pendingName = settings.name;
    GetRecord(key, kSpeakerDelays, settings.speakerDelays);
    GetDword(key, kWaveBufferSize, settings.waveBufferSize);
    GetDword(key, kGsifBufferSize, settings.gsifBufferSize);
    GetDword(key, kSampleRate, settings.sampleRate);
    if (const auto bytes = key.QueryOfType(kMixerState, REG_BINARY)) UnpackMixer(*bytes, mixer);
    persisted_.emplace(mixer, settings);
}

void StoredState::Save(const CardConfig& card, const MixerState& mixer, const CardSettings& settings)
{
    // Drivers open and close the card around every use; most closes change nothing.
    if (persisted_ && persisted_->first == mixer && persisted_->second == settings) return;
    RegKey key = ParametersForWriting(card);
    if (!key) return;  // the state stays in the card for this process; a removed card's goes with it
    persisted_.emplace(mixer, settings);
    key.SetBinary(kWaveConfig, BytesOf(settings.storedWaveConfig));
    key.SetBinary(kEffectiveWaveConfig, BytesOf(settings.effectiveWaveConfig));
    key.SetDword(kWaveConfigInEffect, settings.waveConfigInEffect ? 1 : 0);
    key.SetString(kCardName, settings.name);
    key.SetString(kPendingCardName, settings.pendingName);
    key.SetBinary(kSpeakerDelays, BytesOf(settings.speakerDelays));
    key.SetDword(kWaveBufferSize, settings.waveBufferSize);
    key.SetDword(kGsifBufferSize, settings.gsifBufferSize);
    key.SetDword(kSampleRate, settings.sampleRate);
    key.SetBinary(kMixerState, PackMixer(mixer));
}

std::string StoredState::Dump(const CardConfig& card)
{
    std::string out;
    DumpKey(EnumKey(card), out);
    DumpKey(DeviceClassesKey(card), out);
    return out;
}

}  // namespace machine::sim
