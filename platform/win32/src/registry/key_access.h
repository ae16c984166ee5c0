// What every registry call does first: resolve the handle, check the right
// the call needs, find the key in the current tree and run the call's body
// as one transaction.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "key_tree.h"
#include "win32/errors.h"

namespace win32::registry {

LONG ReadKey(HKEY key, REGSAM right, const std::function<LONG(const Key&)>& body);
LONG WriteKey(HKEY key, REGSAM right, const std::function<LONG(Key&, bool& changed)>& body);

// A name into a caller's buffer of *size characters (terminator included);
// *size becomes the length without it. ERROR_MORE_DATA when it does not fit.
LONG CopyName(std::string_view name, LPSTR out, LPDWORD size);

// A value's bytes as a caller of the given width reads them: string values
// set through the other width are converted, everything else is as set.
std::vector<BYTE> ValueBytes(const Value& value, StringWidth reader);

}  // namespace win32::registry
