// Plain files and folders over POSIX, with Windows' dispositions and error
// codes. Programs build their paths with backslashes ("<program dir>\x
// sessions"); every '\' in a plain path is taken as '/'. Share modes are
// not enforced: POSIX has no mandatory sharing locks.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>

#include "device_open.h"
#include "kernel_object.h"
#include "win32/errors.h"
#include "win32/files.h"

namespace {

class PlainFile final : public win32::KernelObject {
public:
    explicit PlainFile(int descriptor) : descriptor_(descriptor) {}
    ~PlainFile() override { ::close(descriptor_); }
    PlainFile(const PlainFile&) = delete;
    PlainFile& operator=(const PlainFile&) = delete;

    win32::ObjectKind Kind() const noexcept override { return win32::ObjectKind::File; }
    int Descriptor() const noexcept { return descriptor_; }

private:
    int descriptor_;
};

std::string PosixPath(LPCSTR path)
{
    std::string posix(path);
    std::replace(posix.begin(), posix.end(), '\\', '/');
    return posix;
}

bool IsDevicePath(std::string_view path)
{
    return path.size() >= 4 && path[0] == '\\' && path[1] == '\\' && (path[2] == '?' || path[2] == '.') &&
           path[3] == '\\';
}

bool ParentExists(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return true;  // the current folder
    const std::string parent = slash == 0 ? "/" : path.substr(0, slash);
    struct stat info {};
    return ::stat(parent.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// errno as the Windows error the same failure gives.
DWORD ErrorFromErrno(int error, const std::string& path)
{
    switch (error) {
    case ENOENT:
        return ParentExists(path) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
    case ENOTDIR:
    case ENAMETOOLONG:
        return ERROR_PATH_NOT_FOUND;
    case EEXIST:
        return ERROR_FILE_EXISTS;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
        return ERROR_ACCESS_DENIED;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    default:
        return ERROR_INVALID_FUNCTION;
    }
}

bool Exists(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

HANDLE OpenPlainFile(LPCSTR fileName, DWORD desiredAccess, DWORD creationDisposition)
{
    const bool read = (desiredAccess & GENERIC_READ) != 0;
    const bool write = (desiredAccess & GENERIC_WRITE) != 0;
    int flags = O_CLOEXEC;
    switch (creationDisposition) {
    case CREATE_NEW: flags |= O_CREAT | O_EXCL; break;
    case CREATE_ALWAYS: flags |= O_CREAT | O_TRUNC; break;
    case OPEN_EXISTING: break;
    case OPEN_ALWAYS: flags |= O_CREAT; break;
    case TRUNCATE_EXISTING:
        if (!write) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return INVALID_HANDLE_VALUE;
        }
        flags |= O_TRUNC;
        break;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    // POSIX truncates only with write access; CREATE_ALWAYS without it still replaces the file.
    if (read && write)
        flags |= O_RDWR;
    else if (write)
        flags |= O_WRONLY;
    else
        flags |= (flags & O_TRUNC) != 0 ? O_RDWR : O_RDONLY;

    const std::string path = PosixPath(fileName);
    const bool existed = Exists(path);
    const int descriptor = ::open(path.c_str(), flags, 0666);
    if (descriptor < 0) {
        SetLastError(ErrorFromErrno(errno, path));
        return INVALID_HANDLE_VALUE;
    }
    struct stat info {};
    if (::fstat(descriptor, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(descriptor);  // a folder is no file to read or write
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    HANDLE handle = win32::InsertHandle(std::make_shared<PlainFile>(descriptor));
    if (handle == nullptr) return INVALID_HANDLE_VALUE;
    // Windows reports an existing file that CREATE_ALWAYS or OPEN_ALWAYS met.
    const bool creates = creationDisposition == CREATE_ALWAYS || creationDisposition == OPEN_ALWAYS;
    SetLastError(creates && existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

}  // namespace

HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode, LPSECURITY_ATTRIBUTES /*attributes*/,
                   DWORD creationDisposition, DWORD /*flagsAndAttributes*/, HANDLE /*templateFile*/)
{
    if (fileName == nullptr || *fileName == '\0') {
        SetLastError(fileName == nullptr ? ERROR_INVALID_PARAMETER : ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    if (IsDevicePath(fileName)) return win32::OpenDeviceFile(fileName, desiredAccess, shareMode);
    return OpenPlainFile(fileName, desiredAccess, creationDisposition);
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, LPOVERLAPPED /*overlapped*/)
{
    if (bytesRead != nullptr) *bytesRead = 0;
    const auto plain = win32::ObjectOfHandle<PlainFile>(file);
    if (!plain) return FALSE;
    if (buffer == nullptr && bytesToRead != 0) {
        SetLastError(ERROR_INVALID_USER_BUFFER);
        return FALSE;
    }
    // Reads until the count or the end of the file, as a synchronous ReadFile does.
    DWORD done = 0;
    while (done < bytesToRead) {
        const ssize_t got = ::read(plain->Descriptor(), static_cast<char*>(buffer) + done, bytesToRead - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            SetLastError(errno == EBADF ? ERROR_ACCESS_DENIED : ERROR_INVALID_FUNCTION);
            if (bytesRead != nullptr) *bytesRead = done;
            return FALSE;
        }
        if (got == 0) break;
        done += static_cast<DWORD>(got);
    }
    if (bytesRead != nullptr) *bytesRead = done;
    return TRUE;
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten, LPOVERLAPPED /*overlapped*/)
{
    if (bytesWritten != nullptr) *bytesWritten = 0;
    const auto plain = win32::ObjectOfHandle<PlainFile>(file);
    if (!plain) return FALSE;
    if (buffer == nullptr && bytesToWrite != 0) {
        SetLastError(ERROR_INVALID_USER_BUFFER);
        return FALSE;
    }
    DWORD done = 0;
    while (done < bytesToWrite) {
        const ssize_t put = ::write(plain->Descriptor(), static_cast<const char*>(buffer) + done, bytesToWrite - done);
        if (put < 0 && errno == EINTR) continue;
        if (put < 0) {
            SetLastError(errno == EBADF ? ERROR_ACCESS_DENIED : (errno == ENOSPC ? ERROR_DISK_FULL
                                                                                   : ERROR_INVALID_FUNCTION));
            if (bytesWritten != nullptr) *bytesWritten = done;
            return FALSE;
        }
        done += static_cast<DWORD>(put);
    }
    if (bytesWritten != nullptr) *bytesWritten = done;
    return TRUE;
}

BOOL CreateDirectoryA(LPCSTR pathName, LPSECURITY_ATTRIBUTES /*attributes*/)
{
    if (pathName == nullptr || *pathName == '\0') {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    std::string path = PosixPath(pathName);
    while (path.size() > 1 && path.back() == '/') path.pop_back();  // "x\" names the folder x
    if (::mkdir(path.c_str(), 0777) == 0) return TRUE;
    const int error = errno;
    SetLastError(error == EEXIST ? ERROR_ALREADY_EXISTS
                                 : (error == ENOENT ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(error, path)));
    return FALSE;
}

BOOL DeleteFileA(LPCSTR fileName)
{
    if (fileName == nullptr || *fileName == '\0') {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    const std::string path = PosixPath(fileName);
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);  // folders are not files, as on Windows
        return FALSE;
    }
    if (::unlink(path.c_str()) == 0) return TRUE;
    SetLastError(ErrorFromErrno(errno, path));
    return FALSE;
}

DWORD GetShortPathNameA(LPCSTR longPath, LPSTR shortPath, DWORD size)
{
    if (longPath == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // Only a path that exists has a short form, as on Windows.
    std::string path = PosixPath(longPath);
    if (!Exists(path)) {
        while (path.size() > 1 && path.back() == '/') path.pop_back();  // "x\" names the folder x
        SetLastError(ParentExists(path) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
        return 0;
    }
    const std::size_t length = std::strlen(longPath);
    // Too small (or no buffer): the size needed, terminator included.
    if (shortPath == nullptr || length >= size) return static_cast<DWORD>(length + 1);
    std::memmove(shortPath, longPath, length + 1);  // source and destination may be one buffer
    return static_cast<DWORD>(length);
}
