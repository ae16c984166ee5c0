// Streaming tests: the default card with a wave buffer of 4 frames (a ring
// of 8), the driver loaded, streams opened through the wave client, and the
// card's manual clock stepped one period at a time. After each step a test
// waits, with a deadline, for what the worker does with that period.
#pragma once

#include <cstring>
#include <deque>
#include <memory>
#include <span>
#include <vector>

#include "wave_fixture.h"
#include "win32/thread_probe.h"

namespace sim = machine::sim;

// Generous: the worker only has to wake, but other builds share the machine.
constexpr DWORD kDeadlineMs = 10000;
constexpr DWORD kPeriod = 4;            // frames per card period
constexpr DWORD kRing = 2 * kPeriod;    // frames in the stream's ring

class StreamTest : public WaveTest {
public:
    StreamTest() : createdBefore_(win32::CreatedThreads().size())
    {
        Hooks().SetWaveBufferSizeRaw(kPeriod);
        Load();
    }
    // The driver goes before the buffers its streams may still hold.
    ~StreamTest() override { Unload(); }

    hosts::WaveStream& OpenStream(WaveDirection direction, UINT device, WORD channels, WORD bits,
                                  DWORD rate = 48000)
    {
        hosts::WaveStream& stream = Client().Open({.direction = direction,
                                                   .device = device,
                                                   .format = hosts::PcmFormat(channels, rate, bits),
                                                   .callback = WaveCallback::Function});
        EXPECT_EQ(stream.OpenResult(), MMSYSERR_NOERROR) << "device " << device;
        return stream;
    }

    // A buffer of the test's, prepared for `stream`; `offset` places its data off alignment.
    hosts::WaveBuffer& Buffer(const hosts::WaveStream& stream, std::span<const BYTE> data, std::size_t offset = 0)
    {
        hosts::WaveBuffer& buffer = *buffers_.emplace_back(std::make_unique<hosts::WaveBuffer>(data, offset));
        EXPECT_EQ(Client().Prepare(stream, buffer.Header()), MMSYSERR_NOERROR);
        return buffer;
    }
    hosts::WaveBuffer& Buffer(const hosts::WaveStream& stream, std::size_t bytes, std::size_t offset = 0)
    {
        return Buffer(stream, std::vector<BYTE>(bytes), offset);
    }
    // Queues a buffer: WRITE for playback, ADDBUFFER for record.
    void Queue(const hosts::WaveStream& stream, hosts::WaveBuffer& buffer)
    {
        const MMRESULT result = stream.Direction() == WaveDirection::Out
                                    ? Client().Write(stream, buffer.Header())
                                    : Client().AddBuffer(stream, buffer.Header());
        EXPECT_EQ(result, MMSYSERR_NOERROR);
    }

    // One period of the card's clock; the worker is to bring the stream's position to `bytes`.
    void Step(const hosts::WaveStream& stream, DWORD bytes)
    {
        Hooks().Advance(1);
        ASSERT_EQ(Client().WaitForPosition(stream, bytes, kDeadlineMs), bytes) << "the worker did not move the period";
        Settle();
    }
    // One period whose effect is the n-th notification of `message`.
    void StepUntil(const hosts::WaveStream& stream, UINT message, std::size_t count)
    {
        Hooks().Advance(1);
        ASSERT_TRUE(stream.WaitFor(message, count, kDeadlineMs)) << "no notification " << message << " #" << count;
        Settle();
    }
    // The ring's last two periods, once the workers have filled it.
    void PlayOut()
    {
        Settle();
        Hooks().Advance(kRing / kPeriod);
    }
    // Every worker this thread started has finished its service: it is
    // blocked in its next wait, or has ended. The position or a
    // notification shows while the worker is still in its service.
    void Settle()
    {
        const auto created = win32::CreatedThreads();
        for (std::size_t i = createdBefore_; i < created.size(); ++i) {
            win32::ThreadWaits waits;
            if (created[i].creatorId != GetCurrentThreadId() || !win32::ProbeThread(created[i].threadId, &waits) ||
                waits.startReturned)
                continue;
            ASSERT_TRUE(win32::WaitUntilBlocked(created[i].threadId, 0, kDeadlineMs)) << "a worker did not settle";
        }
    }

    // ---- Lockstep with the worker, through the wait probe ----------------------------------
    // The one thread this thread made since `createdBefore` threads had been made
    // (the worker a WRITE or START has just started), once it is blocked in its
    // first wait; 0 when there is none.
    static DWORD NewWorker(std::size_t createdBefore)
    {
        const auto created = win32::CreatedThreads();
        for (std::size_t i = createdBefore; i < created.size(); ++i) {
            if (created[i].creatorId != GetCurrentThreadId()) continue;
            EXPECT_TRUE(win32::WaitUntilBlocked(created[i].threadId, 0, kDeadlineMs)) << "the worker does not wait";
            return created[i].threadId;
        }
        return 0;
    }
    // One period, and the worker has serviced it: it woke, took its semaphore
    // (a wait that returns at once) and is blocked in its next event wait.
    // Two waits at least, so that an event wait that timed out on its own
    // just before the step does not count.
    void StepServiced(DWORD worker, unsigned periods = 1)
    {
        for (unsigned k = 0; k < periods; ++k) {
            win32::ThreadWaits waits;
            ASSERT_TRUE(win32::ProbeThread(worker, &waits));
            Hooks().Advance(1);
            ASSERT_TRUE(win32::WaitUntilBlocked(worker, waits.waitsEntered + 1, kDeadlineMs))
                << "the worker did not service the period";
        }
    }

    // GETPOS in bytes.
    DWORD Position(const hosts::WaveStream& stream)
    {
        MMTIME time{};
        time.wType = TIME_BYTES;
        EXPECT_EQ(Client().GetPosition(stream, time), MMSYSERR_NOERROR);
        return time.u.cb;
    }

    // The headers the stream had back, in order.
    static std::vector<const WAVEHDR*> Returned(const hosts::WaveStream& stream)
    {
        const UINT done = stream.Direction() == WaveDirection::Out ? WOM_DONE : WIM_DATA;
        std::vector<const WAVEHDR*> headers;
        for (const hosts::WaveNotification& n : stream.Notifications())
            if (n.message == done) headers.push_back(reinterpret_cast<const WAVEHDR*>(n.param1));
        return headers;
    }

    // What the card played on a pipe since the last clear.
    std::vector<std::int32_t> Played(unsigned pipe) { return Hooks().Played(pipe); }

private:
    const std::size_t createdBefore_;  // threads made before the test
    std::deque<std::unique_ptr<hosts::WaveBuffer>> buffers_;
};

// The card's sample for a client sample of `bytes` bytes, straight from the
// conversion table: unsigned 8-bit, signed 16, 24 and 32-bit little-endian.
inline std::int32_t CardSample(const BYTE* sample, unsigned bytes)
{
    switch (bytes) {
    case 1:
        return (static_cast<std::int32_t>(sample[0]) - 128) * (1 << 24);
    case 2:
        return static_cast<std::int16_t>(sample[0] | sample[1] << 8) * (1 << 16);
    case 3:
        return static_cast<std::int32_t>(std::uint32_t{sample[0]} << 8 | std::uint32_t{sample[1]} << 16 |
                                         std::uint32_t{sample[2]} << 24);
    default: {
        std::int32_t value;
        std::memcpy(&value, sample, 4);
        return value;
    }
    }
}

// The client's bytes for a card sample recorded at `bytes` bytes, truncated.
inline std::vector<BYTE> ClientSample(std::int32_t sample, unsigned bytes)
{
    const auto u = static_cast<std::uint32_t>(sample);
    switch (bytes) {
    case 1:
        return {static_cast<BYTE>((sample >> 24) + 128)};
    case 2:
        return {static_cast<BYTE>(u >> 16), static_cast<BYTE>(u >> 24)};
    case 3:
        return {static_cast<BYTE>(u >> 8), static_cast<BYTE>(u >> 16), static_cast<BYTE>(u >> 24)};
    default:
        return {static_cast<BYTE>(u), static_cast<BYTE>(u >> 8), static_cast<BYTE>(u >> 16),
                static_cast<BYTE>(u >> 24)};
    }
}

// 16-bit stereo frames whose samples count frames: frame i is (i + 1, -(i + 1)), so that
// a frame out of place, played twice or not at all shows in the capture.
inline std::vector<BYTE> CountingFrames(DWORD first, DWORD frames)
{
    std::vector<BYTE> data(frames * 4);
    for (DWORD i = 0; i < frames; ++i) {
        const auto left = static_cast<std::int16_t>(first + i + 1);
        const auto right = static_cast<std::int16_t>(-left);
        std::memcpy(&data[4 * i], &left, 2);
        std::memcpy(&data[4 * i + 2], &right, 2);
    }
    return data;
}

// The card samples of those frames on the first and the second pipe; 0 is silence.
inline std::int32_t CountedSample(DWORD index, unsigned pipe)
{
    const std::int32_t value = static_cast<std::int32_t>(index + 1) * (1 << 16);
    return pipe == 0 ? value : -value;
}
