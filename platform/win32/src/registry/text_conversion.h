// The registry's conversions between the 8-bit text of the A calls and the
// UTF-16 of the W calls. The 8-bit side is UTF-8 (plain ASCII converts the
// same either way); bytes that are not UTF-8 become U+FFFD, and unpaired
// surrogates become '?', as Windows substitutes its default character.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "win32/types.h"

namespace win32::registry {

std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// String value bytes: 8-bit text to little-endian UTF-16 and back. An odd
// trailing byte of a UTF-16 value has no character and is dropped.
std::vector<BYTE> AnsiBytesToUtf16Bytes(std::span<const BYTE> bytes);
std::vector<BYTE> Utf16BytesToAnsiBytes(std::span<const BYTE> bytes);

// A NUL-terminated UTF-16 name as the tree keeps it; NULL is the empty name.
std::string NameFromWide(LPCWSTR name);

}  // namespace win32::registry
