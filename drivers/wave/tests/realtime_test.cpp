// One stream in real time: the card's clock runs at 48 kHz on its own
// thread and the client keeps four headers in rotation from its callback.
#include <atomic>
#include <cstring>

#include "wave_fixture.h"

namespace {

constexpr DWORD kRate = 48000;
constexpr DWORD kWaveBufferSize = 512;
constexpr DWORD kHeaderFrames = 4096;
constexpr DWORD kHeaders = 4;
constexpr DWORD kTotalHeaders = 24;  // 2 s and a little more
constexpr DWORD kTotalFrames = kTotalHeaders * kHeaderFrames;

// 32-bit stereo frames counting from `first`: frame i is (i + 1, -(i + 1)).
void Ramp(BYTE* data, DWORD first, DWORD frames)
{
    for (DWORD i = 0; i < frames; ++i) {
        const auto left = static_cast<std::int32_t>(first + i + 1);
        const std::int32_t right = -left;
        std::memcpy(data + 8 * i, &left, 4);
        std::memcpy(data + 8 * i + 4, &right, 4);
    }
}

}  // namespace

class RealTimeTest : public WaveTest {};

// Four headers of 4096 frames in rotation, each written again from its own
// WOM_DONE with the ramp's next frames, on a card whose wave buffer is 512.
TEST_F(RealTimeTest, TwoSecondsOfARampPlayWithNoGapOrRepeat)
{
    Boot(machine_testing::Cards({"default"}), {.clock = machine::ClockMode::RealTime});
    Hooks().SetWaveBufferSizeRaw(kWaveBufferSize);
    Hooks().SetPlayedLimit(2 * kTotalFrames);
    hosts::WaveClient& client = Load();
    hosts::WaveStream& stream = client.Open({.direction = WaveDirection::Out,
                                             .device = 0,
                                             .format = hosts::PcmFormat(2, kRate, 32),
                                             .callback = WaveCallback::Function});
    ASSERT_EQ(stream.OpenResult(), MMSYSERR_NOERROR);
    std::vector<std::unique_ptr<hosts::WaveBuffer>> buffers;
    for (DWORD i = 0; i < kHeaders; ++i) {
        buffers.push_back(std::make_unique<hosts::WaveBuffer>(kHeaderFrames * 8));
        ASSERT_EQ(client.Prepare(stream, buffers.back()->Header()), MMSYSERR_NOERROR);
        Ramp(buffers.back()->Data().data(), i * kHeaderFrames, kHeaderFrames);
    }
    std::atomic<DWORD> written{kHeaders};
    std::atomic<int> refused{0};
    stream.OnNotification([&](const hosts::WaveNotification& n) {
        if (n.message != WOM_DONE || written >= kTotalHeaders) return;
        auto* header = reinterpret_cast<WAVEHDR*>(n.param1);
        Ramp(reinterpret_cast<BYTE*>(header->lpData), written++ * kHeaderFrames, kHeaderFrames);
        if (client.Write(stream, *header) != MMSYSERR_NOERROR) ++refused;
    });
    Hooks().ClearPlayed();
    for (auto& buffer : buffers) ASSERT_EQ(client.Write(stream, buffer->Header()), MMSYSERR_NOERROR);

    // 2 s of audio, and time to spare on a busy machine.
    ASSERT_TRUE(stream.WaitFor(WOM_DONE, kTotalHeaders, 20000));
    // Two periods later the ring has played out.
    const DWORD played = client.WaitForPosition(stream, kTotalFrames * 8, 1000);
    EXPECT_EQ(played, kTotalFrames * 8);
    Sleep(2 * 1000 * kWaveBufferSize / kRate + 50);
    EXPECT_EQ(client.Reset(stream), MMSYSERR_NOERROR);
    EXPECT_EQ(refused, 0);

    // Every header came back once, in rotation order.
    std::vector<const WAVEHDR*> returned;
    for (const auto& n : stream.Notifications())
        if (n.message == WOM_DONE) returned.push_back(reinterpret_cast<const WAVEHDR*>(n.param1));
    ASSERT_EQ(returned.size(), kTotalHeaders);
    for (DWORD i = 0; i < kTotalHeaders; ++i) EXPECT_EQ(returned[i], &buffers[i % kHeaders]->Header()) << i;

    // The capture is the ramp, with no gap and no repeat, then silence.
    const auto left = Hooks().Played(0), right = Hooks().Played(1);
    ASSERT_GE(left.size(), kTotalFrames);
    ASSERT_EQ(right.size(), left.size());
    for (DWORD f = 0; f < left.size(); ++f) {
        const std::int32_t expected = f < kTotalFrames ? static_cast<std::int32_t>(f + 1) : 0;
        if (left[f] != expected || right[f] != -expected) {
            ADD_FAILURE() << "frame " << f << " played " << left[f] << ", " << right[f] << " for " << expected;
            break;
        }
    }
    EXPECT_EQ(client.Close(stream), MMSYSERR_NOERROR);
}
