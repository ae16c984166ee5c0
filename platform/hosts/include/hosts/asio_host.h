// An ASIO host, as audio applications are one: it finds a driver among those
// listed under HKEY_LOCAL_MACHINE\SOFTWARE\ASIO, creates the driver object
// through COM, makes every call from the thread that created it (drivers are
// registered "Apartment"), and releases it so that its library unloads.
//
//     hosts::AsioHost host;
//     if (SUCCEEDED(host.Load("ASIO Zavo PCI")) && host.Init()) {
//         hosts::AsioChannels channels = host.Channels();
//         host.Driver().setSampleRate(48000.0);
//     }
//     host.CreateBuffers({{.input = false, .channel = 0}, {.input = true, .channel = 0}}, 256);
//     host.Start();
//     host.Callbacks().WaitForSwitches(10, 5000);
//     host.ControlPanel();                 // the user may change the buffer size there
//     host.ServeResetRequest();            // buffers made again at the size the driver prefers now
//     host.Stop();
//     bool gone = host.Unload();   // buffers disposed, driver released, library freed
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <objbase.h>

#include "asio/iasio.h"
#include "hosts/asio_callbacks.h"

namespace hosts {

struct AsioDriverEntry {
    std::string name;         // the driver's key below SOFTWARE\ASIO
    std::string clsid;        // its "CLSID" value
    std::string description;  // its "Description" value
};

// Every listed driver, in the registry's order (names compared in upper case).
std::vector<AsioDriverEntry> ListAsioDrivers();

// A channel the host asks a buffer for.
struct AsioBufferRequest {
    bool input = false;
    LONG channel = 0;
};

struct AsioChannels {
    ASIOError error = ASE_OK;  // the first error met: getChannels' or a getChannelInfo's
    std::vector<ASIOChannelInfo> inputs;
    std::vector<ASIOChannelInfo> outputs;
};

class AsioHost {
public:
    AsioHost();   // joins COM on this thread
    ~AsioHost();  // unloads, then leaves COM
    AsioHost(const AsioHost&) = delete;
    AsioHost& operator=(const AsioHost&) = delete;

    // Creates the object of the driver listed as `driverName`, first letting
    // go of any driver loaded before. REGDB_E_CLASSNOTREG when no driver of
    // that name is listed, CO_E_CLASSSTRING when its "CLSID" is no class
    // identifier, else what CoCreateInstance gives.
    HRESULT Load(const std::string& driverName);
    bool Loaded() const { return asio_ != nullptr; }
    const AsioDriverEntry& Entry() const { return entry_; }
    // What the class's InprocServer32 key held when the driver was loaded.
    const std::string& ServerPath() const { return serverPath_; }
    const std::string& ThreadingModel() const { return threadingModel_; }

    // The driver object. Throws std::logic_error when nothing is loaded or the
    // caller is not the thread that loaded it.
    IASIO& Driver();

    // init; when it answers ASIOFalse, the driver's error message goes to `error`.
    ASIOBool Init(std::string* error = nullptr);
    std::string DriverName();
    std::string ErrorMessage();
    // getChannels, then getChannelInfo for every channel of each direction.
    AsioChannels Channels();

    // createBuffers for these channels, in this order, with callbacks that
    // take `options`. The callbacks of earlier buffers live on until the
    // driver holds new ones, as it may call them until then.
    ASIOError CreateBuffers(std::span<const AsioBufferRequest> channels, LONG bufferSize,
                            const AsioStreamOptions& options = {});
    ASIOError CreateBuffers(std::initializer_list<AsioBufferRequest> channels, LONG bufferSize,
                            const AsioStreamOptions& options = {})
    {
        return CreateBuffers(std::span<const AsioBufferRequest>(channels.begin(), channels.size()), bufferSize,
                             options);
    }
    // The buffer infos of the last CreateBuffers, as the driver left them.
    const std::vector<ASIOBufferInfo>& BufferInfos() const { return infos_; }
    // The callbacks of the last buffers made, kept after their disposal for
    // what they recorded. Throws std::logic_error before any.
    AsioHostCallbacks& Callbacks();
    ASIOError Start();
    ASIOError Stop();
    ASIOError DisposeBuffers();
    // controlPanel, with the callbacks told meanwhile that the host is inside it.
    ASIOError ControlPanel();
    // future(kAsioSetInputMonitor): a route of direct monitoring.
    ASIOError SetInputMonitor(const ASIOInputMonitor* monitor);
    // A reset the driver asked for through the callbacks of the last buffers
    // made, served as hosts serve it, on this thread: stop, disposeBuffers,
    // getBufferSize, createBuffers for the same channels with the same
    // options at the preferred size, and start. Nothing when none was asked
    // for; else ASE_OK or the first error met.
    std::optional<ASIOError> ServeResetRequest();
    // getSamplePosition, its two halves joined: frames, and nanoseconds.
    ASIOError SamplePosition(std::uint64_t* position, std::uint64_t* timeStamp);

    // Stops and disposes the buffers when some were made, releases the driver
    // object and frees the libraries COM no longer needs. True when the
    // server's library is gone from the process (or nothing was loaded).
    bool Unload();

private:
    HRESULT joined_;
    DWORD thread_ = 0;
    AsioDriverEntry entry_;
    std::string serverPath_;
    std::string threadingModel_;
    IASIO* asio_ = nullptr;
    std::vector<AsioBufferRequest> requests_;
    AsioStreamOptions options_;
    std::vector<ASIOBufferInfo> infos_;
    std::unique_ptr<AsioHostCallbacks> callbacks_;
};

}  // namespace hosts
