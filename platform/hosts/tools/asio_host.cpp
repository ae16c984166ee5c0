// asio-host [--rate HZ] [DRIVER]: lists the ASIO drivers registered on the
// machine in $ZAVO_MACHINE, loads one (the first listed unless named) as an
// audio application would, prints what it offers, optionally sets its sample
// rate, and releases it.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "hosts/asio_host.h"

namespace {

constexpr ASIOSampleRate kCommonRates[] = {32000, 44100, 48000, 88200, 96000, 176400, 192000};

void PrintChannels(const char* direction, const std::vector<ASIOChannelInfo>& channels)
{
    std::printf("%s channels: %zu\n", direction, channels.size());
    for (const ASIOChannelInfo& info : channels)
        std::printf("  %3d  %s%s\n", static_cast<int>(info.channel), info.name, info.isActive ? "  (in use)" : "");
}

void PrintDevice(hosts::AsioHost& host)
{
    IASIO& asio = host.Driver();
    std::printf("Driver name: %s, version %d\n", host.DriverName().c_str(), static_cast<int>(asio.getDriverVersion()));

    const hosts::AsioChannels channels = host.Channels();
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

}  // namespace

int main(int argc, char** argv)
{
    std::string driverName;
    double newRate = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--rate") == 0 && i + 1 < argc) {
            newRate = std::strtod(argv[++i], nullptr);
        } else if (argv[i][0] != '-' && driverName.empty()) {
            driverName = argv[i];
        } else {
            std::fprintf(stderr, "usage: asio-host [--rate HZ] [DRIVER]\n");
            return 2;
        }
    }

    const auto drivers = hosts::ListAsioDrivers();
    if (drivers.empty()) {
        std::fprintf(stderr, "No ASIO driver is registered (register one with regsvr).\n");
        return 1;
    }
    std::printf("ASIO drivers:\n");
    for (const auto& driver : drivers)
        std::printf("  %s  %s  \"%s\"\n", driver.name.c_str(), driver.clsid.c_str(), driver.description.c_str());
    if (driverName.empty()) driverName = drivers.front().name;

    hosts::AsioHost host;
    if (const HRESULT loaded = host.Load(driverName); FAILED(loaded)) {
        std::fprintf(stderr, "%s could not be loaded: 0x%08X\n", driverName.c_str(), static_cast<unsigned>(loaded));
        return 1;
    }
    std::printf("Loaded %s from %s (threading model %s)\n", driverName.c_str(), host.ServerPath().c_str(),
                host.ThreadingModel().c_str());

    int status = 0;
    std::string error;
    if (!host.Init(&error)) {
        std::fprintf(stderr, "init failed: %s\n", error.c_str());
        status = 1;
    } else {
        PrintDevice(host);
        if (newRate != 0) {
            const ASIOError set = host.Driver().setSampleRate(newRate);
            ASIOSampleRate rate = 0;
            host.Driver().getSampleRate(&rate);
            std::printf("setSampleRate(%g): %s; sample rate now %g Hz\n", newRate,
                        set == ASE_OK ? "done" : "refused", rate);
            if (set != ASE_OK) status = 1;
        }
    }
    if (!host.Unload()) {
        std::fprintf(stderr, "Released, but %s is still loaded\n", host.ServerPath().c_str());
        return 1;
    }
    std::printf("Released; the driver's library is unloaded.\n");
    return status;
}
