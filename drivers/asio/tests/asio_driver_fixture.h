// A machine of the test's own with the driver registered in it and loaded by
// the ASIO host, as an audio application loads it; readers and writers for
// the registry the driver keeps its keys and settings in.
#pragma once

#include <cstdlib>
#include <cstring>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <objbase.h>

#include "daveror_codes.h"
#include "hosts/asio_host.h"
#include "hosts/server_registration.h"
#include "machine/card_config.h"
#include "machine/card_driver_hooks.h"
#include "machine_testing/test_machine.h"
#include "win32_testing/scripted_desktop.h"

inline constexpr char kDriverPath[] = ZAVO_ASIO_DRIVER_PATH;
inline constexpr char kDriverName[] = "ASIO Zavo PCI";
inline constexpr char kClsidText[] = "{5B2E7C41-93AD-4F06-8E1B-2C7D90A4F356}";
inline constexpr CLSID kClsid = {0x5B2E7C41, 0x93AD, 0x4F06, {0x8E, 0x1B, 0x2C, 0x7D, 0x90, 0xA4, 0xF3, 0x56}};
inline constexpr char kClassKey[] = "CLSID\\{5B2E7C41-93AD-4F06-8E1B-2C7D90A4F356}";
inline constexpr char kServerKey[] = "CLSID\\{5B2E7C41-93AD-4F06-8E1B-2C7D90A4F356}\\InprocServer32";
inline constexpr char kDriverKey[] = "SOFTWARE\\ASIO\\ASIO Zavo PCI";
inline constexpr char kSettingsKey[] = "SOFTWARE\\ASIO\\ASIO Zavo PCI\\Settings";

using Bytes = std::vector<BYTE>;

struct StoredValue {
    DWORD type = REG_NONE;
    Bytes bytes;
};

// The raw value, or nothing when the key or the value is missing.
std::optional<StoredValue> ReadValue(HKEY root, const char* path, const char* name);
bool KeyExists(HKEY root, const char* path);
void WriteValue(HKEY root, const char* path, const char* name, DWORD type, const Bytes& bytes);
void WriteString(HKEY root, const char* path, const char* name, const std::string& text);
void WriteDword(HKEY root, const char* path, const char* name, DWORD value);
std::string AsText(const Bytes& bytes);
std::string LowerCase(std::string text);

// A REG_DWORD setting of the driver, or nothing.
std::optional<DWORD> StoredSetting(const char* name);

// The five settings as stored, in the order the driver reads them.
struct StoredSettings {
    std::optional<DWORD> rate, bufferSize, directMonitoring, only96kHz, shortNames;
    bool operator==(const StoredSettings&) const = default;
};
StoredSettings ReadStoredSettings();
std::ostream& operator<<(std::ostream& out, const StoredSettings& settings);

// No display for what runs meanwhile, in this process and the programs it
// starts, whatever $DISPLAY says: a panel nobody can see.
class NoDisplay {
public:
    NoDisplay() { ::setenv("ZAVO_GUI_HEADLESS", "1", 1); }
    ~NoDisplay() { ::unsetenv("ZAVO_GUI_HEADLESS"); }
    NoDisplay(const NoDisplay&) = delete;
    NoDisplay& operator=(const NoDisplay&) = delete;
};

class AsioDriverTest : public ::testing::Test {
protected:
    ~AsioDriverTest() override;

    // A machine of these cards; then the driver registered in its registry.
    void Boot(std::vector<machine::CardConfig> cards = {machine::MakePreset("default")},
              machine_testing::TestMachineOptions options = {});
    void Register();
    // Settings written before Load are the ones the new driver object reads.
    void StoreSetting(const char* name, DWORD value) { WriteDword(HKEY_LOCAL_MACHINE, kSettingsKey, name, value); }
    // The whole chain of settings, which the driver reads in this order.
    void StoreSettings(DWORD rate, DWORD bufferSize, DWORD directMonitoring, DWORD only96kHz, DWORD shortNames);
    void Load();
    // Boot, Register, Load and init, which must succeed.
    void Start(std::vector<machine::CardConfig> cards = {machine::MakePreset("default")});

    IASIO& Asio() { return host_.Driver(); }
    machine::CardHooks Hooks(std::size_t card = 0) { return machine_->Hooks(card); }
    machine_testing::TestMachine& Machine() { return *machine_; }
    // Every card's request log emptied; the open files of all cards together.
    void ClearLogs();
    std::size_t OpenFiles();
    // The rates a card was sent with `code` since its log was cleared.
    std::vector<DWORD> RatesSent(std::size_t card, DWORD code);

    // The driver's exports, for the COM calls hosts never make.
    HMODULE Module() const { return GetModuleHandleA("ASIOZavoWDM.dll"); }
    HRESULT CanUnloadNow();
    HRESULT GetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out);

    // Declared first, so that the driver goes before the machine does.
    std::optional<machine_testing::TestMachine> machine_;
    win32_testing::ScopedDesktop desktop_;
    hosts::AsioHost host_;
};

// A default card edited: its name, pipes and digital-mode switch.
machine::CardConfig EditedCard(const std::string& name, std::uint16_t outputPipes, std::uint16_t analogOutputs,
                               std::uint16_t inputPipes, std::uint16_t analogInputs, bool digitalModeSwitch);
