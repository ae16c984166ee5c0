// What one simulated card is: its model, its capabilities and how it sits in
// the device tree. The profile stores these; presets make them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace machine {

// The interface class of the card driver's device interfaces.
inline constexpr char kInterfaceClassGuid[] = "{c0d4a2e9-71b3-4c58-9f26-e38b1d7a0456}";
inline constexpr std::uint16_t kVendorId = 0x1057;

struct CardConfig {
    // Identity in the device tree.
    std::string preset;    // the preset it was made from ("default", "zavo24-8x8", ...)
    std::string instance;  // device instance id part, e.g. "4&1a2b3c4d&0&2010"
    bool present = true;   // absent: an interface left from an earlier installation

    // Capabilities.
    std::string name = "Zavo24 8x8";  // at most 127 characters
    std::uint16_t family = 0x80;
    std::uint32_t clockMask = 0x1F;  // bit j = input clock source j; bit 31 driver error
    std::string driverErrorText;     // set with bit 31
    bool digitalModeSwitch = true;   // caps 0x08C bit 2
    bool virtualOutputs = false;     // caps 0x090
    std::uint16_t outputPipes = 16, inputPipes = 16;
    std::uint16_t outputBusses = 16, inputBusses = 16;
    std::uint16_t analogOutputBusses = 8, analogInputBusses = 8;
    std::uint16_t analogOutputPipes = 8, analogInputPipes = 8;
    std::array<std::uint32_t, 64> outputPipeFlags{};  // 0x20 meter, 0x10 pan
    std::array<std::uint32_t, 32> outputBusFlags{};   // 0x80 nominal switch
    std::array<std::uint32_t, 32> inputFlags{};       // 0x40000000 absent, 0x20000000 phantom, 0x80 nominal, 0x20 meter, 0x01 trim
    std::uint32_t driverVersion = 0x00020503;         // major<<16 | minor<<8 | build
    std::array<std::uint8_t, 8> boxType{1, 0, 0, 0, 0, 0, 0, 0};  // family 0x100 only
    std::uint16_t capabilityFlags = 0x8000;           // DRIVER_FLAG_WAVE_LINK 0x8000, DIG_IN_AUTO_MUTE 0x4000
    std::vector<std::uint32_t> sampleRates;           // empty: the family's default set
    std::uint32_t pipeLatency = 32;                   // samples, every pipe and direction
};

// The device id that goes with a family code (1801 for the first generation, else 3410).
std::uint16_t DeviceIdForFamily(std::uint16_t family);
// "PCI\VEN_1057&DEV_dddd&SUBSYS_ssssA5C3&REV_01"
std::string HardwareId(const CardConfig& card);
// "\\?\PCI#VEN_1057&DEV_dddd&SUBSYS_ssssA5C3&REV_01#<instance>#{c0d4a2e9-...}\daveror"
std::string InterfacePath(const CardConfig& card);
// The interface's key under HKLM\SYSTEM\CurrentControlSet\Control\DeviceClasses\{guid}:
// "##?#PCI#VEN_1057&DEV_dddd&SUBSYS_ssssA5C3&REV_01#<instance>#{c0d4a2e9-...}"
std::string InterfaceSubkeyName(const CardConfig& card);
// Full HKLM-relative paths of the card's keys.
std::string DeviceClassesKey(const CardConfig& card);   // ...\DeviceClasses\{guid}\<subkey>
std::string DeviceParametersKey(const CardConfig& card); // ...\<subkey>\#daveror\Device Parameters
std::string EnumKey(const CardConfig& card);            // SYSTEM\CurrentControlSet\Enum\PCI\VEN_...\<instance>

// Presets: every family code, a card with virtual outputs, a family 0x100 card with its box
// type, an absent card and a card reporting a driver error. "default" is the machine's
// default card: family 0x80 "Zavo24 8x8".
std::vector<std::string> PresetNames();
// Throws std::invalid_argument for an unknown name.
CardConfig MakePreset(const std::string& presetName, const std::string& instance = {});

}  // namespace machine
