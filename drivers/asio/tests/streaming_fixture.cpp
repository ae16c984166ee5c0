#include "streaming_fixture.h"

Streaming::~Streaming()
{
    // A failed test may leave a switch held; the tear-down must not wait for it for ever.
    try {
        Host().ReleaseHold();
    } catch (const std::logic_error&) {
        // no buffers were made
    }
}

void Streaming::Create(std::initializer_list<hosts::AsioBufferRequest> channels, LONG bufferSize,
                       const hosts::AsioStreamOptions& options)
{
    ASSERT_EQ(host_.CreateBuffers(channels, bufferSize, options), ASE_OK);
}

void Streaming::StartStreaming()
{
    ASSERT_EQ(host_.Start(), ASE_OK);
    ASSERT_EQ(Switches(), 2u) << "start's pre-fills";
}

void Streaming::Step(std::initializer_list<std::size_t> cards)
{
    const std::size_t before = Switches();
    for (const std::size_t card : cards) Hooks(card).Advance(1);
    ASSERT_TRUE(Host().WaitForSwitches(before + 1, kWait)) << "switch " << before;
}

std::int64_t Streaming::Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

hosts::AsioSwitchRecord Streaming::SwitchAt(std::size_t n)
{
    const std::vector<hosts::AsioSwitchRecord> records = Host().Switches();
    if (n >= records.size()) {
        ADD_FAILURE() << "no switch " << n << " among " << records.size();
        return {};
    }
    return records[n];
}

std::uint64_t Streaming::SamplePosition()
{
    std::uint64_t position = 0, stamp = 0;
    EXPECT_EQ(host_.SamplePosition(&position, &stamp), ASE_OK);
    return position;
}

std::size_t Streaming::TransportCount()
{
    std::size_t transports = 0;
    for (std::size_t i = 0; i < Machine().CardCount(); ++i) transports += Hooks(i).Transports().size();
    return transports;
}

std::vector<std::int32_t> RampPlayed(std::size_t output, std::size_t frames)
{
    std::vector<std::int32_t> ramp(frames);
    for (std::size_t f = 0; f < frames; ++f) ramp[f] = hosts::OutputRamp(output, f);
    return ramp;
}
