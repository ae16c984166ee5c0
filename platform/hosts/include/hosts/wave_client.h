// The wave client: the multimedia system's part around a wave driver. It
// loads the driver's library as a host process does, lists its devices,
// opens and closes them and takes the driver's notifications.
//
//     hosts::WaveClient client(path);  // LoadLibraryA (the driver's attach), DrvLoad(0)
//     for (const hosts::WaveDevice& device : client.ListDevices(hosts::WaveDirection::Out)) ...
//     hosts::WaveStream& stream = client.Open({.device = 0, .format = hosts::PcmFormat(2, 48000, 16),
//                                              .callback = hosts::WaveCallback::Function});
//     stream.WaitFor(WOM_OPEN, 1, 1000);
//     hosts::WaveBuffer buffer(4096);
//     client.Prepare(stream, buffer.Header());
//     client.Write(stream, buffer.Header());
//     stream.WaitFor(WOM_DONE, 1, 5000);
//     client.Unprepare(stream, buffer.Header());
//     client.Close(stream);
//     // ~WaveClient (or FreeDriver): DrvFree, FreeLibrary (the driver's detach)
//
// The client's contract with the driver, as the multimedia system keeps it:
// - a stream's messages are never sent while another thread closes that stream;
// - callbacks only record and signal, or queue the stream's next header. They
//   never load, free or look into a module: a callback runs under the driver's
//   locks, on the driver's worker or on the thread whose WRITE, RESET or STOP
//   returned the header, and at detach the detaching thread holds the loader's
//   lock while the driver stops its threads.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <mmsystem.h>

#include "hosts/wave_buffer.h"
#include "hosts/wave_stream.h"

namespace hosts {

// The driver's entry points, as found by name in its library.
struct WaveDriverEntries {
    DllMainProc DllMain;
    DrvLoadProc DrvLoad;
    DrvEntryProc DrvFree;
    DrvEntryProc DrvInstall;
    DrvEntryProc DrvPnpInstall;
    DrvEntryProc DrvConfigure;
    DrvEntryProc DrvRemove;
    DrvMessageProc DrvWodMessage;
    DrvMessageProc DrvWidMessage;
};

// One device as GETDEVCAPS describes it (`result` is its answer; the rest is zero unless 0).
struct WaveDevice {
    UINT id = 0;
    MMRESULT result = MMSYSERR_NOERROR;
    std::string name;  // UTF-8
    WORD manufacturer = 0;
    WORD product = 0;
    MMVERSION version = 0;
    DWORD formats = 0;
    WORD channels = 0;
    DWORD support = 0;  // wave-out only
};

// A PCM format with the usual block alignment and rate; an extensible one
// carries the PCM sub-format and cbSize 22.
WAVEFORMATEXTENSIBLE PcmFormat(WORD channels, DWORD rate, WORD bits);
WAVEFORMATEXTENSIBLE ExtensiblePcmFormat(WORD channels, DWORD rate, WORD bits);

struct WaveOpenRequest {
    WaveDirection direction = WaveDirection::Out;
    UINT device = 0;
    WAVEFORMATEXTENSIBLE format = PcmFormat(2, 48000, 16);  // a plain format is its first 18 bytes
    DWORD flags = 0;  // WAVE_FORMAT_QUERY ...; the callback's kind is added
    WaveCallback callback = WaveCallback::None;
};

class WaveClient {
public:
    // Throws std::runtime_error when the library cannot be loaded or lacks an entry point.
    explicit WaveClient(const std::string& libraryPath);
    ~WaveClient();
    WaveClient(const WaveClient&) = delete;
    WaveClient& operator=(const WaveClient&) = delete;

    HMODULE Module() const { return module_; }
    // Frees the driver now (DrvFree, FreeLibrary: the driver's detach), as
    // a host that is done with it does; the streams stay with the client,
    // since a callback may still be running in one. No message may be sent
    // afterwards. The destructor does it when it was not done.
    void FreeDriver();
    const WaveDriverEntries& Entries() const { return entries_; }

    // ---- Raw access ----------------------------------------------------------------------
    DWORD Send(WaveDirection direction, UINT device, UINT message, DWORD_PTR instance, DWORD_PTR param1,
               DWORD_PTR param2) const;
    // A message for `stream`, with the instance word it was given.
    DWORD Send(const WaveStream& stream, UINT message, DWORD_PTR param1 = 0, DWORD_PTR param2 = 0) const;
    // The driver's DllMain, called as the loader calls it.
    BOOL CallDllMain(HMODULE module, DWORD reason, LPVOID reserved) const;

    // ---- Listing ---------------------------------------------------------------------------
    DWORD GetNumDevs(WaveDirection direction) const;
    // GETDEVCAPS into `caps` of `size` bytes, or of the full structure.
    MMRESULT GetDevCaps(WaveDirection direction, UINT device, void* caps, DWORD size) const;
    MMRESULT GetDevCaps(UINT device, WAVEOUTCAPSW& caps) const;
    MMRESULT GetDevCaps(UINT device, WAVEINCAPSW& caps) const;
    // GETNUMDEVS, then GETDEVCAPS of each device counted.
    std::vector<WaveDevice> ListDevices(WaveDirection direction) const;

    // ---- Open and close --------------------------------------------------------------------
    // Sends OPEN with a wave handle of the client's, the stream as user word and
    // the callback asked for. The stream (its answer, its instance word) lives
    // as long as the client, also when the open failed or only queried.
    WaveStream& Open(const WaveOpenRequest& request);
    MMRESULT Close(const WaveStream& stream) const;

    // ---- Headers ---------------------------------------------------------------------------
    // PREPARE and UNPREPARE, as the multimedia system handles them: the
    // driver is asked first, and when it leaves the work to the system (8)
    // the client sets WHDR_PREPARED itself, or clears it, refusing with
    // WAVERR_STILLPLAYING while the header is queued.
    MMRESULT Prepare(const WaveStream& stream, WAVEHDR& header) const;
    MMRESULT Unprepare(const WaveStream& stream, WAVEHDR& header) const;

    // ---- Streaming -------------------------------------------------------------------------
    // Each sends the message named, through the entry of the stream's direction.
    MMRESULT Write(const WaveStream& stream, WAVEHDR& header) const;      // WODM_WRITE
    MMRESULT AddBuffer(const WaveStream& stream, WAVEHDR& header) const;  // WIDM_ADDBUFFER
    MMRESULT Pause(const WaveStream& stream) const;                        // WODM_PAUSE
    MMRESULT Restart(const WaveStream& stream) const;                      // WODM_RESTART
    MMRESULT Start(const WaveStream& stream) const;                        // WIDM_START
    MMRESULT Stop(const WaveStream& stream) const;                         // WIDM_STOP
    MMRESULT Reset(const WaveStream& stream) const;                        // WODM_RESET, WIDM_RESET
    // GETPOS into `time`, whose wType says the format asked for; the size sent may differ.
    MMRESULT GetPosition(const WaveStream& stream, MMTIME& time, UINT size = sizeof(MMTIME)) const;
    MMRESULT GetVolume(const WaveStream& stream, DWORD& volume) const;
    MMRESULT SetVolume(const WaveStream& stream, DWORD volume) const;
    // Asks GETPOS in bytes until it reaches `bytes` or `timeoutMs` passed, and
    // returns the last position it answered.
    DWORD WaitForPosition(const WaveStream& stream, DWORD bytes, DWORD timeoutMs) const;

private:
    HMODULE module_ = nullptr;
    WaveDriverEntries entries_{};
    std::atomic<std::uintptr_t> nextHandle_{0x10000};
    std::mutex streamsLock_;
    std::deque<std::unique_ptr<WaveStream>> streams_;
};

}  // namespace hosts
