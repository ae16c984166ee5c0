// Playback through the wave client: what the card played against the
// conversion of what was written, the pre-fill and the start, first buffers
// shorter than the ring, loops, pause, restart, reset, close and positions.
#include <algorithm>
#include <string>

#include "stream_fixture.h"

namespace {

// Client samples of `bytes` bytes: the extremes and the conversion table's own
// vectors first, then a spread of values from a fixed generator.
std::vector<BYTE> TestSamples(unsigned bytes, std::size_t samples)
{
    std::vector<BYTE> data;
    switch (bytes) {
    case 1:
        data = {0x00, 0x80, 0xFF, 0x7F, 0x81, 0x01};
        break;
    case 2:
        data = {0x00, 0x80, 0xFF, 0x7F, 0x00, 0x00, 0xFF, 0xFF, 0x34, 0x12};
        break;
    case 3:
        data = {0x00, 0x00, 0x80, 0xFF, 0xFF, 0x7F, 0x56, 0x34, 0x12, 0xFF, 0xFF, 0xFF};
        break;
    default:
        data = {0x00, 0x00, 0x00, 0x80, 0xFF, 0xFF, 0xFF, 0x7F, 0x78, 0x56, 0x34, 0x12, 0xFF, 0xFF, 0xFF, 0xFF};
        break;
    }
    std::uint32_t state = 0x2545F491;
    while (data.size() < samples * bytes) {
        state = state * 1664525u + 1013904223u;
        data.push_back(static_cast<BYTE>(state >> 24));
    }
    data.resize(samples * bytes);
    return data;
}

struct Header {
    DWORD first;   // the counting frames it holds, from
    DWORD frames;
    DWORD flags = 0;
    DWORD loops = 0;
    DWORD extraBytes = 0;  // bytes beyond its whole frames
};

}  // namespace

class PlaybackTest : public StreamTest {
public:
    // Writes the headers to a paused stream, which pre-fills the ring, then
    // restarts it and steps until every frame has moved and `returned`
    // headers came back; then plays out the ring. `moved` is the frames the
    // headers give with their loops.
    std::vector<const WAVEHDR*> PlayPaused(hosts::WaveStream& stream, const std::vector<Header>& headers,
                                           DWORD moved, std::size_t returned, std::vector<WAVEHDR*>& written)
    {
        EXPECT_EQ(Client().Pause(stream), MMSYSERR_NOERROR);
        Hooks().ClearPlayed();
        for (const Header& h : headers) {
            std::vector<BYTE> data = CountingFrames(h.first, h.frames);
            data.resize(data.size() + h.extraBytes, 0x5A);
            hosts::WaveBuffer& buffer = Buffer(stream, data);
            buffer.Header().dwFlags |= h.flags;
            buffer.Header().dwLoops = h.loops;
            written.push_back(&buffer.Header());
            Queue(stream, buffer);
        }
        EXPECT_EQ(Position(stream), std::min(moved, kRing) * 4) << "the pre-fill";
        EXPECT_EQ(Client().Restart(stream), MMSYSERR_NOERROR);
        for (DWORD k = 1; kRing + (k - 1) * kPeriod < moved; ++k) Step(stream, std::min(moved, kRing + k * kPeriod) * 4);
        EXPECT_TRUE(stream.WaitFor(WOM_DONE, returned, kDeadlineMs));
        PlayOut();  // the ring's last frames
        return Returned(stream);
    }

    // The capture is these counting frames, then silence.
    void ExpectPlayed(const std::vector<DWORD>& frames)
    {
        const auto left = Played(0), right = Played(1);
        ASSERT_GE(left.size(), frames.size());
        ASSERT_EQ(right.size(), left.size());
        for (std::size_t i = 0; i < left.size(); ++i) {
            const std::int32_t l = i < frames.size() ? CountedSample(frames[i], 0) : 0;
            const std::int32_t r = i < frames.size() ? CountedSample(frames[i], 1) : 0;
            if (left[i] != l || right[i] != r) {
                ADD_FAILURE() << "frame " << i << " played " << left[i] << ", " << right[i] << " for " << l << ", " << r;
                return;
            }
        }
    }
};

TEST_F(PlaybackTest, EveryFormatPlaysBitExact)
{
    constexpr DWORD kFrames = 3 * kRing;
    for (WORD channels : {1, 2})
        for (WORD bits : {8, 16, 24, 32}) {
            SCOPED_TRACE(testing::Message() << channels << " x " << bits << " bits");
            const unsigned bytes = bits / 8u;
            const DWORD block = channels * bytes;
            const std::vector<BYTE> data = TestSamples(bytes, kFrames * channels);
            hosts::WaveStream& stream = OpenStream(WaveDirection::Out, 0, channels, bits);
            Hooks().ClearPlayed();
            hosts::WaveBuffer& buffer = Buffer(stream, data, 1);  // at an odd address
            Queue(stream, buffer);
            EXPECT_EQ(Position(stream), kRing * block);
            for (DWORD k = 1; kRing + k * kPeriod <= kFrames; ++k) Step(stream, (kRing + k * kPeriod) * block);
            ASSERT_TRUE(stream.WaitFor(WOM_DONE, 1, kDeadlineMs));
            PlayOut();

            const auto left = Played(0), right = Played(1);
            ASSERT_EQ(left.size(), kFrames);
            ASSERT_EQ(right.size(), kFrames);
            for (DWORD f = 0; f < kFrames; ++f) {
                const BYTE* frame = &data[f * block];
                ASSERT_EQ(left[f], CardSample(frame, bytes)) << "frame " << f;
                ASSERT_EQ(right[f], CardSample(frame + (channels - 1) * bytes, bytes)) << "frame " << f;
            }
            // The table's own vectors.
            if (bits == 8 && channels == 1) {
                EXPECT_EQ(left[0], static_cast<std::int32_t>(0x80000000));
                EXPECT_EQ(left[1], 0);
                EXPECT_EQ(left[2], 0x7F000000);
            }
            if (bits == 16 && channels == 1) {
                EXPECT_EQ(left[0], static_cast<std::int32_t>(0x80000000));
                EXPECT_EQ(right[0], static_cast<std::int32_t>(0x80000000));
            }
            if (bits == 24) {
                EXPECT_EQ(left[0], static_cast<std::int32_t>(0x80000000));
            }
            EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
        }
}

TEST_F(PlaybackTest, TheFirstWritePrefillsTheRingThenStartsTheTransport)
{
    hosts::WaveStream& stream = OpenStream(WaveDirection::Out, 0, 2, 16);
    Hooks().ClearLog();
    Hooks().ClearPlayed();
    hosts::WaveBuffer& first = Buffer(stream, CountingFrames(0, 2 * kRing));
    hosts::WaveBuffer& second = Buffer(stream, CountingFrames(2 * kRing, kRing));
    Queue(stream, first);
    std::vector<DWORD> codes;
    for (const auto& request : Hooks().Log()) codes.push_back(request.code);
    EXPECT_EQ(codes, (std::vector<DWORD>{sim::IOCTL_SET_SAMPLE_RATE, sim::IOCTL_START_TRANSPORT}));
    EXPECT_EQ(Position(stream), kRing * 4) << "the ring filled before the start";
    Queue(stream, second);
    EXPECT_EQ(Position(stream), kRing * 4) << "a running stream fills as the card plays";
    EXPECT_EQ(Hooks().CountOf(sim::IOCTL_START_TRANSPORT), 1u);

    Step(stream, (kRing + kPeriod) * 4);
    const auto left = Played(0);
    ASSERT_EQ(left.size(), kPeriod);
    for (DWORD f = 0; f < kPeriod; ++f) EXPECT_EQ(left[f], CountedSample(f, 0));
    EXPECT_EQ(Client().Reset(stream), MMSYSERR_NOERROR);
    EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
}

// A first buffer A of L frames, and B of three rings queued before the card
// starts: the card plays A, the frames of its first period A did not fill as
// silence, then B, each frame once and in order.
TEST_F(PlaybackTest, AShortFirstBufferLosesNothing)
{
    constexpr DWORD kB = 3 * kRing;
    for (DWORD l : {1u, kPeriod - 1, kPeriod, kPeriod + 1, kRing - 1, kRing, 2 * kRing + 3}) {
        SCOPED_TRACE(testing::Message() << "L = " << l);
        hosts::WaveStream& stream = OpenStream(WaveDirection::Out, 0, 2, 16);
        Hooks().ClearPlayed();
        hosts::WaveBuffer& a = Buffer(stream, CountingFrames(0, l));
        hosts::WaveBuffer& b = Buffer(stream, CountingFrames(l, kB));
        Queue(stream, a);
        Queue(stream, b);
        const DWORD total = l + kB;
        const DWORD gap = l < kPeriod ? kPeriod - l : 0;
        for (DWORD k = 1; kRing + (k - 1) * kPeriod - gap < total; ++k)
            Step(stream, std::min(total, kRing + k * kPeriod - gap) * 4);
        EXPECT_TRUE(stream.WaitFor(WOM_DONE, 2, kDeadlineMs));
        PlayOut();

        std::vector<std::int32_t> expected;
        for (DWORD f = 0; f < total + gap; ++f)
            expected.push_back(f >= l && f < l + gap ? 0 : CountedSample(f < l ? f : f - gap, 0));
        std::vector<std::int32_t> left = Played(0);
        left.resize(std::min<std::size_t>(left.size(), expected.size()));
        EXPECT_EQ(left, expected);
        EXPECT_EQ(Client().Reset(stream), MMSYSERR_NOERROR);
        EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
    }
}

TEST_F(PlaybackTest, Loops)
{
    constexpr DWORD kBoth = WHDR_BEGINLOOP | WHDR_ENDLOOP;
    const struct {
        const char* what;
        std::vector<Header> headers;
        std::vector<std::size_t> played;  // headers, in the order the card plays them
    } cases[] = {
        {"one header, three passes", {{0, 6, kBoth, 3}}, {0, 0, 0}},
        {"a loop count of 0 plays once", {{0, 6, kBoth, 0}, {6, 5}}, {0, 1}},
        {"three headers, two passes", {{0, 3, WHDR_BEGINLOOP, 2}, {3, 5}, {8, 2, WHDR_ENDLOOP}}, {0, 1, 2, 0, 1, 2}},
        {"headers before and after a loop", {{0, 4}, {4, 3, kBoth, 2}, {7, 2}}, {0, 1, 1, 2}},
        {"a loop of no frames plays nothing", {{0, 5}, {5, 0, kBoth, 0xFFFFFFFF}, {5, 6}}, {0, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        hosts::WaveStream& stream = OpenStream(WaveDirection::Out, 0, 2, 16);
        std::vector<DWORD> frames;
        for (std::size_t h : c.played)
            for (DWORD f = 0; f < c.headers[h].frames; ++f) frames.push_back(c.headers[h].first + f);
        std::vector<WAVEHDR*> written;
        const auto returned =
            PlayPaused(stream, c.headers, static_cast<DWORD>(frames.size()), c.headers.size(), written);
        ExpectPlayed(frames);
        // Every header once, in queue order, after its last pass.
        EXPECT_EQ(returned, std::vector<const WAVEHDR*>(written.begin(), written.end()));
        for (const WAVEHDR* header : written) EXPECT_EQ(header->dwFlags & (WHDR_DONE | WHDR_INQUEUE), WHDR_DONE);
        EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
    }
}

// A loop's headers come back only after its last pass.
TEST_F(PlaybackTest, ALoopReturnsItsHeaderAfterTheLastPass)
{
    hosts::WaveStream& stream = OpenStream(WaveDirection::Out, 0, 2, 16);
    hosts::WaveBuffer& loop = Buffer(stream, CountingFrames(0, 6));
    loop.Header().dwFlags |= WHDR_BEGINLOOP | WHDR_ENDLOOP;
    loop.Header().dwLoops = 3;
    Queue(stream, loop);
    EXPECT_EQ(Position(stream), kRing * 4);
    Step(stream, 12 * 4);
    Step(stream, 16 * 4);
    EXPECT_EQ(stream.Count(WOM_DONE), 0u) << "the third pass has not ended";
    Step(stream, 18 * 4);
    EXPECT_TRUE(stream.WaitFor(WOM_DONE, 1, kDeadlineMs));
    EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
}

TEST_F(PlaybackTest, HeadersWithoutAWholeFrameComeBackInTurn)
{
    hosts::WaveStream& stream = OpenStream(WaveDirection::Out, 0, 2, 16);
    const std::vector<Header> headers = {{0, 5}, {5, 0}, {5, 0, 0, 0, 3}, {5, 6}, {11, 0, 0, 0, 1}, {11, 4}};
    std::vector<WAVEHDR*> written;
    const auto returned = PlayPaused(stream, headers, 15, headers.size(), written);
    std::vector<DWORD> frames(15);
    for (DWORD f = 0; f < 15; ++f) frames[f] = f;
    ExpectPlayed(frames);
    EXPECT_EQ(returned, std::vector<const WAVEHDR*>(written.begin(), written.end()));
    EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
}

TEST_F(PlaybackTest, AWriteWhilePausedPrefillsAndRestartStarts)
{
    hosts::WaveStream& stream = OpenStream(WaveDirection::Out, 0, 2, 16);
    Hooks().ClearLog();
    EXPECT_EQ(Client().Pause(stream), MMSYSERR_NOERROR);
    hosts::WaveBuffer& buffer = Buffer(stream, CountingFrames(0, 2 * kRing));
    Queue(stream, buffer);
    EXPECT_EQ(Position(stream), kRing * 4);
    EXPECT_EQ(Hooks().CountOf(sim::IOCTL_START_TRANSPORT), 0u);
    EXPECT_EQ(Hooks().CountOf(sim::IOCTL_PAUSE_TRANSPORT), 0u) << "the transport never ran";
    Hooks().Advance(1);  // nothing runs
    EXPECT_EQ(Played(0).size(), 0u);

    EXPECT_EQ(Client().Restart(stream), MMSYSERR_NOERROR);
    std::vector<DWORD> codes;
    for (const auto& request : Hooks().Log()) codes.push_back(request.code);
    EXPECT_EQ(codes, (std::vector<DWORD>{sim::IOCTL_SET_SAMPLE_RATE, sim::IOCTL_START_TRANSPORT}));
    Step(stream, (kRing + kPeriod) * 4);
    EXPECT_EQ(Played(0).size(), kPeriod);
    EXPECT_EQ(Client().Reset(stream), MMSYSERR_NOERROR);
    EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
}

// A pause holds the card and the stream where they are; the restart goes on from there.
TEST_F(PlaybackTest, PauseAndRestartGoOnWhereTheStreamWas)
{
    hosts::WaveStream& stream = OpenStream(WaveDirection::Out, 0, 2, 16);
    Hooks().ClearPlayed();
    hosts::WaveBuffer& buffer = Buffer(stream, CountingFrames(0, 4 * kRing));
    Queue(stream, buffer);
    Step(stream, 12 * 4);
    EXPECT_EQ(Client().Pause(stream), MMSYSERR_NOERROR);
    EXPECT_EQ(Hooks().CountOf(sim::IOCTL_PAUSE_TRANSPORT), 1u);
    EXPECT_EQ(Client().Pause(stream), MMSYSERR_NOERROR);
    EXPECT_EQ(Hooks().CountOf(sim::IOCTL_PAUSE_TRANSPORT), 1u) << "a paused transport is not paused again";
    Hooks().Advance(3);
    EXPECT_EQ(Position(stream), 12u * 4);
    EXPECT_EQ(Client().Restart(stream), MMSYSERR_NOERROR);
    EXPECT_EQ(Client().Restart(stream), MMSYSERR_NOERROR);
    EXPECT_EQ(Hooks().CountOf(sim::IOCTL_START_TRANSPORT), 2u);
    for (DWORD k = 2; k <= 6; ++k) Step(stream, (kRing + k * kPeriod) * 4);
    ASSERT_TRUE(stream.WaitFor(WOM_DONE, 1, kDeadlineMs));
    Hooks().Advance(2);
    std::vector<DWORD> frames(4 * kRing);
    for (DWORD f = 0; f < frames.size(); ++f) frames[f] = f;
    ExpectPlayed(frames);
    EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
}

TEST_F(PlaybackTest, RestartOfAPausedStreamWithNothingQueuedWaitsForTheNextWrite)
{
    hosts::WaveStream& stream = OpenStream(WaveDirection::Out, 0, 2, 16);
    hosts::WaveBuffer& first = Buffer(stream, CountingFrames(0, kPeriod));
    Queue(stream, first);  // pre-filled and returned at once
    ASSERT_TRUE(stream.WaitFor(WOM_DONE, 1, kDeadlineMs));
    EXPECT_EQ(Client().Pause(stream), MMSYSERR_NOERROR);
    EXPECT_EQ(Client().Restart(stream), MMSYSERR_NOERROR);
    EXPECT_EQ(Hooks().CountOf(sim::IOCTL_START_TRANSPORT), 1u) << "stopped, not started";
    Hooks().Advance(1);
    EXPECT_EQ(Played(0).size(), 0u);

    hosts::WaveBuffer& second = Buffer(stream, CountingFrames(kPeriod, kPeriod));
    Queue(stream, second);
    EXPECT_EQ(Hooks().CountOf(sim::IOCTL_START_TRANSPORT), 2u);
    EXPECT_EQ(Client().Reset(stream), MMSYSERR_NOERROR);
    EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
}

TEST_F(PlaybackTest, ResetReturnsEveryHeaderOnTheCallingThread)
{
    hosts::WaveStream& stream = OpenStream(WaveDirection::Out, 0, 2, 16);
    std::vector<WAVEHDR*> written;
    for (DWORD i = 0; i < 3; ++i) {
        hosts::WaveBuffer& buffer = Buffer(stream, CountingFrames(i * 2 * kRing, 2 * kRing));
        written.push_back(&buffer.Header());
        Queue(stream, buffer);
    }
    Step(stream, (kRing + kPeriod) * 4);
    Hooks().ClearLog();
    EXPECT_EQ(Client().Reset(stream), MMSYSERR_NOERROR);
    EXPECT_EQ(Hooks().CountOf(sim::IOCTL_STOP_TRANSPORT), 1u);
    EXPECT_EQ(Returned(stream), std::vector<const WAVEHDR*>(written.begin(), written.end()));
    for (const hosts::WaveNotification& n : stream.Notifications()) {
        if (n.message != WOM_DONE) continue;
        EXPECT_EQ(n.thread, GetCurrentThreadId());
        EXPECT_EQ(n.headerFlags & (WHDR_DONE | WHDR_INQUEUE), WHDR_DONE);
    }
    EXPECT_EQ(Position(stream), 0u);
    EXPECT_EQ(Hooks().Transports()[0].state, machine::TransportInfo::State::Stopped);

    // The stream starts afresh: pre-fill, start, the card from the ring's start.
    Hooks().ClearPlayed();
    hosts::WaveBuffer& again = Buffer(stream, CountingFrames(0, 2 * kRing));
    Queue(stream, again);
    EXPECT_EQ(Position(stream), kRing * 4);
    Step(stream, (kRing + kPeriod) * 4);
    std::vector<DWORD> frames(kPeriod);
    for (DWORD f = 0; f < kPeriod; ++f) frames[f] = f;
    ExpectPlayed(frames);
    EXPECT_EQ(Client().Reset(stream), MMSYSERR_NOERROR);
    EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
}

TEST_F(PlaybackTest, CloseWithHeadersQueuedIsRefused)
{
    hosts::WaveStream& stream = OpenStream(WaveDirection::Out, 0, 2, 16);
    hosts::WaveBuffer& buffer = Buffer(stream, CountingFrames(0, 3 * kRing));
    Queue(stream, buffer);
    EXPECT_EQ(Client().Close(stream), WAVERR_STILLPLAYING);
    EXPECT_EQ(Client().Unprepare(stream, buffer.Header()), WAVERR_STILLPLAYING);
    Step(stream, (kRing + kPeriod) * 4);  // the stream works on
    EXPECT_EQ(stream.Count(WOM_CLOSE), 0u);
    EXPECT_EQ(Client().Reset(stream), MMSYSERR_NOERROR);
    EXPECT_EQ(buffer.Header().dwFlags & (WHDR_DONE | WHDR_INQUEUE), WHDR_DONE);
    EXPECT_EQ(Client().Unprepare(stream, buffer.Header()), MMSYSERR_NOERROR);
    EXPECT_EQ(buffer.Header().dwFlags & WHDR_PREPARED, 0u);
    EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
    EXPECT_EQ(stream.Count(WOM_CLOSE), 1u);
    EXPECT_TRUE(Hooks().Transports().empty());
}

// After the last header the card plays silence and the position stays.
TEST_F(PlaybackTest, ThePositionStopsAfterTheLastHeader)
{
    hosts::WaveStream& stream = OpenStream(WaveDirection::Out, 0, 2, 16);
    Hooks().ClearPlayed();
    hosts::WaveBuffer& buffer = Buffer(stream, CountingFrames(0, kRing + kPeriod));
    Queue(stream, buffer);
    Step(stream, (kRing + kPeriod) * 4);
    ASSERT_TRUE(stream.WaitFor(WOM_DONE, 1, kDeadlineMs));
    // Two periods play out the ring; any more would race the worker's silence.
    PlayOut();
    EXPECT_EQ(Position(stream), (kRing + kPeriod) * 4);
    std::vector<DWORD> frames(kRing + kPeriod);
    for (DWORD f = 0; f < frames.size(); ++f) frames[f] = f;
    ExpectPlayed(frames);
    EXPECT_EQ(Played(0).size(), 3 * kPeriod);
    EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
}

TEST_F(PlaybackTest, PositionFormats)
{
    hosts::WaveStream& stream = OpenStream(WaveDirection::Out, 0, 2, 24);
    hosts::WaveBuffer& buffer = Buffer(stream, 5 * 6);
    Queue(stream, buffer);
    const struct {
        UINT asked, size;
        MMRESULT result;
        UINT answeredAs;
        DWORD value;
    } cases[] = {
        {TIME_BYTES, sizeof(MMTIME), MMSYSERR_NOERROR, TIME_BYTES, 30},
        {TIME_SAMPLES, sizeof(MMTIME), MMSYSERR_NOERROR, TIME_SAMPLES, 5},
        {TIME_MS, sizeof(MMTIME), MMSYSERR_NOERROR, TIME_BYTES, 30},
        {TIME_SMPTE, sizeof(MMTIME), MMSYSERR_NOERROR, TIME_BYTES, 30},
        {TIME_BYTES, 16, MMSYSERR_INVALPARAM, TIME_BYTES, 0xCCCCCCCC},
        {TIME_BYTES, 0, MMSYSERR_INVALPARAM, TIME_BYTES, 0xCCCCCCCC},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "format " << c.asked << " size " << c.size);
        MMTIME time{};
        time.wType = c.asked;
        time.u.cb = 0xCCCCCCCC;
        EXPECT_EQ(Client().GetPosition(stream, time, c.size), c.result);
        EXPECT_EQ(time.wType, c.answeredAs);
        EXPECT_EQ(time.u.cb, c.value);
    }
    EXPECT_EQ(Client().Send(stream, WODM_GETPOS, 0, sizeof(MMTIME)), MMSYSERR_INVALPARAM);
    EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
}
