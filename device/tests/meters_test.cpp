// Meter reads and change notifications, with the mixer cookie they carry.
#include "device_fixture.h"

class MetersTest : public DeviceTest {
protected:
    std::unique_ptr<CDaveror> MixerCard()
    {
        auto card = OpenCard();
        EXPECT_EQ(card->OpenMixer(), DAVEROR_OK);
        Hooks().ClearLog();
        return card;
    }
};

TEST_F(MetersTest, ReadMetersKeepsTheCookie)
{
    auto card = MixerCard();
    DWORD cookie = card->GetMixerCookie();
    Hooks().SetMeterLevel(machine::MeterGroup::OutputBus, 2, -12 * 256);
    Hooks().SetMeterLevel(machine::MeterGroup::Input, 1, -3 * 256);
    for (int tick = 0; tick < 3; ++tick) {
        ASSERT_NE(card->ReadMeters(), 0);
        EXPECT_EQ(card->Meters().MixerCookie, cookie);
    }
    auto log = Log();
    ASSERT_EQ(log.size(), 3u);
    for (const auto& request : log) {
        ExpectRequest(request, IOCTL_GET_METERS, 1052u, 1052u);
        EXPECT_EQ(Input<DWORD>(request), cookie);
    }
    EXPECT_EQ(card->Meters().BusLevels[2] >> 8, -12);
    EXPECT_EQ(card->Meters().InputLevels[1] >> 8, -3);
    EXPECT_LE(card->Meters().PipeMeterCount, MAX_PIPE_METERS);
    EXPECT_LE(card->Meters().BusMeterCount, MAX_BUS_METERS);
    card->Close();
}

// Counts from the card driver beyond the record's level arrays are cut to them, so that
// readers looping over them stay inside the record; counts within them are kept.
TEST_F(MetersTest, MeterCountsAreBoundedByTheRecord)
{
    auto card = MixerCard();
    const struct {
        DWORD pipes, busses, pipeCount, busCount;
    } cases[] = {
        {129, 65, 128, 64}, {0xFFFFFFFF, 0xFFFFFFFF, 128, 64}, {128, 64, 128, 64}, {3, 0x80000000, 3, 64}, {0, 2, 0, 2},
    };
    for (const auto& c : cases) {
        Hooks().SetMeterCountOverride(c.pipes, c.busses);
        ASSERT_NE(card->ReadMeters(), 0);
        const MeterRecord& meters = card->Meters();
        EXPECT_EQ(meters.PipeMeterCount, c.pipeCount) << c.pipes;
        EXPECT_EQ(meters.BusMeterCount, c.busCount) << c.busses;
        EXPECT_LE(meters.PipeMeterCount, std::size(meters.PipeLevels));
        EXPECT_LE(meters.BusMeterCount, std::size(meters.BusLevels));
        EXPECT_EQ(meters.MixerCookie, card->GetMixerCookie());
    }
    // The card driver was offered the record and nothing beyond it.
    auto log = Log();
    ASSERT_EQ(log.size(), std::size(cases));
    for (const auto& request : log) ExpectRequest(request, IOCTL_GET_METERS, sizeof(MeterRecord), sizeof(MeterRecord));
    card->Close();
}

TEST_F(MetersTest, ReadMetersWithTheOkFlagClearSendsNothing)
{
    auto card = MixerCard();
    ASSERT_NE(card->ReadMeters(), 0);
    MeterRecord before = card->Meters();
    Hooks().ZeroTransportCookie(true);
    card->OpenTransport();  // fails, and clears the ok flag
    ASSERT_EQ(card->IsValid(), 0);
    Hooks().ClearLog();
    EXPECT_EQ(card->ReadMeters(), 0);
    EXPECT_TRUE(Log().empty());
    EXPECT_EQ(0, std::memcmp(&before, &card->Meters(), sizeof before));
    card->Close();
}

TEST_F(MetersTest, ChangesElsewhereArriveAsNotifications)
{
    auto card = MixerCard();
    DWORD cookie = card->GetMixerCookie();
    Hooks().ExternalSet(CMD_SET_MUTE, 3, CHANNEL_BUS_OUT, 0, 1);
    Hooks().ExternalSet(CMD_SET_MONITOR_GAIN, 2, 0, 4, static_cast<DWORD>(-256));
    ASSERT_NE(card->ReadMeters(), 0);
    EXPECT_NE(card->Meters().ChangesPending, 0u);

    DWORD count = 99;
    NotifyEntry* entries = nullptr;
    EXPECT_NE(card->GetNotifications(&count, &entries), 0);
    ASSERT_EQ(count, 2u);
    ASSERT_NE(entries, nullptr);
    EXPECT_EQ(entries[0].Type, NOTIFY_BUS_OUT);
    EXPECT_EQ(entries[0].Channel, 3);
    EXPECT_EQ(entries[1].Type, NOTIFY_MONITOR);
    EXPECT_EQ(entries[1].Channel, 2);
    EXPECT_EQ(entries[1].Bus, 4);

    auto request = Log().back();
    ExpectRequest(request, IOCTL_GET_NOTIFICATIONS, 88u, 88u);
    EXPECT_EQ(Input<DWORD>(request, 0), cookie);
    EXPECT_EQ(Input<DWORD>(request, 4), 10u);

    // Nothing left: no entries, and the capacity asked for is still 10.
    EXPECT_NE(card->GetNotifications(&count, &entries), 0);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(Input<DWORD>(Log().back(), 4), 10u);
    card->Close();
}

TEST_F(MetersTest, FailedFetchYieldsNoEntries)
{
    auto card = MixerCard();
    Hooks().InjectNotify(NOTIFY_BUS_IN, 1, 0);
    Hooks().FailNext(IOCTL_GET_NOTIFICATIONS);
    DWORD count = 99;
    NotifyEntry* entries = nullptr;
    EXPECT_EQ(card->GetNotifications(&count, &entries), 0);
    EXPECT_EQ(count, 0u);
    // The entry waits for the next fetch.
    EXPECT_NE(card->GetNotifications(&count, &entries), 0);
    ASSERT_EQ(count, 1u);
    EXPECT_EQ(entries[0].Type, NOTIFY_BUS_IN);
    card->Close();
}

TEST_F(MetersTest, ReplyCountIsBoundedByTheBuffer)
{
    auto card = MixerCard();
    Hooks().SetNotificationCountOverride(50);
    DWORD count = 0;
    NotifyEntry* entries = nullptr;
    EXPECT_NE(card->GetNotifications(&count, &entries), 0);
    EXPECT_EQ(count, NOTIFY_CAPACITY);
    Hooks().SetNotificationCountOverride(std::nullopt);
    card->Close();
}

TEST_F(MetersTest, NotificationsNeedNoOkFlag)
{
    // The fetch does not look at the ok flag; the card driver answers for the cookie.
    auto card = MixerCard();
    Hooks().InjectNotify(NOTIFY_GLOBAL, 0, 0);
    Hooks().ZeroTransportCookie(true);
    card->OpenTransport();
    ASSERT_EQ(card->IsValid(), 0);
    DWORD count = 0;
    NotifyEntry* entries = nullptr;
    EXPECT_NE(card->GetNotifications(&count, &entries), 0);
    ASSERT_EQ(count, 1u);
    EXPECT_EQ(entries[0].Type, NOTIFY_GLOBAL);
    card->Close();
}

TEST_F(MetersTest, NewMixerSessionAfterRestartCarriesTheNewCookie)
{
    auto card = MixerCard();
    DWORD count = 0;
    NotifyEntry* entries = nullptr;
    card->GetNotifications(&count, &entries);
    DWORD old = card->GetMixerCookie();

    ASSERT_NE(card->RestartDriver(), 0);
    card->Open();
    ASSERT_EQ(card->OpenMixer(), DAVEROR_OK);
    DWORD cookie = card->GetMixerCookie();
    EXPECT_NE(cookie, old);
    Hooks().ClearLog();
    ASSERT_NE(card->ReadMeters(), 0);
    EXPECT_NE(card->GetNotifications(&count, &entries), 0);
    auto log = Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(Input<DWORD>(log[0]), cookie);
    EXPECT_EQ(Input<DWORD>(log[1]), cookie);
    card->Close();
}
