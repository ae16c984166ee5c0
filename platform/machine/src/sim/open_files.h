// The card's open files in this process: their ids (1, 2, ... in the order they
// were opened), the mappings each keeps after its transports closed, and the
// shared lock on the card that the process holds while any of them is open.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <vector>

#include "machine/card_config.h"
#include "open_files_lock.h"
#include "shared_pages.h"

namespace machine::sim {

class OpenFiles {
public:
    OpenFiles(const std::filesystem::path& machineDirectory, const CardConfig& card) : lock_(machineDirectory, card) {}

    // A new file; nullopt when it would be the first and a restart in another process
    // holds the card for longer than an open waits.
    std::optional<std::uint64_t> Open();
    bool IsOpen(std::uint64_t file) const noexcept { return files_.contains(file); }
    bool Empty() const noexcept { return files_.empty(); }
    std::size_t Count() const noexcept { return files_.size(); }

    // Keeps the pages of a closed transport mapped until its file closes.
    void Keep(std::uint64_t file, SharedPages pages);
    // Closes the file, unmapping what it kept. After the last one `lastClosed` runs,
    // before the shared lock is let go, so that no restart elsewhere comes between.
    template <class LastClosed>
    void Close(std::uint64_t file, LastClosed&& lastClosed)
    {
        if (files_.erase(file) == 0 || !files_.empty()) return;
        lastClosed();
        lock_.Unshare();
    }

    // A restart's hold on the card, as OpenFilesLock::TryExclusive gives it; the caller
    // checks first that no file is open here.
    std::optional<UniqueFd> HoldForRestart() const { return lock_.TryExclusive(); }

private:
    std::map<std::uint64_t, std::vector<SharedPages>> files_;  // [file]: pages kept
    OpenFilesLock lock_;
    std::uint64_t next_ = 1;
};

}  // namespace machine::sim
