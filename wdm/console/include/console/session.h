// CSession, the key/value reader of a session file: its value lines in file
// order, looked up by key from the line after the previous hit on, so that a
// file in writing order is read in one pass.
//
// Lines end in CR LF or LF; any other CR is text. Lines are taken in pieces
// of at most 510 characters, each piece a line of its own. Pieces that start
// with ';' and bare line ends are skipped.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A key is missing, or its value is not a number.
class EKeyNotFound {};
// The file's card type is not the card's family.
class EWrongCardType {};

// One value line, split at its last '='. Without one, key and value are
// empty and the line never matches. The value drops the piece's last
// character, the line end (a last line without one loses a real character).
class CLine {
public:
    explicit CLine(std::string_view lineText);
    std::string Key;
    std::string Value;
};

class CSession {
public:
    explicit CSession(std::string fileName) : m_FileName(std::move(fileName)) {}
    ~CSession() { Clear(); }
    CSession(const CSession&) = delete;
    CSession& operator=(const CSession&) = delete;

    // False when the file cannot be opened or memory runs out.
    bool Read();
    // The value of the next line with exactly this key, searched circularly
    // from the line after the last hit (which is not compared again).
    // EKeyNotFound when none has it or its value is not a number.
    int32_t GetInt(std::string_view key);
    void Clear();

    const std::vector<CLine>& Lines() const { return m_Lines; }

private:
    std::string m_FileName;
    std::vector<CLine> m_Lines;
    std::optional<std::size_t> m_LastHit;
};

// A value as a signed 32-bit number: leading spaces, a sign, then decimal
// within int32, or up to 8 hexadecimal digits (the 32-bit pattern) after
// "$", "x", "X", "0x" or "0X". Nothing else, trailing characters included.
std::optional<int32_t> ParseSessionInt(std::string_view text);
