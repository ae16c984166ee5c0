// What the card keeps in the registry under its interface's device
// parameters: the "Wave config" value the wave driver reads, and the card's
// settings, loaded at the first open in a process and saved when the last
// file closes and after a restart, so that the next process finds them.
#include <cstdio>
#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "card_impl.h"
#include "win32/errors.h"
#include "win32/registry.h"

namespace machine {
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

// An open registry key, closed with the object.
class Key {
public:
    static Key Open(const std::string& path, REGSAM access = KEY_READ)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, access, &key) != ERROR_SUCCESS) key = nullptr;
        return Key(key);
    }
    // Made where missing, below a key that is open.
    static Key Create(const Key& parent, const std::string& subkey)
    {
        HKEY key = nullptr;
        if (!parent || RegCreateKeyExA(parent.get(), subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                       nullptr) != ERROR_SUCCESS)
            key = nullptr;
        return Key(key);
    }
    Key(Key&& other) noexcept : key_(other.key_) { other.key_ = nullptr; }
    ~Key()
    {
        if (key_ != nullptr) RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    explicit operator bool() const noexcept { return key_ != nullptr; }
    HKEY get() const noexcept { return key_; }

    void SetBinary(const char* name, const void* data, std::size_t size) const
    {
        RegSetValueExA(key_, name, 0, REG_BINARY, static_cast<const BYTE*>(data), static_cast<DWORD>(size));
    }
    void SetDword(const char* name, std::uint32_t value) const
    {
        RegSetValueExA(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    }
    void SetString(const char* name, const std::string& text) const
    {
        RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
    }
    // The value's bytes when it has the type, else nothing.
    std::optional<std::vector<BYTE>> Get(const char* name, DWORD wantedType) const
    {
        DWORD type = 0, size = 0;
        if (RegQueryValueExA(key_, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != wantedType)
            return std::nullopt;
        std::vector<BYTE> bytes(size);
        if (RegQueryValueExA(key_, name, nullptr, &type, bytes.data(), &size) != ERROR_SUCCESS) return std::nullopt;
        bytes.resize(size);
        return bytes;
    }

private:
    explicit Key(HKEY key) noexcept : key_(key) {}
    HKEY key_ = nullptr;
};

// The card's device parameters for writing. They are made where missing, but only below
// the card's interface key: once the card's node has been removed, that key is gone and
// what the card would save is dropped, so that the card starts clean when it is found again.
Key ParametersForWriting(const CardConfig& card)
{
    const std::string interfaceKey = DeviceClassesKey(card);
    const Key parent = Key::Open(interfaceKey, KEY_ALL_ACCESS);
    return Key::Create(parent, DeviceParametersKey(card).substr(interfaceKey.size() + 1));
}

// A value of exactly the record's size and the given type.
template <class T>
bool GetRecord(const Key& key, const char* name, T& record, DWORD type = REG_BINARY)
{
    const auto bytes = key.Get(name, type);
    if (!bytes || bytes->size() != sizeof record) return false;
    std::memcpy(&record, bytes->data(), sizeof record);
    return true;
}

bool GetDword(const Key& key, const char* name, std::uint32_t& value) { return GetRecord(key, name, value, REG_DWORD); }

bool GetString(const Key& key, const char* name, std::string& text)
{
    const auto bytes = key.Get(name, REG_SZ);
    if (!bytes) return false;
    text.assign(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    text.resize(std::min<std::size_t>(text.find('\0'), sim::kCardNameSize - 1));
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
void VisitMixer(sim::MixerState& state, Visit&& visit)
{
    auto route = [&](sim::RouteState& r) { visit(r.gain), visit(r.mute), visit(r.pan); };
    for (sim::BusOutState& bus : state.busOut)
        visit(bus.gain), visit(bus.mute), visit(bus.nominal);
    for (sim::InputState& input : state.inputs)
        visit(input.trim), visit(input.nominal);
    for (sim::RouteState& r : state.monitors)
        route(r);
    for (sim::RouteState& r : state.pipes)
        route(r);
    visit(state.inputClock), visit(state.outputClock), visit(state.digitalMode), visit(state.spdifFormat);
    visit(state.userFlags), visit(state.lockedRate), visit(state.digInAutoMute), visit(state.phantomPower);
}

std::vector<BYTE> PackMixer(sim::MixerState state)
{
    Packer packer;
    packer.Put(kMixerStateVersion);
    packer.Put(state.outputBusses), packer.Put(state.inputBusses), packer.Put(state.outputPipes);
    VisitMixer(state, [&](auto& field) { packer.Put(field); });
    return packer.bytes;
}

bool UnpackMixer(const std::vector<BYTE>& bytes, sim::MixerState& state)
{
    Unpacker unpacker(bytes);
    if (unpacker.Get<std::uint32_t>() != kMixerStateVersion || unpacker.Get<std::uint16_t>() != state.outputBusses ||
        unpacker.Get<std::uint16_t>() != state.inputBusses || unpacker.Get<std::uint16_t>() != state.outputPipes)
        return false;
    sim::MixerState loaded = state;
    VisitMixer(loaded, [&](auto& field) { field = unpacker.Get<std::remove_reference_t<decltype(field)>>(); });
    if (!unpacker.Complete()) return false;
    state = std::move(loaded);
    return true;
}

void DumpKey(HKEY parent, const std::string& path, const std::string& name, std::string& out)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, name.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    out += path + "\n";
    for (DWORD i = 0;; ++i) {
        char valueName[256];
        DWORD nameSize = sizeof valueName, type = 0, size = 0;
        if (RegEnumValueA(key, i, valueName, &nameSize, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
        std::vector<BYTE> data(size);
        nameSize = sizeof valueName;
        if (RegEnumValueA(key, i, valueName, &nameSize, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) break;
        out += "  \"" + std::string(valueName) + "\" type " + std::to_string(type) + ":";
        for (DWORD b = 0; b < size; ++b) {
            char hex[4];
            std::snprintf(hex, sizeof hex, " %02x", data[b]);
            out += hex;
        }
        out += "\n";
    }
    for (DWORD i = 0;; ++i) {
        char child[256];
        if (RegEnumKeyA(key, i, child, sizeof child) != ERROR_SUCCESS) break;
        DumpKey(key, path + "\\" + child, child, out);
    }
    RegCloseKey(key);
}

}  // namespace

void CardDriver::Impl::WriteWaveConfigValue() const
{
    const Key key = ParametersForWriting(config_);
    if (key) key.SetBinary(kWaveConfig, &settings.storedWaveConfig, sizeof settings.storedWaveConfig);
}

void CardDriver::Impl::LoadState()
{
    const Key key = Key::Open(DeviceParametersKey(config_));
    persisted.reset();
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
    if (const auto bytes = key.Get(kMixerState, REG_BINARY)) UnpackMixer(*bytes, mixer);
    persisted.emplace(mixer, settings);
}

void CardDriver::Impl::SaveState()
{
    // Drivers open and close the card around every use; most closes change nothing.
    if (persisted && persisted->first == mixer && persisted->second == settings) return;
    const Key key = ParametersForWriting(config_);
    if (!key) return;  // the state stays in the card for this process; a removed card's goes with it
    persisted.emplace(mixer, settings);
    key.SetBinary(kWaveConfig, &settings.storedWaveConfig, sizeof settings.storedWaveConfig);
    key.SetBinary(kEffectiveWaveConfig, &settings.effectiveWaveConfig, sizeof settings.effectiveWaveConfig);
    key.SetDword(kWaveConfigInEffect, settings.waveConfigInEffect ? 1 : 0);
    key.SetString(kCardName, settings.name);
    key.SetString(kPendingCardName, settings.pendingName);
    key.SetBinary(kSpeakerDelays, settings.speakerDelays.data(), sizeof settings.speakerDelays);
    key.SetDword(kWaveBufferSize, settings.waveBufferSize);
    key.SetDword(kGsifBufferSize, settings.gsifBufferSize);
    key.SetDword(kSampleRate, settings.sampleRate);
    const std::vector<BYTE> packed = PackMixer(mixer);
    key.SetBinary(kMixerState, packed.data(), packed.size());
}

std::string CardDriver::Impl::DumpRegistry() const
{
    std::string out;
    DumpKey(HKEY_LOCAL_MACHINE, EnumKey(config_), EnumKey(config_), out);
    DumpKey(HKEY_LOCAL_MACHINE, DeviceClassesKey(config_), DeviceClassesKey(config_), out);
    return out;
}

}  // namespace machine
