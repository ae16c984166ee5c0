#include "hive_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <system_error>

namespace win32::registry {
namespace {

constexpr const char* kHiveName = "registry.hive";
constexpr const char* kLockName = "registry.lock";

FileIdentity IdentityOf(const struct stat& info)
{
    FileIdentity identity;
    identity.exists = true;
    identity.device = info.st_dev;
    identity.inode = info.st_ino;
    identity.size = info.st_size;
    identity.modifiedNs = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    identity.changedNs = static_cast<std::int64_t>(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec;
    return identity;
}

bool WriteAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t written = ::write(fd, text.data(), text.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Closes a descriptor and keeps the errno of whatever failed before.
void CloseKeepingErrno(int fd)
{
    const int saved = errno;
    ::close(fd);
    errno = saved;
}

}  // namespace

HiveFile::HiveFile(std::filesystem::path directory)
    : directory_(std::move(directory)), hivePath_(directory_ / kHiveName), lockPath_(directory_ / kLockName)
{
}

HiveFile::~HiveFile()
{
    if (lockFd_ >= 0) ::close(lockFd_);
}

bool HiveFile::OpenLockFile()
{
    if (lockFd_ >= 0) return true;
    lockFd_ = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    return lockFd_ >= 0;
}

bool HiveFile::Lock()
{
    if (!OpenLockFile()) return false;
    while (::flock(lockFd_, LOCK_EX) != 0)
        if (errno != EINTR) return false;
    locked_ = true;
    return true;
}

void HiveFile::Unlock()
{
    if (locked_ && lockFd_ >= 0) ::flock(lockFd_, LOCK_UN);
    locked_ = false;
}

void HiveFile::DropInherited()
{
    if (lockFd_ >= 0) ::close(lockFd_);
    lockFd_ = -1;
    locked_ = false;
}

std::uint64_t HiveFile::Generation()
{
    if (!OpenLockFile()) return 0;
    std::uint64_t generation = 0;
    if (::pread(lockFd_, &generation, sizeof generation, 0) != static_cast<ssize_t>(sizeof generation)) return 0;
    return generation;
}

FileIdentity HiveFile::Identity() const
{
    struct stat info{};
    if (::stat(hivePath_.c_str(), &info) != 0) return {};
    return IdentityOf(info);
}

HiveFile::Contents HiveFile::Read() const
{
    Contents contents;
    const int fd = ::open(hivePath_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT) contents.identity = Identity(), contents.error = errno;
        return contents;
    }
    struct stat info{};
    if (::fstat(fd, &info) != 0) {
        contents.error = errno;
        ::close(fd);
        return contents;
    }
    // The identity of the very file read, so a replacement after this is seen.
    contents.identity = IdentityOf(info);
    contents.text.resize(static_cast<std::size_t>(info.st_size));
    std::size_t have = 0;
    while (true) {
        if (have == contents.text.size()) contents.text.resize(have + 4096);
        const ssize_t got = ::read(fd, contents.text.data() + have, contents.text.size() - have);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            contents.error = errno;
            break;
        }
        if (got == 0) break;
        have += static_cast<std::size_t>(got);
    }
    contents.text.resize(have);
    ::close(fd);
    return contents;
}

bool HiveFile::Save(std::string_view text, FileIdentity& saved)
{
    const std::filesystem::path temporary =
        hivePath_.string() + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(++saveCount_);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    if (!WriteAll(fd, text) || ::fsync(fd) != 0) {
        CloseKeepingErrno(fd);
        ::unlink(temporary.c_str());
        return false;
    }
    struct stat info{};
    const bool known = ::fstat(fd, &info) == 0;
    if (::close(fd) != 0 || ::rename(temporary.c_str(), hivePath_.c_str()) != 0) {
        const int saved_errno = errno;
        ::unlink(temporary.c_str());
        errno = saved_errno;
        return false;
    }
    // The rename itself is made durable through the directory.
    if (const int dir = ::open(directory_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    // rename() changes the ctime, so take the identity from the path now.
    saved = known ? Identity() : FileIdentity{};
    const std::uint64_t next = Generation() + 1;
    if (OpenLockFile()) (void)!::pwrite(lockFd_, &next, sizeof next, 0);
    return true;
}

std::optional<std::filesystem::path> HiveFile::MoveAside()
{
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    ::gmtime_r(&now, &parts);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%dT%H%M%SZ", &parts);
    const std::string base = hivePath_.string() + ".corrupt-" + stamp;
    // Never over an earlier copy kept aside in the same second.
    for (int n = 1; n < 1000; ++n) {
        const std::filesystem::path aside = n == 1 ? base : base + "-" + std::to_string(n);
        std::error_code error;
        if (std::filesystem::exists(aside, error) || error) continue;
        if (::rename(hivePath_.c_str(), aside.c_str()) == 0) return aside;
        return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace win32::registry
