// The dither of analog recordings at 8 and 16 bits, bit-exact: the
// performance counter's next reading on the opening thread is fixed, which
// seeds the stream's dither, and the recording equals the card's input with
// the noise of a reference generator written here from the algorithm.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "stream_fixture.h"
#include "win32/fault_hooks.h"

namespace {

constexpr UINT kAnalogIn = 0;  // pipes 0 and 1

// The R250 shift register seeded by Park-Miller in signed 32-bit
// arithmetic, each word shifted right by the client's width; two steps and
// a saturating add per sample.
class ReferenceDither {
public:
    ReferenceDither(std::int32_t seed, int width)
    {
        for (std::int32_t& word : words_) word = seed = Next(seed);
        for (std::int32_t& word : words_) {
            seed = Next(seed);
            if (seed > 0x40000000) word = static_cast<std::int32_t>(static_cast<std::uint32_t>(word) | 0x80000000u);
        }
        for (int k = 0; k < 32; ++k) {
            std::int32_t& word = words_[3 + 7 * k];
            word = static_cast<std::int32_t>((static_cast<std::uint32_t>(word) & (0xFFFFFFFFu >> k)) | (0x80000000u >> k));
        }
        for (std::int32_t& word : words_) word >>= width;
    }

    std::int32_t Add(std::int32_t sample)
    {
        const std::int64_t sum = std::int64_t{Step()} + Step() + sample;
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(sum, INT32_MIN, INT32_MAX));
    }

private:
    static std::int32_t Next(std::int32_t s)
    {
        if (s <= 127773) return static_cast<std::int32_t>(static_cast<std::uint32_t>(s) * 16807u) % 2147483647;
        const std::int32_t next = 16807 * (s % 127773) - 2836 * (s / 127773);
        return next > 0 ? next : next + 2147483647;
    }
    std::int32_t Step()
    {
        const int j = index_ >= 147 ? index_ - 147 : index_ + 103;
        const std::int32_t word = words_[index_] ^= words_[j];
        index_ = index_ == 249 ? 0 : index_ + 1;
        return word;
    }

    std::int32_t words_[250];
    int index_ = 0;
};

}  // namespace

class DitherTest : public StreamTest {};

TEST_F(DitherTest, AnAnalogRecordingIsDitheredBitExactFromItsSeed)
{
    constexpr DWORD kHeaders = 5;
    // Inputs near both ends, so that the saturation is met too.
    std::vector<std::int32_t> inputs[2];
    std::uint32_t state = 0x9E3779B9;
    for (auto& input : inputs) {
        input = {0x7FFFFFFF, static_cast<std::int32_t>(0x80000000), 0x12000000, 0};
        while (input.size() < 37) input.push_back(static_cast<std::int32_t>(state = state * 1664525u + 1013904223u));
    }
    Hooks().SetInputSignal(0, machine::Signal::Samples(inputs[0]));
    Hooks().SetInputSignal(1, machine::Signal::Samples(inputs[1]));
    WAVEINCAPSW caps{};
    ASSERT_EQ(Client().GetDevCaps(kAnalogIn, caps), MMSYSERR_NOERROR);  // the device list is built

    // A seed of each branch of the generator: the wrapping product (a
    // negative seed), the ordinary one, and one above 127773.
    for (const std::uint32_t seed : {0xFFFFFFFBu, 0x80000001u, 12345u, 127774u, 0x7FFFFFFFu})
        for (WORD bits : {8, 16})
            for (WORD channels : {1, 2}) {
                SCOPED_TRACE(testing::Message() << "seed " << std::hex << seed << std::dec << ", " << channels
                                                << " x " << bits << " bits");
                const unsigned bytes = bits / 8u;
                const DWORD block = channels * bytes;
                win32::FixNextPerformanceCount(seed);
                hosts::WaveStream& stream = OpenStream(WaveDirection::In, kAnalogIn, channels, bits);
                hosts::WaveBuffer& buffer = Buffer(stream, kHeaders * kPeriod * block);
                Queue(stream, buffer);
                const std::size_t created = win32::CreatedThreads().size();
                EXPECT_EQ(Client().Start(stream), MMSYSERR_NOERROR);
                const DWORD worker = NewWorker(created);
                ASSERT_NE(worker, 0u);
                StepServiced(worker, kHeaders);
                ASSERT_EQ(stream.Count(WIM_DATA), 1u);

                ReferenceDither dither(static_cast<std::int32_t>(seed), bits);
                std::vector<BYTE> expected;
                for (DWORD f = 0; f < kHeaders * kPeriod; ++f) {
                    // Both pipes' samples get their noise, mono or stereo.
                    const std::int32_t first = dither.Add(inputs[0][f % inputs[0].size()]);
                    const std::int32_t second = dither.Add(inputs[1][f % inputs[1].size()]);
                    for (BYTE b : ClientSample(first, bytes)) expected.push_back(b);
                    if (channels == 2)
                        for (BYTE b : ClientSample(second, bytes)) expected.push_back(b);
                }
                const auto data = buffer.Data();
                EXPECT_EQ(std::vector<BYTE>(data.begin(), data.end()), expected);
                EXPECT_EQ(Client().Reset(stream), MMSYSERR_NOERROR);
                EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
            }
}
