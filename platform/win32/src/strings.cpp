// The lstr* family and the code-page conversions.
//
// The lstr* calls tolerate NULL as Windows does: a NULL source reads as an
// empty text, a NULL destination makes the call return NULL. lstrcmpA orders
// as the Windows word sort orders plain text: letters alphabetically
// regardless of case, and only when two texts differ in case alone a
// lower-case letter before its upper-case form.
//
// Both code pages the system names (CP_ACP and CP_UTF8) are UTF-8 here.
// Malformed input becomes U+FFFD; the flags are ignored.
#include <cctype>
#include <cstdint>
#include <span>
#include <string_view>

#include "win32/errors.h"
#include "win32/strings.h"
#include "utf.h"

namespace {

int Sign(int value) { return value < 0 ? -1 : (value > 0 ? 1 : 0); }

int FoldedCompare(LPCSTR a, LPCSTR b)
{
    a = a != nullptr ? a : "";
    b = b != nullptr ? b : "";
    for (;; ++a, ++b) {
        const int ca = std::tolower(static_cast<unsigned char>(*a));
        const int cb = std::tolower(static_cast<unsigned char>(*b));
        if (ca != cb || ca == 0) return Sign(ca - cb);
    }
}

}  // namespace

int lstrlenA(LPCSTR text) { return text != nullptr ? static_cast<int>(std::strlen(text)) : 0; }

int lstrlenW(LPCWSTR text)
{
    if (text == nullptr) return 0;
    int length = 0;
    while (text[length] != 0) ++length;
    return length;
}

LPSTR lstrcpyA(LPSTR destination, LPCSTR source)
{
    if (destination == nullptr) return nullptr;
    const char* from = source != nullptr ? source : "";
    std::memmove(destination, from, std::strlen(from) + 1);
    return destination;
}

LPSTR lstrcpynA(LPSTR destination, LPCSTR source, int maxLength)
{
    if (destination == nullptr) return nullptr;
    if (maxLength <= 0) return destination;
    const char* from = source != nullptr ? source : "";
    int length = 0;
    while (length < maxLength - 1 && from[length] != '\0') ++length;
    std::memmove(destination, from, static_cast<std::size_t>(length));
    destination[length] = '\0';
    return destination;
}

LPSTR lstrcatA(LPSTR destination, LPCSTR source)
{
    if (destination == nullptr) return nullptr;
    const char* from = source != nullptr ? source : "";
    std::memmove(destination + std::strlen(destination), from, std::strlen(from) + 1);
    return destination;
}

int lstrcmpiA(LPCSTR a, LPCSTR b) { return FoldedCompare(a, b); }

int lstrcmpA(LPCSTR a, LPCSTR b)
{
    if (const int folded = FoldedCompare(a, b); folded != 0) return folded;
    a = a != nullptr ? a : "";
    b = b != nullptr ? b : "";
    for (; *a != '\0'; ++a, ++b)
        if (*a != *b) return std::islower(static_cast<unsigned char>(*a)) ? -1 : 1;
    return 0;
}

namespace {

using win32::utf::DecodeUtf16;
using win32::utf::DecodeUtf8;
using win32::utf::EncodeUtf16;
using win32::utf::EncodeUtf8;
using win32::utf::kReplacement;

bool CodePageKnown(UINT codePage) { return codePage == CP_ACP || codePage == CP_UTF8; }

// Common argument checks; false with ERROR_INVALID_PARAMETER set.
bool ConversionArgumentsValid(UINT codePage, const void* source, int sourceLength, const void* destination,
                              int destinationLength)
{
    if (!CodePageKnown(codePage) || source == nullptr || sourceLength == 0 || sourceLength < -1 ||
        destinationLength < 0 || (destination == nullptr && destinationLength > 0) || source == destination) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    return true;
}

// Writes the converted text when it fits; 0 with ERROR_INSUFFICIENT_BUFFER
// otherwise, leaving the destination untouched. A length of 0 asks for the size.
template <class Unit, class Encode>
int Deliver(std::size_t needed, Unit* destination, int destinationLength, Encode encode)
{
    if (destinationLength == 0) return static_cast<int>(needed);
    if (needed > static_cast<std::size_t>(destinationLength)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    encode(destination);
    return static_cast<int>(needed);
}

}  // namespace

int MultiByteToWideChar(UINT codePage, DWORD /*flags*/, LPCSTR source, int sourceLength, LPWSTR destination,
                        int destinationLength)
{
    if (!ConversionArgumentsValid(codePage, source, sourceLength, destination, destinationLength)) return 0;
    // -1: the text and its terminator.
    const std::size_t length =
        sourceLength == -1 ? std::strlen(source) + 1 : static_cast<std::size_t>(sourceLength);
    const std::span<const unsigned char> in(reinterpret_cast<const unsigned char*>(source), length);

    std::size_t needed = 0;
    for (std::size_t at = 0; at < in.size();) needed += static_cast<std::size_t>(EncodeUtf16(DecodeUtf8(in, at), nullptr));
    return Deliver(needed, destination, destinationLength, [&](WCHAR* out) {
        for (std::size_t at = 0; at < in.size();) out += EncodeUtf16(DecodeUtf8(in, at), out);
    });
}

int WideCharToMultiByte(UINT codePage, DWORD /*flags*/, LPCWSTR source, int sourceLength, LPSTR destination,
                        int destinationLength, LPCSTR defaultChar, LPBOOL usedDefaultChar)
{
    if (!ConversionArgumentsValid(codePage, source, sourceLength, destination, destinationLength)) return 0;
    // Windows refuses a default character for UTF-8: every character has a form.
    if (codePage == CP_UTF8 && (defaultChar != nullptr || usedDefaultChar != nullptr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::size_t length =
        sourceLength == -1 ? static_cast<std::size_t>(lstrlenW(source)) + 1 : static_cast<std::size_t>(sourceLength);
    const std::span<const WCHAR> in(source, length);

    std::size_t needed = 0;
    bool replaced = false;
    for (std::size_t at = 0; at < in.size();) {
        const char32_t cp = DecodeUtf16(in, at);
        replaced = replaced || (cp == kReplacement && in[at - 1] != kReplacement);
        needed += static_cast<std::size_t>(EncodeUtf8(cp, nullptr));
    }
    if (usedDefaultChar != nullptr) *usedDefaultChar = replaced ? TRUE : FALSE;
    return Deliver(needed, destination, destinationLength, [&](char* out) {
        for (std::size_t at = 0; at < in.size();) out += EncodeUtf8(DecodeUtf16(in, at), out);
    });
}
