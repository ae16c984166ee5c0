// Format, StrToInt, the string list and the command line.
#include <vcl.h>

#include <gtest/gtest.h>

TEST(SysUtils, FormatSignedAndPlusSigned)
{
    EXPECT_EQ(Format("%d", -40), "-40");
    EXPECT_EQ(Format("+%d", 25), "+25");
    EXPECT_EQ(Format("%d ", 7) + "dB%", "7 dB%") << "a caption is appended, never formatted";
    EXPECT_EQ(Format("%s=%3d%%", "x", 5), "x=  5%");
}

TEST(SysUtils, FormatThatDoesNotFitItsArgumentsRaises)
{
    EXPECT_THROW(Format("%d %d", 1), EConvertError);
    EXPECT_THROW(Format("%s", 1), EConvertError);
}

struct IntCase {
    const char* text;
    bool ok;
    int value;
};

class StrToIntCase : public ::testing::TestWithParam<IntCase> {};

TEST_P(StrToIntCase, SignedDecimalOrEConvertError)
{
    const IntCase& c = GetParam();
    if (c.ok) {
        EXPECT_EQ(StrToInt(c.text), c.value);
    } else {
        EXPECT_THROW(StrToInt(c.text), EConvertError);
        EXPECT_EQ(StrToIntDef(c.text, 99), 99);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, StrToIntCase,
                         ::testing::Values(IntCase{"12", true, 12}, IntCase{"-7", true, -7}, IntCase{"+3", true, 3},
                                           IntCase{"  5", true, 5}, IntCase{"2147483647", true, 2147483647},
                                           IntCase{"-2147483648", true, -2147483647 - 1}, IntCase{"2147483648", false, 0},
                                           IntCase{"", false, 0}, IntCase{"1x", false, 0}, IntCase{"-", false, 0},
                                           IntCase{"0x10", false, 0}));

TEST(SysUtils, StringListCopiesAndSplitsLines)
{
    TStringList a{"one", "two"};
    TStringList b;
    b.Assign(a);
    a.SetStrings(0, "changed");
    EXPECT_EQ(b[0], "one");
    EXPECT_EQ(b.Text(), "one\r\ntwo\r\n");
    b.SetText("x\ny\r\nz");
    EXPECT_EQ(b.Count(), 3);
    EXPECT_EQ(b.IndexOf("Y"), 1);
    EXPECT_EQ(b.IndexOf("w"), -1);
}

TEST(SysUtils, StringListTellsOfChangesButItsCopiesDoNot)
{
    TStringList list;
    int changes = 0;
    list.OnChange = [&] { ++changes; };
    list.Add("a");
    list.Insert(0, "b");
    list.SetStrings(1, "c");
    list.Delete(0);
    list.SetText("x\ny");
    list.Assign(TStringList{"z"});
    list.Clear();
    EXPECT_EQ(changes, 7);
    list.Add("kept");
    TStringList copy(list);
    copy.Add("more");
    TStringList other;
    other = copy;
    other.Clear();
    EXPECT_EQ(changes, 8);
    EXPECT_EQ(copy, (TStringList{"kept", "more"}));
}

TEST(CommandLine, ParametersAsSetWithTheProgramFirst)
{
    char module[4096];
    const DWORD length = GetModuleFileNameA(nullptr, module, sizeof module);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(ParamCount(), 0) << "no setter yet";
    EXPECT_EQ(ParamStr(0), std::string(module, length));
    EXPECT_EQ(ParamStr(1), "");

    SetParams({"C:\\Zavo\\korvane3.exe", "Zavo 24 Card", "second"});
    EXPECT_EQ(ParamCount(), 2);
    EXPECT_EQ(ParamStr(0), "C:\\Zavo\\korvane3.exe");
    EXPECT_EQ(ParamStr(1), "Zavo 24 Card") << "a name with spaces is one parameter";
    EXPECT_EQ(ParamStr(3), "");
    EXPECT_EQ(ParamStr(-1), "");

    char arg0[] = "./korvane3";
    char arg1[] = "Zavo 24 Card";
    char* argv[] = {arg0, arg1, nullptr};
    SetParams(1, argv);
    EXPECT_EQ(ParamCount(), 0);
    EXPECT_EQ(ParamStr(0), std::string(module, length)) << "the full path, not argv[0]";
    SetParams(2, argv);
    EXPECT_EQ(ParamCount(), 1);
    EXPECT_EQ(ParamStr(1), "Zavo 24 Card");
}
