// Record through the wave client: recorded buffers against the conversion
// of the card's input, dither on analog inputs, stop, start, reset and an
// overrun.
#include <cstdlib>
#include <set>

#include "refuse_allocation.h"
#include "stream_fixture.h"

namespace {

constexpr UINT kAnalogIn = 0;   // wave-in device on pipes 0 and 1
constexpr UINT kDigitalIn = 4;  // on pipes 8 and 9

// Card samples with the extremes and the conversion table's vector, then a spread.
std::vector<std::int32_t> CardSamples(std::uint32_t seed, std::size_t count)
{
    std::vector<std::int32_t> samples = {0x12345678, static_cast<std::int32_t>(0x80000000), 0x7FFFFFFF, -1, 0,
                                         0x00FFFF00, 0x0000FFFF, 0x01800080, static_cast<std::int32_t>(0xFF7FFF80)};
    while (samples.size() < count) {
        seed = seed * 1664525u + 1013904223u;
        samples.push_back(static_cast<std::int32_t>(seed));
    }
    return samples;
}

// A client sample of `bytes` bytes as a signed value: unsigned 8-bit centred on 0x80.
int ClientValue(const BYTE* sample, unsigned bytes)
{
    return bytes == 1 ? sample[0] - 128 : static_cast<std::int16_t>(sample[0] | sample[1] << 8);
}

}  // namespace

class RecordTest : public StreamTest {
public:
    // `count` headers of `frames` frames each, queued and recorded: the stream
    // starts and the card steps one header per period.
    std::vector<hosts::WaveBuffer*> Record(hosts::WaveStream& stream, DWORD block, DWORD frames, DWORD count)
    {
        std::vector<hosts::WaveBuffer*> buffers;
        for (DWORD i = 0; i < count; ++i) {
            buffers.push_back(&Buffer(stream, frames * block, 1));
            Queue(stream, *buffers.back());
        }
        EXPECT_EQ(Client().Start(stream), MMSYSERR_NOERROR);
        for (DWORD k = 1; k <= count; ++k) StepUntil(stream, WIM_DATA, k);
        return buffers;
    }

    // Each header holds its period of the two pipes' inputs, truncated.
    static void ExpectTruncated(const std::vector<hosts::WaveBuffer*>& buffers, const std::vector<std::int32_t>& first,
                                const std::vector<std::int32_t>& second, WORD channels, unsigned bytes)
    {
        for (DWORD k = 0; k < buffers.size(); ++k) {
            std::vector<BYTE> expected;
            for (DWORD f = k * kPeriod; f < (k + 1) * kPeriod; ++f) {
                for (BYTE b : ClientSample(first[f % first.size()], bytes)) expected.push_back(b);
                if (channels == 2)
                    for (BYTE b : ClientSample(second[f % second.size()], bytes)) expected.push_back(b);
            }
            const auto data = buffers[k]->Data();
            EXPECT_EQ(std::vector<BYTE>(data.begin(), data.end()), expected) << "header " << k;
        }
    }
};

TEST_F(RecordTest, EveryFormatRecordsBitExactOnADigitalInput)
{
    const auto first = CardSamples(7, 13), second = CardSamples(99, 11);
    Hooks().SetInputSignal(8, machine::Signal::Samples(first));
    Hooks().SetInputSignal(9, machine::Signal::Samples(second));
    constexpr DWORD kHeaders = 4;
    for (WORD channels : {1, 2})
        for (WORD bits : {8, 16, 24, 32}) {
            SCOPED_TRACE(testing::Message() << channels << " x " << bits << " bits");
            const unsigned bytes = bits / 8u;
            const DWORD block = channels * bytes;
            hosts::WaveStream& stream = OpenStream(WaveDirection::In, kDigitalIn, channels, bits);
            const auto buffers = Record(stream, block, kPeriod, kHeaders);
            EXPECT_EQ(Position(stream), kHeaders * kPeriod * block);
            EXPECT_EQ(Returned(stream).size(), kHeaders);
            for (const hosts::WaveBuffer* buffer : buffers)
                EXPECT_EQ(buffer->Header().dwBytesRecorded, kPeriod * block);
            ExpectTruncated(buffers, first, second, channels, bytes);
            // The table's own vectors: card sample 0x12345678 is frame 0's first.
            const auto data = buffers[0]->Data();
            if (bits == 16) {
                EXPECT_EQ(data[0], 0x34);
                EXPECT_EQ(data[1], 0x12);
            }
            if (bits == 24) {
                EXPECT_EQ(data[0], 0x56);
                EXPECT_EQ(data[1], 0x34);
                EXPECT_EQ(data[2], 0x12);
            }
            EXPECT_EQ(Client().Reset(stream), MMSYSERR_NOERROR);
            EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
        }
}

// Triangular dither on an analog input at 8 and 16 bits: each sample within
// one step of the client's least significant bit of its truncation, both
// neighbouring codes for a constant on a boundary, and no wrap at the ends.
TEST_F(RecordTest, DitherOnAnAnalogInputStaysWithinOneStep)
{
    constexpr DWORD kBigPeriod = 512;
    constexpr DWORD kHeaders = 8;
    Hooks().SetWaveBufferSizeRaw(kBigPeriod);
    const std::vector<std::int32_t> spread = CardSamples(3, 1021);
    const struct {
        const char* what;
        std::int32_t firstPipe;  // a constant
        std::vector<std::int32_t> secondPipe;
    } inputs[] = {
        {"a boundary at 8 and 16 bits", 0x12000000, spread},
        {"the extremes", 0x7FFFFFFF, {static_cast<std::int32_t>(0x80000000)}},
    };
    for (const auto& input : inputs)
        for (WORD channels : {1, 2})
            for (WORD bits : {8, 16}) {
                SCOPED_TRACE(testing::Message() << input.what << " " << std::hex << input.firstPipe << std::dec
                                                << ", " << channels << " x " << bits << " bits");
                Hooks().SetInputSignal(0, machine::Signal::Samples({input.firstPipe}));
                Hooks().SetInputSignal(1, machine::Signal::Samples(input.secondPipe));
                const unsigned bytes = bits / 8u;
                const DWORD block = channels * bytes;
                hosts::WaveStream& stream = OpenStream(WaveDirection::In, kAnalogIn, channels, bits);
                const auto buffers = Record(stream, block, kBigPeriod, kHeaders);
                std::set<int> constantCodes;
                for (DWORD k = 0; k < kHeaders; ++k) {
                    const BYTE* data = buffers[k]->Data().data();
                    for (DWORD i = 0; i < kBigPeriod; ++i) {
                        const DWORD frame = k * kBigPeriod + i;
                        for (WORD c = 0; c < channels; ++c) {
                            const std::int32_t card =
                                c == 0 ? input.firstPipe : input.secondPipe[frame % input.secondPipe.size()];
                            const int truncated = card >> (32 - bits);
                            const int value = ClientValue(data + i * block + c * bytes, bytes);
                            ASSERT_LE(std::abs(value - truncated), 1)
                                << "frame " << frame << " pipe " << c << " card sample " << card;
                            if (c == 0) constantCodes.insert(value);
                        }
                    }
                }
                const int truncated = input.firstPipe >> (32 - bits);
                const int largest = (1 << (bits - 1)) - 1;
                if (input.firstPipe == 0x7FFFFFFF) {
                    EXPECT_EQ(*constantCodes.rbegin(), largest) << "the largest code, never past it";
                } else {
                    EXPECT_EQ(constantCodes, (std::set<int>{truncated - 1, truncated})) << "both neighbours";
                }
                EXPECT_EQ(Client().Reset(stream), MMSYSERR_NOERROR);
                EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
            }
}

// Every allocation of a dithered record open refused in turn: the dither's
// is the last, and without it the stream opens and records undithered.
TEST_F(RecordTest, WithoutItsDitherAStreamRecordsUndithered)
{
    constexpr std::int32_t kBoundary = 0x12340000;  // dither would give 0x1233 about half the time
    Hooks().SetInputSignal(0, machine::Signal::Samples({kBoundary}));
    Hooks().SetInputSignal(1, machine::Signal::Samples({kBoundary}));
    Client().ListDevices(WaveDirection::In);  // the device list is built
    for (long k = 0;; ++k) {
        SCOPED_TRACE(k);
        bool refused;
        hosts::WaveStream* stream;
        {
            RefuseAllocation refuse(k);
            stream = &Client().Open({.direction = WaveDirection::In,
                                     .device = kAnalogIn,
                                     .format = hosts::PcmFormat(2, 48000, 16),
                                     .callback = WaveCallback::Function});
            refused = refuse.Refused();
        }
        ASSERT_TRUE(refused) << "every allocation of the open was refused once";
        if (stream->OpenResult() != MMSYSERR_NOERROR) {
            EXPECT_EQ(stream->OpenResult(), MMSYSERR_NOMEM);
            EXPECT_TRUE(Hooks().Transports().empty());
            continue;
        }
        EXPECT_EQ(k, 3) << "the node, the stream, its card object and then the dither";
        const auto buffers = Record(*stream, 4, kPeriod, 4);
        for (const hosts::WaveBuffer* buffer : buffers)
            for (DWORD i = 0; i < 2 * kPeriod; ++i) EXPECT_EQ(ClientValue(buffer->Data().data() + 2 * i, 2), 0x1234);
        EXPECT_EQ(Client().Reset(*stream), MMSYSERR_NOERROR);
        EXPECT_EQ(Client().Close(*stream), MMSYSERR_NOERROR);
        break;
    }
}

// 24 and 32 bits on an analog input are the plain truncation.
TEST_F(RecordTest, WideFormatsOnAnAnalogInputAreNotDithered)
{
    const auto first = CardSamples(5, 17), second = CardSamples(6, 7);
    Hooks().SetInputSignal(0, machine::Signal::Samples(first));
    Hooks().SetInputSignal(1, machine::Signal::Samples(second));
    for (WORD channels : {1, 2})
        for (WORD bits : {24, 32}) {
            SCOPED_TRACE(testing::Message() << channels << " x " << bits << " bits");
            const unsigned bytes = bits / 8u;
            hosts::WaveStream& stream = OpenStream(WaveDirection::In, kAnalogIn, channels, bits);
            ExpectTruncated(Record(stream, channels * bytes, kPeriod, 4), first, second, channels, bytes);
            EXPECT_EQ(Client().Reset(stream), MMSYSERR_NOERROR);
            EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
        }
}

// STOP hands back the header being filled with what it holds; START goes on into the next.
TEST_F(RecordTest, StopReturnsThePartlyFilledHeader)
{
    Hooks().SetInputSignal(8, machine::Signal::Ramp(1 << 16));  // 16-bit samples count frames
    hosts::WaveStream& stream = OpenStream(WaveDirection::In, kDigitalIn, 2, 16);
    std::vector<hosts::WaveBuffer*> buffers;
    for (int i = 0; i < 3; ++i) {
        buffers.push_back(&Buffer(stream, 2 * kPeriod * 4));
        Queue(stream, *buffers.back());
    }
    EXPECT_EQ(Client().Start(stream), MMSYSERR_NOERROR);
    Step(stream, kPeriod * 4);
    Hooks().ClearLog();
    EXPECT_EQ(Client().Stop(stream), MMSYSERR_NOERROR);
    EXPECT_EQ(Hooks().CountOf(sim::IOCTL_PAUSE_TRANSPORT), 1u);
    ASSERT_EQ(Returned(stream).size(), 1u);
    const hosts::WaveNotification data = stream.Notifications().back();
    EXPECT_EQ(data.param1, reinterpret_cast<DWORD_PTR>(&buffers[0]->Header()));
    EXPECT_EQ(data.bytesRecorded, kPeriod * 4);
    EXPECT_EQ(data.headerFlags & (WHDR_DONE | WHDR_INQUEUE), WHDR_DONE);
    EXPECT_EQ(data.thread, GetCurrentThreadId());
    for (int i = 1; i < 3; ++i) EXPECT_EQ(buffers[i]->Header().dwFlags & (WHDR_DONE | WHDR_INQUEUE), WHDR_INQUEUE);
    EXPECT_EQ(Client().Stop(stream), MMSYSERR_NOERROR);
    EXPECT_EQ(Returned(stream).size(), 1u) << "a stopped stream returns nothing more";

    EXPECT_EQ(Client().Start(stream), MMSYSERR_NOERROR);
    Step(stream, 2 * kPeriod * 4);
    Step(stream, 3 * kPeriod * 4);
    ASSERT_TRUE(stream.WaitFor(WIM_DATA, 2, kDeadlineMs));
    EXPECT_EQ(Client().Reset(stream), MMSYSERR_NOERROR);
    const std::vector<const WAVEHDR*> order = {&buffers[0]->Header(), &buffers[1]->Header(), &buffers[2]->Header()};
    EXPECT_EQ(Returned(stream), order);
    EXPECT_EQ(buffers[2]->Header().dwBytesRecorded, 0u);
    // The frames went on from where the stop left them.
    auto frameOf = [&](int buffer, DWORD i) { return ClientValue(buffers[buffer]->Data().data() + 4 * i, 2); };
    for (DWORD i = 0; i < kPeriod; ++i) EXPECT_EQ(frameOf(0, i), static_cast<int>(i));
    for (DWORD i = 0; i < 2 * kPeriod; ++i) EXPECT_EQ(frameOf(1, i), static_cast<int>(kPeriod + i));
    EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
}

TEST_F(RecordTest, ResetReturnsEveryHeaderInOrder)
{
    hosts::WaveStream& stream = OpenStream(WaveDirection::In, kDigitalIn, 2, 16);
    std::vector<const WAVEHDR*> order;
    for (int i = 0; i < 3; ++i) {
        hosts::WaveBuffer& buffer = Buffer(stream, 2 * kPeriod * 4);
        order.push_back(&buffer.Header());
        Queue(stream, buffer);
    }
    EXPECT_EQ(Client().Start(stream), MMSYSERR_NOERROR);
    Step(stream, kPeriod * 4);
    EXPECT_EQ(Client().Reset(stream), MMSYSERR_NOERROR);
    EXPECT_EQ(Returned(stream), order);
    std::vector<DWORD> recorded;
    for (const hosts::WaveNotification& n : stream.Notifications())
        if (n.message == WIM_DATA) {
            recorded.push_back(n.bytesRecorded);
            EXPECT_EQ(n.thread, GetCurrentThreadId());
            EXPECT_EQ(n.headerFlags & (WHDR_DONE | WHDR_INQUEUE), WHDR_DONE);
        }
    EXPECT_EQ(recorded, (std::vector<DWORD>{kPeriod * 4, 0, 0}));
    EXPECT_EQ(Position(stream), 0u);
    EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
}

// A header shorter than a frame comes back empty, in its turn, and the next takes the period.
TEST_F(RecordTest, HeadersWithoutAWholeFrameComeBackEmpty)
{
    Hooks().SetInputSignal(8, machine::Signal::Ramp(1 << 16));
    hosts::WaveStream& stream = OpenStream(WaveDirection::In, kDigitalIn, 2, 16);
    std::vector<const WAVEHDR*> order;
    std::vector<hosts::WaveBuffer*> buffers;
    for (std::size_t bytes : {std::size_t{3}, std::size_t{0}, std::size_t{kPeriod * 4}}) {
        buffers.push_back(&Buffer(stream, bytes));
        order.push_back(&buffers.back()->Header());
        Queue(stream, *buffers.back());
    }
    EXPECT_EQ(Client().Start(stream), MMSYSERR_NOERROR);
    StepUntil(stream, WIM_DATA, 3);
    EXPECT_EQ(Returned(stream), order);
    std::vector<DWORD> recorded;
    for (const hosts::WaveNotification& n : stream.Notifications())
        if (n.message == WIM_DATA) recorded.push_back(n.bytesRecorded);
    EXPECT_EQ(recorded, (std::vector<DWORD>{0, 0, kPeriod * 4}));
    for (DWORD i = 0; i < kPeriod; ++i) EXPECT_EQ(ClientValue(buffers[2]->Data().data() + 4 * i, 2), static_cast<int>(i));
    EXPECT_EQ(Client().Reset(stream), MMSYSERR_NOERROR);
    EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
}

// Periods with no header to take them are dropped whole: the next header
// holds a run of the input that starts on a period boundary after the last
// frame recorded, with no frame torn or stale.
TEST_F(RecordTest, AnOverrunDropsWholePeriods)
{
    Hooks().SetInputSignal(8, machine::Signal::Ramp(1));  // 32-bit samples count frames
    hosts::WaveStream& stream = OpenStream(WaveDirection::In, kDigitalIn, 2, 32);
    hosts::WaveBuffer& first = Buffer(stream, kPeriod * 8);
    Queue(stream, first);
    EXPECT_EQ(Client().Start(stream), MMSYSERR_NOERROR);
    StepUntil(stream, WIM_DATA, 1);
    constexpr DWORD kDropped = 3;
    Hooks().Advance(kDropped);  // nothing queued: the worker reads none of these
    DWORD periods = 1 + kDropped;

    hosts::WaveBuffer& second = Buffer(stream, 2 * kPeriod * 8);
    Queue(stream, second);
    // Two periods the worker services apart alias to no advance in a ring of
    // two: the header may take its first period from the next step or the
    // one after. Each step waits for the worker, so that it has read a
    // period before the card writes over it again.
    auto stepUntil = [&](auto done) {
        for (int tries = 0; tries < 3 && !done(0); ++tries) {
            Hooks().Advance(1);
            ++periods;
            if (done(kDeadlineMs / 4)) return;
        }
    };
    stepUntil([&](DWORD ms) { return Client().WaitForPosition(stream, 2 * kPeriod * 8, ms) >= 2 * kPeriod * 8; });
    stepUntil([&](DWORD ms) { return stream.WaitFor(WIM_DATA, 2, ms); });
    ASSERT_EQ(Returned(stream).size(), 2u);

    std::vector<std::int32_t> frames(2 * kPeriod);
    for (DWORD i = 0; i < frames.size(); ++i) std::memcpy(&frames[i], second.Data().data() + 8 * i, 4);
    const std::int32_t start = frames[0];
    EXPECT_EQ(start % static_cast<std::int32_t>(kPeriod), 0) << "on a period boundary";
    EXPECT_GE(start, static_cast<std::int32_t>(kPeriod)) << "after the last frame recorded";
    EXPECT_LE(start + 2 * kPeriod, periods * kPeriod) << "no frame the card has not recorded";
    for (DWORD i = 0; i < frames.size(); ++i) EXPECT_EQ(frames[i], start + static_cast<std::int32_t>(i)) << i;
    EXPECT_EQ(Client().Reset(stream), MMSYSERR_NOERROR);
    EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
}
