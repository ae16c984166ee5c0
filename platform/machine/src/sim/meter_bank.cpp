// Meters from the card's mix.
#include "meter_bank.h"

#include <algorithm>
#include <cmath>

#include "signal_source.h"

namespace machine::sim {
namespace {

constexpr double kFullScale = 2147483648.0;

double GainToLinear(std::int32_t gain) noexcept { return std::pow(10.0, gain / 256.0 / 20.0); }

bool Audible(const RouteState& route) noexcept { return route.mute == 0 && route.gain > kMeterFloor; }

// Busses pair as left (even) and right (odd); a pan of 500 leaves both at full level.
double PanFactor(std::uint32_t pan, unsigned bus) noexcept
{
    const double p = std::min<std::uint32_t>(pan, 1000);
    return bus % 2 == 0 ? std::min(1.0, (1000.0 - p) / 500.0) : std::min(1.0, p / 500.0);
}

template <std::size_t N>
void Fall(std::array<std::int32_t, N>& levels, double amount)
{
    for (std::int32_t& level : levels)
        level = static_cast<std::int32_t>(std::max<double>(kMeterFloor, level - amount));
}

template <std::size_t N>
void Rise(std::array<std::int32_t, N>& levels, std::span<const double> peaks)
{
    for (std::size_t i = 0; i < peaks.size() && i < N; ++i)
        levels[i] = std::max(levels[i], MeterBank::PeakToLevel(peaks[i]));
}

}  // namespace

void MeterBank::Reset()
{
    pipeLevels_.fill(kMeterFloor);
    busLevels_.fill(kMeterFloor);
    inputLevels_.fill(kMeterFloor);
    pipeOverrides_.fill(std::nullopt);
    busOverrides_.fill(std::nullopt);
    inputOverrides_.fill(std::nullopt);
    cardFrame_ = 0;
}

std::int32_t MeterBank::PeakToLevel(double peak) noexcept
{
    if (!(peak > 0.0)) return kMeterFloor;
    const double level = std::round(20.0 * std::log10(peak / kFullScale) * 256.0);
    return static_cast<std::int32_t>(std::clamp<double>(level, kMeterFloor, 0.0));
}

void MeterBank::CollectRoutes(const MixerState& mixer)
{
    monitorRoutes_.clear();
    pipeRoutes_.clear();
    for (unsigned bus = 0; bus < mixer.outputBusses && bus < kBusses; ++bus) {
        const BusOutState& out = mixer.busOut[bus];
        busCoefficient_[bus] = out.mute != 0 ? 0.0 : GainToLinear(out.gain);
        for (unsigned input = 0; input < mixer.inputBusses && input < kInputs; ++input) {
            const RouteState& route = mixer.Monitor(input, bus);
            if (Audible(route))
                monitorRoutes_.push_back({input, bus, GainToLinear(route.gain) * PanFactor(route.pan, bus)});
        }
        for (unsigned pipe = 0; pipe < mixer.outputPipes && pipe < kPipes; ++pipe) {
            const RouteState& route = mixer.Pipe(pipe, bus);
            if (Audible(route))
                pipeRoutes_.push_back({pipe, bus, GainToLinear(route.gain) * PanFactor(route.pan, bus)});
        }
    }
}

void MeterBank::Run(const MixerState& mixer, std::span<const Signal> inputs, std::span<PipeHistory> pipes,
                    std::uint64_t frames, double rate, double seconds)
{
    CollectRoutes(mixer);
    const unsigned inputCount = std::min<unsigned>({mixer.inputBusses, kInputs, static_cast<unsigned>(inputs.size())});
    const unsigned pipeCount = std::min<unsigned>({mixer.outputPipes, kPipes, static_cast<unsigned>(pipes.size())});
    const unsigned busCount = std::min<unsigned>(mixer.outputBusses, kBusses);

    std::array<double, kInputs> inputPeak{}, inputSample{};
    std::array<double, kPipes> pipePeak{}, pipeSample{};
    std::array<double, kBusses> busPeak{}, busSum{};
    for (std::uint64_t f = 0; f < frames; ++f, ++cardFrame_) {
        for (unsigned i = 0; i < inputCount; ++i) {
            const Signal& signal = inputs[i];
            const PipeHistory* loop = signal.kind == Signal::Kind::Loopback && signal.loopbackPipe < pipes.size()
                                          ? &pipes[signal.loopbackPipe]
                                          : nullptr;
            inputSample[i] = SignalSample(signal, cardFrame_, rate, loop, frames - 1 - f);
            inputPeak[i] = std::max(inputPeak[i], std::abs(inputSample[i]));
        }
        for (unsigned p = 0; p < pipeCount; ++p) {
            pipeSample[p] = pipes[p].NextForMeter();
            pipePeak[p] = std::max(pipePeak[p], std::abs(pipeSample[p]));
        }
        busSum.fill(0.0);
        for (const Route& route : monitorRoutes_)
            busSum[route.bus] += inputSample[route.source] * route.coefficient;
        for (const Route& route : pipeRoutes_)
            busSum[route.bus] += pipeSample[route.source] * route.coefficient;
        for (unsigned b = 0; b < busCount; ++b)
            busPeak[b] = std::max(busPeak[b], std::min(kFullScale, std::abs(busSum[b] * busCoefficient_[b])));
    }
    const double fall = kFallPerSecond * seconds;
    Fall(inputLevels_, fall);
    Fall(pipeLevels_, fall);
    Fall(busLevels_, fall);
    Rise(inputLevels_, std::span<const double>(inputPeak.data(), inputCount));
    Rise(pipeLevels_, std::span<const double>(pipePeak.data(), pipeCount));
    Rise(busLevels_, std::span<const double>(busPeak.data(), busCount));
}

std::int32_t MeterBank::Level(MeterGroup group, unsigned index) const noexcept
{
    switch (group) {
    case MeterGroup::Pipe:
        return index < kPipes ? pipeOverrides_[index].value_or(pipeLevels_[index]) : kMeterFloor;
    case MeterGroup::OutputBus:
        return index < kBusses ? busOverrides_[index].value_or(busLevels_[index]) : kMeterFloor;
    case MeterGroup::Input:
        return index < kInputs ? inputOverrides_[index].value_or(inputLevels_[index]) : kMeterFloor;
    }
    return kMeterFloor;
}

void MeterBank::SetOverride(MeterGroup group, unsigned index, std::optional<std::int32_t> level)
{
    switch (group) {
    case MeterGroup::Pipe:
        if (index < kPipes) pipeOverrides_[index] = level;
        break;
    case MeterGroup::OutputBus:
        if (index < kBusses) busOverrides_[index] = level;
        break;
    case MeterGroup::Input:
        if (index < kInputs) inputOverrides_[index] = level;
        break;
    }
}

}  // namespace machine::sim
