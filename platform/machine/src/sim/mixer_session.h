// The card's mixer sessions: each opened by a file with a cookie of its own,
// with its meters switch and the queue of changes it has not yet read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "machine/sim_records.h"

namespace machine::sim {

struct MixerSession {
    std::uint32_t cookie = 0;
    std::uint64_t file = 0;
    bool meters = false;
    std::deque<NotifyEntry> queue;
};

class MixerSessions {
public:
    void Open(std::uint32_t cookie, std::uint64_t file);
    MixerSession* Find(std::uint32_t cookie, std::uint64_t file) noexcept;
    // False when the file has no such session.
    bool Close(std::uint32_t cookie, std::uint64_t file);
    void CloseFile(std::uint64_t file);
    void CloseAll() noexcept { sessions_.clear(); }
    std::size_t Count() const noexcept { return sessions_.size(); }

    // Queues the change on every session but those of `exceptFile` (0: on all).
    void Notify(NotifyEntry entry, std::uint64_t exceptFile);
    // Turns the meters of every session of `file` on or off; false when it has none
    // (another program, file 0, has none).
    bool SetMeters(std::uint64_t file, bool on);

private:
    std::vector<MixerSession> sessions_;
};

}  // namespace machine::sim
