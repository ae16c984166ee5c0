#include "open_files_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <thread>

#include "common/text.h"

namespace machine::sim {
namespace {

// A restart holds the card for a registry save; an open waits that long and more.
constexpr auto kShareWait = std::chrono::seconds(5);
constexpr std::size_t kNamedInstance = 64;  // of the instance, in the name; the hash tells the rest apart

int Flock(int fd, int operation) noexcept
{
    int result = 0;
    while ((result = ::flock(fd, operation)) != 0 && errno == EINTR) {
    }
    return result;
}

std::uint64_t Fnv1a(std::string_view text) noexcept
{
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
    return hash;
}

}  // namespace

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept
{
    if (this != &other) {
        Reset();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

void UniqueFd::Reset() noexcept
{
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

std::string LockFileName(const CardConfig& card)
{
    // Instances compare without regard to case, so the name does not keep it.
    std::string name = "card-";
    for (const char c : LowerText(card.instance.substr(0, kNamedInstance))) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.';
        name += plain ? c : '_';
    }
    char hash[24];
    std::snprintf(hash, sizeof hash, "-%016llx",
                  static_cast<unsigned long long>(Fnv1a(LowerText(InterfacePath(card)))));
    name += hash;
    name += ".lock";
    return name;
}

OpenFilesLock::OpenFilesLock(const std::filesystem::path& machineDirectory, const CardConfig& card)
{
    if (!machineDirectory.empty()) path_ = machineDirectory / LockFileName(card);
}

UniqueFd OpenFilesLock::OpenLockFile() const
{
    if (path_.empty()) return UniqueFd();
    return UniqueFd(::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666));
}

bool OpenFilesLock::Share()
{
    UniqueFd fd = OpenLockFile();
    if (fd.get() < 0) return true;  // nothing to share through: this process alone
    const auto deadline = std::chrono::steady_clock::now() + kShareWait;
    while (Flock(fd.get(), LOCK_SH | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK) return true;  // a file system without locks: this process alone
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    shared_ = std::move(fd);
    return true;
}

std::optional<UniqueFd> OpenFilesLock::TryExclusive() const
{
    UniqueFd fd = OpenLockFile();
    if (fd.get() < 0) return UniqueFd();
    if (Flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) return std::nullopt;
        return UniqueFd();
    }
    return fd;
}

}  // namespace machine::sim
