// One code point at a time between UTF-8, UTF-16 and UTF-32, for the
// code-page conversions and the registry's A and W calls alike. Malformed,
// overlong and surrogate UTF-8 and lone UTF-16 surrogates decode as U+FFFD
// and consume one unit, so no input is ever skipped silently.
#pragma once

#include <cstddef>
#include <span>

namespace win32::utf {

constexpr char32_t kReplacement = 0xFFFD;

constexpr bool IsSurrogate(char32_t unit) noexcept { return unit >= 0xD800 && unit <= 0xDFFF; }

inline char32_t DecodeUtf8(std::span<const unsigned char> in, std::size_t& at) noexcept
{
    const unsigned char lead = in[at++];
    if (lead < 0x80) return lead;
    std::size_t extra = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1, cp = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2, cp = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3, cp = lead & 0x07, minimum = 0x10000;
    } else {
        return kReplacement;
    }
    if (at + extra > in.size()) return kReplacement;
    for (std::size_t i = 0; i < extra; ++i) {
        const unsigned char next = in[at + i];
        if ((next & 0xC0) != 0x80) return kReplacement;
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || IsSurrogate(cp)) return kReplacement;
    at += extra;
    return cp;
}

inline char32_t DecodeUtf16(std::span<const char16_t> in, std::size_t& at) noexcept
{
    const char32_t unit = in[at++];
    if (!IsSurrogate(unit)) return unit;
    if (unit <= 0xDBFF && at < in.size() && in[at] >= 0xDC00 && in[at] <= 0xDFFF)
        return 0x10000 + ((unit - 0xD800) << 10) + (in[at++] - 0xDC00);
    return kReplacement;
}

// Each writes the code point at `out` unless it is null, and returns how
// many units it takes.
inline int EncodeUtf8(char32_t cp, char* out) noexcept
{
    if (cp < 0x80) {
        if (out) out[0] = static_cast<char>(cp);
        return 1;
    }
    if (cp < 0x800) {
        if (out) out[0] = static_cast<char>(0xC0 | (cp >> 6)), out[1] = static_cast<char>(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        if (out) {
            out[0] = static_cast<char>(0xE0 | (cp >> 12));
            out[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out[2] = static_cast<char>(0x80 | (cp & 0x3F));
        }
        return 3;
    }
    if (out) {
        out[0] = static_cast<char>(0xF0 | (cp >> 18));
        out[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out[3] = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return 4;
}

inline int EncodeUtf16(char32_t cp, char16_t* out) noexcept
{
    if (cp < 0x10000) {
        if (out) out[0] = static_cast<char16_t>(cp);
        return 1;
    }
    if (out) {
        out[0] = static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
        out[1] = static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    }
    return 2;
}

}  // namespace win32::utf
