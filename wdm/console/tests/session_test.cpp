// The session reader on its own: how a file becomes lines, how a line
// splits into key and value, how lookups walk the lines, and which values
// are numbers.
#include <gtest/gtest.h>

#include <win32_testing/temp_machine_dir.h>

#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "console/session.h"

namespace {

class Session : public win32_testing::MachineTest {
protected:
    // A session of exactly these bytes, read.
    CSession& Read(const std::string& bytes)
    {
        const std::string path = (machine().path() / "s.kvs").string();
        std::ofstream(path, std::ios::binary) << bytes;
        session_.emplace(path);
        EXPECT_TRUE(session_->Read());
        return *session_;
    }
    std::vector<std::pair<std::string, std::string>> Lines(const std::string& bytes)
    {
        std::vector<std::pair<std::string, std::string>> lines;
        for (const CLine& line : Read(bytes).Lines()) lines.emplace_back(line.Key, line.Value);
        return lines;
    }

    std::optional<CSession> session_;
};

using Pairs = std::vector<std::pair<std::string, std::string>>;

TEST_F(Session, FilesBecomeLines)
{
    const std::string longLine = "k=" + std::string(600, '7') + "\r\n";
    const struct {
        const char* name;
        std::string bytes;
        Pairs lines;
    } cases[] = {
        {"CR LF", "a=1\r\nb=2\r\n", {{"a", "1"}, {"b", "2"}}},
        {"LF only", "a=1\nb=2\n", {{"a", "1"}, {"b", "2"}}},
        {"a CR inside a line stays", "a=1\rx\r\n", {{"a", "1\rx"}}},
        {"CR only: one line", "a=1\rb=2\r", {{"a=1\rb", "2"}}},
        {"comments and empty lines skipped", ";a=1\r\n\r\n\nb=2\r\n", {{"b", "2"}}},
        {"split at the last '='", "a=b=5\r\n", {{"a=b", "5"}}},
        {"nothing trimmed", "a = 5\r\n", {{"a ", " 5"}}},
        {"no '=': empty key and value", "just text\r\n", {{"", ""}}},
        {"a last line loses its last character", "a=25", {{"a", "2"}}},
        {"a last line ending in '='", "a=1\r\nk=", {{"a", "1"}, {"k", ""}}},
        {"a line of 510 characters, then its line end", "k=" + std::string(508, '1') + "\n",
         {{"k", std::string(507, '1')}}},
        {"a longer line in pieces of 510", longLine,
         {{"k", std::string(507, '7')}, {"", ""}}},
        {"empty", "", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(Lines(c.bytes), c.lines) << c.name;
}

TEST_F(Session, APieceEndsAtItsLastCharacter)
{
    // 510 characters without the line end: the value drops a real character
    // (the '2'), and the rest of the line is a line of its own.
    const auto lines = Lines("k=" + std::string(507, '1') + "23=45\r\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], (std::pair<std::string, std::string>{"k", std::string(507, '1')}));
    EXPECT_EQ(lines[1], (std::pair<std::string, std::string>{"3", "45"}));
}

TEST_F(Session, AMissingFileIsNotRead)
{
    CSession missing((machine().path() / "none.kvs").string());
    EXPECT_FALSE(missing.Read());
    CSession folder(machine().path().string());
    EXPECT_FALSE(folder.Read()) << "a folder is no file";
}

TEST_F(Session, LookupsStartAfterTheLastHit)
{
    CSession& s = Read("a=1\nb=2\na=3\nc=4\n");
    EXPECT_EQ(s.GetInt("a"), 1);
    EXPECT_EQ(s.GetInt("a"), 3) << "the next line with the key";
    EXPECT_EQ(s.GetInt("b"), 2) << "round past the end";
    EXPECT_EQ(s.GetInt("a"), 3);
    EXPECT_EQ(s.GetInt("a"), 1);
    EXPECT_EQ(s.GetInt("c"), 4);
    EXPECT_THROW(s.GetInt("c"), EKeyNotFound) << "the last hit is not compared again";
    EXPECT_THROW(s.GetInt("c"), EKeyNotFound) << "a failed lookup leaves the last hit";
    EXPECT_EQ(s.GetInt("a"), 1);
    EXPECT_THROW(s.GetInt("d"), EKeyNotFound);
    EXPECT_THROW(s.GetInt("A"), EKeyNotFound) << "case-sensitive";
    EXPECT_THROW(s.GetInt("a "), EKeyNotFound) << "whole key";
}

TEST_F(Session, ABadValueIsNotAHit)
{
    CSession& s = Read("a=1\nb=x\nb=2\nc=3\n");
    EXPECT_EQ(s.GetInt("a"), 1);
    EXPECT_THROW(s.GetInt("b"), EKeyNotFound) << "the first line found decides";
    EXPECT_THROW(s.GetInt("b"), EKeyNotFound) << "and stays the first found";
    EXPECT_EQ(s.GetInt("c"), 3);
    EXPECT_EQ(s.GetInt("a"), 1) << "the bad line never became the last hit";
}

TEST_F(Session, ASingleLineIsFoundOnce)
{
    CSession& s = Read("a=1\n");
    EXPECT_EQ(s.GetInt("a"), 1);
    EXPECT_THROW(s.GetInt("a"), EKeyNotFound);
    EXPECT_THROW(Read("").GetInt("a"), EKeyNotFound);
}

TEST(SessionNumbers, TheSyntaxOfValues)
{
    const struct {
        const char* text;
        std::optional<int32_t> value;
    } cases[] = {
        {"0", 0},
        {"25", 25},
        {"-1", -1},
        {"+7", 7},
        {"   12", 12},
        {"007", 7},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"0x30", 0x30},
        {"0X1f", 0x1F},
        {"$ff", 255},
        {"x10", 16},
        {"X10", 16},
        {"-0x10", -16},
        {" 0x7FFFFFFF", INT32_MAX},
        {"0xFFFFFFFF", -1},
        {"0x80000000", INT32_MIN},
        {"0x100000000", std::nullopt},
        {"0x000000001", std::nullopt},
        {"0x", std::nullopt},
        {"$", std::nullopt},
        {"0xg", std::nullopt},
        {"", std::nullopt},
        {" ", std::nullopt},
        {"-", std::nullopt},
        {"12 ", std::nullopt},
        {"1 2", std::nullopt},
        {"12\r", std::nullopt},
        {"+-1", std::nullopt},
        {"1.5", std::nullopt},
        {"\t1", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseSessionInt(c.text), c.value) << '"' << c.text << '"';
}

}  // namespace
