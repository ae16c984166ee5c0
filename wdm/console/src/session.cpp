#include "console/session.h"

#include <cstdio>
#include <limits>
#include <memory>
#include <new>

namespace {

// fgets with a 511-character buffer: at most 510 characters a piece.
constexpr std::size_t PieceLength = 510;
constexpr int MaxHexDigits = 8;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The next character with CR LF read as one line end.
int GetTextChar(std::FILE* file)
{
    const int c = std::getc(file);
    if (c != '\r') return c;
    const int next = std::getc(file);
    if (next == '\n') return '\n';
    if (next != EOF) std::ungetc(next, file);
    return '\r';
}

bool Skipped(const std::string& piece) { return piece.front() == ';' || piece == "\n"; }

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

CLine::CLine(std::string_view lineText)
{
    const std::size_t equals = lineText.rfind('=');
    if (equals == std::string_view::npos) return;
    Key = lineText.substr(0, equals);
    // A last line ending in '=' has no line end to drop: its value is empty.
    const std::size_t after = equals + 1;
    if (after < lineText.size()) Value = lineText.substr(after, lineText.size() - after - 1);
}

bool CSession::Read()
{
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(m_FileName.c_str(), "rb"));
    if (!file) return false;
    try {
        std::string piece;
        for (int c; (c = GetTextChar(file.get())) != EOF;) {
            piece += static_cast<char>(c);
            if (c != '\n' && piece.size() < PieceLength) continue;
            if (!Skipped(piece)) m_Lines.emplace_back(piece);
            piece.clear();
        }
        if (!piece.empty() && !Skipped(piece)) m_Lines.emplace_back(piece);
    } catch (const std::bad_alloc&) {
        return false;
    }
    // A read error (a folder opened as a file, say) is no file read.
    return std::ferror(file.get()) == 0;
}

int32_t CSession::GetInt(std::string_view key)
{
    const std::size_t count = m_Lines.size();
    const std::size_t start = m_LastHit ? *m_LastHit + 1 : 0;
    const std::size_t examined = m_LastHit ? count - 1 : count;
    for (std::size_t k = 0; k < examined; ++k) {
        const std::size_t index = (start + k) % count;
        if (m_Lines[index].Key != key) continue;
        const std::optional<int32_t> value = ParseSessionInt(m_Lines[index].Value);
        if (!value) throw EKeyNotFound();
        m_LastHit = index;
        return *value;
    }
    throw EKeyNotFound();
}

void CSession::Clear()
{
    m_Lines.clear();
    m_LastHit.reset();
}

std::optional<int32_t> ParseSessionInt(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    const std::string_view rest = text.substr(i);

    std::size_t prefix = 0;
    if (rest.starts_with("0x") || rest.starts_with("0X"))
        prefix = 2;
    else if (rest.starts_with("$") || rest.starts_with("x") || rest.starts_with("X"))
        prefix = 1;

    if (prefix != 0) {
        const std::string_view digits = rest.substr(prefix);
        if (digits.empty() || digits.size() > MaxHexDigits) return std::nullopt;
        uint32_t pattern = 0;
        for (const char c : digits) {
            const int digit = HexDigit(c);
            if (digit < 0) return std::nullopt;
            pattern = (pattern << 4) | static_cast<uint32_t>(digit);
        }
        if (negative) pattern = 0u - pattern;
        return static_cast<int32_t>(pattern);
    }

    if (rest.empty()) return std::nullopt;
    // Within int32 on the side of the sign: 2147483648 only when negative.
    const int64_t limit = negative ? -static_cast<int64_t>(std::numeric_limits<int32_t>::min())
                                   : std::numeric_limits<int32_t>::max();
    int64_t magnitude = 0;
    for (const char c : rest) {
        if (c < '0' || c > '9') return std::nullopt;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > limit) return std::nullopt;
    }
    return static_cast<int32_t>(negative ? -magnitude : magnitude);
}
