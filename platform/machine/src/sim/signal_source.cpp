// Input signals.
#include "signal_source.h"

#include <cmath>
#include <numbers>

namespace machine::sim {

std::int32_t SignalSample(const Signal& signal, std::uint64_t frame, double rate, const PipeHistory* loopback,
                          std::uint64_t loopbackAgo) noexcept
{
    switch (signal.kind) {
    case Signal::Kind::Silence:
        return 0;
    case Signal::Kind::Tone: {
        const double amplitude = 2147483647.0 * std::pow(10.0, signal.levelDb / 20.0);
        // The phase is taken modulo the tone's period so that long runs keep their precision.
        const double cycles = std::fmod(static_cast<double>(frame) * signal.frequency / rate, 1.0);
        return static_cast<std::int32_t>(std::lround(amplitude * std::sin(2.0 * std::numbers::pi * cycles)));
    }
    case Signal::Kind::Ramp:
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(frame) *
                                         static_cast<std::uint32_t>(signal.rampStep));
    case Signal::Kind::Samples:
        return signal.samples.empty() ? 0 : signal.samples[frame % signal.samples.size()];
    case Signal::Kind::Loopback:
        return loopback != nullptr ? loopback->Back(loopbackAgo) : 0;
    }
    return 0;
}

Signal DefaultInputSignal(unsigned input)
{
    return Signal::Tone(220.0 * (1.0 + 0.25 * input), -30.0 - 0.5 * input);
}

}  // namespace machine::sim
