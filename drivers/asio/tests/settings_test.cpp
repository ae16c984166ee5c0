// The settings the driver object reads when it is made and the sample rate
// it stores when it is released.
#include "asio_driver_fixture.h"

namespace {

class Settings : public AsioDriverTest {
protected:
    Settings()
    {
        Boot();
        Register();
    }
    static Bytes DwordBytes(DWORD value)
    {
        Bytes bytes(sizeof value);
        std::memcpy(bytes.data(), &value, sizeof value);
        return bytes;
    }
    struct Seen {
        ASIOSampleRate rate;
        LONG bufferSize;
        bool directMonitoring;
    };
    Seen Read()
    {
        Seen seen{};
        EXPECT_EQ(Asio().getSampleRate(&seen.rate), ASE_OK);
        LONG minimum, maximum, granularity;
        EXPECT_EQ(Asio().getBufferSize(&minimum, &maximum, &seen.bufferSize, &granularity), ASE_OK);
        seen.directMonitoring = Asio().future(kAsioCanInputMonitor, nullptr) == ASE_SUCCESS;
        return seen;
    }
};

TEST_F(Settings, EachIsReadOnlyWhenTheOneBeforeItWas)
{
    struct Stored {
        const char* name;
        DWORD type;
        Bytes bytes;
    };
    struct Case {
        const char* what;
        std::vector<Stored> stored;
        ASIOSampleRate rate;
        LONG bufferSize;
        bool directMonitoring;
    };
    const Case cases[] = {
        {"no settings", {}, 44100, 512, true},
        {"all of them", {{"Sample rate", REG_DWORD, DwordBytes(48000)}, {"Buffer size", REG_DWORD, DwordBytes(256)},
                         {"DirectMonitoring", REG_DWORD, DwordBytes(0)}},
         48000, 256, false},
        {"no rate: the buffer size is not read",
         {{"Buffer size", REG_DWORD, DwordBytes(256)}, {"DirectMonitoring", REG_DWORD, DwordBytes(0)}}, 44100, 512,
         true},
        {"a rate of 0 is no rate, and the rest is read",
         {{"Sample rate", REG_DWORD, DwordBytes(0)}, {"Buffer size", REG_DWORD, DwordBytes(256)},
          {"DirectMonitoring", REG_DWORD, DwordBytes(0)}},
         44100, 256, false},
        {"a buffer size of 2 bytes ends the chain",
         {{"Sample rate", REG_DWORD, DwordBytes(48000)}, {"Buffer size", REG_DWORD, Bytes{0x00, 0x01}},
          {"DirectMonitoring", REG_DWORD, DwordBytes(0)}},
         48000, 512, true},
        {"a buffer size that is no REG_DWORD ends the chain",
         {{"Sample rate", REG_DWORD, DwordBytes(48000)}, {"Buffer size", REG_BINARY, DwordBytes(256)},
          {"DirectMonitoring", REG_DWORD, DwordBytes(0)}},
         48000, 512, true},
        {"a rate of 8 bytes is no rate",
         {{"Sample rate", REG_BINARY, Bytes(8, 0x11)}, {"Buffer size", REG_DWORD, DwordBytes(256)}}, 44100, 512,
         true},
        {"the largest rate a u32 holds", {{"Sample rate", REG_DWORD, DwordBytes(0xFFFFFFFF)}}, 4294967295.0, 512,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSettingsKey);
        for (const Stored& value : c.stored)
            WriteValue(HKEY_LOCAL_MACHINE, kSettingsKey, value.name, value.type, value.bytes);
        Load();
        const Seen seen = Read();
        EXPECT_EQ(seen.rate, c.rate);
        EXPECT_EQ(seen.bufferSize, c.bufferSize);
        EXPECT_EQ(seen.directMonitoring, c.directMonitoring);
        ASSERT_TRUE(host_.Unload());
    }
}

TEST_F(Settings, StoredZeroRateReachesNoCard)
{
    StoreSettings(0, 512, 1, 0, 0);
    Load();
    ASSERT_EQ(host_.Init(), ASIOTrue);
    EXPECT_EQ(RatesSent(0, IOCTL_SET_SAMPLE_RATE), std::vector<DWORD>{44100});
}

TEST_F(Settings, ReleaseStoresTheRateAndNothingElse)
{
    StoreSettings(44100, 256, 0, 0, 1);
    Load();
    ASSERT_EQ(host_.Init(), ASIOTrue);
    ASSERT_EQ(Asio().setSampleRate(48000), ASE_OK);
    EXPECT_EQ(StoredSetting("Sample rate"), 44100u);  // not before the object goes
    EXPECT_TRUE(host_.Unload());
    EXPECT_EQ(OpenFiles(), 0u);
    EXPECT_EQ(StoredSetting("Sample rate"), 48000u);
    EXPECT_EQ(StoredSetting("Buffer size"), 256u);
    EXPECT_EQ(StoredSetting("DirectMonitoring"), 0u);
    EXPECT_EQ(StoredSetting("96 kHz only"), 0u);
    EXPECT_EQ(StoredSetting("Short names"), 1u);
}

TEST_F(Settings, ReleaseMakesTheKeyWhenThereIsNone)
{
    Load();  // never initialised
    EXPECT_TRUE(host_.Unload());
    EXPECT_EQ(StoredSetting("Sample rate"), 44100u);
    EXPECT_FALSE(StoredSetting("Buffer size"));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    char className[16] = {};
    DWORD classSize = sizeof className;
    DWORD values = 0;
    EXPECT_EQ(RegQueryInfoKeyA(key, className, &classSize, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                               nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_STREQ(className, "DWORD");
    EXPECT_EQ(values, 1u);
}

}  // namespace
