#include "text_conversion.h"

#include "../utf.h"

namespace win32::registry {

std::u16string Utf8ToUtf16(std::string_view text)
{
    const std::span<const unsigned char> in(reinterpret_cast<const unsigned char*>(text.data()), text.size());
    std::u16string out;
    out.reserve(text.size());
    char16_t units[2];
    for (std::size_t at = 0; at < in.size();)
        out.append(units, static_cast<std::size_t>(utf::EncodeUtf16(utf::DecodeUtf8(in, at), units)));
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text)
{
    const std::span<const char16_t> in(text.data(), text.size());
    std::string out;
    out.reserve(text.size());
    char bytes[4];
    for (std::size_t at = 0; at < in.size();) {
        const std::size_t start = at;
        const char32_t cp = utf::DecodeUtf16(in, at);
        if (utf::IsSurrogate(in[start]) && at == start + 1)
            out += '?';  // unpaired: Windows' default character, not U+FFFD
        else
            out.append(bytes, static_cast<std::size_t>(utf::EncodeUtf8(cp, bytes)));
    }
    return out;
}

std::vector<BYTE> AnsiBytesToUtf16Bytes(std::span<const BYTE> bytes)
{
    const std::u16string wide =
        Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    std::vector<BYTE> out;
    out.reserve(wide.size() * 2);
    for (const char16_t unit : wide) {
        out.push_back(static_cast<BYTE>(unit & 0xFF));
        out.push_back(static_cast<BYTE>(unit >> 8));
    }
    return out;
}

std::vector<BYTE> Utf16BytesToAnsiBytes(std::span<const BYTE> bytes)
{
    std::u16string wide(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < wide.size(); ++i)
        wide[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    const std::string narrow = Utf16ToUtf8(wide);
    return {narrow.begin(), narrow.end()};
}

std::string NameFromWide(LPCWSTR name)
{
    if (name == nullptr) return {};
    std::size_t length = 0;
    while (name[length] != 0) ++length;
    return Utf16ToUtf8(std::u16string_view(name, length));
}

}  // namespace win32::registry
