// Card settings with codes of their own, the "Wave config" value the card
// writes for the wave driver, and the restart that puts a configuration
// into effect.
#include "sim_card_fixture.h"
#include <optional>

#include "win32/registry.h"

namespace sim_test {
namespace {

class SimSettingsTest : public SimCardTest {
protected:
    // The "Wave config" value of the card's device parameters, or nothing.
    std::optional<std::vector<BYTE>> WaveConfigValue(const machine::CardDriver& card)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, machine::DeviceParametersKey(card.Config()).c_str(), 0, KEY_READ,
                          &key) != ERROR_SUCCESS)
            return std::nullopt;
        std::vector<BYTE> bytes(200);
        DWORD type = 0, size = static_cast<DWORD>(bytes.size());
        const LONG status = RegQueryValueExA(key, "Wave config", nullptr, &type, bytes.data(), &size);
        RegCloseKey(key);
        if (status != ERROR_SUCCESS || type != REG_BINARY) return std::nullopt;
        bytes.resize(size);
        return bytes;
    }
    static WaveConfigRecord GetWaveConfig(HANDLE file)
    {
        const Reply reply = Ioctl(file, IOCTL_GET_WAVE_CONFIG, {}, sizeof(WaveConfigRecord));
        EXPECT_EQ(reply.ok, TRUE);
        return reply.As<WaveConfigRecord>();
    }
};

TEST_F(SimSettingsTest, SpeakerDelaysOfEightSpeakers)
{
    Boot();
    HANDLE file = Open();
    EXPECT_EQ(Ioctl(file, IOCTL_SET_SPEAKER_DELAY, Bytes(SpeakerDelayRecord{7, 250}), 0).ok, TRUE);
    EXPECT_EQ(Ioctl(file, IOCTL_SET_SPEAKER_DELAY, Bytes(SpeakerDelayRecord{8, 1}), 0).ok, FALSE);
    EXPECT_EQ(Ioctl(file, IOCTL_SET_SPEAKER_DELAY, Bytes(SpeakerDelayRecord{0, 251}), 0).ok, FALSE);
    const Reply reply = Ioctl(file, IOCTL_GET_SPEAKER_DELAY, Bytes(SpeakerDelayRecord{7, 0}), 8);
    ASSERT_EQ(reply.ok, TRUE);
    EXPECT_EQ(reply.As<SpeakerDelayRecord>().speaker, 7u);
    EXPECT_EQ(reply.As<SpeakerDelayRecord>().delay, 250u);
    EXPECT_EQ(Ioctl(file, IOCTL_GET_SPEAKER_DELAY, Bytes(SpeakerDelayRecord{8, 0}), 8).ok, FALSE);
    CloseHandle(file);
}

TEST_F(SimSettingsTest, BufferSizesTakeOnlyPowersOfTwoInRange)
{
    Boot();
    HANDLE file = Open();
    EXPECT_EQ(Word(file, IOCTL_GET_WAVE_BUFFER_SIZE), 512u);
    EXPECT_EQ(Word(file, IOCTL_GET_GSIF_BUFFER_SIZE), 128u);
    const struct {
        DWORD code;
        std::uint32_t value;
        BOOL ok;
    } cases[] = {
        {IOCTL_SET_WAVE_BUFFER_SIZE, 64, TRUE},    {IOCTL_SET_WAVE_BUFFER_SIZE, 8192, TRUE},
        {IOCTL_SET_WAVE_BUFFER_SIZE, 32, FALSE},   {IOCTL_SET_WAVE_BUFFER_SIZE, 16384, FALSE},
        {IOCTL_SET_WAVE_BUFFER_SIZE, 1000, FALSE}, {IOCTL_SET_WAVE_BUFFER_SIZE, 0, FALSE},
        {IOCTL_SET_GSIF_BUFFER_SIZE, 2048, TRUE},  {IOCTL_SET_GSIF_BUFFER_SIZE, 64, TRUE},
        {IOCTL_SET_GSIF_BUFFER_SIZE, 4096, FALSE}, {IOCTL_SET_GSIF_BUFFER_SIZE, 100, FALSE},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Ioctl(file, c.code, U32(c.value), 0).ok, c.ok) << c.value;
    EXPECT_EQ(Word(file, IOCTL_GET_WAVE_BUFFER_SIZE), 8192u);
    EXPECT_EQ(Word(file, IOCTL_GET_GSIF_BUFFER_SIZE), 64u);
    Hooks().SetWaveBufferSizeRaw(0);
    EXPECT_EQ(Word(file, IOCTL_GET_WAVE_BUFFER_SIZE), 0u);
    CloseHandle(file);
}

TEST_F(SimSettingsTest, CardNameIsTheTextUpToItsTerminator)
{
    Boot();
    HANDLE file = Open();
    const std::string name127(127, 'k');
    std::vector<BYTE> in(128, 0);
    std::copy(name127.begin(), name127.end(), in.begin());
    EXPECT_EQ(Ioctl(file, IOCTL_SET_CARD_NAME, in, 0).ok, TRUE);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(Ioctl(file, IOCTL_GET_CAPS, {}, 680).out.data())), name127);
    EXPECT_EQ(Ioctl(file, IOCTL_SET_CARD_NAME, std::vector<BYTE>{'a', 'b'}, 0).ok, FALSE) << "no terminator";
    EXPECT_EQ(Ioctl(file, IOCTL_SET_CARD_NAME, std::vector<BYTE>(129, 0), 0).ok, FALSE);
    EXPECT_EQ(Ioctl(file, IOCTL_SET_CARD_NAME, {}, 0).ok, FALSE);

    Hooks().NameAppliesAtRestart(true);
    EXPECT_EQ(Ioctl(file, IOCTL_SET_CARD_NAME, std::vector<BYTE>{'S', 't', 'u', 'd', 'i', 'o', 0}, 0).ok, TRUE);
    EXPECT_EQ(Hooks().Settings().name, name127);
    EXPECT_EQ(Hooks().Settings().pendingName, "Studio");
    CloseHandle(file);
}

TEST_F(SimSettingsTest, WaveConfigIsStoredWrittenForTheWaveDriverAndTakesEffectAtRestart)
{
    machine::CardDriver& card = Boot();
    HANDLE file = Open();
    WaveConfigRecord initial = GetWaveConfig(file);
    EXPECT_EQ(initial.flags, 1u);
    EXPECT_EQ(initial.outputCount, 8u);
    EXPECT_EQ(initial.outputs[7], (WaveConfigEntry{WAVE_MODE_NIMBREL, 2}));

    WaveConfigRecord record{};
    record.flags = 0x80;  // ignored
    record.outputCount = 2;
    record.outputs[0] = {WAVE_MODE_NIMBREL, 4};
    record.outputs[1] = {WAVE_MODE_WDM, 3};  // odd: kept as sent
    record.inputCount = 1;
    record.inputs[0] = {WAVE_MODE_NIMBREL, 40};  // wider than the card: kept as sent
    ASSERT_EQ(Ioctl(file, IOCTL_SET_WAVE_CONFIG, Bytes(record), 0).ok, TRUE);
    WaveConfigRecord stored = record;
    stored.flags = 0;
    EXPECT_EQ(GetWaveConfig(file), stored) << "not in effect until a restart";
    EXPECT_EQ(WaveConfigValue(card), Bytes(stored));

    record.outputCount = 17;
    EXPECT_EQ(Ioctl(file, IOCTL_SET_WAVE_CONFIG, Bytes(record), 0).ok, FALSE);

    DWORD error = 0;
    EXPECT_EQ(card.Restart(error), FALSE) << "a file is open";
    EXPECT_EQ(error, ERROR_DEVICE_IN_USE);
    CloseHandle(file);
    Hooks().RefuseRestart(true);
    EXPECT_EQ(card.Restart(error), FALSE);
    Hooks().RefuseRestart(false);
    EXPECT_EQ(card.Restart(error), 1);

    file = Open();
    stored.flags = 1;
    EXPECT_EQ(GetWaveConfig(file), stored);
    EXPECT_EQ(Hooks().Settings().effectiveWaveConfig.outputs[0].width, 4);
    CloseHandle(file);
}

TEST_F(SimSettingsTest, RestartCanLeaveTheConfigurationPendingAndAppliesAPendingName)
{
    machine::CardDriver& card = Boot();
    Hooks().RestartLeavesConfigPending(true);
    Hooks().NameAppliesAtRestart(true);
    HANDLE file = Open();
    const std::uint32_t before = Word(file, IOCTL_OPEN_TRANSPORT);
    ASSERT_EQ(Ioctl(file, IOCTL_SET_WAVE_CONFIG, Bytes(WaveConfigRecord{}), 0).ok, TRUE);
    ASSERT_EQ(Ioctl(file, IOCTL_SET_CARD_NAME, std::vector<BYTE>{'N', 0}, 0).ok, TRUE);
    CloseHandle(file);
    DWORD error = 0;
    ASSERT_EQ(card.Restart(error), TRUE);
    file = Open();
    EXPECT_EQ(GetWaveConfig(file).flags, 0u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(Ioctl(file, IOCTL_GET_CAPS, {}, 680).out.data())), "N");
    EXPECT_GT(Word(file, IOCTL_OPEN_TRANSPORT), before);
    CloseHandle(file);
    EXPECT_NE(Hooks().DumpRegistry().find("\"Wave config\" type 3:"), std::string::npos);
}

TEST_F(SimSettingsTest, AbsentCardRefusesRestart)
{
    machine::CardDriver& card = Boot(machine::MakePreset("absent"));
    DWORD error = 0;
    EXPECT_EQ(card.Restart(error), FALSE);
    EXPECT_EQ(error, ERROR_DEVICE_IN_USE);
}

}  // namespace
}  // namespace sim_test
