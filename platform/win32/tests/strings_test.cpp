// The Windows formatter, the lstr* family, the code-page conversions and
// the process heap.
#include <cstring>
#include <functional>
#include <string>

#include <gtest/gtest.h>
#include <windows.h>

namespace {

struct FormatCase {
    const char* name;
    const char* expected;
    std::function<int(char*)> format;
};

class FormatTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatTest, FormatsAsWindows)
{
    char buffer[1100];
    std::memset(buffer, '#', sizeof buffer);
    const int length = GetParam().format(buffer);
    EXPECT_STREQ(buffer, GetParam().expected);
    EXPECT_EQ(length, static_cast<int>(std::strlen(GetParam().expected)));
}

const FormatCase kFormatCases[] = {
    {"Decimal", "-5 0 42", [](char* b) { return wsprintfA(b, "%d %i %d", -5, 0, 42); }},
    {"Unsigned", "4294967295", [](char* b) { return wsprintfA(b, "%u", 0xFFFFFFFFu); }},
    {"Hex", "beef BEEF", [](char* b) { return wsprintfA(b, "%x %X", 0xBEEFu, 0xBEEFu); }},
    {"HexPrefix", "0xff 0XFF 0", [](char* b) { return wsprintfA(b, "%#x %#X %#x", 255u, 255u, 0u); }},
    {"ZeroPadded", "00001234", [](char* b) { return wsprintfA(b, "%08x", 0x1234u); }},
    // The transport event name: high and low halves of a 64-bit counter.
    {"TransportName", "Daveror transport 0x100002345",
     [](char* b) { return wsprintfA(b, "Daveror transport 0x%x%08x", 1u, 0x2345u); }},
    {"Width", "   42|42   |", [](char* b) { return wsprintfA(b, "%5d|%-5d|", 42, 42); }},
    {"ZeroPadNegative", "-0042", [](char* b) { return wsprintfA(b, "%05d", -42); }},
    {"PrefixThenZeros", "0x00ff", [](char* b) { return wsprintfA(b, "%#06x", 255u); }},
    {"MinimumDigits", "007|   007", [](char* b) { return wsprintfA(b, "%.3d|%6.3d", 7, 7); }},
    {"MostNegative", "-2147483648", [](char* b) { return wsprintfA(b, "%d", INT32_MIN); }},
    {"Character", "A|  B|C  |", [](char* b) { return wsprintfA(b, "%c|%3c|%-3c|", 'A', 'B', 'C'); }},
    {"Text", "abc|ab|  abc|abc  |", [](char* b) { return wsprintfA(b, "%s|%.2s|%5s|%-5s|", "abc", "abc", "abc", "abc"); }},
    {"NullText", "(null)", [](char* b) { return wsprintfA(b, "%s", static_cast<const char*>(nullptr)); }},
    {"Percent", "100%", [](char* b) { return wsprintfA(b, "100%%"); }},
    // 'l' is 32-bit: a LONG of -1 stays -1 and the next argument is the next one.
    {"LongIs32Bit", "-1 7 ffffffff 4294967295",
     [](char* b) { return wsprintfA(b, "%ld %d %lx %lu", LONG{-1}, 7, DWORD{0xFFFFFFFF}, DWORD{0xFFFFFFFF}); }},
    {"Short", "-32768 4464", [](char* b) { return wsprintfA(b, "%hd %hu", 0x18000, 70000); }},
    // No floating point: the directive stays as written and takes no argument.
    {"FloatLiteral", "x%fy3 %5.2f", [](char* b) { return wsprintfA(b, "x%fy%d %5.2f", 1.5, 3, 2.5); }},
    {"LongLongLiteral", "%lld", [](char* b) { return wsprintfA(b, "%lld"); }},
    {"TrailingPercent", "end%5", [](char* b) { return wsprintfA(b, "end%5"); }},
    {"NullFormat", "", [](char* b) { return wsprintfA(b, nullptr); }},
};

INSTANTIATE_TEST_SUITE_P(Wsprintf, FormatTest, ::testing::ValuesIn(kFormatCases),
                         [](const auto& c) { return std::string(c.param.name); });

TEST(WsprintfCap, WritesAtMost1024BytesWithTerminator)
{
    const std::string longText(2000, 'x');
    for (const auto& format : {std::function<int(char*)>([&](char* b) { return wsprintfA(b, "%s", longText.c_str()); }),
                               std::function<int(char*)>([](char* b) { return wsprintfA(b, "%2000d", 1); }),
                               std::function<int(char*)>([&](char* b) { return wsprintfA(b, "%s%s", "ab", longText.c_str()); })}) {
        char buffer[1100];
        std::memset(buffer, '#', sizeof buffer);
        EXPECT_EQ(format(buffer), 1023);
        EXPECT_EQ(std::strlen(buffer), 1023u);
        EXPECT_EQ(buffer[1024], '#');  // nothing past the 1024th byte
    }
}

TEST(WsprintfCap, PrecisionReadsNoFurtherThanAsked)
{
    const char unterminated[3] = {'a', 'b', 'c'};
    char buffer[16];
    EXPECT_EQ(wsprintfA(buffer, "%.3s", unterminated), 3);
    EXPECT_STREQ(buffer, "abc");
}

int FormatThroughList(char* buffer, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const int length = wvsprintfA(buffer, format, args);
    va_end(args);
    return length;
}

TEST(Wvsprintf, TakesArgumentsFromList)
{
    char buffer[64];
    EXPECT_EQ(FormatThroughList(buffer, "%s driver error: %d", "Card", -3), 21);
    EXPECT_STREQ(buffer, "Card driver error: -3");
}

TEST(Lstr, LengthsTolerateNull)
{
    EXPECT_EQ(lstrlenA(nullptr), 0);
    EXPECT_EQ(lstrlenA("abc"), 3);
    EXPECT_EQ(lstrlenW(nullptr), 0);
    EXPECT_EQ(lstrlenW(u"abcd"), 4);
}

TEST(Lstr, CopiesAndConcatenates)
{
    char buffer[16] = "zzzzzzzzzzzzzzz";
    EXPECT_EQ(lstrcpynA(buffer, "abcdef", 4), buffer);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_STREQ(lstrcpynA(buffer, "abcdef", 1), "");
    EXPECT_STREQ(lstrcpynA(buffer, "ab", 10), "ab");
    EXPECT_STREQ(lstrcatA(buffer, "cd"), "abcd");
    EXPECT_STREQ(lstrcatA(buffer, nullptr), "abcd");
    EXPECT_STREQ(lstrcpyA(buffer, "xyz"), "xyz");
    EXPECT_STREQ(lstrcpyA(buffer, nullptr), "");
    EXPECT_EQ(lstrcpyA(nullptr, "x"), nullptr);
    EXPECT_EQ(lstrcatA(nullptr, "x"), nullptr);
}

TEST(Lstr, ComparesAsWindowsSorts)
{
    struct {
        const char *a, *b;
        int sensitive, insensitive;
    } cases[] = {
        {"abc", "abc", 0, 0},   {"a", "b", -1, -1},   {"B", "a", 1, 1},  // letters before case
        {"a", "A", -1, 0},      {"ABC", "abc", 1, 0}, {"ab", "abc", -1, -1},
        {nullptr, "", 0, 0},    {nullptr, "x", -1, -1}, {"Card 2", "card 10", 1, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(lstrcmpA(c.a, c.b), c.sensitive) << (c.a ? c.a : "NULL") << " vs " << c.b;
        EXPECT_EQ(lstrcmpA(c.b, c.a), -c.sensitive) << c.b << " vs " << (c.a ? c.a : "NULL");
        EXPECT_EQ(lstrcmpiA(c.a, c.b), c.insensitive) << (c.a ? c.a : "NULL") << " vs " << c.b;
    }
}

// "Zavo ü € 𝄞": one, two, three and four UTF-8 bytes; the last a surrogate pair.
const char kUtf8[] = "Zavo \xC3\xBC \xE2\x82\xAC \xF0\x9D\x84\x9E";
const char16_t kUtf16[] = u"Zavo \u00FC \u20AC \U0001D11E";

TEST(Conversion, MultiByteToWideSizesAndConverts)
{
    for (UINT codePage : {CP_ACP, CP_UTF8}) {
        const int needed = MultiByteToWideChar(codePage, 0, kUtf8, -1, nullptr, 0);
        ASSERT_EQ(needed, static_cast<int>(std::size(kUtf16)));  // terminator included
        WCHAR wide[32];
        EXPECT_EQ(MultiByteToWideChar(codePage, 0, kUtf8, -1, wide, 32), needed);
        EXPECT_EQ(std::u16string(wide), kUtf16);
        // An explicit length converts no terminator.
        EXPECT_EQ(MultiByteToWideChar(codePage, 0, kUtf8, 4, wide, 32), 4);
    }
}

TEST(Conversion, WideToMultiByteSizesAndConverts)
{
    for (UINT codePage : {CP_ACP, CP_UTF8}) {
        const int needed = WideCharToMultiByte(codePage, 0, kUtf16, -1, nullptr, 0, nullptr, nullptr);
        ASSERT_EQ(needed, static_cast<int>(sizeof kUtf8));
        char narrow[32];
        EXPECT_EQ(WideCharToMultiByte(codePage, 0, kUtf16, -1, narrow, 32, nullptr, nullptr), needed);
        EXPECT_STREQ(narrow, kUtf8);
    }
}

TEST(Conversion, TooSmallLeavesDestinationAlone)
{
    WCHAR wide[4] = {u'#', u'#', u'#', u'#'};
    SetLastError(0);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "abcd", -1, wide, 4), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(wide[0], u'#');

    char narrow[4] = "##";
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"\u20AC", -1, narrow, 3, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_STREQ(narrow, "##");
}

TEST(Conversion, MalformedInputBecomesReplacementCharacter)
{
    WCHAR wide[8];
    // A stray continuation byte, a truncated sequence, an overlong '/'.
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "a\x80" "b\xE2\x82" "\xC0\xAF", 7, wide, 8), 7);
    EXPECT_EQ(std::u16string(wide, 7), u"a\uFFFDb\uFFFD\uFFFD\uFFFD\uFFFD");

    const WCHAR loneSurrogate[] = {u'x', 0xD800, u'y', 0};
    char narrow[8];
    BOOL usedDefault = FALSE;
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, loneSurrogate, -1, narrow, 8, nullptr, &usedDefault), 6);
    EXPECT_STREQ(narrow, "x\xEF\xBF\xBDy");
    EXPECT_EQ(usedDefault, TRUE);
}

TEST(Conversion, RefusesBadArguments)
{
    WCHAR wide[4];
    char narrow[4];
    BOOL used = FALSE;
    const auto refused = [](int result) { return result == 0 && GetLastError() == ERROR_INVALID_PARAMETER; };
    EXPECT_TRUE(refused(MultiByteToWideChar(437, 0, "a", -1, wide, 4)));
    EXPECT_TRUE(refused(MultiByteToWideChar(CP_UTF8, 0, nullptr, -1, wide, 4)));
    EXPECT_TRUE(refused(MultiByteToWideChar(CP_UTF8, 0, "a", 0, wide, 4)));
    EXPECT_TRUE(refused(MultiByteToWideChar(CP_UTF8, 0, "a", -1, nullptr, 4)));
    EXPECT_TRUE(refused(MultiByteToWideChar(CP_UTF8, 0, "a", -1, wide, -1)));
    // UTF-8 has a form for every character, so Windows refuses a default one.
    EXPECT_TRUE(refused(WideCharToMultiByte(CP_UTF8, 0, u"a", -1, narrow, 4, nullptr, &used)));
    EXPECT_TRUE(refused(WideCharToMultiByte(CP_UTF8, 0, u"a", -1, narrow, 4, "?", nullptr)));
}

TEST(Heap, AllocatesZeroedAndFrees)
{
    HANDLE heap = GetProcessHeap();
    ASSERT_NE(heap, nullptr);
    EXPECT_GT(reinterpret_cast<std::uintptr_t>(heap), std::uintptr_t{0xFFFFFFFF});  // never a kernel handle
    auto* block = static_cast<unsigned char*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, 256));
    ASSERT_NE(block, nullptr);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(block[i], 0) << i;
    EXPECT_EQ(HeapFree(heap, 0, block), TRUE);
    void* empty = HeapAlloc(heap, 0, 0);
    EXPECT_NE(empty, nullptr);
    EXPECT_EQ(HeapFree(heap, 0, empty), TRUE);
    EXPECT_EQ(HeapFree(heap, 0, nullptr), TRUE);

    HANDLE other = reinterpret_cast<HANDLE>(std::uintptr_t{4});
    EXPECT_EQ(HeapAlloc(other, 0, 8), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

}  // namespace
