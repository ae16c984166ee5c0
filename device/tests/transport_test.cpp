// The transport session, pipe reservations and the driver restart.
#include "device_fixture.h"

using ::testing::ElementsAre;

class TransportTest : public DeviceTest {};

TEST_F(TransportTest, OpenTransportNeedsAnOpenCard)
{
    auto card = NewCard();
    Hooks().ClearLog();
    EXPECT_EQ(card->OpenTransport(), DAVEROR_NO_HANDLE);
    EXPECT_TRUE(Log().empty());
    EXPECT_EQ(card->IsValid(), 1);

    // Nor after the card was closed again.
    card->Open();
    card->Close();
    Hooks().ClearLog();
    EXPECT_EQ(card->OpenTransport(), DAVEROR_NO_HANDLE);
    EXPECT_TRUE(Log().empty());
}

TEST_F(TransportTest, OpenAndCloseTransport)
{
    auto card = OpenCard();
    ASSERT_EQ(card->OpenTransport(), DAVEROR_OK);
    DWORD cookie = card->GetTransportCookie();
    EXPECT_NE(cookie, 0u);
    ASSERT_EQ(Hooks().Transports().size(), 1u);
    EXPECT_EQ(Hooks().Transports()[0].cookie, cookie);

    EXPECT_EQ(card->CloseTransport(), 0);
    EXPECT_EQ(card->GetTransportCookie(), 0u);
    EXPECT_TRUE(Hooks().Transports().empty());
    auto log = Log();
    ASSERT_EQ(log.size(), 2u);
    ExpectRequest(log[0], IOCTL_OPEN_TRANSPORT, 0, 4);
    ExpectRequest(log[1], IOCTL_CLOSE_TRANSPORT, 4, 0);
    EXPECT_EQ(Input<DWORD>(log[1]), cookie);

    // No session: nothing to send.
    Hooks().ClearLog();
    EXPECT_EQ(card->CloseTransport(), 0);
    EXPECT_TRUE(Log().empty());
    card->Close();
}

TEST_F(TransportTest, NoTransportCookie)
{
    auto card = OpenCard();
    Hooks().ZeroTransportCookie(true);
    EXPECT_EQ(card->OpenTransport(), DAVEROR_NO_COOKIE);
    EXPECT_STREQ(card->GetErrorText(), "Could not get transport cookie");
    EXPECT_EQ(card->IsValid(), 0);
    card->Close();

    auto other = OpenCard();
    Hooks().ZeroTransportCookie(false);
    Hooks().FailNext(IOCTL_OPEN_TRANSPORT);
    EXPECT_EQ(other->OpenTransport(), DAVEROR_NO_COOKIE);
    EXPECT_EQ(other->GetTransportCookie(), 0u);
    other->Close();
}

TEST_F(TransportTest, CloseTransportClosesTheEvent)
{
    auto card = OpenCard();
    ASSERT_EQ(card->OpenTransport(), DAVEROR_OK);
    HANDLE event = card->GetTransportEvent();
    ASSERT_NE(event, nullptr);
    card->CloseTransport();
    // The handle is gone from this process.
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);

    // The next transport makes a new event, under a new name.
    std::string first = card->GetTransportEventName();
    ASSERT_EQ(card->OpenTransport(), DAVEROR_OK);
    ASSERT_NE(card->GetTransportEvent(), nullptr);
    EXPECT_NE(std::string(card->GetTransportEventName()), first);
    card->Close();
}

TEST_F(TransportTest, ReservePipes)
{
    auto card = OpenCard();
    ASSERT_EQ(card->OpenTransport(), DAVEROR_OK);
    EXPECT_EQ(card->ReservePipes(1, 0, 2, 2), 0u);
    auto request = Log().back();
    ExpectRequest(request, IOCTL_RESERVE_PIPES, 16u, 4u);
    auto reservation = Input<PipeReservation>(request);
    EXPECT_EQ(reservation.TransportCookie, card->GetTransportCookie());
    EXPECT_EQ(reservation.Mode, 1u);
    EXPECT_EQ(reservation.Direction, 0u);
    EXPECT_EQ(reservation.FirstPipe, 2);
    EXPECT_EQ(reservation.PipeCount, 2);

    // Taken pipes are refused, and so is a request that fails.
    auto other = OpenCard();
    ASSERT_EQ(other->OpenTransport(), DAVEROR_OK);
    EXPECT_NE(other->ReservePipes(1, 0, 3, 1), 0u);
    Hooks().FailNext(IOCTL_RESERVE_PIPES);
    EXPECT_NE(other->ReservePipes(1, 1, 0, 1), 0u);
    other->Close();
    card->Close();
}

TEST_F(TransportTest, RestartGoesThroughSetupApi)
{
    auto card = OpenCard();
    card->OpenMixer();
    WaveConfigRecord config{};
    config.OutputCount = 1;
    config.Outputs[0] = {WAVE_MODE_NIMBREL, 2};
    ASSERT_NE(card->SetWaveConfig(&config), 0);
    Hooks().ClearLog();

    EXPECT_EQ(card->RestartDriver(), 1);
    EXPECT_EQ(card->IsOpen(), 0);
    EXPECT_EQ(card->GetMixerCookie(), 0u);
    EXPECT_EQ(Hooks().OpenFiles(), 0u);
    // The close ended the mixer session first.
    EXPECT_THAT(Codes(), ElementsAre(IOCTL_MIXER_MESSAGE, IOCTL_CLOSE_MIXER));

    // The card driver has restarted: the configuration is in effect.
    card->Open();
    WaveConfigRecord read{};
    ASSERT_NE(card->GetWaveConfig(&read), 0);
    EXPECT_EQ(read.Flags & 1u, 1u);
    card->Close();
}

TEST_F(TransportTest, RefusedRestart)
{
    auto card = OpenCard();
    Hooks().RefuseRestart(true);
    EXPECT_EQ(card->RestartDriver(), 0);
    EXPECT_EQ(card->IsOpen(), 0);
    Hooks().RefuseRestart(false);

    // Another open file of the card keeps the card driver from restarting.
    auto other = OpenCard();
    EXPECT_EQ(card->RestartDriver(), 0);
    other->Close();
    EXPECT_EQ(card->RestartDriver(), 1);
}

TEST_F(TransportTest, RestartWithoutDeviceNodeLeavesTheCardOpen)
{
    std::unique_ptr<CDaveror> card(CDaveror::Create(Machine().InterfacePath(0).c_str()));
    ASSERT_NE(card, nullptr);
    card->Open();
    Hooks().ClearLog();
    EXPECT_EQ(card->RestartDriver(), 0);
    EXPECT_EQ(card->IsOpen(), 1);
    EXPECT_EQ(Hooks().OpenFiles(), 1u);
    card->Close();
}
