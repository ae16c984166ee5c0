// The wave driver's card object: made from a path alone, opened for the file
// only, its capabilities read on their own, its error texts with codes, and
// the Nimbrel devices of its stored configuration.
#include <string>
#include <vector>

#include "daveror_trace.h"
#include "device_fixture.h"

using ::testing::ElementsAre;

class WaveCardTest : public DeviceTest {
protected:
    std::unique_ptr<CDaveror> WaveCard(std::size_t index = 0)
    {
        std::unique_ptr<CDaveror> card(CDaveror::Create(Machine().InterfacePath(index).c_str()));
        EXPECT_NE(card, nullptr);
        return card;
    }
};

TEST_F(WaveCardTest, CreateOpensNothing)
{
    auto card = WaveCard();
    EXPECT_TRUE(card->IsWaveCard());
    EXPECT_EQ(card->IsValid(), 1);
    EXPECT_TRUE(Log().empty());
    EXPECT_EQ(Hooks().OpenFiles(), 0u);

    // Open makes the file and asks nothing.
    EXPECT_EQ(card->Open(), 1);
    EXPECT_EQ(Hooks().OpenFiles(), 1u);
    EXPECT_TRUE(Log().empty());
    card->Close();
    EXPECT_EQ(Hooks().OpenFiles(), 0u);
}

TEST_F(WaveCardTest, ReadCapabilities)
{
    auto card = WaveCard();
    EXPECT_EQ(card->ReadCapabilities(), 1);
    EXPECT_THAT(Codes(), ElementsAre(IOCTL_GET_CAPS));
    EXPECT_EQ(Log()[0].outSize, 680u);
    EXPECT_EQ(card->IsOpen(), 0);
    EXPECT_EQ(Hooks().OpenFiles(), 0u);
    EXPECT_STREQ(card->Caps().CardName, Machine().Config(0).name.c_str());
    EXPECT_EQ(card->Caps().AnalogOutputPipes, Machine().Config(0).analogOutputPipes);

    // The capabilities stay when the stream opens the card again.
    card->Open();
    EXPECT_EQ(card->Caps().Family, Machine().Config(0).family);
    card->Close();
}

TEST_F(WaveCardTest, KaltorBoxIsNotAsked)
{
    Boot({machine::MakePreset("kaltor-100")});
    auto card = WaveCard();
    EXPECT_EQ(card->ReadCapabilities(), 1);
    EXPECT_EQ(Hooks().CountOf(IOCTL_GET_CAPS), 1u);
}

TEST_F(WaveCardTest, FailedCapabilities)
{
    auto card = WaveCard();
    Hooks().FailNext(IOCTL_GET_CAPS);
    EXPECT_EQ(card->ReadCapabilities(), 0);
    EXPECT_STREQ(card->GetErrorText(), "Could not get capabilities, err 0x0");
    EXPECT_EQ(card->Caps().OutputPipes, 0);
    EXPECT_EQ(Hooks().OpenFiles(), 0u);
}

TEST_F(WaveCardTest, AbsentCard)
{
    Boot(machine_testing::Cards({"absent"}));
    auto card = WaveCard();
    EXPECT_EQ(card->ReadCapabilities(), 0);
    EXPECT_STREQ(card->GetErrorText(), "Could not create file handle Err 0x2");
    EXPECT_TRUE(Log().empty());
}

TEST_F(WaveCardTest, PathTooLong)
{
    std::string path = Machine().InterfacePath(0);
    path.append(300 - path.size(), 'x');
    std::unique_ptr<CDaveror> card(CDaveror::Create(path.c_str()));
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->ReadCapabilities(), 0);
    EXPECT_STREQ(card->GetErrorText(), "Could not create file handle Err 0xce");
    EXPECT_EQ(Hooks().OpenFiles(), 0u);
}

namespace {
std::vector<std::string> g_Traces;
void KeepTrace(const char* text) { g_Traces.emplace_back(text); }
}  // namespace

TEST_F(WaveCardTest, FailedTransportIsTracedWithItsCode)
{
    auto card = WaveCard();
    card->Open();
    Hooks().FailNext(IOCTL_OPEN_TRANSPORT, 1, ERROR_NOT_SUPPORTED);
    g_Traces.clear();
    DaverorTraceHook previous = SetDaverorTraceHook(KeepTrace);
    EXPECT_EQ(card->OpenTransport(), DAVEROR_NO_COOKIE);
    SetDaverorTraceHook(previous);
    EXPECT_STREQ(card->GetErrorText(), "Could not get transport cookie Err 0x32");
    ASSERT_EQ(g_Traces.size(), 1u);
    EXPECT_EQ(g_Traces[0], "CDaveror::OpenTransport() " + Machine().InterfacePath(0) +
                               " Could not get transport cookie Err 0x32\n");
    card->Close();
}

TEST_F(WaveCardTest, StreamOpensItsOwnTransport)
{
    auto card = WaveCard();
    ASSERT_EQ(card->ReadCapabilities(), 1);
    card->Open();
    ASSERT_EQ(card->OpenTransport(), DAVEROR_OK);
    ASSERT_EQ(card->ReservePipes(1, 0, 0, 2), 0u);
    DWORD size = 0;
    ASSERT_NE(card->GetWaveBufferSize(&size), 0);
    EXPECT_NE(card->MapPipeBuffer(0, 0, 2 * size), nullptr);
    EXPECT_NE(card->MapPipePosition(0, 0), nullptr);
    EXPECT_NE(card->GetTransportEvent(), nullptr);
    card->Close();
    EXPECT_TRUE(Hooks().Transports().empty());
}

TEST(WaveConfigDevices, NimbrelEntriesAreNumberedOverAllPipes)
{
    std::unique_ptr<CDaveror> card(CDaveror::Create("\\\\?\\no such card"));
    ASSERT_NE(card, nullptr);
    WaveConfigRecord config{};
    config.OutputCount = 3;
    config.Outputs[0] = {WAVE_MODE_WDM, 2};
    config.Outputs[1] = {WAVE_MODE_NIMBREL, 2};
    config.Outputs[2] = {WAVE_MODE_NIMBREL, 4};
    config.InputCount = 1;
    config.Inputs[0] = {WAVE_MODE_WDM, 2};
    card->StoreWaveConfig(&config);
    EXPECT_EQ(0, std::memcmp(&card->StoredWaveConfig(), &config, sizeof config));

    EXPECT_EQ(card->CountWaveOutDevices(), 2u);
    EXPECT_EQ(card->CountWaveInDevices(), 0u);
    WORD first = 0, width = 0;
    ASSERT_TRUE(card->FindWaveOutDevice(0, &first, &width));
    EXPECT_EQ(first, 2);
    EXPECT_EQ(width, 2);
    ASSERT_TRUE(card->FindWaveOutDevice(1, &first, &width));
    EXPECT_EQ(first, 4);
    EXPECT_EQ(width, 4);
    EXPECT_FALSE(card->FindWaveOutDevice(2, &first, &width));
    EXPECT_FALSE(card->FindWaveInDevice(0, &first, &width));
}

TEST(WaveConfigDevices, CountsBeyondTheRecordAreCut)
{
    std::unique_ptr<CDaveror> card(CDaveror::Create("\\\\?\\no such card"));
    WaveConfigRecord config{};
    config.InputCount = 40;
    for (auto& entry : config.Inputs) entry = {WAVE_MODE_NIMBREL, 2};
    card->StoreWaveConfig(&config);
    EXPECT_EQ(card->CountWaveInDevices(), 16u);
    WORD first = 0, width = 0;
    ASSERT_TRUE(card->FindWaveInDevice(15, &first, &width));
    EXPECT_EQ(first, 30);
    EXPECT_FALSE(card->FindWaveInDevice(16, &first, &width));
}
