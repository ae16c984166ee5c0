// The hive's text form. A line of version, a line saying that the hive ends
// with its closing line, a section per key, and the closing line:
//
//   zavo-hive 1
//   checksum crc32
//   [HKEY_LOCAL_MACHINE\SOFTWARE\ASIO\ASIO Zavo PCI\Settings]
//   class "DWORD"
//   written 134097264000000000
//   "Buffer size" = REG_DWORD hex:00020000 ; 512
//   "" = REG_SZ ansi hex:415349 ; "ASI"
//   end 207 crc32 63d3c116
//
// Every key has its own section, parents before children, subkeys in
// enumeration order. A value line holds the name, the type, for string types
// the encoding of the bytes ("ansi" as the A calls set them, "utf16" as the W
// calls set them) and the bytes in hex: the bytes are the truth, the text
// after ';' only shows them to a reader. In names, '%', '"' and control
// characters are written as %HH. Blank lines and lines starting with '#' are
// skipped.
//
// The closing line holds the byte length of everything before it and the
// CRC-32 of those bytes, so a hive cut short, changed or followed by more
// text is found out before any of it is taken. A hive without the second
// line was written by an earlier build: it has no closing line and is read
// as it stands; it gains the closing line at its next save.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "key_tree.h"

namespace win32::registry {

inline constexpr std::string_view kHiveVersionLine = "zavo-hive 1";

std::string WriteHive(const Tree& tree);

struct HiveReadResult {
    std::optional<Tree> tree;  // empty when the text cannot be parsed
    std::size_t line = 0;      // where it failed; 0 when it is the whole text that fails
    std::string reason;
};
HiveReadResult ReadHive(std::string_view text);

}  // namespace win32::registry
