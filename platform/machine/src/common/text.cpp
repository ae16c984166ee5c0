#include "common/text.h"

namespace machine {
namespace {

char Lower(char c) noexcept { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool SameText(std::string_view a, std::string_view b) noexcept
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

bool StartsWithText(std::string_view text, std::string_view prefix) noexcept
{
    return text.size() >= prefix.size() && SameText(text.substr(0, prefix.size()), prefix);
}

std::string LowerText(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower) c = Lower(c);
    return lower;
}

}  // namespace machine
