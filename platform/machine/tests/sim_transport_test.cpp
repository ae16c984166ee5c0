// Transports: reservations across files, shared buffers and counters below
// 4 GiB, the free-running counter and the event once per period, pause and
// stop, sample rates, and the real-time clock.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "sim_card_fixture.h"
#include "win32/time.h"

namespace sim_test {
namespace {

constexpr std::uint32_t kOut = 0, kIn = 1;

class SimTransportTest : public SimCardTest {
protected:
    void SetUp() override
    {
        Boot();
        file_ = Open();
        ASSERT_NE(file_, INVALID_HANDLE_VALUE);
    }
    void TearDown() override
    {
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    }

    static std::uint32_t Reserve(HANDLE file, std::uint32_t cookie, std::uint32_t dir, std::uint16_t first,
                                 std::uint16_t count, std::uint32_t mode = 1)
    {
        return Word(file, IOCTL_RESERVE_PIPES, Bytes(PipeReservation{cookie, mode, dir, first, count}));
    }
    static std::uint32_t MapBuffer(HANDLE file, std::uint32_t cookie, std::uint32_t dir, std::uint16_t pipe,
                                   std::uint32_t frames)
    {
        return Word(file, IOCTL_MAP_PIPE_BUFFER, Bytes(PipeBufferRequest{cookie, dir, pipe, 0xBEEF, frames}));
    }
    static std::uint32_t MapPosition(HANDLE file, std::uint32_t cookie, std::uint32_t dir, std::uint16_t pipe)
    {
        return Word(file, IOCTL_MAP_PIPE_POSITION, Bytes(PipePositionRequest{cookie, dir, pipe, 0xBEEF}));
    }
    static std::uint32_t SetEventOf(HANDLE file, std::uint32_t cookie, HANDLE event)
    {
        return Word(file, IOCTL_SET_TRANSPORT_EVENT,
                    Bytes(TransportEventRecord{cookie, static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(event))}));
    }
    template <class T>
    static T* At(std::uint32_t address)
    {
        return reinterpret_cast<T*>(static_cast<std::uintptr_t>(address));
    }
    static std::uint32_t Read(std::uint32_t counterAddress)
    {
        return std::atomic_ref<std::uint32_t>(*At<std::uint32_t>(counterAddress)).load(std::memory_order_acquire);
    }

    // One output pipe on the real-time clock at `rate`, `half` frames a period, with its
    // event registered and its counter mapped; not started yet.
    struct Stream {
        std::uint32_t cookie = 0, buffer = 0, counter = 0;
        HANDLE event = nullptr;
    };
    Stream RealTimeStream(std::uint32_t rate, std::uint32_t half)
    {
        Hooks().SetClockMode(machine::ClockMode::RealTime);
        EXPECT_EQ(Word(file_, IOCTL_SET_SAMPLE_RATE, U32(rate)), 0u);
        Stream stream;
        stream.cookie = Word(file_, IOCTL_OPEN_TRANSPORT);
        stream.event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        EXPECT_EQ(SetEventOf(file_, stream.cookie, stream.event), 0u);
        EXPECT_EQ(Reserve(file_, stream.cookie, kOut, 0, 1), 0u);
        stream.buffer = MapBuffer(file_, stream.cookie, kOut, 0, 2 * half);
        EXPECT_NE(stream.buffer, 0u);
        stream.counter = MapPosition(file_, stream.cookie, kOut, 0);
        return stream;
    }

    HANDLE file_ = INVALID_HANDLE_VALUE;
};

TEST_F(SimTransportTest, ReservationsConflictAcrossFilesAndAnswerWhy)
{
    HANDLE other = Open();
    const std::uint32_t mine = Word(file_, IOCTL_OPEN_TRANSPORT);
    const std::uint32_t theirs = Word(other, IOCTL_OPEN_TRANSPORT);
    EXPECT_EQ(Reserve(file_, mine, kOut, 2, 2), 0u);
    EXPECT_EQ(Reserve(other, theirs, kOut, 3, 2), 1u) << "pipe 3 is held";
    EXPECT_EQ(Reserve(file_, mine, kOut, 3, 1), 1u) << "also by the same transport";
    EXPECT_EQ(Reserve(other, theirs, kIn, 2, 2), 0u) << "the other direction is free";
    EXPECT_EQ(Reserve(other, theirs, kOut, 15, 2), 2u);
    EXPECT_EQ(Reserve(other, theirs, kOut, 0, 0), 2u);
    EXPECT_EQ(Reserve(other, theirs, 2, 0, 1), 2u);
    EXPECT_EQ(Reserve(other, theirs, kOut, 0, 1, 0), 2u);
    EXPECT_EQ(Reserve(other, mine, kOut, 0, 1), 3u) << "a cookie of another file";

    // Checks need no transport.
    HANDLE plain = Open();
    EXPECT_EQ(Word(plain, IOCTL_CHECK_PIPES, Bytes(PipeCheck{kOut, 0, 2})), 0u);
    EXPECT_NE(Word(plain, IOCTL_CHECK_PIPES, Bytes(PipeCheck{kOut, 3, 1})), 0u);
    EXPECT_NE(Word(plain, IOCTL_CHECK_PIPES, Bytes(PipeCheck{kOut, 16, 1})), 0u);
    EXPECT_NE(Word(plain, IOCTL_CHECK_PIPES, Bytes(PipeCheck{2, 0, 1})), 0u);
    Hooks().MarkPipeUnusable(kIn, 9);
    EXPECT_NE(Word(plain, IOCTL_CHECK_PIPES, Bytes(PipeCheck{kIn, 9, 1})), 0u);
    Hooks().HoldPipes(kIn, 12, 2);
    EXPECT_EQ(Reserve(other, theirs, kIn, 13, 1), 1u);

    ASSERT_EQ(Ioctl(file_, IOCTL_CLOSE_TRANSPORT, U32(mine), 0).ok, TRUE);
    EXPECT_EQ(Reserve(other, theirs, kOut, 2, 2), 0u) << "closing released them";
    CloseHandle(other);
    CloseHandle(plain);
}

TEST_F(SimTransportTest, OnePipeStreamMovesAudioThenCounterThenEventOncePerPeriod)
{
    constexpr std::uint32_t kBuffer = 64;  // frames per half
    machine::CardHooks hooks = Hooks();
    hooks.SetInputSignal(5, machine::Signal::Ramp(1 << 16));
    const std::uint32_t cookie = Word(file_, IOCTL_OPEN_TRANSPORT);
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, "Daveror transport 0x1a2b3c4d5e");
    ASSERT_EQ(SetEventOf(file_, cookie, event), 0u);
    ASSERT_EQ(Reserve(file_, cookie, kOut, 1, 1), 0u);
    ASSERT_EQ(Reserve(file_, cookie, kIn, 5, 1), 0u);
    const std::uint32_t out = MapBuffer(file_, cookie, kOut, 1, 2 * kBuffer);
    const std::uint32_t in = MapBuffer(file_, cookie, kIn, 5, 2 * kBuffer);
    ASSERT_NE(out, 0u);
    ASSERT_NE(in, 0u);
    EXPECT_EQ(out % 4096, 0u);
    EXPECT_EQ(MapBuffer(file_, cookie, kOut, 1, 2 * kBuffer), out) << "the same mapping again";
    EXPECT_EQ(MapBuffer(file_, cookie, kOut, 1, kBuffer), 0u);
    EXPECT_EQ(MapBuffer(file_, cookie, kOut, 2, 2 * kBuffer), 0u) << "not reserved";
    EXPECT_EQ(MapBuffer(file_, cookie, kOut, 1, 0), 0u);
    const std::uint32_t counter = MapPosition(file_, cookie, kIn, 5);
    ASSERT_NE(counter, 0u);
    EXPECT_EQ(MapPosition(file_, cookie, kIn, 5), counter);
    EXPECT_EQ(MapPosition(file_, cookie, kIn, 6), 0u);
    for (std::uint32_t f = 0; f < 2 * kBuffer; ++f) {
        EXPECT_EQ(At<std::int32_t>(in)[f], 0) << "zero-filled";
        At<std::int32_t>(out)[f] = static_cast<std::int32_t>(1000 + f);  // both halves filled before the start
    }
    ASSERT_EQ(Word(file_, IOCTL_START_TRANSPORT, U32(cookie)), 0u);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT) << "a start sets nothing";

    hooks.Advance(1);
    EXPECT_EQ(Read(counter), kBuffer * 4);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT) << "once per period";
    const std::vector<std::int32_t> played = hooks.Played(1);
    ASSERT_EQ(played.size(), kBuffer);
    EXPECT_EQ(played.front(), 1000);
    EXPECT_EQ(played.back(), static_cast<std::int32_t>(1000 + kBuffer - 1));
    for (std::uint32_t f = 0; f < kBuffer; ++f)
        EXPECT_EQ(At<std::int32_t>(in)[f], static_cast<std::int32_t>(f << 16));

    // The counter runs free: it never folds back at the buffer's end.
    hooks.Advance(9);
    EXPECT_EQ(Read(counter), 10 * kBuffer * 4);
    EXPECT_EQ(At<std::int32_t>(in)[0], static_cast<std::int32_t>((8 * kBuffer) << 16));
    EXPECT_EQ(hooks.Transports().at(0).period, kBuffer);

    // The client lets go of its handle; the card still holds the event.
    CloseHandle(event);
    hooks.Advance(1);
    EXPECT_TRUE(hooks.Transports().at(0).hasEvent);

    ASSERT_EQ(Word(file_, IOCTL_PAUSE_TRANSPORT, U32(cookie)), 0u);
    hooks.Advance(3);
    EXPECT_EQ(Read(counter), 11 * kBuffer * 4) << "paused: kept";
    ASSERT_EQ(Word(file_, IOCTL_START_TRANSPORT, U32(cookie)), 0u);
    hooks.Advance(1);
    EXPECT_EQ(Read(counter), 12 * kBuffer * 4) << "resumed from there";
    ASSERT_EQ(Word(file_, IOCTL_STOP_TRANSPORT, U32(cookie)), 0u);
    EXPECT_EQ(Read(counter), 0u);
    hooks.Advance(2);
    EXPECT_EQ(Read(counter), 0u);

    ASSERT_EQ(Ioctl(file_, IOCTL_CLOSE_TRANSPORT, U32(cookie), 0).ok, TRUE);
    EXPECT_EQ(Read(counter), 0u) << "still readable by a late reader until the file closes";
}

TEST_F(SimTransportTest, EachEventSetIsStampedWithThePerformanceCounter)
{
    const std::uint32_t cookie = Word(file_, IOCTL_OPEN_TRANSPORT);
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ASSERT_EQ(SetEventOf(file_, cookie, event), 0u);
    ASSERT_EQ(Reserve(file_, cookie, kOut, 0, 1), 0u);
    ASSERT_NE(MapBuffer(file_, cookie, kOut, 0, 2 * 64), 0u);
    ASSERT_EQ(Word(file_, IOCTL_START_TRANSPORT, U32(cookie)), 0u);
    EXPECT_EQ(Hooks().TransportEventStamps().total, 0u);

    LARGE_INTEGER before, after;
    QueryPerformanceCounter(&before);
    Hooks().Advance(3);
    QueryPerformanceCounter(&after);
    machine::EventStampLog log = Hooks().TransportEventStamps();
    ASSERT_EQ(log.total, 3u);
    ASSERT_EQ(log.stamps.size(), 3u);
    EXPECT_GT(log.stamps[0], before.QuadPart);
    EXPECT_LT(log.stamps[0], log.stamps[1]);
    EXPECT_LT(log.stamps[1], log.stamps[2]);
    EXPECT_LT(log.stamps[2], after.QuadPart);

    // The newest are kept, oldest first.
    Hooks().Advance(4096);
    log = Hooks().TransportEventStamps();
    EXPECT_EQ(log.total, 3u + 4096);
    ASSERT_EQ(log.stamps.size(), 4096u);
    EXPECT_TRUE(std::is_sorted(log.stamps.begin(), log.stamps.end()));
    EXPECT_GT(log.stamps.front(), after.QuadPart) << "the first three are gone";
    CloseHandle(event);
}

TEST_F(SimTransportTest, TwoPipeRingCountsEightBytesAFrame)
{
    const std::uint32_t cookie = Word(file_, IOCTL_OPEN_TRANSPORT);
    ASSERT_EQ(Reserve(file_, cookie, kOut, 4, 2), 0u);
    const std::uint32_t ring = MapBuffer(file_, cookie, kOut, 4, 2 * 512);
    ASSERT_NE(ring, 0u);
    EXPECT_EQ(MapBuffer(file_, cookie, kOut, 5, 2 * 512), 0u) << "only the reservation's first pipe";
    const std::uint32_t counter = MapPosition(file_, cookie, kOut, 4);
    for (std::uint32_t f = 0; f < 512; ++f) {
        At<std::int32_t>(ring)[2 * f] = static_cast<std::int32_t>(f);
        At<std::int32_t>(ring)[2 * f + 1] = -static_cast<std::int32_t>(f);
    }
    ASSERT_EQ(Word(file_, IOCTL_START_TRANSPORT, U32(cookie)), 0u);
    Hooks().Advance(1);
    EXPECT_EQ(Read(counter), 512u * 8);
    EXPECT_EQ(Hooks().Played(4).at(511), 511);
    EXPECT_EQ(Hooks().Played(5).at(511), -511);
}

TEST_F(SimTransportTest, StreamingRequestsRefuseWithAnswerWords)
{
    EXPECT_EQ(Word(file_, IOCTL_START_TRANSPORT, U32(0x1234)), 1u);
    EXPECT_EQ(Word(file_, IOCTL_STOP_TRANSPORT, U32(0x1234)), 1u);
    EXPECT_EQ(Word(file_, IOCTL_PAUSE_TRANSPORT, U32(0x1234)), 1u);
    EXPECT_EQ(MapBuffer(file_, 0x1234, kOut, 0, 128), 0u);
    EXPECT_EQ(MapPosition(file_, 0x1234, kOut, 0), 0u);
    const std::uint32_t cookie = Word(file_, IOCTL_OPEN_TRANSPORT);
    EXPECT_EQ(Word(file_, IOCTL_START_TRANSPORT, U32(cookie)), 1u) << "nothing reserved";

    HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
    EXPECT_EQ(SetEventOf(file_, cookie, mutex), 1u) << "not an event";
    EXPECT_EQ(SetEventOf(file_, cookie, reinterpret_cast<HANDLE>(std::uintptr_t{0x7FFFFFF0})), 1u);
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    Hooks().RefuseEvent(true);
    EXPECT_EQ(SetEventOf(file_, cookie, event), 1u);
    EXPECT_FALSE(Hooks().Transports().at(0).hasEvent);
    Hooks().RefuseEvent(false);
    EXPECT_EQ(SetEventOf(file_, cookie, event), 0u);
    CloseHandle(mutex);
    CloseHandle(event);
}

TEST_F(SimTransportTest, SampleRatesFollowTheFamily)
{
    const struct {
        const char* preset;
        std::uint32_t rate;
        std::uint32_t supported;
    } cases[] = {
        {"default", 96000, 1},   {"default", 22050, 0},  {"zavo24-10", 48000, 1}, {"zavo24-10", 32000, 0},
        {"zavo24-60", 25001, 1}, {"zavo24-60", 24000, 0}, {"dazarorora-c0", 8000, 1}, {"dazarorora-c0", 88200, 0},
        {"zavo24-50", 96000, 1}, {"zavo24-50", 12000, 0}, {"zavo24-20", 44100, 1}, {"zavo24-20", 96000, 0},
        {"zavo24-30", 8000, 1},  {"zavo24-30", 88200, 0}, {"zavo24-70", 11025, 1}, {"tarnex-90", 88200, 1},
        {"tarnex-b0", 22050, 0}, {"kaltor-100", 32000, 1}, {"kaltor-100", 8000, 0},
        {"zavo24-60", 25000, 1}, {"zavo24-60", 100000, 1}, {"zavo24-60", 100001, 0}, {"zavo24-60", 16000, 1},
    };
    std::size_t card = 0;
    for (const auto& c : cases) {
        Boot(machine::MakePreset(c.preset, "inst" + std::to_string(card)));
        HANDLE file = Open(++card);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        EXPECT_EQ(Word(file, IOCTL_CHECK_SAMPLE_RATE, U32(c.rate)), c.supported) << c.preset << " " << c.rate;
        EXPECT_EQ(Word(file, IOCTL_SET_SAMPLE_RATE, U32(c.rate)), c.supported ? 0u : 1u) << c.preset;
        EXPECT_EQ(Hooks(card).Settings().sampleRate, c.supported ? c.rate : 44100u);
        CloseHandle(file);
    }
    Hooks().EnforceRateLock(true);
    Send(file_, {CMD_SET_FLAGS, 0, 0, DRIVER_FLAG_RATE_LOCK});
    EXPECT_EQ(Word(file_, IOCTL_SET_SAMPLE_RATE, U32(48000)), 2u);
    EXPECT_EQ(Word(file_, IOCTL_SET_SAMPLE_RATE, U32(44100)), 0u);
    // A card's own list of rates stands in for its family's.
    Hooks().SetSupportedRates({44100, 96000});
    EXPECT_EQ(Word(file_, IOCTL_CHECK_SAMPLE_RATE, U32(96000)), 1u);
    EXPECT_EQ(Word(file_, IOCTL_CHECK_SAMPLE_RATE, U32(48000)), 0u);
}

TEST_F(SimTransportTest, RealTimeClockTicksAtTheSampleRate)
{
    const auto [cookie, buffer, counter, event] = RealTimeStream(48000, 480);  // 10 ms periods
    ASSERT_NE(buffer, 0u);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(Word(file_, IOCTL_START_TRANSPORT, U32(cookie)), 0u);
    unsigned wakes = 0;
    while (wakes < 20) {
        ASSERT_EQ(WaitForSingleObject(event, 2000), WAIT_OBJECT_0);
        ++wakes;
        const std::uint32_t position = Read(counter);
        EXPECT_EQ(position % (480 * 4), 0u);
        // As a driver does: refill the half the card has just left, while it plays the other.
        std::int32_t* half = At<std::int32_t>(buffer) + ((position / 4) % 960 < 480 ? 480 : 0);
        for (unsigned f = 0; f < 480; ++f)
            half[f] = static_cast<std::int32_t>(wakes);
    }
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(elapsed, 0.18);
    EXPECT_GE(Read(counter), 20u * 480 * 4);
    EXPECT_NE(Hooks().Played(0).back(), 0) << "the card played what the client wrote";
    ASSERT_EQ(Word(file_, IOCTL_STOP_TRANSPORT, U32(cookie)), 0u);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(Read(counter), 0u) << "a stopped transport stays at 0";
    CloseHandle(event);
}

// The event the client names and registers is the very object the card sets, and the
// card's own reference keeps it, name and all, after the client closed its handle.
TEST_F(SimTransportTest, TheCardHoldsTheNamedEventItWasGiven)
{
    const char name[] = "Daveror transport 0x1f0000abcd";
    const std::uint32_t cookie = Word(file_, IOCTL_OPEN_TRANSPORT);
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, name);
    HANDLE unrelated = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ASSERT_EQ(SetEventOf(file_, cookie, event), 0u);
    EXPECT_TRUE(Hooks().TransportEventIs(cookie, event));
    EXPECT_FALSE(Hooks().TransportEventIs(cookie, unrelated));
    EXPECT_FALSE(Hooks().TransportEventIs(cookie + 1, event));

    CloseHandle(event);
    SetLastError(0);
    HANDLE again = CreateEventA(nullptr, FALSE, FALSE, name);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS) << "the card still holds the named event";
    EXPECT_TRUE(Hooks().TransportEventIs(cookie, again));

    ASSERT_EQ(SetEventOf(file_, cookie, unrelated), 0u);  // a later registration replaces it
    EXPECT_TRUE(Hooks().TransportEventIs(cookie, unrelated));
    CloseHandle(again);
    SetLastError(0);
    HANDLE fresh = CreateEventA(nullptr, FALSE, FALSE, name);
    EXPECT_NE(GetLastError(), ERROR_ALREADY_EXISTS) << "the card let go of the first event";
    CloseHandle(fresh);
    CloseHandle(unrelated);
}

// A second stream opens its transport while the clock thread is setting the first one's
// event: the clock must not lose an event nor read what the open rearranges.
TEST_F(SimTransportTest, TransportsOpenWhileTheClockSetsEvents)
{
    const Stream stream = RealTimeStream(96000, 32);  // a third of a millisecond a period
    const std::uint32_t cookie = stream.cookie;
    HANDLE event = stream.event;
    ASSERT_EQ(Word(file_, IOCTL_START_TRANSPORT, U32(cookie)), 0u);

    std::atomic<bool> done{false};
    std::atomic<unsigned> wakes{0};
    std::thread waiter([&] {
        while (!done.load())
            if (WaitForSingleObject(event, 10) == WAIT_OBJECT_0) ++wakes;
    });
    HANDLE other = Open();
    for (unsigned i = 0; i < 300; ++i) {
        HANDLE event2 = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        const std::uint32_t second = Word(other, IOCTL_OPEN_TRANSPORT);
        EXPECT_EQ(SetEventOf(other, second, event2), 0u);
        CloseHandle(event2);
    }
    // A loaded computer may run the opens before the clock's first period: give it time.
    for (int i = 0; i < 500 && wakes.load() == 0; ++i) Sleep(10);
    done = true;
    waiter.join();
    EXPECT_GT(wakes.load(), 0u);
    CloseHandle(other);
    ASSERT_EQ(Word(file_, IOCTL_STOP_TRANSPORT, U32(cookie)), 0u);
    CloseHandle(event);
}

}  // namespace
}  // namespace sim_test
