// The Windows formatter: a printf subset without floating point, writing at
// most 1024 bytes (1023 characters and the terminator), as Windows does.
//
// Directives: %[flags][width][.precision][h|l]type with flags '-', '0', '#';
// types d i u x X c s and %%. 'l' reads a 32-bit LONG/ULONG (never a 64-bit
// C long), 'h' a 16-bit value. Precision is the maximum length for %s and
// the minimum number of digits for numbers. A NULL %s prints "(null)".
// Any other directive (%f, %p, %lld, a '*' width ...) is copied to the
// output as written and consumes no argument.
#include <cstdint>
#include <cstring>
#include <string_view>

#include "win32/strings.h"

namespace {

constexpr int kFormatLimit = 1024;  // bytes, terminator included

class CappedWriter {
public:
    explicit CappedWriter(char* buffer) : buffer_(buffer) {}

    void Put(char c)
    {
        if (length_ < kFormatLimit - 1) buffer_[length_++] = c;
    }
    void Put(std::string_view text)
    {
        for (char c : text) Put(c);
    }
    void Repeat(char c, int count)
    {
        for (int i = 0; i < count; ++i) Put(c);
    }
    int Finish()
    {
        buffer_[length_] = '\0';
        return length_;
    }

private:
    char* buffer_;
    int length_ = 0;
};

struct Directive {
    bool left = false;
    bool zero = false;
    bool alternate = false;
    int width = 0;
    int precision = -1;
    char size = 0;  // 'h', 'l' or none
    char type = 0;
};

// Parses the directive after '%'; returns the character after it, or nullptr
// when the directive is not one the formatter knows.
const char* ParseDirective(const char* p, Directive& d)
{
    for (;; ++p) {
        if (*p == '-')
            d.left = true;
        else if (*p == '0')
            d.zero = true;
        else if (*p == '#')
            d.alternate = true;
        else
            break;
    }
    // Widths beyond the output limit change nothing; stop counting there.
    for (; *p >= '0' && *p <= '9'; ++p)
        if (d.width < kFormatLimit) d.width = d.width * 10 + (*p - '0');
    if (*p == '.') {
        d.precision = 0;
        for (++p; *p >= '0' && *p <= '9'; ++p)
            if (d.precision < kFormatLimit) d.precision = d.precision * 10 + (*p - '0');
    }
    if (*p == 'h' || *p == 'l') d.size = *p++;
    switch (*p) {
    case 'd': case 'i': case 'u': case 'x': case 'X': case 'c': case 's':
        d.type = *p;
        return p + 1;
    default:
        return nullptr;
    }
}

void Pad(CappedWriter& out, const Directive& d, int length, std::string_view prefix, int zeros,
         std::string_view body)
{
    const int padding = d.width > length ? d.width - length : 0;
    const bool zeroPad = d.zero && !d.left && (d.precision < 0 || d.type == 'c' || d.type == 's');
    if (!d.left && !zeroPad) out.Repeat(' ', padding);
    out.Put(prefix);
    if (zeroPad) out.Repeat('0', padding);
    out.Repeat('0', zeros);
    out.Put(body);
    if (d.left) out.Repeat(' ', padding);
}

void FormatInteger(CappedWriter& out, const Directive& d, va_list& args)
{
    const bool isSigned = d.type == 'd' || d.type == 'i';
    std::uint32_t magnitude = 0;
    bool negative = false;
    if (isSigned) {
        std::int32_t value = va_arg(args, std::int32_t);
        if (d.size == 'h') value = static_cast<std::int16_t>(value);
        negative = value < 0;
        magnitude = negative ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
    } else {
        magnitude = va_arg(args, std::uint32_t);
        if (d.size == 'h') magnitude = static_cast<std::uint16_t>(magnitude);
    }

    const bool hex = d.type == 'x' || d.type == 'X';
    const char* digitSet = d.type == 'X' ? "0123456789ABCDEF" : "0123456789abcdef";
    const std::uint32_t base = hex ? 16 : 10;
    char digits[16];
    int count = 0;
    // Precision 0 with the value 0 prints no digit, as in C.
    for (std::uint32_t v = magnitude; v != 0 || (count == 0 && d.precision != 0); v /= base) {
        digits[sizeof digits - 1 - count] = digitSet[v % base];
        ++count;
    }
    std::string_view body(digits + sizeof digits - count, static_cast<std::size_t>(count));

    std::string_view prefix;
    if (negative)
        prefix = "-";
    else if (hex && d.alternate && magnitude != 0)
        prefix = d.type == 'X' ? "0X" : "0x";
    const int zeros = d.precision > count ? d.precision - count : 0;
    Pad(out, d, static_cast<int>(prefix.size()) + zeros + count, prefix, zeros, body);
}

void FormatText(CappedWriter& out, const Directive& d, va_list& args)
{
    const char* text = va_arg(args, const char*);
    if (text == nullptr) text = "(null)";
    std::size_t length = 0;
    // Bounded scan: a precision allows an unterminated field.
    while ((d.precision < 0 || length < static_cast<std::size_t>(d.precision)) && text[length] != '\0') ++length;
    if (length > kFormatLimit) length = kFormatLimit;
    Pad(out, d, static_cast<int>(length), {}, 0, std::string_view(text, length));
}

}  // namespace

int wvsprintfA(LPSTR buffer, LPCSTR format, va_list args)
{
    if (buffer == nullptr) return 0;
    CappedWriter out(buffer);
    if (format == nullptr) return out.Finish();

    va_list ap;
    va_copy(ap, args);
    for (const char* p = format; *p != '\0';) {
        if (*p != '%') {
            out.Put(*p++);
            continue;
        }
        if (p[1] == '%') {
            out.Put('%');
            p += 2;
            continue;
        }
        Directive d;
        const char* next = ParseDirective(p + 1, d);
        if (next == nullptr) {
            // Unknown directive: copy it as written, up to and including its type character.
            const char* end = p + 1;
            while (*end != '\0' && std::strchr("-0#123456789.hl", *end) != nullptr) ++end;
            if (*end != '\0') ++end;
            out.Put(std::string_view(p, static_cast<std::size_t>(end - p)));
            p = end;
            continue;
        }
        if (d.type == 's') {
            FormatText(out, d, ap);
        } else if (d.type == 'c') {
            const char c = static_cast<char>(va_arg(ap, int));
            Pad(out, d, 1, {}, 0, std::string_view(&c, 1));
        } else {
            FormatInteger(out, d, ap);
        }
        p = next;
    }
    va_end(ap);
    return out.Finish();
}

int wsprintfA(LPSTR buffer, LPCSTR format, ...)
{
    va_list args;
    va_start(args, format);
    const int length = wvsprintfA(buffer, format, args);
    va_end(args);
    return length;
}
