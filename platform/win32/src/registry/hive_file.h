// The hive on disk: the text file, the lock file beside it and the
// generation counter that the lock file carries.
//
// Writers hold an exclusive flock on the lock file across load-modify-save.
// A save writes a temporary file in the same directory, syncs it and renames
// it over the hive, so a reader sees the old or the new hive, never a part.
// After the rename the writer counts the lock file's generation up; a reader
// reloads when that counter or the hive's identity (inode, size, times) has
// moved since it last loaded, so no change is missed even when a new file
// reuses an old inode within one timestamp tick.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace win32::registry {

struct FileIdentity {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;
    bool operator==(const FileIdentity&) const = default;
};

class HiveFile {
public:
    explicit HiveFile(std::filesystem::path directory);
    ~HiveFile();
    HiveFile(const HiveFile&) = delete;
    HiveFile& operator=(const HiveFile&) = delete;

    const std::filesystem::path& Directory() const noexcept { return directory_; }
    const std::filesystem::path& HivePath() const noexcept { return hivePath_; }

    // The exclusive inter-process lock; false when the lock file cannot be
    // opened or locked.
    bool Lock();
    void Unlock();
    // Forget a lock file descriptor inherited through fork(): it shares the
    // parent's lock, so the child must open its own (and must not unlock).
    void DropInherited();

    // The generation the last save left in the lock file (0 when none).
    std::uint64_t Generation();
    FileIdentity Identity() const;

    struct Contents {
        FileIdentity identity;  // of the file read; exists false when there is no hive
        std::string text;
        int error = 0;  // errno when the hive exists but cannot be read
    };
    Contents Read() const;

    // Replaces the hive with `text` atomically and counts the generation up;
    // the caller holds the lock. False with errno set on failure.
    bool Save(std::string_view text, FileIdentity& saved);

    // Renames the hive to "<hive>.corrupt-<time>" (the caller holds the lock).
    std::optional<std::filesystem::path> MoveAside();

private:
    bool OpenLockFile();

    std::filesystem::path directory_;
    std::filesystem::path hivePath_;
    std::filesystem::path lockPath_;
    int lockFd_ = -1;
    bool locked_ = false;
    std::uint64_t saveCount_ = 0;
};

}  // namespace win32::registry
