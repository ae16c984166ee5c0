#include "asio_driver_fixture.h"

#include <algorithm>
#include <cctype>

namespace {

HKEY OpenForReading(HKEY root, const char* path)
{
    HKEY key = nullptr;
    return RegOpenKeyExA(root, path, 0, KEY_READ, &key) == ERROR_SUCCESS ? key : nullptr;
}

}  // namespace

std::optional<StoredValue> ReadValue(HKEY root, const char* path, const char* name)
{
    HKEY key = OpenForReading(root, path);
    if (!key) return std::nullopt;
    StoredValue value;
    DWORD size = 0;
    std::optional<StoredValue> result;
    if (RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.bytes.resize(size);
        if (RegQueryValueExA(key, name, nullptr, &value.type, value.bytes.data(), &size) == ERROR_SUCCESS)
            result = value;
    }
    RegCloseKey(key);
    return result;
}

bool KeyExists(HKEY root, const char* path)
{
    HKEY key = OpenForReading(root, path);
    if (key) RegCloseKey(key);
    return key != nullptr;
}

void WriteValue(HKEY root, const char* path, const char* name, DWORD type, const Bytes& bytes)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS)
        << path;
    EXPECT_EQ(RegSetValueExA(key, name, 0, type, bytes.data(), static_cast<DWORD>(bytes.size())), ERROR_SUCCESS);
    RegCloseKey(key);
}

void WriteString(HKEY root, const char* path, const char* name, const std::string& text)
{
    WriteValue(root, path, name, REG_SZ, Bytes(text.begin(), text.end()));
}

void WriteDword(HKEY root, const char* path, const char* name, DWORD value)
{
    Bytes bytes(sizeof value);
    std::memcpy(bytes.data(), &value, sizeof value);
    WriteValue(root, path, name, REG_DWORD, bytes);
}

std::string AsText(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

std::string LowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::optional<DWORD> StoredSetting(const char* name)
{
    const auto value = ReadValue(HKEY_LOCAL_MACHINE, kSettingsKey, name);
    if (!value || value->type != REG_DWORD || value->bytes.size() != sizeof(DWORD)) return std::nullopt;
    DWORD setting;
    std::memcpy(&setting, value->bytes.data(), sizeof setting);
    return setting;
}

StoredSettings ReadStoredSettings()
{
    return {StoredSetting("Sample rate"), StoredSetting("Buffer size"), StoredSetting("DirectMonitoring"),
            StoredSetting("96 kHz only"), StoredSetting("Short names")};
}

std::ostream& operator<<(std::ostream& out, const StoredSettings& settings)
{
    const auto put = [&](const char* name, const std::optional<DWORD>& value) {
        out << name << " ";
        if (value)
            out << *value;
        else
            out << "none";
    };
    put("{rate", settings.rate);
    put(", buffer size", settings.bufferSize);
    put(", direct monitoring", settings.directMonitoring);
    put(", 96 kHz only", settings.only96kHz);
    put(", short names", settings.shortNames);
    return out << "}";
}

AsioDriverTest::~AsioDriverTest()
{
    // Whatever a test did, the driver's library goes with its last object.
    EXPECT_TRUE(host_.Unload());
    EXPECT_EQ(Module(), nullptr);
}

void AsioDriverTest::Boot(std::vector<machine::CardConfig> cards, machine_testing::TestMachineOptions options)
{
    machine_.reset();
    machine_.emplace(std::move(cards), options);
}

void AsioDriverTest::Register()
{
    const hosts::ServerCallResult result = hosts::CallServerRegistration(kDriverPath, hosts::ServerCall::Register);
    ASSERT_TRUE(result.Succeeded()) << hosts::DescribeServerCall(kDriverPath, hosts::ServerCall::Register, result);
}

void AsioDriverTest::StoreSettings(DWORD rate, DWORD bufferSize, DWORD directMonitoring, DWORD only96kHz,
                                   DWORD shortNames)
{
    StoreSetting("Sample rate", rate);
    StoreSetting("Buffer size", bufferSize);
    StoreSetting("DirectMonitoring", directMonitoring);
    StoreSetting("96 kHz only", only96kHz);
    StoreSetting("Short names", shortNames);
}

void AsioDriverTest::Load() { ASSERT_EQ(host_.Load(kDriverName), S_OK); }

void AsioDriverTest::Start(std::vector<machine::CardConfig> cards)
{
    Boot(std::move(cards));
    Register();
    Load();
    std::string error;
    ASSERT_EQ(host_.Init(&error), ASIOTrue) << error;
}

void AsioDriverTest::ClearLogs()
{
    for (std::size_t i = 0; i < machine_->CardCount(); ++i) Hooks(i).ClearLog();
}

std::size_t AsioDriverTest::OpenFiles()
{
    std::size_t files = 0;
    for (std::size_t i = 0; i < machine_->CardCount(); ++i) files += Hooks(i).OpenFiles();
    return files;
}

std::vector<DWORD> AsioDriverTest::RatesSent(std::size_t card, DWORD code)
{
    std::vector<DWORD> rates;
    for (const auto& request : Hooks(card).Log()) {
        if (request.code != code || request.input.size() != sizeof(DWORD)) continue;
        DWORD rate;
        std::memcpy(&rate, request.input.data(), sizeof rate);
        rates.push_back(rate);
    }
    return rates;
}

HRESULT AsioDriverTest::CanUnloadNow()
{
    using Proc = HRESULT (*)();
    const auto proc = reinterpret_cast<Proc>(GetProcAddress(Module(), "DllCanUnloadNow"));
    return proc ? proc() : E_FAIL;
}

HRESULT AsioDriverTest::GetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out)
{
    using Proc = HRESULT (*)(REFCLSID, REFIID, LPVOID*);
    const auto proc = reinterpret_cast<Proc>(GetProcAddress(Module(), "DllGetClassObject"));
    return proc ? proc(clsid, iid, out) : E_FAIL;
}

machine::CardConfig EditedCard(const std::string& name, std::uint16_t outputPipes, std::uint16_t analogOutputs,
                               std::uint16_t inputPipes, std::uint16_t analogInputs, bool digitalModeSwitch)
{
    machine::CardConfig card = machine::MakePreset("default");
    card.name = name;
    // Busses as many as pipes, up to the 32 a card has at most.
    card.outputPipes = outputPipes;
    card.outputBusses = std::min<std::uint16_t>(outputPipes, 32);
    card.analogOutputPipes = analogOutputs;
    card.analogOutputBusses = std::min(analogOutputs, card.outputBusses);
    card.inputPipes = card.inputBusses = inputPipes;
    card.analogInputPipes = card.analogInputBusses = analogInputs;
    card.digitalModeSwitch = digitalModeSwitch;
    return card;
}
