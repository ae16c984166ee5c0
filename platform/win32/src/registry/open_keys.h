// Open registry keys. An HKEY names a key by its path from a root, not by
// the tree node, because the tree is read again whenever another process
// saves the hive; a key deleted since it was opened answers
// ERROR_KEY_DELETED. Key handles live in the one handle table, so they are
// small and not reused quickly; the predefined roots are fixed values above it.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "key_tree.h"
#include "win32/errors.h"

namespace win32::registry {

struct OpenKey {
    Root root;
    std::vector<std::string> path;
    REGSAM access;

    bool Allows(REGSAM right) const noexcept { return (access & right) == right; }
    // The key `subKey` (a backslash path; NULL or "" for this key) below this one.
    OpenKey Below(LPCSTR subKey, REGSAM desired) const;
    // The key's node in `tree`, or null when it is gone.
    std::shared_ptr<Key> In(const Tree& tree) const;
};

// The key behind `key`: a predefined root (every right) or an open key handle.
std::optional<OpenKey> ResolveKey(HKEY key);
// A new handle for `key`; ERROR_SUCCESS or the reason there is none.
LONG PublishKey(OpenKey key, PHKEY result);
// False when `key` is not an open key handle (roots need no closing).
bool CloseKey(HKEY key);

}  // namespace win32::registry
