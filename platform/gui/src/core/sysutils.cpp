// Formatting that checks its format, integer conversion, the string list.
#include "gui/sysutils.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <limits>

namespace {

[[noreturn]] void BadFormat(std::string_view format)
{
    throw EConvertError("Format '" + std::string(format) + "' invalid or incompatible with argument");
}

struct Spec {
    bool left = false, zero = false, plus = false, space = false;
    int width = -1, precision = -1;
    char conv = 0;
};

std::string Pad(std::string body, const Spec& s, bool numeric)
{
    if (s.width < 0 || static_cast<int>(body.size()) >= s.width) return body;
    const std::size_t fill = static_cast<std::size_t>(s.width) - body.size();
    if (s.left) return body + std::string(fill, ' ');
    if (s.zero && numeric) {
        std::size_t signLen = (!body.empty() && (body[0] == '-' || body[0] == '+' || body[0] == ' ')) ? 1 : 0;
        return body.substr(0, signLen) + std::string(fill, '0') + body.substr(signLen);
    }
    return std::string(fill, ' ') + body;
}

std::string Digits(std::uint64_t v, int base, bool upper)
{
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, base);
    std::string s(buf, end);
    if (upper)
        for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string Integer(const TFormatArg& a, const Spec& s, std::string_view format)
{
    bool negative = false;
    std::uint64_t magnitude = 0;
    if (a.kind() == TFormatArg::Kind::Integer) {
        const std::int64_t v = a.integer();
        negative = v < 0;
        magnitude = negative ? static_cast<std::uint64_t>(0) - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    } else if (a.kind() == TFormatArg::Kind::Unsigned) {
        magnitude = a.unsignedValue();
    } else {
        BadFormat(format);
    }
    std::string digits;
    if (s.conv == 'x' || s.conv == 'X') {
        // Hexadecimal shows the 32-bit pattern of a negative int, as printf does.
        std::uint64_t bits = negative ? static_cast<std::uint64_t>(static_cast<std::uint32_t>(a.integer())) : magnitude;
        if (negative && a.integer() < std::numeric_limits<std::int32_t>::min()) bits = static_cast<std::uint64_t>(a.integer());
        digits = Digits(bits, 16, s.conv == 'X');
        negative = false;
    } else {
        digits = Digits(magnitude, 10, false);
    }
    if (s.precision >= 0 && static_cast<int>(digits.size()) < s.precision)
        digits = std::string(static_cast<std::size_t>(s.precision) - digits.size(), '0') + digits;
    std::string sign = negative ? "-" : (s.plus ? "+" : (s.space ? " " : ""));
    Spec padSpec = s;
    if (s.precision >= 0) padSpec.zero = false;
    return Pad(sign + digits, padSpec, true);
}

std::string Floating(const TFormatArg& a, const Spec& s, std::string_view format)
{
    double v = 0;
    switch (a.kind()) {
    case TFormatArg::Kind::Float: v = a.floating(); break;
    case TFormatArg::Kind::Integer: v = static_cast<double>(a.integer()); break;
    case TFormatArg::Kind::Unsigned: v = static_cast<double>(a.unsignedValue()); break;
    default: BadFormat(format);
    }
    char fmt[16];
    int n = 0;
    fmt[n++] = '%';
    if (s.plus) fmt[n++] = '+';
    if (s.space) fmt[n++] = ' ';
    fmt[n++] = '.';
    fmt[n] = 0;
    const int precision = s.precision >= 0 ? std::min(s.precision, 60) : 6;
    std::snprintf(fmt + n, sizeof fmt - static_cast<std::size_t>(n), "%d%c", precision, s.conv);
    char buf[400];
    std::snprintf(buf, sizeof buf, fmt, v);
    Spec padSpec = s;
    return Pad(buf, padSpec, true);
}

}  // namespace

std::string FormatArgs(std::string_view format, std::initializer_list<TFormatArg> args)
{
    std::string out;
    auto next = args.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c != '%') {
            out += c;
            continue;
        }
        if (++i >= format.size()) BadFormat(format);
        if (format[i] == '%') {
            out += '%';
            continue;
        }
        Spec s;
        for (; i < format.size(); ++i) {
            const char f = format[i];
            if (f == '-') s.left = true;
            else if (f == '0') s.zero = true;
            else if (f == '+') s.plus = true;
            else if (f == ' ') s.space = true;
            else break;
        }
        auto number = [&](int& into) {
            into = 0;
            bool any = false;
            while (i < format.size() && std::isdigit(static_cast<unsigned char>(format[i]))) {
                into = into * 10 + (format[i] - '0');
                if (into > 1000) BadFormat(format);
                ++i;
                any = true;
            }
            return any;
        };
        int w = 0;
        if (number(w)) s.width = w;
        if (i < format.size() && format[i] == '.') {
            ++i;
            int p = 0;
            number(p);
            s.precision = p;
        }
        if (i >= format.size()) BadFormat(format);
        s.conv = format[i];
        if (next == args.end()) BadFormat(format);
        const TFormatArg& a = *next++;
        switch (s.conv) {
        case 'd': case 'i': case 'u': case 'x': case 'X':
            out += Integer(a, s, format);
            break;
        case 'f': case 'e': case 'g': case 'E': case 'G':
            out += Floating(a, s, format);
            break;
        case 's': {
            if (a.kind() != TFormatArg::Kind::Text) BadFormat(format);
            std::string t = a.text();
            if (s.precision >= 0 && static_cast<int>(t.size()) > s.precision) t.resize(static_cast<std::size_t>(s.precision));
            out += Pad(t, s, false);
            break;
        }
        case 'c':
            if (a.kind() == TFormatArg::Kind::Text && a.text().size() == 1) out += Pad(a.text(), s, false);
            else if (a.kind() == TFormatArg::Kind::Integer) out += Pad(std::string(1, static_cast<char>(a.integer())), s, false);
            else BadFormat(format);
            break;
        default:
            BadFormat(format);
        }
    }
    return out;
}

std::string IntToStr(std::int64_t value)
{
    return std::to_string(value);
}

int StrToInt(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    std::string_view rest = text.substr(i);
    bool negative = false;
    if (!rest.empty() && (rest[0] == '+' || rest[0] == '-')) {
        negative = rest[0] == '-';
        rest.remove_prefix(1);
    }
    auto fail = [&]() -> int { throw EConvertError("'" + std::string(text) + "' is not a valid integer value"); };
    if (rest.empty()) return fail();
    std::int64_t v = 0;
    for (char c : rest) {
        if (c < '0' || c > '9') return fail();
        v = v * 10 + (c - '0');
        if (v > static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1) return fail();
    }
    if (negative) v = -v;
    if (v > std::numeric_limits<std::int32_t>::max() || v < std::numeric_limits<std::int32_t>::min()) return fail();
    return static_cast<int>(v);
}

int StrToIntDef(std::string_view text, int fallback)
{
    try {
        return StrToInt(text);
    } catch (const EConvertError&) {
        return fallback;
    }
}

int TStringList::Add(std::string s)
{
    items_.push_back(std::move(s));
    Changed();
    return Count() - 1;
}

void TStringList::Insert(int index, std::string s)
{
    if (index < 0 || index > Count()) throw Exception("List index out of bounds (" + std::to_string(index) + ")");
    items_.insert(items_.begin() + index, std::move(s));
    Changed();
}

void TStringList::Delete(int index)
{
    if (index < 0 || index >= Count()) throw Exception("List index out of bounds (" + std::to_string(index) + ")");
    items_.erase(items_.begin() + index);
    Changed();
}

void TStringList::Clear()
{
    items_.clear();
    Changed();
}

void TStringList::Assign(const TStringList& source)
{
    if (&source == this) return;
    items_ = source.items_;
    Changed();
}

void TStringList::Changed()
{
    if (!OnChange) return;
    // A copy: the handler may rebind OnChange.
    const std::function<void()> handler = OnChange;
    handler();
}

int TStringList::IndexOf(std::string_view s) const
{
    for (int i = 0; i < Count(); ++i) {
        const std::string& item = items_[static_cast<std::size_t>(i)];
        if (item.size() != s.size()) continue;
        bool same = true;
        for (std::size_t k = 0; k < s.size() && same; ++k)
            same = std::tolower(static_cast<unsigned char>(item[k])) == std::tolower(static_cast<unsigned char>(s[k]));
        if (same) return i;
    }
    return -1;
}

const std::string& TStringList::Strings(int index) const
{
    if (index < 0 || index >= Count()) throw Exception("List index out of bounds (" + std::to_string(index) + ")");
    return items_[static_cast<std::size_t>(index)];
}

void TStringList::SetStrings(int index, std::string s)
{
    if (index < 0 || index >= Count()) throw Exception("List index out of bounds (" + std::to_string(index) + ")");
    items_[static_cast<std::size_t>(index)] = std::move(s);
    Changed();
}

std::string TStringList::Text() const
{
    std::string t;
    for (const auto& s : items_) t += s + "\r\n";
    return t;
}

void TStringList::SetText(std::string_view text)
{
    items_.clear();
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            items_.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            line += c;
        }
    }
    if (!line.empty()) items_.push_back(line);
    Changed();
}
