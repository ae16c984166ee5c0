// The card's own mutex: opens and closes racing on two threads leave one file.
#include <atomic>
#include <thread>

#include "device_fixture.h"

class CardThreadsTest : public DeviceTest {};

TEST_F(CardThreadsTest, RacingOpensMakeOneFile)
{
    auto card = NewCard();
    for (int round = 0; round < 50; ++round) {
        Hooks().ClearLog();
        std::atomic<int> ready{0};
        auto open = [&] {
            ready.fetch_add(1);
            while (ready.load() < 2) std::this_thread::yield();
            card->Open();
        };
        std::thread first(open);
        std::thread second(open);
        first.join();
        second.join();
        ASSERT_EQ(Hooks().OpenFiles(), 1u);
        ASSERT_EQ(Hooks().CountOf(IOCTL_GET_CAPS), 1u);
        ASSERT_EQ(card->IsOpen(), 1);

        std::thread closer([&] { card->Close(); });
        card->Close();
        closer.join();
        ASSERT_EQ(card->IsOpen(), 0);
        ASSERT_EQ(Hooks().OpenFiles(), 0u);
    }
    EXPECT_EQ(card->IsValid(), 1);
}

TEST_F(CardThreadsTest, TransportOpenedWhileAnotherThreadCloses)
{
    // OpenTransport and Close hold the same mutex: the transport either opens on
    // the live file or finds no file, never a half-closed one.
    for (int round = 0; round < 50; ++round) {
        auto card = OpenCard();
        std::atomic<int> result{-1};
        std::thread opener([&] { result = card->OpenTransport(); });
        card->Close();
        opener.join();
        int r = result.load();
        ASSERT_TRUE(r == DAVEROR_OK || r == DAVEROR_NO_HANDLE) << r;
        if (r == DAVEROR_OK) card->CloseTransport();
        ASSERT_EQ(Hooks().OpenFiles(), 0u);
        ASSERT_TRUE(Hooks().Transports().empty());
    }
}
