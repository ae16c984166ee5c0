// Names compared as Windows compares them: ASCII letters ignoring case.
#pragma once

#include <algorithm>
#include <cctype>
#include <string_view>

namespace win32 {

inline bool EqualNoCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace win32
