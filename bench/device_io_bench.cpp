// What one mixer-message round trip through DeviceIoControl costs, against
// a plain function call doing the same copy, measured in the same run:
//   - the console's request: one message (1060 bytes), a bus gain read;
//   - the ASIO driver's request: three monitor settings (3172 bytes).
// The round trip is the whole way a program's request goes: the handle,
// the system buffer, the card driver's file, its lock, the request log and
// the mixer, then the reply copied back. The plain call copies the request
// into a buffer, answers each message and copies it back. Each benchmark
// boots a machine of its own with the default card, whose clock stays
// manual (nothing streams here). The median rows give the round trip's
// time, the plain call's and their ratio.
#include <array>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <machine/sim_records.h>
#include <machine_testing/test_machine.h>
#include <windows.h>

namespace {

using machine::sim::MixerMessage;

constexpr DWORD RequestSize(std::uint32_t messages)
{
    return static_cast<DWORD>(sizeof(std::uint32_t) + messages * sizeof(MixerMessage));
}

// A mixer request as the programs build it: the count, then the messages.
class MixerRequest {
public:
    explicit MixerRequest(std::uint32_t count) : bytes_(RequestSize(count))
    {
        std::memcpy(bytes_.data(), &count, sizeof count);
    }

    DWORD size() const { return static_cast<DWORD>(bytes_.size()); }
    std::uint32_t count() const { return (bytes_.size() - sizeof(std::uint32_t)) / sizeof(MixerMessage); }
    BYTE* data() { return bytes_.data(); }

    // Message i's header and its first parameter word (at 0x10), with the
    // bus at 0x10 and the value at 0x14 for the routed form.
    void Set(std::uint32_t i, std::uint32_t command, std::uint16_t channel, std::uint32_t kind)
    {
        MixerMessage m{};
        m.reserved = 0xFFFF;
        m.channel = channel;
        m.kind = kind;
        m.command = command;
        std::memcpy(At(i), &m, sizeof m);
    }
    void SetRouted(std::uint32_t i, std::uint16_t bus, std::uint32_t value)
    {
        std::memcpy(At(i) + 0x10, &bus, sizeof bus);
        std::memcpy(At(i) + 0x14, &value, sizeof value);
    }
    std::uint32_t Status(std::uint32_t i) const
    {
        std::uint32_t status = 0;
        std::memcpy(&status, bytes_.data() + sizeof(std::uint32_t) + i * sizeof(MixerMessage) + 0x0C, sizeof status);
        return status;
    }

private:
    BYTE* At(std::uint32_t i) { return bytes_.data() + sizeof(std::uint32_t) + i * sizeof(MixerMessage); }

    std::vector<BYTE> bytes_;
};

MixerRequest ConsoleGainRead()
{
    MixerRequest request(1);
    request.Set(0, machine::sim::CMD_GET_GAIN, 0, machine::sim::CHANNEL_BUS_OUT);
    return request;
}

// Input 0 to output bus 1: muted off, centred, at -6 dB.
MixerRequest AsioMonitorSettings()
{
    MixerRequest request(3);
    request.Set(0, machine::sim::CMD_SET_MONITOR_MUTE, 0, 0xFFFFFFFF);
    request.SetRouted(0, 1, 0);
    request.Set(1, machine::sim::CMD_SET_MONITOR_PAN, 0, 0xFFFFFFFF);
    request.SetRouted(1, 1, 500);
    request.Set(2, machine::sim::CMD_SET_MONITOR_GAIN, 0, 0xFFFFFFFF);
    request.SetRouted(2, 1, static_cast<std::uint32_t>(-6 * 256));
    return request;
}

// The baseline: what the request needs without any layer between, a copy
// into a buffer, a status and a reply word per message, a copy back.
struct PlainMixer {
    std::array<std::int32_t, 32> gains{};
    std::vector<BYTE> system = std::vector<BYTE>(RequestSize(machine::sim::kMaxMixerMessages));
};

[[gnu::noinline]] BOOL PlainMixerCall(PlainMixer& mixer, const BYTE* in, DWORD inSize, BYTE* out, DWORD outSize,
                                      DWORD& returned)
{
    if (inSize != outSize || inSize > mixer.system.size()) return FALSE;
    std::memcpy(mixer.system.data(), in, inSize);
    std::uint32_t count = 0;
    std::memcpy(&count, mixer.system.data(), sizeof count);
    if (count == 0 || RequestSize(count) != inSize) return FALSE;
    for (std::uint32_t i = 0; i < count; ++i) {
        BYTE* message = mixer.system.data() + sizeof(std::uint32_t) + i * sizeof(MixerMessage);
        std::uint16_t channel = 0;
        std::memcpy(&channel, message + 0x02, sizeof channel);
        const std::uint32_t status = machine::sim::kStatusDone;
        std::memcpy(message + 0x0C, &status, sizeof status);
        std::memcpy(message + 0x10, &mixer.gains[channel % mixer.gains.size()], sizeof(std::int32_t));
    }
    std::memcpy(out, mixer.system.data(), outSize);
    returned = outSize;
    return TRUE;
}

// The card opened as a program opens it.
class OpenCard {
public:
    explicit OpenCard(const std::string& path)
        : file_(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr))
    {
    }
    ~OpenCard()
    {
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    }
    OpenCard(const OpenCard&) = delete;
    OpenCard& operator=(const OpenCard&) = delete;

    HANDLE handle() const { return file_; }

private:
    HANDLE file_;
};

// True when every message of the answered request is done.
bool AllDone(const MixerRequest& request)
{
    for (std::uint32_t i = 0; i < request.count(); ++i)
        if (request.Status(i) != machine::sim::kStatusDone) return false;
    return true;
}

// Each iteration sends the request `batch` times through DeviceIoControl
// and then makes the plain call as often, so that both meet the same load;
// the iteration's time is one round trip's, and the counters give the plain
// call's time and the ratio.
void RoundTrips(benchmark::State& state, MixerRequest request)
{
    machine_testing::TestMachine machine;
    OpenCard card(machine.InterfacePath(0));
    DWORD returned = 0;
    auto send = [&] {
        return DeviceIoControl(card.handle(), machine::sim::IOCTL_MIXER_MESSAGE, request.data(), request.size(),
                               request.data(), request.size(), &returned, nullptr);
    };
    if (card.handle() == INVALID_HANDLE_VALUE || send() != TRUE || returned != request.size() ||
        !AllDone(request)) {
        state.SkipWithError("the card did not answer the mixer request");
        return;
    }
    using Clock = std::chrono::steady_clock;
    constexpr int batch = 64;
    PlainMixer plain;
    std::chrono::duration<double, std::nano> device{0}, direct{0};
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        for (int i = 0; i < batch; ++i) benchmark::DoNotOptimize(send());
        const Clock::time_point sent = Clock::now();
        for (int i = 0; i < batch; ++i)
            benchmark::DoNotOptimize(
                PlainMixerCall(plain, request.data(), request.size(), request.data(), request.size(), returned));
        const Clock::time_point called = Clock::now();
        state.SetIterationTime(std::chrono::duration<double>(sent - start).count() / batch);
        device += sent - start;
        direct += called - sent;
    }
    const double calls = static_cast<double>(state.iterations()) * batch;
    if (calls == 0.0 || direct.count() <= 0.0) return;
    state.counters["plain_call_ns"] = direct.count() / calls;
    state.counters["ratio"] = device / direct;
}

void ConsoleMessage(benchmark::State& state) { RoundTrips(state, ConsoleGainRead()); }
void AsioMessages(benchmark::State& state) { RoundTrips(state, AsioMonitorSettings()); }

// A fixed count of iterations: the iteration's time is one round trip of
// the 2 x 64 calls it makes, so a minimum time would run far too long.
void Configure(benchmark::internal::Benchmark* benchmark)
{
    benchmark->UseManualTime()->Repetitions(9)->ReportAggregatesOnly(true)->Iterations(20000);
}

BENCHMARK(ConsoleMessage)->Apply(Configure);
BENCHMARK(AsioMessages)->Apply(Configure);

}  // namespace

BENCHMARK_MAIN();
