// Device files: the handles CreateFileA makes for device paths, and
// DeviceIoControl with the buffered method's semantics, which the card
// driver's protocol depends on: the request sees one system buffer of
// max(in, out) bytes holding the input, and the caller's output buffer is
// written only when the request succeeds.
#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <new>
#include <shared_mutex>
#include <vector>

#include "device_open.h"
#include "kernel_object.h"
#include "win32/device_io.h"
#include "win32/errors.h"
#include "win32/files.h"

namespace win32 {

namespace {

class DeviceFileObject final : public KernelObject {
public:
    explicit DeviceFileObject(std::shared_ptr<DeviceFile> file) : file_(std::move(file)) {}

    ObjectKind Kind() const noexcept override { return ObjectKind::File; }
    void HandleClosed() override { Cleanup(); }

    // The driver's cleanup runs once, however the handle goes away.
    void Cleanup()
    {
        if (!cleanedUp_.exchange(true)) file_->Cleanup();
    }
    DeviceFile& File() const noexcept { return *file_; }

private:
    std::shared_ptr<DeviceFile> file_;
    std::atomic<bool> cleanedUp_{false};
};

std::shared_mutex namespaceLock;
DeviceNamespace* installedNamespace = nullptr;

// The system buffer of one request. The audio threads send requests all the
// time, so each thread reuses one buffer instead of allocating per call; a
// request made from inside another (a device file calling back) gets a
// buffer of its own. Bytes past the input are zeroed, so a request never
// sees what an earlier one left behind.
class SystemBuffer {
public:
    SystemBuffer(const void* input, DWORD inSize, DWORD size)
    {
        if (busy) {
            nested_.resize(size);
            bytes_ = nested_.data();
        } else {
            if (pool.size() < size) pool.resize(size);
            bytes_ = pool.data();
            owner_ = true;
            busy = true;
        }
        size_ = size;
        if (inSize != 0) std::memcpy(bytes_, input, inSize);
        if (size > inSize) std::memset(bytes_ + inSize, 0, size - inSize);
    }
    ~SystemBuffer()
    {
        if (!owner_) return;
        busy = false;
        if (pool.size() > kKeptBytes) std::vector<BYTE>().swap(pool);
    }
    SystemBuffer(const SystemBuffer&) = delete;
    SystemBuffer& operator=(const SystemBuffer&) = delete;

    std::span<BYTE> Span() const noexcept { return {bytes_, size_}; }

private:
    static constexpr std::size_t kKeptBytes = 1 << 20;  // larger one-off requests give their memory back
    static thread_local std::vector<BYTE> pool;
    static thread_local bool busy;
    std::vector<BYTE> nested_;
    BYTE* bytes_ = nullptr;
    std::size_t size_ = 0;
    bool owner_ = false;
};

thread_local std::vector<BYTE> SystemBuffer::pool;
thread_local bool SystemBuffer::busy = false;

}  // namespace

DeviceNamespace* InstallDeviceNamespace(DeviceNamespace* deviceNamespace)
{
    std::unique_lock guard(namespaceLock);
    std::swap(installedNamespace, deviceNamespace);
    return deviceNamespace;
}

HANDLE OpenDeviceFile(std::string_view path, DWORD desiredAccess, DWORD shareMode)
{
    std::shared_ptr<DeviceFile> file;
    DWORD error = ERROR_FILE_NOT_FOUND;
    {
        std::shared_lock guard(namespaceLock);
        if (installedNamespace != nullptr) file = installedNamespace->Open(path, desiredAccess, shareMode, error);
    }
    if (!file) {
        SetLastError(error != ERROR_SUCCESS ? error : ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    const auto object = std::make_shared<DeviceFileObject>(std::move(file));
    HANDLE handle = InsertHandle(object);
    if (handle == nullptr) {
        object->Cleanup();  // the table is full; the open file still gets its cleanup
        return INVALID_HANDLE_VALUE;
    }
    return handle;
}

}  // namespace win32

BOOL DeviceIoControl(HANDLE device, DWORD ioControlCode, LPVOID inBuffer, DWORD inBufferSize, LPVOID outBuffer,
                     DWORD outBufferSize, LPDWORD bytesReturned, LPOVERLAPPED /*overlapped*/)
{
    const auto object = win32::ObjectOfHandle<win32::DeviceFileObject>(device);
    if (!object) return FALSE;
    if ((inBuffer == nullptr && inBufferSize != 0) || (outBuffer == nullptr && outBufferSize != 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD returned = 0;
    try {
        win32::SystemBuffer buffer(inBuffer, inBufferSize, std::max(inBufferSize, outBufferSize));
        if (object->File().Control(ioControlCode, buffer.Span(), inBufferSize, outBufferSize, returned) == FALSE) {
            if (bytesReturned != nullptr) *bytesReturned = 0;
            return FALSE;
        }
        returned = std::min(returned, outBufferSize);
        if (returned != 0) std::memcpy(outBuffer, buffer.Span().data(), returned);
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        if (bytesReturned != nullptr) *bytesReturned = 0;
        return FALSE;
    }
    if (bytesReturned != nullptr) *bytesReturned = returned;
    return TRUE;
}
