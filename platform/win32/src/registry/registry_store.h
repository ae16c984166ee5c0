// The process's registry: the tree of the machine's hive, kept in step with
// the file. Every call runs as one transaction on the tree: a read refreshes
// the tree when another process has saved since; a write takes the hive's
// inter-process lock, refreshes, changes the tree and saves it before the
// lock goes, so two processes writing at once both keep their changes.
#pragma once

#include <functional>

#include "key_tree.h"
#include "win32/errors.h"

namespace win32::registry {

// What a transaction returns: a Win32 error code. A write saves only when it
// returns ERROR_SUCCESS and set `changed`.
using ReadTransaction = std::function<LONG(const Tree&)>;
using WriteTransaction = std::function<LONG(Tree&, bool& changed)>;

LONG ReadRegistry(const ReadTransaction& transaction);
LONG WriteRegistry(const WriteTransaction& transaction);

}  // namespace win32::registry
