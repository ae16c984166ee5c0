// wave-client [--driver PATH] list | play ID SECONDS | record ID SECONDS
//
// The wave driver as a multimedia application meets it, on the simulated
// machine of $ZAVO_MACHINE, which the program boots itself before it loads
// the driver (the driver's attach reads the registry the machine lays out).
// `list` prints every wave-out and wave-in device; `play` plays a 1 kHz
// tone at -12 dBFS and `record` records, both 16-bit stereo at 48000 Hz in
// real time with four headers in rotation, `record` printing the peak level
// of each channel.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <numbers>
#include <stdexcept>
#include <string>
#include <vector>

#include <windows.h>

#include "hosts/wave_client.h"
#include "machine/machine.h"

namespace {

constexpr char kUsage[] =
    "usage: wave-client [--driver PATH] list\n"
    "       wave-client [--driver PATH] play ID SECONDS\n"
    "       wave-client [--driver PATH] record ID SECONDS\n";
constexpr WORD kChannels = 2;
constexpr DWORD kRate = 48000;
constexpr WORD kBits = 16;
constexpr DWORD kBlock = kChannels * kBits / 8;
constexpr DWORD kHeaders = 4;
constexpr DWORD kHeaderFrames = kRate / 10;  // 100 ms each
constexpr double kToneHz = 1000.0;
constexpr double kToneDb = -12.0;
constexpr DWORD kWaitMs = 5000;  // for a header the driver owes

const char* ResultName(MMRESULT result)
{
    switch (result) {
    case MMSYSERR_NOERROR: return "MMSYSERR_NOERROR";
    case MMSYSERR_BADDEVICEID: return "MMSYSERR_BADDEVICEID";
    case MMSYSERR_NODRIVER: return "MMSYSERR_NODRIVER";
    case MMSYSERR_NOMEM: return "MMSYSERR_NOMEM";
    case MMSYSERR_NOTSUPPORTED: return "MMSYSERR_NOTSUPPORTED";
    case MMSYSERR_INVALPARAM: return "MMSYSERR_INVALPARAM";
    case WAVERR_BADFORMAT: return "WAVERR_BADFORMAT";
    case WAVERR_STILLPLAYING: return "WAVERR_STILLPLAYING";
    case WAVERR_UNPREPARED: return "WAVERR_UNPREPARED";
    default: return "an unknown error";
    }
}

// A failed request of the driver: the message and the result's name.
struct Refused : std::exception {
    Refused(std::string what, MMRESULT result) : text(what + ": " + ResultName(result) + " (" + std::to_string(result) + ")") {}
    const char* what() const noexcept override { return text.c_str(); }
    std::string text;
};

void Check(MMRESULT result, const std::string& what)
{
    if (result != MMSYSERR_NOERROR) throw Refused(what, result);
}

std::string FormatNames(DWORD formats)
{
    static constexpr struct {
        DWORD flag;
        const char* name;
    } kFormats[] = {
        {WAVE_FORMAT_1M08, "11k mono 8"},  {WAVE_FORMAT_1S08, "11k stereo 8"}, {WAVE_FORMAT_1M16, "11k mono 16"},
        {WAVE_FORMAT_1S16, "11k stereo 16"}, {WAVE_FORMAT_2M08, "22k mono 8"}, {WAVE_FORMAT_2S08, "22k stereo 8"},
        {WAVE_FORMAT_2M16, "22k mono 16"}, {WAVE_FORMAT_2S16, "22k stereo 16"}, {WAVE_FORMAT_4M08, "44k mono 8"},
        {WAVE_FORMAT_4S08, "44k stereo 8"}, {WAVE_FORMAT_4M16, "44k mono 16"}, {WAVE_FORMAT_4S16, "44k stereo 16"},
    };
    constexpr DWORD kAll = 0xFFF;
    if ((formats & kAll) == kAll) return "11, 22 and 44 kHz, mono and stereo, 8 and 16 bits";
    std::string names;
    for (const auto& format : kFormats)
        if (formats & format.flag) names += std::string(names.empty() ? "" : ", ") + format.name;
    return names.empty() ? "none" : names;
}

int List(const hosts::WaveClient& client)
{
    for (const hosts::WaveDirection direction : {hosts::WaveDirection::Out, hosts::WaveDirection::In}) {
        const char* kind = direction == hosts::WaveDirection::Out ? "wave-out" : "wave-in";
        const auto devices = client.ListDevices(direction);
        std::printf("%zu %s devices\n", devices.size(), kind);
        for (const hosts::WaveDevice& device : devices) {
            if (device.result != MMSYSERR_NOERROR) {
                std::printf("  %u: %s\n", device.id, ResultName(device.result));
                continue;
            }
            std::printf("  %u: %s, %u channels, formats 0x%08X (%s)\n", device.id, device.name.c_str(),
                        static_cast<unsigned>(device.channels), static_cast<unsigned>(device.formats),
                        FormatNames(device.formats).c_str());
        }
    }
    return 0;
}

// Streams SECONDS of 16-bit stereo at 48000 Hz through four headers in
// rotation: `fill` gives each playback header its frames, `take` sees each
// recorded one. The stream's event tells of every returned header.
template <typename Fill, typename Take>
void Stream(hosts::WaveClient& client, hosts::WaveDirection direction, UINT id, double seconds, Fill fill,
            Take take)
{
    const bool out = direction == hosts::WaveDirection::Out;
    const std::string what = std::string(out ? "wave-out" : "wave-in") + " device " + std::to_string(id);
    hosts::WaveStream& stream = client.Open(
        {.direction = direction, .device = id, .format = hosts::PcmFormat(kChannels, kRate, kBits),
         .callback = hosts::WaveCallback::Event});
    Check(stream.OpenResult(), "open of " + what);
    WaitForSingleObject(stream.Event(), kWaitMs);  // the open's own notification

    const DWORD total = static_cast<DWORD>(seconds * kRate);
    std::vector<std::unique_ptr<hosts::WaveBuffer>> buffers;
    DWORD queued = 0;  // frames handed to the driver
    DWORD done = 0;    // frames back from it
    auto queue = [&](hosts::WaveBuffer& buffer) {
        const DWORD frames = std::min(kHeaderFrames, total - queued);
        buffer.Header().dwBufferLength = frames * kBlock;
        if (out) fill(buffer.Data().data(), queued, frames);
        queued += frames;
        Check(out ? client.Write(stream, buffer.Header()) : client.AddBuffer(stream, buffer.Header()),
              (out ? "write to " : "buffer for ") + what);
    };
    for (DWORD i = 0; i < kHeaders && queued < total; ++i) {
        buffers.push_back(std::make_unique<hosts::WaveBuffer>(kHeaderFrames * kBlock));
        Check(client.Prepare(stream, buffers.back()->Header()), "prepare for " + what);
        queue(*buffers.back());
    }
    if (!out) Check(client.Start(stream), "start of " + what);
    while (done < total) {
        if (WaitForSingleObject(stream.Event(), kWaitMs) != WAIT_OBJECT_0)
            throw std::runtime_error(what + " returned no header for " + std::to_string(kWaitMs) + " ms");
        for (auto& buffer : buffers) {
            WAVEHDR& header = buffer->Header();
            if (!(header.dwFlags & WHDR_DONE) || (header.dwFlags & WHDR_INQUEUE)) continue;
            header.dwFlags &= ~WHDR_DONE;
            done += header.dwBufferLength / kBlock;
            if (!out) take(buffer->Data().data(), header.dwBytesRecorded / kBlock);
            if (queued < total) queue(*buffer);
        }
    }
    Check(client.Reset(stream), "reset of " + what);
    for (auto& buffer : buffers) client.Unprepare(stream, buffer->Header());
    Check(client.Close(stream), "close of " + what);
}

int Play(hosts::WaveClient& client, UINT id, double seconds)
{
    const double amplitude = 32767.0 * std::pow(10.0, kToneDb / 20.0);
    const double step = 2.0 * std::numbers::pi * kToneHz / kRate;
    auto fill = [&](BYTE* data, DWORD first, DWORD frames) {
        for (DWORD i = 0; i < frames; ++i) {
            const auto sample = static_cast<std::int16_t>(std::lround(amplitude * std::sin(step * (first + i))));
            std::memcpy(data + i * kBlock, &sample, 2);
            std::memcpy(data + i * kBlock + 2, &sample, 2);
        }
    };
    Stream(client, hosts::WaveDirection::Out, id, seconds, fill, [](const BYTE*, DWORD) {});
    std::printf("played %.1f s of a %.0f Hz tone at %.0f dBFS on wave-out device %u\n", seconds, kToneHz, kToneDb,
                id);
    return 0;
}

int Record(hosts::WaveClient& client, UINT id, double seconds)
{
    int peaks[kChannels] = {};
    auto take = [&](const BYTE* data, DWORD frames) {
        for (DWORD i = 0; i < frames; ++i)
            for (WORD c = 0; c < kChannels; ++c) {
                std::int16_t sample;
                std::memcpy(&sample, data + i * kBlock + 2 * c, 2);
                peaks[c] = std::max(peaks[c], std::abs(int{sample}));
            }
    };
    Stream(client, hosts::WaveDirection::In, id, seconds, [](BYTE*, DWORD, DWORD) {}, take);
    std::printf("recorded %.1f s from wave-in device %u; peak levels:", seconds, id);
    for (WORD c = 0; c < kChannels; ++c) {
        if (peaks[c] == 0) {
            std::printf(" %s silent", c == 0 ? "left" : "right");
        } else {
            std::printf(" %s %.1f dBFS", c == 0 ? "left" : "right", 20.0 * std::log10(peaks[c] / 32768.0));
        }
        std::printf(c + 1 < kChannels ? "," : "\n");
    }
    return 0;
}

bool ParseNumber(const char* text, double& value)
{
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == '\0';
}

}  // namespace

int main(int argc, char** argv)
{
    std::string driver = ZAVO_WAVE_DRIVER_PATH;
    int arg = 1;
    if (arg + 1 < argc && std::strcmp(argv[arg], "--driver") == 0) {
        driver = argv[arg + 1];
        arg += 2;
    }
    const std::vector<std::string> args(argv + arg, argv + argc);
    double id = 0, seconds = 0;
    const bool list = args.size() == 1 && args[0] == "list";
    const bool stream = args.size() == 3 && (args[0] == "play" || args[0] == "record") &&
                        ParseNumber(args[1].c_str(), id) && ParseNumber(args[2].c_str(), seconds) && id >= 0 &&
                        id == std::floor(id) && seconds > 0 && seconds <= 3600;
    if (!list && !stream) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    try {
        // The machine first: the driver's attach reads the cards from the registry it lays out.
        const auto machine = machine::CurrentMachine();
        if (!machine->Problems().empty()) std::fprintf(stderr, "wave-client: %s\n", machine->Problems().c_str());
        hosts::WaveClient client(driver);
        if (list) return List(client);
        const auto device = static_cast<UINT>(id);
        return args[0] == "play" ? Play(client, device, seconds) : Record(client, device, seconds);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "wave-client: %s\n", e.what());
        return 1;
    }
}
