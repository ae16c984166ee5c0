// The card models a machine can be built from: one preset per family code,
// plus the odd cards tests and users want (virtual outputs, absent, failing).
#include <stdexcept>
#include <string_view>

#include "machine/card_config.h"

namespace machine {
namespace {

constexpr std::uint32_t kPipeMeter = 0x20, kPipePan = 0x10;
constexpr std::uint32_t kBusNominal = 0x80;
constexpr std::uint32_t kInputPhantom = 0x20000000, kInputNominal = 0x80, kInputMeter = 0x20, kInputTrim = 0x01;
// The family whose cards come with the external breakout box.
constexpr std::uint16_t kBoxFamily = 0x100;

// Clock sources by bit: Internal, Word, Super, S/PDIF, ADAT, Orsync, Orsync96, MTC.
constexpr std::uint32_t kInternal = 1u << 0, kWord = 1u << 1, kSuper = 1u << 2, kSpdif = 1u << 3,
                        kAdat = 1u << 4, kOrsync = 1u << 5, kOrsync96 = 1u << 6, kMtc = 1u << 7;

struct Model {
    const char* preset;
    std::uint16_t family;
    const char* name;
    std::uint16_t analogOut, analogIn, digitalOut, digitalIn;
    std::uint32_t clocks;
    bool digitalSwitch;
    std::uint16_t capabilityFlags;
};

constexpr Model kModels[] = {
    {"zavo24-10", 0x10, "Zavo24 2x2", 2, 2, 2, 2, kInternal | kWord | kSpdif, false, 0x0000},
    {"zavo24-20", 0x20, "Zavo24 4x4", 4, 4, 2, 2, kInternal | kWord | kSpdif, false, 0x0000},
    {"zavo24-30", 0x30, "Zavo24 8x8 Classic", 8, 8, 2, 2, kInternal | kWord | kSuper | kSpdif, false, 0x8000},
    {"zavo24-50", 0x50, "Zavo24 4x2", 4, 2, 2, 2, kInternal | kSpdif, false, 0x8000},
    {"zavo24-60", 0x60, "Zavo24 Wide", 2, 2, 2, 2, kInternal | kSpdif, false, 0x8000},
    {"zavo24-70", 0x70, "Zavo24 4x4 Pro", 4, 4, 8, 8, kInternal | kWord | kSpdif | kAdat, true, 0xC000},
    {"zavo24-8x8", 0x80, "Zavo24 8x8", 8, 8, 8, 8, kInternal | kWord | kSuper | kSpdif | kAdat, true, 0x8000},
    {"tarnex-90", 0x90, "Tarnex 10", 2, 2, 8, 8, kInternal | kWord | kSpdif | kAdat | kOrsync, true, 0xC000},
    {"tarnex-a0", 0xA0, "Tarnex 20", 4, 4, 8, 8, kInternal | kWord | kSpdif | kAdat | kOrsync | kOrsync96,
     true, 0xC000},
    {"tarnex-b0", 0xB0, "Tarnex 30", 8, 8, 8, 8,
     kInternal | kWord | kSuper | kSpdif | kAdat | kOrsync | kOrsync96 | kMtc, true, 0xC000},
    {"dazarorora-c0", 0xC0, "Dazarorora", 2, 2, 2, 2, kInternal | kSpdif, false, 0x0000},
    {"kaltor-100", 0x100, "Zavo24 Kaltor", 8, 8, 8, 8, kInternal | kWord | kSuper | kSpdif | kAdat, true, 0x8000},
};

constexpr char kDefaultInstance[] = "4&1a2b3c4d&0&2010";

CardConfig FromModel(const Model& model)
{
    CardConfig card;
    card.preset = model.preset;
    card.family = model.family;
    card.name = model.name;
    card.clockMask = model.clocks;
    card.digitalModeSwitch = model.digitalSwitch;
    card.capabilityFlags = model.capabilityFlags;
    card.analogOutputBusses = card.analogOutputPipes = model.analogOut;
    card.analogInputBusses = card.analogInputPipes = model.analogIn;
    card.outputBusses = card.outputPipes = static_cast<std::uint16_t>(model.analogOut + model.digitalOut);
    card.inputBusses = card.inputPipes = static_cast<std::uint16_t>(model.analogIn + model.digitalIn);
    card.outputPipeFlags = {};
    card.outputBusFlags = {};
    card.inputFlags = {};
    for (unsigned p = 0; p < card.outputPipes; ++p)
        card.outputPipeFlags[p] = kPipeMeter | kPipePan;
    for (unsigned b = 0; b < card.analogOutputBusses; ++b)
        card.outputBusFlags[b] = kBusNominal;
    // The PCI cards trim their analog inputs; the breakout box has microphone
    // preamplifiers instead, with phantom power and gain knobs of its own.
    const bool box = model.family == kBoxFamily;
    const std::uint32_t analogInput = kInputNominal | kInputMeter | (box ? 0u : kInputTrim);
    for (unsigned i = 0; i < card.inputBusses; ++i)
        card.inputFlags[i] = i < card.analogInputBusses ? analogInput : kInputMeter;
    if (box)
        card.inputFlags[0] |= kInputPhantom;
    return card;
}

const Model& ModelOf(const char* preset)
{
    for (const Model& model : kModels)
        if (std::string_view(model.preset) == preset)
            return model;
    throw std::logic_error("missing model");
}

CardConfig Special(const std::string& name)
{
    if (name == "default") {
        CardConfig card = FromModel(ModelOf("zavo24-8x8"));
        card.preset = "default";
        return card;
    }
    if (name == "virtual-outputs") {
        // Sixteen playback pipes onto eight busses: the wave driver's volume goes to
        // busses 0, 2, 4, 6 for each pipe.
        CardConfig card = FromModel(ModelOf("zavo24-50"));
        card.preset = name;
        card.name = "Zavo24 Virtual 16";
        card.virtualOutputs = true;
        card.analogOutputBusses = card.analogOutputPipes = 8;
        card.outputBusses = 8;
        card.outputPipes = 16;
        for (unsigned p = 0; p < card.outputPipes; ++p)
            card.outputPipeFlags[p] = kPipeMeter | kPipePan;
        for (unsigned b = 0; b < 8; ++b)
            card.outputBusFlags[b] = kBusNominal;
        return card;
    }
    if (name == "absent") {
        CardConfig card = Special("default");
        card.preset = name;
        card.present = false;
        return card;
    }
    if (name == "driver-error") {
        CardConfig card = Special("default");
        card.preset = name;
        card.clockMask |= 0x80000000u;
        card.driverErrorText = "The card's firmware could not be loaded (error 0x21)";
        return card;
    }
    throw std::invalid_argument("unknown card preset \"" + name + "\"");
}

}  // namespace

std::vector<std::string> PresetNames()
{
    std::vector<std::string> names{"default"};
    for (const Model& model : kModels)
        names.emplace_back(model.preset);
    names.insert(names.end(), {"virtual-outputs", "absent", "driver-error"});
    return names;
}

CardConfig MakePreset(const std::string& presetName, const std::string& instance)
{
    CardConfig card;
    bool found = false;
    for (const Model& model : kModels) {
        if (presetName == model.preset) {
            card = FromModel(model);
            found = true;
        }
    }
    if (!found)
        card = Special(presetName);
    card.instance = instance.empty() ? kDefaultInstance : instance;
    return card;
}

}  // namespace machine
