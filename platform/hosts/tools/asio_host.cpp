// asio-host [--rate HZ] [--control-panel] [--stream SECONDS [--size FRAMES] [--outputs LIST] [--inputs LIST]
//           [--monitor IN:OUT[:DB[:PAN]]]] [DRIVER]
// asio-host --panel [DRIVER]
//
// Lists the ASIO drivers registered on the machine in $ZAVO_MACHINE, loads
// one (the first listed unless named) as an audio application would, prints
// what it offers, optionally sets its sample rate, opens its control panel
// and streams a ramp through it in real time, and releases it. The streaming
// report says how many buffer switches came, whether any half was missed or
// repeated, the re-synchronisation requests, and whether the switch thread
// got real-time scheduling. While streaming, the control panel opens halfway
// through, and a reset the driver then asks for is served by making the
// buffers again; a direct-monitoring route goes to the card before the start.
// --panel loads and initialises the driver, opens its control panel on the
// thread that loaded it, and prints what came back and the settings the
// driver then stores.
#include <sched.h>

#include <algorithm>
#include <cmath>
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
constexpr LONG kSmallestSize = 64;  // the smallest buffer size of the driver's control panel
constexpr double kUnityGain = 0x20000000;  // 0 dB in a direct-monitoring route
constexpr double kPanRight = 2147483648.0;
constexpr char kUsage[] =
    "usage: asio-host [--rate HZ] [--control-panel] [--stream SECONDS [--size FRAMES] [--outputs LIST]\n"
    "                 [--inputs LIST] [--monitor IN:OUT[:DB[:PAN]]]] [DRIVER]\n"
    "       asio-host --panel [DRIVER]\n"
    "       LIST: channel numbers such as 0,1,4, or all, or none\n"
    "       --monitor: input buffer IN (-1: every input of the card) heard on output buffer OUT, the buffers\n"
    "       numbered in the order of --inputs and --outputs, at DB dB (0; off: muted) and PAN from 0 left to\n"
    "       1 right (0.5)\n";

struct Options {
    std::string driverName;
    double newRate = 0;
    std::optional<double> streamSeconds;
    LONG bufferSize = 0;  // 0: the driver's preferred size
    std::string outputs = "all";
    std::string inputs = "all";
    bool controlPanel = false;
    bool panelOnly = false;  // --panel
    std::optional<ASIOInputMonitor> monitor;
};

// IN:OUT[:DB[:PAN]] as a route of direct monitoring; nothing when it is none.
std::optional<ASIOInputMonitor> ParseMonitor(const char* text)
{
    char* end = nullptr;
    ASIOInputMonitor monitor{0, 0, static_cast<LONG>(kUnityGain), ASIOTrue, 0x40000000};
    monitor.input = static_cast<LONG>(std::strtol(text, &end, 10));
    if (end == text || *end != ':' || monitor.input < -1) return std::nullopt;
    text = end + 1;
    monitor.output = static_cast<LONG>(std::strtol(text, &end, 10));
    if (end == text || monitor.output < 0) return std::nullopt;
    if (*end == ':') {
        text = end + 1;
        if (std::strncmp(text, "off", 3) == 0) {
            monitor.state = ASIOFalse;
            end = const_cast<char*>(text) + 3;
        } else {
            const double db = std::strtod(text, &end);
            if (end == text || !std::isfinite(db)) return std::nullopt;
            monitor.gain = static_cast<LONG>(std::min(kUnityGain * std::pow(10.0, db / 20), 2147483647.0));
        }
    }
    if (*end == ':') {
        text = end + 1;
        const double pan = std::strtod(text, &end);
        if (end == text || !(pan >= 0 && pan <= 1)) return std::nullopt;
        monitor.pan = static_cast<LONG>(std::min(std::llround(pan * kPanRight), 2147483647LL));
    }
    if (*end != '\0') return std::nullopt;
    return monitor;
}

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

// One stretch of streaming at one buffer size: from a start until the host
// stops, or until a reset makes its buffers again.
struct Stretch {
    std::size_t switches = 0;  // after the pre-fills
    std::size_t missed = 0;    // halves missed or repeated
    std::size_t periods = 0;
    unsigned resyncs = 0;      // re-synchronisation requests
};

// What the switches of one stretch of `seconds` show: every switch after the
// pre-fills takes the other half, one buffer on, and one comes each period.
Stretch Measure(const hosts::AsioHostCallbacks& callbacks, LONG size, double seconds, ASIOSampleRate rate)
{
    const std::vector<hosts::AsioSwitchRecord> records = callbacks.Switches();
    Stretch stretch;
    stretch.resyncs = callbacks.ResyncRequests();
    std::size_t broken = 0;
    for (std::size_t n = 1; n < records.size(); ++n)
        if (records[n].index != (records[n - 1].index ^ 1) ||
            records[n].samplePosition != records[n - 1].samplePosition + static_cast<std::uint64_t>(size))
            ++broken;
    stretch.switches = records.size() < 2 ? 0 : records.size() - 2;
    // The last period may still be under way.
    stretch.periods = static_cast<std::size_t>(seconds * rate / size);
    const std::size_t behind = stretch.periods > stretch.switches + 1 ? stretch.periods - stretch.switches - 1 : 0;
    stretch.missed = broken + behind;
    return stretch;
}

const char* MonitorResult(ASIOError error)
{
    switch (error) {
    case ASE_SUCCESS:
        return "routed";
    case ASE_NotPresent:
        return "refused: direct monitoring is off, or the input and the output are on different cards";
    case ASE_InvalidParameter:
        return "refused: no such input or output buffer";
    default:
        return "refused";
    }
}

// The driver's settings as it stored them in its key, each one it has.
void PrintStoredSettings(const std::string& driverName)
{
    const std::string path = "SOFTWARE\\ASIO\\" + driverName + "\\Settings";
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        std::printf("Stored settings: none\n");
        return;
    }
    std::printf("Stored settings:");
    for (const char* name : {"Sample rate", "Buffer size", "DirectMonitoring", "96 kHz only", "Short names"}) {
        DWORD value = 0, type = 0, size = sizeof value;
        if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
            type == REG_DWORD)
            std::printf(" \"%s\" %u", name, static_cast<unsigned>(value));
    }
    std::printf("\n");
    RegCloseKey(key);
}

// The panel alone: what controlPanel gave back, and what the driver then
// reports and stores (a confirmed panel stores its choices; a cancelled one
// nothing).
void ShowPanelOnly(hosts::AsioHost& host, const std::string& driverName)
{
    std::printf("Opening the control panel\n");
    std::fflush(stdout);
    const ASIOError result = host.ControlPanel();
    std::printf("controlPanel returned %d%s\n", static_cast<int>(result), result == ASE_OK ? " (ASE_OK)" : "");
    LONG minimum = 0, maximum = 0, preferred = 0, granularity = 0;
    host.Driver().getBufferSize(&minimum, &maximum, &preferred, &granularity);
    const bool monitoring = host.Driver().future(kAsioCanInputMonitor, nullptr) == ASE_SUCCESS;
    std::printf("Buffer size now %d frames, direct monitoring %s\n", static_cast<int>(preferred),
                monitoring ? "offered" : "not offered");
    PrintStoredSettings(driverName);
}

void ShowControlPanel(hosts::AsioHost& host)
{
    std::printf("Opening the control panel\n");
    std::fflush(stdout);
    host.ControlPanel();
    LONG minimum = 0, maximum = 0, preferred = 0, granularity = 0;
    host.Driver().getBufferSize(&minimum, &maximum, &preferred, &granularity);
    const bool monitoring = host.Driver().future(kAsioCanInputMonitor, nullptr) == ASE_SUCCESS;
    std::printf("Control panel closed: buffer size %d frames, direct monitoring %s\n", static_cast<int>(preferred),
                monitoring ? "offered" : "not offered");
}

// Streams a ramp on the chosen channels, with a direct-monitoring route and
// the control panel halfway through when asked. A reset the driver asks for
// is served as hosts serve it: the buffers made again at the size it prefers
// now, and the stream started again. False when streaming could not run or a
// half was missed or repeated.
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
    // Room for every switch, also at the smallest size a reset may bring.
    const auto expected = static_cast<std::size_t>(seconds * rate / (options.controlPanel ? kSmallestSize : size));
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
    if (options.monitor) {
        const ASIOInputMonitor& monitor = *options.monitor;
        std::printf("Direct monitoring, input buffer %d to output buffer %d: %s\n", static_cast<int>(monitor.input),
                    static_cast<int>(monitor.output), MonitorResult(host.SetInputMonitor(&monitor)));
    }
    if (const ASIOError error = host.Start(); error != ASE_OK) {
        std::fprintf(stderr, "start failed: %d\n", static_cast<int>(error));
        return false;
    }
    LARGE_INTEGER frequency, started, stretchStarted, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&started);
    stretchStarted = started;
    std::vector<Stretch> stretches;
    bool panelShown = !options.controlPanel;
    for (;;) {
        QueryPerformanceCounter(&now);
        const double elapsed = Seconds(started, now, frequency);
        const double left = seconds - elapsed;
        if (left <= 0) break;
        const double untilPanel = seconds / 2 - elapsed;
        const bool panelNext = !panelShown && untilPanel < std::min(left, 1.0);
        const double wait = panelNext ? std::max(untilPanel, 0.0) : std::min(left, 1.0);
        Sleep(static_cast<DWORD>(std::ceil(wait * 1000)));
        QueryPerformanceCounter(&now);
        std::printf("  %5.1f s  %zu switches\n", Seconds(started, now, frequency),
                    host.Callbacks().SwitchCount() - 2);
        std::fflush(stdout);
        if (panelNext) {
            ShowControlPanel(host);
            panelShown = true;
        }
        if (!host.Callbacks().ResetRequested()) continue;
        // The driver switches no more until the host has made its buffers again.
        QueryPerformanceCounter(&now);
        stretches.push_back(Measure(host.Callbacks(), size, Seconds(stretchStarted, now, frequency), rate));
        const std::optional<ASIOError> reset = host.ServeResetRequest();
        QueryPerformanceCounter(&stretchStarted);
        asio.getLatencies(&inputLatency, &outputLatency);
        LONG minimum = 0, maximum = 0, granularity = 0;
        asio.getBufferSize(&minimum, &maximum, &size, &granularity);
        if (reset != ASE_OK) {
            std::fprintf(stderr, "The driver asked for a reset, and making the buffers again failed: %d\n",
                         static_cast<int>(reset.value_or(ASE_OK)));
            return false;
        }
        std::printf("The driver asked for a reset: buffers made again at %d frames (latencies: input %d, output %d "
                    "frames)\n",
                    static_cast<int>(size), static_cast<int>(inputLatency), static_cast<int>(outputLatency));
    }
    QueryPerformanceCounter(&now);
    host.Stop();
    stretches.push_back(Measure(host.Callbacks(), size, Seconds(stretchStarted, now, frequency), rate));

    Stretch total;
    for (const Stretch& stretch : stretches) {
        total.switches += stretch.switches;
        total.missed += stretch.missed;
        total.periods += stretch.periods;
        total.resyncs += stretch.resyncs;
    }
    const std::vector<hosts::AsioSwitchRecord> records = host.Callbacks().Switches();
    const bool fifo = records.size() > 2 && records.back().scheduler == SCHED_FIFO;
    std::printf("Switches: %zu after the %zu pre-fills, in %.2f s (%zu periods)\n", total.switches,
                2 * stretches.size(), Seconds(started, now, frequency), total.periods);
    std::printf("Missed or repeated halves: %zu\n", total.missed);
    std::printf("Re-synchronisation requests: %u\n", total.resyncs);
    std::printf("Switch thread priority: %d\n", records.size() > 2 ? records.back().priority : 0);
    std::printf("Time-critical scheduling: %s\n",
                fifo ? "took (SCHED_FIFO)" : "did not take (the system refused real-time scheduling)");
    return total.missed == 0;
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
        } else if (std::strcmp(argv[i], "--control-panel") == 0) {
            options.controlPanel = true;
        } else if (std::strcmp(argv[i], "--panel") == 0) {
            options.controlPanel = options.panelOnly = true;
        } else if (std::strcmp(argv[i], "--monitor") == 0 && more) {
            options.monitor = ParseMonitor(argv[++i]);
            if (!options.monitor) return false;
        } else if (argv[i][0] != '-' && options.driverName.empty()) {
            options.driverName = argv[i];
        } else {
            return false;
        }
    }
    // A route needs the buffers of a stream; the panel alone takes nothing else.
    const bool more = options.newRate != 0 || options.streamSeconds || options.monitor;
    return (!options.monitor || options.streamSeconds) && !(options.panelOnly && more);
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
        if (!options.panelOnly) PrintDevice(host, channels);
        if (options.newRate != 0) {
            const ASIOError set = host.Driver().setSampleRate(options.newRate);
            ASIOSampleRate rate = 0;
            host.Driver().getSampleRate(&rate);
            std::printf("setSampleRate(%g): %s; sample rate now %g Hz\n", options.newRate,
                        set == ASE_OK ? "done" : "refused", rate);
            if (set != ASE_OK) status = 1;
        }
        if (options.panelOnly) ShowPanelOnly(host, options.driverName);
        else if (status == 0 && options.controlPanel && !options.streamSeconds) ShowControlPanel(host);
        if (status == 0 && options.streamSeconds && !Stream(host, options, channels)) status = 1;
    }
    if (!host.Unload()) {
        // A driver that showed a window may keep its library for the process.
        if (options.controlPanel && std::getenv("DISPLAY") != nullptr) {
            std::printf("Released; the driver keeps its library loaded, as it may once it has shown a window.\n");
            return status;
        }
        std::fprintf(stderr, "Released, but %s is still loaded\n", host.ServerPath().c_str());
        return 1;
    }
    std::printf("Released; the driver's library is unloaded.\n");
    return status;
}
