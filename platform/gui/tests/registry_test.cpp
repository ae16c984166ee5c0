// TRegistry over the machine's real hive: the library's reading rules,
// raising writes, and the key it keeps open.
#include <gui_testing/gui_test.h>

#include <array>

namespace {

constexpr const char* kKey = "Software\\Zavo Systems\\Korvane3\\Test card";

class Registry : public win32_testing::MachineTest {
protected:
    Registry()
    {
        TRegistry reg;
        EXPECT_TRUE(reg.OpenKey(kKey, true));
        reg.WriteInteger("Left", -20);
        reg.WriteString("Name", "Mix.kvs");
        const std::array<BYTE, 4> gangs{1, 0, 1, 1};
        reg.WriteBinaryData("Gangs", gangs.data(), static_cast<int>(gangs.size()));
    }
};

TEST_F(Registry, WhatWasWrittenReadsBackInANewObject)
{
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kKey, false));
    EXPECT_EQ(reg.ReadInteger("Left"), -20);
    EXPECT_EQ(reg.ReadString("NAME"), "Mix.kvs") << "names ignore case";
    std::array<BYTE, 4> gangs{};
    EXPECT_EQ(reg.ReadBinaryData("Gangs", gangs.data(), 4), 4);
    EXPECT_EQ(gangs, (std::array<BYTE, 4>{1, 0, 1, 1}));
    EXPECT_EQ(reg.CurrentPath(), kKey);
}

TEST_F(Registry, ReadsFollowTheLibrarysRules)
{
    TRegistry reg;
    EXPECT_FALSE(reg.OpenKey("Software\\Zavo Systems\\Korvane3\\Other card", false)) << "missing key, not made";
    EXPECT_EQ(reg.CurrentKey(), nullptr);
    ASSERT_TRUE(reg.OpenKey(kKey, false));
    EXPECT_THROW(reg.ReadInteger("Top"), ERegistryException) << "missing integer";
    EXPECT_THROW(reg.ReadInteger("Name"), ERegistryException) << "a string read as an integer";
    EXPECT_EQ(reg.ReadString("Missing"), "");
    EXPECT_THROW(reg.ReadString("Left"), ERegistryException) << "an integer read as a string";

    std::array<BYTE, 8> buffer;
    buffer.fill(0xEE);
    EXPECT_EQ(reg.ReadBinaryData("Missing", buffer.data(), 8), 0);
    EXPECT_THROW(reg.ReadBinaryData("Left", buffer.data(), 8), ERegistryException) << "an integer read as binary";
    EXPECT_THROW(reg.ReadBinaryData("Gangs", buffer.data(), 3), ERegistryException) << "larger than the buffer";
    EXPECT_EQ(buffer, (std::array<BYTE, 8>{0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE})) << "nothing copied";
    EXPECT_EQ(reg.ReadBinaryData("Gangs", buffer.data(), 8), 4);
    EXPECT_EQ(buffer, (std::array<BYTE, 8>{1, 0, 1, 1, 0xEE, 0xEE, 0xEE, 0xEE})) << "only its own bytes";
}

TEST_F(Registry, AFailedWriteRaises)
{
    TRegistry reg;
    EXPECT_THROW(reg.WriteInteger("Left", 1), ERegistryException) << "no key open";
    ASSERT_TRUE(reg.OpenKeyReadOnly(kKey));
    EXPECT_EQ(reg.ReadInteger("Left"), -20);
    EXPECT_THROW(reg.WriteInteger("Left", 1), ERegistryException);
    EXPECT_THROW(reg.WriteString("Name", "x"), ERegistryException);
    const BYTE one = 1;
    EXPECT_THROW(reg.WriteBinaryData("Gangs", &one, 1), ERegistryException);
    EXPECT_EQ(reg.ReadInteger("Left"), -20);
}

TEST_F(Registry, RelativePathsStartAtTheOpenKeyAndTheObjectClosesIt)
{
    HKEY opened = nullptr;
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("Software\\Zavo Systems", false));
        ASSERT_TRUE(reg.OpenKey("Korvane3\\Test card", false));
        EXPECT_EQ(reg.CurrentPath(), "Software\\Zavo Systems\\Korvane3\\Test card");
        EXPECT_EQ(reg.ReadInteger("Left"), -20);
        ASSERT_TRUE(reg.OpenKey("\\Software\\Zavo Systems", false)) << "from the root";
        EXPECT_EQ(reg.CurrentPath(), "Software\\Zavo Systems");
        opened = reg.CurrentKey();
    }
    DWORD type = 0, size = 0;
    EXPECT_EQ(RegQueryValueExA(opened, "Left", nullptr, &type, nullptr, &size), static_cast<LONG>(ERROR_INVALID_HANDLE))
        << "closed by the destructor";
}

}  // namespace
