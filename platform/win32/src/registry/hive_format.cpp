#include "hive_format.h"

#include <zlib.h>

#include <array>
#include <charconv>
#include <cstdint>

#include "text_conversion.h"

namespace win32::registry {
namespace {

constexpr std::array<std::string_view, 12> kTypeNames = {
    "REG_NONE",          "REG_SZ",        "REG_EXPAND_SZ",
    "REG_BINARY",        "REG_DWORD",     "REG_DWORD_BIG_ENDIAN",
    "REG_LINK",          "REG_MULTI_SZ",  "REG_RESOURCE_LIST",
    "REG_FULL_RESOURCE_DESCRIPTOR", "REG_RESOURCE_REQUIREMENTS_LIST", "REG_QWORD"};
constexpr std::string_view kOtherTypePrefix = "type:";
constexpr std::string_view kHexPrefix = "hex:";
constexpr char kDigits[] = "0123456789abcdef";
// The second line of every hive this build writes: it ends with a closing line.
constexpr std::string_view kChecksumLine = "checksum crc32";
// How the closing line starts, with the newline before it.
constexpr std::string_view kClosingStart = "\nend ";

bool NeedsEscape(unsigned char c) noexcept { return c < 0x20 || c == 0x7F || c == '%' || c == '"'; }

void AppendEscaped(std::string& out, std::string_view name)
{
    for (const char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (NeedsEscape(c)) {
            out += '%';
            out += kDigits[c >> 4];
            out += kDigits[c & 0xF];
        } else {
            out += ch;
        }
    }
}

void AppendQuoted(std::string& out, std::string_view name)
{
    out += '"';
    AppendEscaped(out, name);
    out += '"';
}

// What a reader sees after ';': the text of a string value, the number of a DWORD.
void AppendRendering(std::string& out, const Value& value)
{
    if (IsStringType(value.type)) {
        const std::vector<BYTE> text = value.width == StringWidth::Utf16 ? Utf16BytesToAnsiBytes(value.data)
                                                                         : value.data;
        out += " ; \"";
        for (const BYTE c : text) {
            if (c == 0) {
                out += "\\0";
            } else if (c < 0x20 || c == 0x7F) {
                out += "\\x";
                out += kDigits[c >> 4];
                out += kDigits[c & 0xF];
            } else {
                if (c == '"' || c == '\\') out += '\\';
                out += static_cast<char>(c);
            }
        }
        out += '"';
    } else if (value.type == REG_DWORD && value.data.size() == 4) {
        const DWORD number = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
                             (static_cast<DWORD>(value.data[3]) << 24);
        out += " ; " + std::to_string(number);
    }
}

void AppendValue(std::string& out, const Value& value)
{
    AppendQuoted(out, value.name);
    out += " = ";
    if (value.type < kTypeNames.size())
        out += kTypeNames[value.type];
    else
        out += std::string(kOtherTypePrefix) + std::to_string(value.type);
    if (IsStringType(value.type)) out += value.width == StringWidth::Utf16 ? " utf16" : " ansi";
    out += ' ';
    out += kHexPrefix;
    for (const BYTE b : value.data) {
        out += kDigits[b >> 4];
        out += kDigits[b & 0xF];
    }
    AppendRendering(out, value);
    out += '\n';
}

void AppendKey(std::string& out, const Key& key, std::string& path)
{
    out += '[';
    out += path;
    out += "]\n";
    if (!key.className.empty()) {
        out += "class ";
        AppendQuoted(out, key.className);
        out += '\n';
    }
    if (key.lastWrite != 0) out += "written " + std::to_string(key.lastWrite) + '\n';
    for (const auto& value : key.values) AppendValue(out, value);
    for (const auto& [name, child] : key.subkeys) {
        const std::size_t mark = path.size();
        path += '\\';
        AppendEscaped(path, name);
        AppendKey(out, *child, path);
        path.resize(mark);
    }
}

// A reader over one line; every step says whether the line still fits.
class LineReader {
public:
    explicit LineReader(std::string_view line) : rest_(line) {}

    bool AtEnd() const noexcept { return rest_.empty(); }
    void SkipSpaces()
    {
        while (!rest_.empty() && rest_.front() == ' ') rest_.remove_prefix(1);
    }
    bool Take(std::string_view prefix)
    {
        if (!rest_.starts_with(prefix)) return false;
        rest_.remove_prefix(prefix.size());
        return true;
    }
    std::string_view Word()
    {
        const auto end = rest_.find(' ');
        const auto word = rest_.substr(0, end);
        rest_.remove_prefix(word.size());
        return word;
    }
    bool Quoted(std::string& out)
    {
        if (!Take("\"")) return false;
        const auto end = rest_.find('"');
        if (end == std::string_view::npos) return false;
        if (!Unescape(rest_.substr(0, end), out)) return false;
        rest_.remove_prefix(end + 1);
        return true;
    }
    // Nothing more, or only the rendering after ';'.
    bool Finished()
    {
        SkipSpaces();
        return rest_.empty() || rest_.front() == ';';
    }

    static bool Unescape(std::string_view text, std::string& out)
    {
        out.clear();
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] != '%') {
                out += text[i];
                continue;
            }
            int high = 0, low = 0;
            if (i + 2 >= text.size()) return false;
            if (!HexDigit(text[i + 1], high) || !HexDigit(text[i + 2], low)) return false;
            out += static_cast<char>(high * 16 + low);
            i += 2;
        }
        return true;
    }
    static bool HexDigit(char c, int& digit)
    {
        if (c >= '0' && c <= '9') return digit = c - '0', true;
        if (c >= 'a' && c <= 'f') return digit = c - 'a' + 10, true;
        if (c >= 'A' && c <= 'F') return digit = c - 'A' + 10, true;
        return false;
    }

private:
    std::string_view rest_;
};

std::optional<DWORD> ParseType(std::string_view word)
{
    for (std::size_t i = 0; i < kTypeNames.size(); ++i)
        if (word == kTypeNames[i]) return static_cast<DWORD>(i);
    if (!word.starts_with(kOtherTypePrefix)) return std::nullopt;
    word.remove_prefix(kOtherTypePrefix.size());
    DWORD type = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), type);
    if (error != std::errc() || end != word.data() + word.size()) return std::nullopt;
    return type;
}

bool ParseHex(std::string_view word, std::vector<BYTE>& out)
{
    if (word.size() % 2 != 0) return false;
    out.clear();
    out.reserve(word.size() / 2);
    for (std::size_t i = 0; i < word.size(); i += 2) {
        int high = 0, low = 0;
        if (!LineReader::HexDigit(word[i], high) || !LineReader::HexDigit(word[i + 1], low)) return false;
        out.push_back(static_cast<BYTE>(high * 16 + low));
    }
    return true;
}

// The parser's state between lines.
class HiveParser {
public:
    // An empty string on success, else why the line cannot be read.
    std::string Line(std::string_view line)
    {
        if (line.empty() || line.front() == '#') return {};
        if (line.front() == '[') return Section(line);
        if (!key_) return "a line outside any key";
        LineReader reader(line);
        if (reader.Take("class ")) {
            if (!reader.Quoted(key_->className) || !reader.Finished()) return "a bad class line";
            return {};
        }
        if (reader.Take("written ")) {
            const auto word = reader.Word();
            const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), key_->lastWrite);
            if (error != std::errc() || end != word.data() + word.size() || !reader.Finished())
                return "a bad written line";
            return {};
        }
        if (line.front() == '"') return ValueLine(reader);
        return "an unknown line";
    }

    Tree Take() { return std::move(tree_); }

private:
    std::string Section(std::string_view line)
    {
        if (line.size() < 2 || line.back() != ']') return "a key line without its ']'";
        std::string_view path = line.substr(1, line.size() - 2);
        std::string name;
        key_ = nullptr;
        while (true) {
            const auto slash = path.find('\\');
            if (!LineReader::Unescape(path.substr(0, slash), name) || name.empty()) return "a bad key name";
            if (!key_) {
                const auto root = RootFromName(name);
                if (!root) return "an unknown root key";
                key_ = tree_.RootKey(*root);
            } else {
                bool created = false;
                const auto written = key_->lastWrite;  // reading is not writing
                auto child = key_->CreateSubkey(name, created);
                key_->lastWrite = written;
                key_ = std::move(child);
            }
            if (slash == std::string_view::npos) break;
            path.remove_prefix(slash + 1);
        }
        return {};
    }

    std::string ValueLine(LineReader& reader)
    {
        Value value;
        if (!reader.Quoted(value.name)) return "a bad value name";
        reader.SkipSpaces();
        if (!reader.Take("=")) return "a value without '='";
        reader.SkipSpaces();
        const auto type = ParseType(reader.Word());
        if (!type) return "an unknown value type";
        value.type = *type;
        reader.SkipSpaces();
        if (IsStringType(value.type)) {
            const auto width = reader.Word();
            if (width == "utf16")
                value.width = StringWidth::Utf16;
            else if (width != "ansi")
                return "a string value without its encoding";
            reader.SkipSpaces();
        }
        if (!reader.Take(kHexPrefix) || !ParseHex(reader.Word(), value.data)) return "bad value bytes";
        if (!reader.Finished()) return "text after the value bytes";
        const auto written = key_->lastWrite;
        key_->SetValue(std::move(value));
        key_->lastWrite = written;  // reading is not writing
        return {};
    }

    Tree tree_;
    std::shared_ptr<Key> key_;
};

// The first two lines of a hive that ends with a closing line.
const std::string& CheckedHead()
{
    static const std::string head = std::string(kHiveVersionLine) + '\n' + std::string(kChecksumLine) + '\n';
    return head;
}

// The closing line that belongs after `before`, without its newline.
std::string ClosingLine(std::string_view before)
{
    const auto crc = static_cast<std::uint32_t>(
        crc32_z(crc32_z(0, Z_NULL, 0), reinterpret_cast<const Bytef*>(before.data()), before.size()));
    std::string line(kClosingStart.substr(1));
    line += std::to_string(before.size());
    line += " crc32 ";
    for (int shift = 28; shift >= 0; shift -= 4) line += kDigits[(crc >> shift) & 0xF];
    return line;
}

HiveReadResult Unreadable(std::size_t line, std::string reason)
{
    HiveReadResult result;
    result.line = line;
    result.reason = std::move(reason);
    return result;
}

// The version line and the keys, line by line.
HiveReadResult ParseHive(std::string_view text)
{
    HiveParser parser;
    std::size_t number = 0;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++number;
        if (line.ends_with('\r')) line.remove_suffix(1);  // a hive edited on another system
        if (number == 1) {
            if (line != kHiveVersionLine)
                return Unreadable(1, line.starts_with("zavo-hive ") ? "an unsupported version" : "no version line");
            continue;
        }
        if (number == 2 && line == kChecksumLine) continue;
        if (auto reason = parser.Line(line); !reason.empty()) return Unreadable(number, std::move(reason));
    }
    HiveReadResult result;
    result.tree = parser.Take();
    return result;
}

}  // namespace

std::string WriteHive(const Tree& tree)
{
    std::string out = CheckedHead();
    out += "# The registry of the simulated machine. Value bytes are in hex; the text after ';' only shows them.\n";
    out += "# The end line holds the length and CRC-32 of all before it: a hive changed by hand is kept aside as "
           "damaged.\n";
    for (const auto& root : tree.roots) {
        std::string path = root->name;
        AppendKey(out, *root, path);
    }
    out += ClosingLine(out);
    out += '\n';
    return out;
}

HiveReadResult ReadHive(std::string_view text)
{
    if (text.empty()) return Unreadable(1, "an empty file");
    // No line of a key starts as the closing line does, so the first one found is it.
    std::size_t closing = text.find(kClosingStart);
    if (closing == std::string_view::npos) {
        // An earlier build's hive, unless it began as this build's do.
        const std::string& head = CheckedHead();
        if (text.starts_with(head) || head.starts_with(text)) return Unreadable(0, "cut short");
        return ParseHive(text);
    }
    ++closing;
    const std::size_t end = text.find('\n', closing);
    if (end == std::string_view::npos) return Unreadable(0, "cut short");
    if (end + 1 != text.size()) return Unreadable(0, "text after its end");
    const std::string_view before = text.substr(0, closing);
    if (text.substr(closing, end - closing) != ClosingLine(before))
        return Unreadable(0, "changed after it was written");
    return ParseHive(before);
}

}  // namespace win32::registry
