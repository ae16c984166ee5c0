// Card settings with control codes of their own.
#include <string>

#include "device_fixture.h"

class SettingsTest : public DeviceTest {};

TEST_F(SettingsTest, WaveConfigTravelsWhole)
{
    auto card = OpenCard();
    WaveConfigRecord config{};
    config.OutputCount = 2;
    config.Outputs[0] = {WAVE_MODE_WDM, 2};
    config.Outputs[1] = {WAVE_MODE_NIMBREL, 4};
    config.InputCount = 1;
    config.Inputs[0] = {WAVE_MODE_NIMBREL, 2};
    ASSERT_NE(card->SetWaveConfig(&config), 0);
    auto set = Log().back();
    ExpectRequest(set, IOCTL_SET_WAVE_CONFIG, 72u, 0u);
    EXPECT_EQ(0, std::memcmp(set.input.data(), &config, sizeof config));

    WaveConfigRecord read;
    std::memset(&read, 0xEE, sizeof read);
    ASSERT_NE(card->GetWaveConfig(&read), 0);
    EXPECT_EQ(Log().back().outSize, 72u);
    EXPECT_EQ(read.OutputCount, 2);
    EXPECT_EQ(read.Outputs[1].Width, 4);
    EXPECT_EQ(read.InputCount, 1);
    EXPECT_EQ(read.Flags & 1u, 0u);  // in effect only after a restart
    card->Close();
}

TEST_F(SettingsTest, CardNameUpTo127Characters)
{
    auto card = OpenCard();
    std::string name(127, 'n');
    ASSERT_NE(card->SetCardName(name.c_str()), 0);
    auto log = Log();
    ASSERT_EQ(log.size(), 1u);
    ExpectRequest(log[0], IOCTL_SET_CARD_NAME, 128u, 0u);
    EXPECT_EQ(log[0].input.back(), 0);
    EXPECT_EQ(Hooks().Settings().name, name);

    Hooks().ClearLog();
    std::string tooLong(128, 'n');
    EXPECT_EQ(card->SetCardName(tooLong.c_str()), 0);
    EXPECT_TRUE(Log().empty());

    // No name at all is not the empty name.
    EXPECT_EQ(card->SetCardName(nullptr), 0);
    EXPECT_TRUE(Log().empty());

    ASSERT_NE(card->SetCardName("Studio"), 0);
    EXPECT_EQ(Log().back().inSize, 7u);
    card->Close();
}

TEST_F(SettingsTest, GsifBufferSizesOnlyFromTheList)
{
    auto card = OpenCard();
    for (DWORD size : {64u, 128u, 256u, 512u, 1024u, 2048u}) {
        SCOPED_TRACE(size);
        Hooks().ClearLog();
        EXPECT_NE(card->SetGsifBufferSize(size), 0);
        ASSERT_EQ(Log().size(), 1u);
        EXPECT_EQ(Input<DWORD>(Log()[0]), size);
        DWORD read = 0;
        EXPECT_NE(card->GetGsifBufferSize(&read), 0);
        EXPECT_EQ(read, size);
    }
    for (DWORD size : {0u, 32u, 100u, 4096u}) {
        SCOPED_TRACE(size);
        Hooks().ClearLog();
        EXPECT_EQ(card->SetGsifBufferSize(size), 0);
        EXPECT_TRUE(Log().empty());
    }
    card->Close();
}

TEST_F(SettingsTest, WaveBufferSize)
{
    auto card = OpenCard();
    EXPECT_NE(card->SetWaveBufferSize(1024), 0);
    DWORD size = 0;
    EXPECT_NE(card->GetWaveBufferSize(&size), 0);
    EXPECT_EQ(size, 1024u);
    auto log = Log();
    ASSERT_EQ(log.size(), 2u);
    ExpectRequest(log[0], IOCTL_SET_WAVE_BUFFER_SIZE, 4, 0);
    ExpectRequest(log[1], IOCTL_GET_WAVE_BUFFER_SIZE, 0, 4);
    card->Close();
}

TEST_F(SettingsTest, SpeakerDelays)
{
    auto card = OpenCard();
    EXPECT_NE(card->SetSpeakerDelay(5, 120), 0);
    DWORD delay = 0;
    card->GetSpeakerDelay(5, &delay);
    EXPECT_EQ(delay, 120u);
    auto log = Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].code, IOCTL_SET_SPEAKER_DELAY);
    EXPECT_EQ(Input<SpeakerDelayRecord>(log[0]).Speaker, 5u);
    EXPECT_EQ(Input<SpeakerDelayRecord>(log[0]).Delay, 120u);
    ExpectRequest(log[1], IOCTL_GET_SPEAKER_DELAY, 8u, 8u);
    EXPECT_EQ(Input<SpeakerDelayRecord>(log[1]).Speaker, 5u);
    EXPECT_EQ(Input<SpeakerDelayRecord>(log[1]).Delay, 0u);

    Hooks().FailNext(IOCTL_GET_SPEAKER_DELAY);
    delay = 77;
    card->GetSpeakerDelay(5, &delay);
    EXPECT_EQ(delay, 0u);
    card->Close();
}
