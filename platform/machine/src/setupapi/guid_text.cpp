#include "setupapi/guid_text.h"

#include <charconv>
#include <cctype>
#include <cstdio>

namespace machine::setupapi {
namespace {

template <typename T>
bool ParseHexField(std::string_view text, T& value)
{
    unsigned long long parsed = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed, 16);
    if (ec != std::errc() || end != text.data() + text.size()) return false;
    value = static_cast<T>(parsed);
    return true;
}

}  // namespace

std::optional<GUID> ParseGuid(std::string_view text)
{
    // {xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}
    if (text.size() != 38 || text.front() != '{' || text.back() != '}' || text[9] != '-' || text[14] != '-' ||
        text[19] != '-' || text[24] != '-')
        return std::nullopt;
    for (std::size_t i = 1; i < 37; ++i)
        if (text[i] != '-' && !std::isxdigit(static_cast<unsigned char>(text[i]))) return std::nullopt;
    GUID guid{};
    bool ok = ParseHexField(text.substr(1, 8), guid.Data1) && ParseHexField(text.substr(10, 4), guid.Data2) &&
              ParseHexField(text.substr(15, 4), guid.Data3);
    for (std::size_t i = 0; i < 8; ++i) {
        const std::size_t at = i < 2 ? 20 + 2 * i : 25 + 2 * (i - 2);
        ok = ok && ParseHexField(text.substr(at, 2), guid.Data4[i]);
    }
    if (!ok) return std::nullopt;
    return guid;
}

std::string FormatGuid(const GUID& guid)
{
    char text[40];
    std::snprintf(text, sizeof text, "{%08x-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x}", guid.Data1, guid.Data2,
                  guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4],
                  guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return text;
}

}  // namespace machine::setupapi
