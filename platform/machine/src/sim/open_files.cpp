// The card's open files in this process.
#include "open_files.h"

#include <utility>

namespace machine::sim {

std::optional<std::uint64_t> OpenFiles::Open()
{
    // Other processes see this one's files from the first; a restart there is waited out.
    if (files_.empty() && !lock_.Share()) return std::nullopt;
    const std::uint64_t id = next_++;
    files_.try_emplace(id);
    return id;
}

void OpenFiles::Keep(std::uint64_t file, SharedPages pages)
{
    const auto found = files_.find(file);
    if (found != files_.end()) found->second.push_back(std::move(pages));
}

}  // namespace machine::sim
