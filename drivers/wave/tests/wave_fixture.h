// The wave driver's tests: a machine of the test's own (manual clock), the
// driver loaded through the wave client, and the registry changes a test may
// make before the driver loads.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <windows.h>

#include "hosts/wave_client.h"
#include "machine/sim_records.h"
#include "machine_testing/test_machine.h"

using hosts::WaveCallback;
using hosts::WaveDirection;
using machine::sim::WaveConfigRecord;

inline const std::string kDriverPath = ZAVO_WAVE_DRIVER_PATH;

// Public, so that tables of cases can reach it from their lambdas.
class WaveTest : public ::testing::Test {
public:
    WaveTest() : machine_(std::make_unique<machine_testing::TestMachine>()) {}

    // A machine of these cards in place of the default one; the driver must not be loaded.
    void Boot(std::vector<machine::CardConfig> cards, machine_testing::TestMachineOptions options = {})
    {
        client_.reset();
        machine_.reset();
        machine_ = std::make_unique<machine_testing::TestMachine>(std::move(cards), options);
    }
    void Boot(std::initializer_list<std::string> presets) { Boot(machine_testing::Cards(presets)); }

    hosts::WaveClient& Load()
    {
        client_ = std::make_unique<hosts::WaveClient>(kDriverPath);
        return *client_;
    }
    void Unload() { client_.reset(); }
    hosts::WaveClient& Client() { return *client_; }

    machine_testing::TestMachine& Machine() { return *machine_; }
    machine::CardHooks Hooks(std::size_t card = 0) { return machine_->Hooks(card); }
    const machine::CardConfig& Config(std::size_t card = 0) { return machine_->Config(card); }

    // Registry values of the cards, HKLM-relative, as the card driver's installation writes them.
    static std::string ControlKey(const machine::CardConfig& card)
    {
        return machine::DeviceClassesKey(card) + "\\#daveror\\Control";
    }
    static void SetValue(const std::string& key, const char* name, DWORD type, const void* data, DWORD size)
    {
        HKEY handle = nullptr;
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_ALL_ACCESS, &handle), ERROR_SUCCESS) << key;
        EXPECT_EQ(RegSetValueExA(handle, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(handle);
    }
    static void DeleteValue(const std::string& key, const char* name)
    {
        HKEY handle = nullptr;
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_ALL_ACCESS, &handle), ERROR_SUCCESS) << key;
        EXPECT_EQ(RegDeleteValueA(handle, name), ERROR_SUCCESS);
        RegCloseKey(handle);
    }

    // An open that the test expects to succeed.
    hosts::WaveStream& OpenOk(WaveDirection direction, UINT device, WaveCallback callback = WaveCallback::None)
    {
        hosts::WaveStream& stream = Client().Open({.direction = direction, .device = device, .callback = callback});
        EXPECT_EQ(stream.OpenResult(), MMSYSERR_NOERROR) << "device " << device;
        return stream;
    }

    // What the card's simulator holds open, summed over every card.
    std::size_t OpenFiles()
    {
        std::size_t files = 0;
        for (std::size_t i = 0; i < machine_->CardCount(); ++i) files += Hooks(i).OpenFiles();
        return files;
    }
    std::size_t Transports()
    {
        std::size_t transports = 0;
        for (std::size_t i = 0; i < machine_->CardCount(); ++i) transports += Hooks(i).Transports().size();
        return transports;
    }

private:
    // The client, and with it the driver, goes before the machine.
    std::unique_ptr<machine_testing::TestMachine> machine_;
    std::unique_ptr<hosts::WaveClient> client_;
};

// A wave configuration of (mode, width) entries per direction.
inline WaveConfigRecord WaveConfig(std::initializer_list<std::pair<int, int>> outputs,
                                   std::initializer_list<std::pair<int, int>> inputs)
{
    WaveConfigRecord record{};
    for (auto [mode, width] : outputs)
        record.outputs[record.outputCount++] = {static_cast<std::uint8_t>(mode), static_cast<std::uint8_t>(width)};
    for (auto [mode, width] : inputs)
        record.inputs[record.inputCount++] = {static_cast<std::uint8_t>(mode), static_cast<std::uint8_t>(width)};
    return record;
}

// The names of a direction's devices, as the client lists them.
inline std::vector<std::string> Names(const std::vector<hosts::WaveDevice>& devices)
{
    std::vector<std::string> names;
    for (const auto& device : devices) names.push_back(device.name);
    return names;
}
