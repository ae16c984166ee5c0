// The card's open files as every process of the machine sees them. While a
// process has a file of the card open, it holds a shared flock on the card's
// lock file in the machine directory; a restart takes that lock exclusively,
// without waiting, and is refused when it cannot. A process lets go of its
// locks however it ends, and a lock file left behind holds nothing.
#pragma once

#include <filesystem>
#include <optional>

#include "machine/card_config.h"

namespace machine::sim {

// A file descriptor, closed with the object. Closing, never unlocking, lets go of
// a lock: a child forked meanwhile keeps holding what it inherited.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) noexcept : fd_(fd) {}
    ~UniqueFd() { Reset(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const noexcept { return fd_; }
    void Reset() noexcept;

private:
    int fd_ = -1;
};

class OpenFilesLock {
public:
    // Without a machine directory the card is seen by this process alone.
    OpenFilesLock(const std::filesystem::path& machineDirectory, const CardConfig& card);

    // The first file of the card in this process opens. Waits while a restart in another
    // process holds the card; false when that takes longer than an open may wait.
    bool Share();
    // The last file of the card in this process has closed.
    void Unshare() noexcept { shared_.Reset(); }

    // A restart's hold on the card, kept until it goes; nothing when a file of the card
    // is open in another process. (This process's own files are the caller's to check:
    // their shared lock would refuse it too.) Where the lock file cannot be had, the
    // hold is empty and the restart sees this process alone.
    std::optional<UniqueFd> TryExclusive() const;

private:
    UniqueFd OpenLockFile() const;

    std::filesystem::path path_;  // empty: no lock file
    UniqueFd shared_;
};

// "card-<instance, sanitised>-<hash of the interface path>.lock": distinct for every
// card of a machine, whatever its instance holds, and the same in every process.
std::string LockFileName(const CardConfig& card);

}  // namespace machine::sim
