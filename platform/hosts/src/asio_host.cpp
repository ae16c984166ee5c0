#include "hosts/asio_host.h"

#include <optional>
#include <stdexcept>

namespace hosts {
namespace {

// A REG_SZ value, which need not end in a terminator.
std::optional<std::string> ReadString(HKEY key, const char* name)
{
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ)
        return std::nullopt;
    std::string text(size, '\0');
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<LPBYTE>(text.data()), &size) != ERROR_SUCCESS)
        return std::nullopt;
    text.resize(size);
    if (const auto end = text.find('\0'); end != std::string::npos) text.resize(end);
    return text;
}

std::optional<std::string> ReadString(HKEY root, const std::string& path, const char* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
    auto text = ReadString(key, name);
    RegCloseKey(key);
    return text;
}

std::u16string Widen(const std::string& text)
{
    std::u16string wide(text.size() + 1, u'\0');
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    wide.resize(length > 0 ? static_cast<std::size_t>(length - 1) : 0);
    return wide;
}

std::string FileName(const std::string& path)
{
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::vector<AsioDriverEntry> ListAsioDrivers()
{
    std::vector<AsioDriverEntry> drivers;
    HKEY asio = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\ASIO", 0, KEY_READ, &asio) != ERROR_SUCCESS) return drivers;
    char name[256];
    for (DWORD index = 0; RegEnumKeyA(asio, index, name, sizeof name) == ERROR_SUCCESS; ++index) {
        HKEY driver = nullptr;
        if (RegOpenKeyExA(asio, name, 0, KEY_READ, &driver) != ERROR_SUCCESS) continue;
        drivers.push_back(
            {name, ReadString(driver, "CLSID").value_or(""), ReadString(driver, "Description").value_or("")});
        RegCloseKey(driver);
    }
    RegCloseKey(asio);
    return drivers;
}

AsioHost::AsioHost() : joined_(CoInitialize(nullptr)) {}

AsioHost::~AsioHost()
{
    Unload();
    if (SUCCEEDED(joined_)) CoUninitialize();
}

HRESULT AsioHost::Load(const std::string& driverName)
{
    Unload();
    entry_ = {};
    serverPath_.clear();
    threadingModel_.clear();
    for (const AsioDriverEntry& driver : ListAsioDrivers())
        if (lstrcmpiA(driver.name.c_str(), driverName.c_str()) == 0) entry_ = driver;
    if (entry_.name.empty()) return REGDB_E_CLASSNOTREG;

    CLSID clsid{};
    if (const HRESULT parsed = CLSIDFromString(Widen(entry_.clsid).c_str(), &clsid); FAILED(parsed)) return parsed;
    const std::string serverKey = "CLSID\\" + entry_.clsid + "\\InprocServer32";
    serverPath_ = ReadString(HKEY_CLASSES_ROOT, serverKey, nullptr).value_or("");
    threadingModel_ = ReadString(HKEY_CLASSES_ROOT, serverKey, "ThreadingModel").value_or("");

    // The class identifier serves as the interface identifier of IASIO.
    void* object = nullptr;
    const HRESULT created = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, clsid, &object);
    if (FAILED(created)) return created;
    asio_ = static_cast<IASIO*>(object);
    thread_ = GetCurrentThreadId();
    return created;
}

IASIO& AsioHost::Driver()
{
    if (asio_ == nullptr) throw std::logic_error("no ASIO driver is loaded");
    if (GetCurrentThreadId() != thread_)
        throw std::logic_error("an ASIO driver is called from the thread that loaded it only");
    return *asio_;
}

ASIOBool AsioHost::Init(std::string* error)
{
    const ASIOBool initialised = Driver().init(nullptr);
    if (!initialised && error != nullptr) *error = ErrorMessage();
    return initialised;
}

std::string AsioHost::DriverName()
{
    char name[32] = {};
    Driver().getDriverName(name);
    name[sizeof name - 1] = '\0';
    return name;
}

std::string AsioHost::ErrorMessage()
{
    char text[124] = {};
    Driver().getErrorMessage(text);
    text[sizeof text - 1] = '\0';
    return text;
}

AsioChannels AsioHost::Channels()
{
    AsioChannels channels;
    LONG inputs = 0;
    LONG outputs = 0;
    channels.error = Driver().getChannels(&inputs, &outputs);
    if (channels.error != ASE_OK) return channels;
    for (const bool input : {true, false}) {
        auto& list = input ? channels.inputs : channels.outputs;
        for (LONG channel = 0; channel < (input ? inputs : outputs); ++channel) {
            ASIOChannelInfo info{};
            info.channel = channel;
            info.isInput = input ? ASIOTrue : ASIOFalse;
            if (const ASIOError error = Driver().getChannelInfo(&info); error != ASE_OK) {
                channels.error = error;
                return channels;
            }
            info.name[sizeof info.name - 1] = '\0';
            list.push_back(info);
        }
    }
    return channels;
}

ASIOError AsioHost::CreateBuffers(std::span<const AsioBufferRequest> channels, LONG bufferSize,
                                  const AsioStreamOptions& options)
{
    IASIO& asio = Driver();
    auto callbacks = std::make_unique<AsioHostCallbacks>(options);
    infos_.assign(channels.size(), ASIOBufferInfo{});
    for (std::size_t i = 0; i < channels.size(); ++i) {
        infos_[i].isInput = channels[i].input ? ASIOTrue : ASIOFalse;
        infos_[i].channelNum = channels[i].channel;
    }
    const ASIOError error =
        asio.createBuffers(infos_.data(), static_cast<LONG>(infos_.size()), bufferSize, callbacks->Table());
    // A refusal leaves the driver without the new callbacks, and perhaps with the earlier ones.
    if (error != ASE_OK) return error;
    callbacks->Attach(infos_, bufferSize);
    callbacks_ = std::move(callbacks);
    requests_.assign(channels.begin(), channels.end());
    options_ = options;
    return error;
}

AsioHostCallbacks& AsioHost::Callbacks()
{
    if (!callbacks_) throw std::logic_error("no ASIO buffers were made");
    return *callbacks_;
}

ASIOError AsioHost::Start() { return Driver().start(); }

ASIOError AsioHost::Stop() { return Driver().stop(); }

ASIOError AsioHost::DisposeBuffers() { return Driver().disposeBuffers(); }

ASIOError AsioHost::ControlPanel()
{
    IASIO& asio = Driver();
    if (callbacks_) callbacks_->SetInControlPanel(true);
    const ASIOError error = asio.controlPanel();
    if (callbacks_) callbacks_->SetInControlPanel(false);
    return error;
}

ASIOError AsioHost::SetInputMonitor(const ASIOInputMonitor* monitor)
{
    return Driver().future(kAsioSetInputMonitor, const_cast<ASIOInputMonitor*>(monitor));
}

std::optional<ASIOError> AsioHost::ServeResetRequest()
{
    if (!callbacks_ || !callbacks_->TakeResetRequest()) return std::nullopt;
    IASIO& asio = Driver();
    asio.stop();
    asio.disposeBuffers();
    LONG minimum = 0, maximum = 0, preferred = 0, granularity = 0;
    if (const ASIOError error = asio.getBufferSize(&minimum, &maximum, &preferred, &granularity); error != ASE_OK)
        return error;
    const std::vector<AsioBufferRequest> requests = requests_;
    if (const ASIOError error = CreateBuffers(requests, preferred, options_); error != ASE_OK) return error;
    return Start();
}

ASIOError AsioHost::SamplePosition(std::uint64_t* position, std::uint64_t* timeStamp)
{
    ASIOSamples samples{};
    ASIOTimeStamp stamp{};
    const ASIOError error = Driver().getSamplePosition(&samples, &stamp);
    *position = (static_cast<std::uint64_t>(samples.hi) << 32) | samples.lo;
    *timeStamp = (static_cast<std::uint64_t>(stamp.hi) << 32) | stamp.lo;
    return error;
}

bool AsioHost::Unload()
{
    if (asio_ != nullptr) {
        if (callbacks_) {
            Driver().stop();
            Driver().disposeBuffers();
        }
        Driver().Release();
        asio_ = nullptr;
    }
    callbacks_.reset();
    infos_.clear();
    CoFreeUnusedLibraries();
    return serverPath_.empty() || GetModuleHandleA(FileName(serverPath_).c_str()) == nullptr;
}

}  // namespace hosts
