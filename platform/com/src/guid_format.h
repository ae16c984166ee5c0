// The braced text of a GUID, written into a buffer of the caller's.
#pragma once

#include "com/com_types.h"

namespace com {

constexpr int kGuidTextSize = 39;  // 38 characters and the terminator

// Upper case, as StringFromCLSID gives it, into kGuidTextSize characters.
void FormatGuid(REFGUID guid, OLECHAR* text);

}  // namespace com
