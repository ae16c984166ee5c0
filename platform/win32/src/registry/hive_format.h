// The hive's text form. One line of version, then a section per key:
//
//   zavo-hive 1
//   [HKEY_LOCAL_MACHINE\SOFTWARE\ASIO\ASIO Zavo PCI\Settings]
//   class "DWORD"
//   written 134097264000000000
//   "Buffer size" = REG_DWORD hex:00020000 ; 512
//   "" = REG_SZ ansi hex:415349 ; "ASI"
//
// Every key has its own section, parents before children, subkeys in
// enumeration order. A value line holds the name, the type, for string types
// the encoding of the bytes ("ansi" as the A calls set them, "utf16" as the W
// calls set them) and the bytes in hex: the bytes are the truth, the text
// after ';' only shows them to a reader. In names, '%', '"' and control
// characters are written as %HH. Blank lines and lines starting with '#' are
// skipped.
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
    std::size_t line = 0;      // where it failed
    std::string reason;
};
HiveReadResult ReadHive(std::string_view text);

}  // namespace win32::registry
