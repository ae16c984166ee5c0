// asio-host [--rate HZ] [--stream SECONDS [--size FRAMES] [--outputs LIST] [--inputs LIST]] [DRIVER]
//
// Lists the ASIO drivers registered on the machine in $ZAVO_MACHINE, loads
// one (the first listed unless named) as an audio application would, prints
// what it offers, optionally sets its sample rate and streams a ramp through
// it in real time, and releases it. The streaming report says how many
// buffer switches came, whether any half was missed or repeated, the
// re-synchronisation requests, and whether the switch thread got real-time
// scheduling.
#include <sched.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include <windows.h>

#include "hosts/asio_host.h"

namespace {

constexpr ASIOSampleRate kCommonRates[] = {32000, 44100, 48000, 88200, 96000, 176400, 192000};
constexpr char kUsage[] =
    "usage: asio-host [--rate HZ] [--stream SECONDS [--size FRAMES] [--outputs LIST] [--inputs LIST]] [DRIVER]\n"
    "       LIST: channel numbers such as 0,1,4, or all, or none\n";

struct Options {
    std::string driverName;
    double newRate = 0;
    std::optional<double> streamSeconds;
    LONG bufferSize = 0;  // 0: the driver's preferred size
    std::string outputs = "all";
    std::string inputs = "all";
};

// A channel list of `count` channels; nothing when it names no channel of them.
std::optional<std::vector<LONG>> ParseChannels(const std::string& list, LONG count)
{
    std::vector<LONG> channels;
    if (list == "none") return channels;
    if (list == "all") {
        for (LONG channel = 0; channel < count; ++channel) channels.push_back(channel);
        return channels;
    }
    const char* at = list.c_str();
    while (*at) {
        char* end = nullptr;
        const long channel = std::strtol(at, &end, 10);
        if (end == at || channel < 0 || channel >= count || (*end != ',' && *end != '\0')) return std::nullopt;
        channels.push_back(static_cast<LONG>(channel));
        at = *end == ',' ? end + 1 : end;
    }
    return channels;
}

void PrintChannels(const char* direction, const std::vector<ASIOChannelInfo>& channels)
{
    std::printf("%s channels: %zu\n", direction, channels.size());
    for (const ASIOChannelInfo& info : channels)
        std::printf("  %3d  %s%s\n", static_cast<int>(info.channel), info.name, info.isActive ? "  (in use)" : "");
}

void PrintDevice(hosts::AsioHost& host, const hosts::AsioChannels& channels)
{
    IASIO& asio = host.Driver();
    std::printf("Driver name: %s, version %d\n", host.DriverName().c_str(), static_cast<int>(asio.getDriverVersion()));

    if (channels.error != ASE_OK) std::printf("Channels: error %d\n", static_cast<int>(channels.error));
    PrintChannels("Input", channels.inputs);
    PrintChannels("Output", channels.outputs);

    LONG input = 0, output = 0;
    if (asio.getLatencies(&input, &output) == ASE_OK)
        std::printf("Latencies: input %d, output %d frames\n", static_cast<int>(input), static_cast<int>(output));
    LONG minimum = 0, maximum = 0, preferred = 0, granularity = 0;
    if (asio.getBufferSize(&minimum, &maximum, &preferred, &granularity) == ASE_OK)
        std::printf("Buffer size: min %d, max %d, preferred %d, granularity %d\n", static_cast<int>(minimum),
                    static_cast<int>(maximum), static_cast<int>(preferred), static_cast<int>(granularity));
    ASIOSampleRate rate = 0;
    if (asio.getSampleRate(&rate) == ASE_OK) std::printf("Sample rate: %g Hz\n", rate);
    std::printf("Sample rates the cards take:");
    for (const ASIOSampleRate common : kCommonRates)
        if (asio.canSampleRate(common) == ASE_OK) std::printf(" %g", common);
    std::printf("\n");

    ASIOClockSource clocks[8] = {};
    LONG count = 8;
    if (asio.getClockSources(clocks, &count) == ASE_OK)
        for (LONG i = 0; i < count && i < 8; ++i)
            std::printf("Clock source %d: %s%s\n", static_cast<int>(clocks[i].index), clocks[i].name,
                        clocks[i].isCurrentSource ? " (current)" : "");
    const bool monitoring = asio.future(kAsioCanInputMonitor, nullptr) == ASE_SUCCESS;
    std::printf("Direct monitoring: %s\n", monitoring ? "offered" : "not offered");
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to, const LARGE_INTEGER& frequency)
{
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Streams a ramp on the chosen channels; false when streaming could not run
// or a half was missed or repeated.
bool Stream(hosts::AsioHost& host, const Options& options, const hosts::AsioChannels& channels)
{
    const auto outputs = ParseChannels(options.outputs, static_cast<LONG>(channels.outputs.size()));
    const auto inputs = ParseChannels(options.inputs, static_cast<LONG>(channels.inputs.size()));
    if (!outputs || !inputs) {
        std::fprintf(stderr, "No such channel in --outputs %s or --inputs %s (%zu outputs, %zu inputs).\n",
                     options.outputs.c_str(), options.inputs.c_str(), channels.outputs.size(),
                     channels.inputs.size());
        return false;
    }
    std::vector<hosts::AsioBufferRequest> requests;
    for (const LONG channel : *outputs) requests.push_back({false, channel});
    for (const LONG channel : *inputs) requests.push_back({true, channel});

    IASIO& asio = host.Driver();
    LONG size = options.bufferSize;
    if (size == 0) {
        LONG minimum = 0, maximum = 0, granularity = 0;
        asio.getBufferSize(&minimum, &maximum, &size, &granularity);
    }
    ASIOSampleRate rate = 0;
    asio.getSampleRate(&rate);
    const double seconds = *options.streamSeconds;
    const auto expected = static_cast<std::size_t>(seconds * rate / size);
    const hosts::AsioStreamOptions stream{.supportsTimeInfo = 1, .switchCapacity = expected + 64};

    if (const ASIOError error = host.CreateBuffers(requests, size, stream); error != ASE_OK) {
        std::fprintf(stderr, "createBuffers failed: %d\n", static_cast<int>(error));
        return false;
    }
    LONG inputLatency = 0, outputLatency = 0;
    asio.getLatencies(&inputLatency, &outputLatency);
    std::printf("Streaming %g s: a ramp on %zu outputs, %zu inputs, %d frames at %g Hz (latencies: input %d, "
                "output %d frames)\n",
                seconds, outputs->size(), inputs->size(), static_cast<int>(size), rate,
                static_cast<int>(inputLatency), static_cast<int>(outputLatency));
    if (const ASIOError error = host.Start(); error != ASE_OK) {
        std::fprintf(stderr, "start failed: %d\n", static_cast<int>(error));
        return false;
    }
    LARGE_INTEGER frequency, started, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&started);
    for (int second = 1;; ++second) {
        const double left = seconds - (second - 1);
        if (left <= 0) break;
        Sleep(static_cast<DWORD>((left < 1 ? left : 1) * 1000));
        QueryPerformanceCounter(&now);
        std::printf("  %5.1f s  %zu switches\n", Seconds(started, now, frequency),
                    host.Callbacks().SwitchCount() - 2);
        std::fflush(stdout);
    }
    QueryPerformanceCounter(&now);
    host.Stop();
    const double elapsed = Seconds(started, now, frequency);

    // Every switch after the pre-fills takes the other half, one buffer on.
    const std::vector<hosts::AsioSwitchRecord> records = host.Callbacks().Switches();
    std::size_t broken = 0;
    for (std::size_t n = 1; n < records.size(); ++n)
        if (records[n].index != (records[n - 1].index ^ 1) ||
            records[n].samplePosition != records[n - 1].samplePosition + static_cast<std::uint64_t>(size))
            ++broken;
    const std::size_t switches = records.size() < 2 ? 0 : records.size() - 2;
    // The last period may still be under way.
    const auto periods = static_cast<std::size_t>(elapsed * rate / size);
    const std::size_t behind = periods > switches + 1 ? periods - switches - 1 : 0;
    const std::size_t missed = broken + behind;
    const bool fifo = records.size() > 2 && records.back().scheduler == SCHED_FIFO;

    std::printf("Switches: %zu after the 2 pre-fills, in %.2f s (%zu periods)\n", switches, elapsed, periods);
    std::printf("Missed or repeated halves: %zu\n", missed);
    std::printf("Re-synchronisation requests: %u\n", host.Callbacks().ResyncRequests());
    if (host.Callbacks().ResetRequested()) std::printf("The driver asked for a reset.\n");
    std::printf("Switch thread priority: %d\n", records.size() > 2 ? records.back().priority : 0);
    std::printf("Time-critical scheduling: %s\n",
                fifo ? "took (SCHED_FIFO)" : "did not take (the system refused real-time scheduling)");
    return missed == 0;
}

bool ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const bool more = i + 1 < argc;
        if (std::strcmp(argv[i], "--rate") == 0 && more) {
            options.newRate = std::strtod(argv[++i], nullptr);
        } else if (std::strcmp(argv[i], "--stream") == 0 && more) {
            options.streamSeconds = std::strtod(argv[++i], nullptr);
            if (!(*options.streamSeconds > 0)) return false;
        } else if (std::strcmp(argv[i], "--size") == 0 && more) {
            options.bufferSize = std::atoi(argv[++i]);
            if (options.bufferSize <= 0) return false;
        } else if (std::strcmp(argv[i], "--outputs") == 0 && more) {
            options.outputs = argv[++i];
        } else if (std::strcmp(argv[i], "--inputs") == 0 && more) {
            options.inputs = argv[++i];
        } else if (argv[i][0] != '-' && options.driverName.empty()) {
            options.driverName = argv[i];
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    const auto drivers = hosts::ListAsioDrivers();
    if (drivers.empty()) {
        std::fprintf(stderr, "No ASIO driver is registered: run regsvr first (regsvr ASIOZavoWDM.dll).\n");
        return 1;
    }
    std::printf("ASIO drivers:\n");
    for (const auto& driver : drivers)
        std::printf("  %s  %s  \"%s\"\n", driver.name.c_str(), driver.clsid.c_str(), driver.description.c_str());
    if (options.driverName.empty()) options.driverName = drivers.front().name;

    hosts::AsioHost host;
    if (const HRESULT loaded = host.Load(options.driverName); FAILED(loaded)) {
        std::fprintf(stderr, "%s could not be loaded: 0x%08X; run regsvr first.\n", options.driverName.c_str(),
                     static_cast<unsigned>(loaded));
        return 1;
    }
    std::printf("Loaded %s from %s (threading model %s)\n", options.driverName.c_str(), host.ServerPath().c_str(),
                host.ThreadingModel().c_str());

    int status = 0;
    std::string error;
    if (!host.Init(&error)) {
        std::fprintf(stderr, "init failed: %s\nIs a card installed? zavo-machine list shows the machine's cards.\n",
                     error.c_str());
        status = 1;
    } else {
        const hosts::AsioChannels channels = host.Channels();
        PrintDevice(host, channels);
        if (options.newRate != 0) {
            const ASIOError set = host.Driver().setSampleRate(options.newRate);
            ASIOSampleRate rate = 0;
            host.Driver().getSampleRate(&rate);
            std::printf("setSampleRate(%g): %s; sample rate now %g Hz\n", options.newRate,
                        set == ASE_OK ? "done" : "refused", rate);
            if (set != ASE_OK) status = 1;
        }
        if (status == 0 && options.streamSeconds && !Stream(host, options, channels)) status = 1;
    }
    if (!host.Unload()) {
        std::fprintf(stderr, "Released, but %s is still loaded\n", host.ServerPath().c_str());
        return 1;
    }
    std::printf("Released; the driver's library is unloaded.\n");
    return status;
}
