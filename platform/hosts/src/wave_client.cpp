// The wave client: loading the driver, its messages, listing and opening devices.
#include "hosts/wave_client.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <thread>

namespace hosts {
namespace {

template <typename Proc>
void Find(HMODULE module, const char* name, Proc& proc)
{
    proc = reinterpret_cast<Proc>(GetProcAddress(module, name));
    if (!proc) throw std::runtime_error(std::string("the wave driver has no entry point ") + name);
}

WaveDriverEntries FindEntries(HMODULE module)
{
    WaveDriverEntries entries{};
    Find(module, "DllMain", entries.DllMain);
    Find(module, "DrvLoad", entries.DrvLoad);
    Find(module, "DrvFree", entries.DrvFree);
    Find(module, "DrvInstall", entries.DrvInstall);
    Find(module, "DrvPnpInstall", entries.DrvPnpInstall);
    Find(module, "DrvConfigure", entries.DrvConfigure);
    Find(module, "DrvRemove", entries.DrvRemove);
    Find(module, "DrvWodMessage", entries.DrvWodMessage);
    Find(module, "DrvWidMessage", entries.DrvWidMessage);
    return entries;
}

UINT Message(WaveDirection direction, UINT out, UINT in) { return direction == WaveDirection::Out ? out : in; }

// The device name, whether or not the driver terminated it.
std::string NameOf(const WCHAR (&name)[MAXPNAMELEN])
{
    WCHAR terminated[MAXPNAMELEN + 1] = {};
    std::copy(std::begin(name), std::end(name), terminated);
    char text[4 * MAXPNAMELEN + 1];
    if (!WideCharToMultiByte(CP_UTF8, 0, terminated, -1, text, sizeof text, NULL, NULL)) return {};
    return text;
}

template <typename Caps>
WaveDevice DeviceOf(UINT id, MMRESULT result, const Caps& caps)
{
    WaveDevice device;
    device.id = id;
    device.result = result;
    device.name = NameOf(caps.szPname);
    device.manufacturer = caps.wMid;
    device.product = caps.wPid;
    device.version = caps.vDriverVersion;
    device.formats = caps.dwFormats;
    device.channels = caps.wChannels;
    if constexpr (requires { caps.dwSupport; }) device.support = caps.dwSupport;
    return device;
}

}  // namespace

WAVEFORMATEXTENSIBLE PcmFormat(WORD channels, DWORD rate, WORD bits)
{
    WAVEFORMATEXTENSIBLE format{};
    format.Format.wFormatTag = WAVE_FORMAT_PCM;
    format.Format.nChannels = channels;
    format.Format.nSamplesPerSec = rate;
    format.Format.nBlockAlign = static_cast<WORD>(channels * bits / 8);
    format.Format.nAvgBytesPerSec = rate * format.Format.nBlockAlign;
    format.Format.wBitsPerSample = bits;
    return format;
}

WAVEFORMATEXTENSIBLE ExtensiblePcmFormat(WORD channels, DWORD rate, WORD bits)
{
    WAVEFORMATEXTENSIBLE format = PcmFormat(channels, rate, bits);
    format.Format.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
    format.Format.cbSize = sizeof(WAVEFORMATEXTENSIBLE) - sizeof(WAVEFORMATEX);
    format.Samples.wValidBitsPerSample = bits;
    format.dwChannelMask = channels == 1 ? 0x4 : 0x3;  // centre; front left and right
    format.SubFormat = KSDATAFORMAT_SUBTYPE_PCM;
    return format;
}

WaveClient::WaveClient(const std::string& libraryPath) : module_(LoadLibraryA(libraryPath.c_str()))
{
    if (!module_)
        throw std::runtime_error("cannot load the wave driver " + libraryPath + " (error " +
                                 std::to_string(GetLastError()) + ")");
    try {
        entries_ = FindEntries(module_);
    } catch (...) {
        FreeLibrary(module_);
        throw;
    }
    entries_.DrvLoad(0);
}

WaveClient::~WaveClient() { FreeDriver(); }

void WaveClient::FreeDriver()
{
    if (!module_) return;
    entries_.DrvFree();
    FreeLibrary(module_);
    module_ = nullptr;
}

DWORD WaveClient::Send(WaveDirection direction, UINT device, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                       DWORD_PTR param2) const
{
    const DrvMessageProc entry = direction == WaveDirection::Out ? entries_.DrvWodMessage : entries_.DrvWidMessage;
    return entry(device, message, instance, param1, param2);
}

DWORD WaveClient::Send(const WaveStream& stream, UINT message, DWORD_PTR param1, DWORD_PTR param2) const
{
    return Send(stream.Direction(), stream.Device(), message, stream.Instance(), param1, param2);
}

BOOL WaveClient::CallDllMain(HMODULE module, DWORD reason, LPVOID reserved) const
{
    return entries_.DllMain(module, reason, reserved);
}

DWORD WaveClient::GetNumDevs(WaveDirection direction) const
{
    return Send(direction, 0, Message(direction, WODM_GETNUMDEVS, WIDM_GETNUMDEVS), 0, 0, 0);
}

MMRESULT WaveClient::GetDevCaps(WaveDirection direction, UINT device, void* caps, DWORD size) const
{
    return Send(direction, device, Message(direction, WODM_GETDEVCAPS, WIDM_GETDEVCAPS), 0,
                reinterpret_cast<DWORD_PTR>(caps), size);
}

MMRESULT WaveClient::GetDevCaps(UINT device, WAVEOUTCAPSW& caps) const
{
    return GetDevCaps(WaveDirection::Out, device, &caps, sizeof caps);
}

MMRESULT WaveClient::GetDevCaps(UINT device, WAVEINCAPSW& caps) const
{
    return GetDevCaps(WaveDirection::In, device, &caps, sizeof caps);
}

std::vector<WaveDevice> WaveClient::ListDevices(WaveDirection direction) const
{
    std::vector<WaveDevice> devices;
    const DWORD count = GetNumDevs(direction);
    for (UINT id = 0; id < count; ++id) {
        if (direction == WaveDirection::Out) {
            WAVEOUTCAPSW caps{};
            const MMRESULT result = GetDevCaps(id, caps);
            devices.push_back(DeviceOf(id, result, caps));
        } else {
            WAVEINCAPSW caps{};
            const MMRESULT result = GetDevCaps(id, caps);
            devices.push_back(DeviceOf(id, result, caps));
        }
    }
    return devices;
}

WaveStream& WaveClient::Open(const WaveOpenRequest& request)
{
    const auto handle = reinterpret_cast<HWAVE>(nextHandle_.fetch_add(1));
    WaveStream* stream;
    {
        std::lock_guard guard(streamsLock_);
        stream = streams_.emplace_back(std::make_unique<WaveStream>(request.direction, request.device,
                                                                    request.callback, handle))
                     .get();
    }
    WAVEOPENDESC description{};
    description.hWave = handle;
    description.lpFormat = &request.format.Format;
    description.dwCallback = stream->CallbackWord();
    description.dwInstance = stream->User();
    stream->openResult_ =
        Send(request.direction, request.device, Message(request.direction, WODM_OPEN, WIDM_OPEN),
             reinterpret_cast<DWORD_PTR>(&stream->instance_), reinterpret_cast<DWORD_PTR>(&description),
             request.flags | stream->CallbackFlags());
    return *stream;
}

MMRESULT WaveClient::Close(const WaveStream& stream) const
{
    return Send(stream, Message(stream.Direction(), WODM_CLOSE, WIDM_CLOSE));
}

MMRESULT WaveClient::Prepare(const WaveStream& stream, WAVEHDR& header) const
{
    const MMRESULT result = Send(stream, Message(stream.Direction(), WODM_PREPARE, WIDM_PREPARE),
                                 reinterpret_cast<DWORD_PTR>(&header), sizeof header);
    if (result != MMSYSERR_NOTSUPPORTED) return result;
    header.dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT WaveClient::Unprepare(const WaveStream& stream, WAVEHDR& header) const
{
    const MMRESULT result = Send(stream, Message(stream.Direction(), WODM_UNPREPARE, WIDM_UNPREPARE),
                                 reinterpret_cast<DWORD_PTR>(&header), sizeof header);
    if (result != MMSYSERR_NOTSUPPORTED) return result;
    if (header.dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    header.dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT WaveClient::Write(const WaveStream& stream, WAVEHDR& header) const
{
    return Send(stream, WODM_WRITE, reinterpret_cast<DWORD_PTR>(&header), sizeof header);
}

MMRESULT WaveClient::AddBuffer(const WaveStream& stream, WAVEHDR& header) const
{
    return Send(stream, WIDM_ADDBUFFER, reinterpret_cast<DWORD_PTR>(&header), sizeof header);
}

MMRESULT WaveClient::Pause(const WaveStream& stream) const { return Send(stream, WODM_PAUSE); }
MMRESULT WaveClient::Restart(const WaveStream& stream) const { return Send(stream, WODM_RESTART); }
MMRESULT WaveClient::Start(const WaveStream& stream) const { return Send(stream, WIDM_START); }
MMRESULT WaveClient::Stop(const WaveStream& stream) const { return Send(stream, WIDM_STOP); }

MMRESULT WaveClient::Reset(const WaveStream& stream) const
{
    return Send(stream, Message(stream.Direction(), WODM_RESET, WIDM_RESET));
}

MMRESULT WaveClient::GetPosition(const WaveStream& stream, MMTIME& time, UINT size) const
{
    return Send(stream, Message(stream.Direction(), WODM_GETPOS, WIDM_GETPOS), reinterpret_cast<DWORD_PTR>(&time),
                size);
}

MMRESULT WaveClient::GetVolume(const WaveStream& stream, DWORD& volume) const
{
    return Send(stream, WODM_GETVOLUME, reinterpret_cast<DWORD_PTR>(&volume));
}

MMRESULT WaveClient::SetVolume(const WaveStream& stream, DWORD volume) const
{
    return Send(stream, WODM_SETVOLUME, volume);
}

DWORD WaveClient::WaitForPosition(const WaveStream& stream, DWORD bytes, DWORD timeoutMs) const
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        MMTIME time{};
        time.wType = TIME_BYTES;
        GetPosition(stream, time);
        if (time.u.cb >= bytes || std::chrono::steady_clock::now() >= deadline) return time.u.cb;
        // The driver's worker moves the position; there is nothing to wait on but time.
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
}

}  // namespace hosts
