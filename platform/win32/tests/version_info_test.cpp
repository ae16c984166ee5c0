// Version blocks declared by modules and read back through the platform's
// version calls.
#include <cstring>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

namespace {

VS_FIXEDFILEINFO Version(WORD major, WORD minor, WORD third, WORD fourth)
{
    VS_FIXEDFILEINFO info{};
    info.dwSignature = VS_FFI_SIGNATURE;
    info.dwStrucVersion = VS_FFI_STRUCVERSION;
    info.dwFileVersionMS = static_cast<DWORD>(major) << 16 | minor;
    info.dwFileVersionLS = static_cast<DWORD>(third) << 16 | fourth;
    info.dwFileOS = VOS_NT_WINDOWS32;
    info.dwFileType = VFT_APP;
    return info;
}

// Declares a block for the test's length only.
class Declared {
public:
    Declared(const char* name, const VS_FIXEDFILEINFO& info) : name_(name) { win32::RegisterModuleVersion(name, info); }
    ~Declared() { win32::UnregisterModuleVersion(name_); }

private:
    const char* name_;
};

TEST(VersionInfo, ADeclaredBlockIsFoundInAnyLetterCaseAndByPath)
{
    Declared korvane("korvane3.exe", Version(2, 5, 3, 7));
    for (const char* name : {"KORVANE3.EXE", "korvane3.exe", "C:\\Program Files\\Zavo\\Korvane3.exe", "/opt/zavo/korvane3.exe"}) {
        DWORD handle = 99;
        const DWORD size = GetFileVersionInfoSizeA(name, &handle);
        ASSERT_GT(size, 0u) << name;
        EXPECT_EQ(handle, 0u);
        std::vector<BYTE> block(size);
        ASSERT_TRUE(GetFileVersionInfoA(name, handle, size, block.data())) << name;
        LPVOID value = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &value, &length));
        EXPECT_EQ(length, 52u);
        EXPECT_GE(static_cast<BYTE*>(value), block.data());
        EXPECT_LE(static_cast<BYTE*>(value) + length, block.data() + block.size()) << "inside the caller's block";
        VS_FIXEDFILEINFO info;
        std::memcpy(&info, value, sizeof info);
        EXPECT_EQ(info.dwSignature, VS_FFI_SIGNATURE);
        EXPECT_EQ(info.dwFileVersionMS, 0x00020005u);
        EXPECT_EQ(info.dwFileVersionLS, 0x00030007u);
    }
}

TEST(VersionInfo, DeclaringAgainReplacesAndWithdrawingRemoves)
{
    auto versionOf = [](const char* name) {
        std::vector<BYTE> block(GetFileVersionInfoSizeA(name, nullptr));
        LPVOID value = nullptr;
        UINT length = 0;
        if (block.empty() || !GetFileVersionInfoA(name, 0, static_cast<DWORD>(block.size()), block.data()) ||
            !VerQueryValueA(block.data(), "\\", &value, &length))
            return DWORD{0};
        return static_cast<const VS_FIXEDFILEINFO*>(value)->dwFileVersionMS;
    };
    win32::RegisterModuleVersion("ASIOZavoWDM.dll", Version(1, 2, 0, 0));
    win32::RegisterModuleVersion("asiozavowdm.DLL", Version(3, 4, 0, 0));
    EXPECT_EQ(versionOf("ASIOZavoWDM.dll"), 0x00030004u);
    win32::UnregisterModuleVersion("ASIOZAVOWDM.DLL");
    EXPECT_EQ(versionOf("ASIOZavoWDM.dll"), 0u);
}

TEST(VersionInfo, AnUndeclaredFileHasNoBlock)
{
    DWORD handle = 7;
    SetLastError(0);
    EXPECT_EQ(GetFileVersionInfoSizeA("korvane3.exe", &handle), 0u);
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_TYPE_NOT_FOUND);
    EXPECT_EQ(handle, 0u);
    BYTE block[128] = {};
    SetLastError(0);
    EXPECT_FALSE(GetFileVersionInfoA("korvane3.exe", 0, sizeof block, block));
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_TYPE_NOT_FOUND);
}

TEST(VersionInfo, ASmallBufferGetsNothing)
{
    Declared korvane("korvane3.exe", Version(2, 5, 0, 0));
    const DWORD size = GetFileVersionInfoSizeA("korvane3.exe", nullptr);
    std::vector<BYTE> block(size, 0xAA);
    SetLastError(0);
    EXPECT_FALSE(GetFileVersionInfoA("korvane3.exe", 0, size - 1, block.data()));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(block, std::vector<BYTE>(size, 0xAA)) << "untouched";
}

TEST(VersionInfo, OnlyTheRootOfAVersionBlockAnswers)
{
    Declared korvane("korvane3.exe", Version(2, 5, 0, 0));
    std::vector<BYTE> block(GetFileVersionInfoSizeA("korvane3.exe", nullptr));
    ASSERT_TRUE(GetFileVersionInfoA("korvane3.exe", 0, static_cast<DWORD>(block.size()), block.data()));
    LPVOID value = nullptr;
    UINT length = 0;
    for (const char* sub : {"\\StringFileInfo\\040904E4\\FileVersion", "\\VarFileInfo\\Translation", "", "\\\\"})
        EXPECT_FALSE(VerQueryValueA(block.data(), sub, &value, &length)) << sub;
    std::vector<BYTE> other(block.size(), 0);
    EXPECT_FALSE(VerQueryValueA(other.data(), "\\", &value, &length)) << "not a version block";
}

}  // namespace
