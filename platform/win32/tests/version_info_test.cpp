// Version blocks declared by programs and carried by modules, read back
// through the platform's version calls.
#include <cstring>
#include <optional>
#include <string>
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

TEST(VersionInfo, AFileWithNoModuleOrAModuleWithNoBlockHasNone)
{
    struct Case {
        const char* file;
        DWORD error;
    };
    // The test program itself is loaded, and carries no resources.
    const Case cases[] = {{"korvane3.exe", ERROR_FILE_NOT_FOUND}, {"win32_tests", ERROR_RESOURCE_TYPE_NOT_FOUND}};
    for (const Case& c : cases) {
        DWORD handle = 7;
        SetLastError(0);
        EXPECT_EQ(GetFileVersionInfoSizeA(c.file, &handle), 0u) << c.file;
        EXPECT_EQ(GetLastError(), c.error) << c.file;
        EXPECT_EQ(handle, 0u);
        BYTE block[128] = {};
        SetLastError(0);
        EXPECT_FALSE(GetFileVersionInfoA(c.file, 0, sizeof block, block)) << c.file;
        EXPECT_EQ(GetLastError(), c.error) << c.file;
    }
}

// The block a loaded module carries, read back as a program reads it.
class ModuleBlock : public ::testing::Test {
protected:
    ModuleBlock() : module_(LoadLibraryA(ZAVO_TEST_MODULE_PATH)) {}
    ~ModuleBlock() override { FreeLibrary(module_); }

    std::vector<BYTE> Read(const char* file)
    {
        const DWORD size = GetFileVersionInfoSizeA(file, nullptr);
        std::vector<BYTE> block(size);
        if (size == 0 || !GetFileVersionInfoA(file, 0, size, block.data())) block.clear();
        return block;
    }
    // The text at `path`, or nothing.
    static std::optional<std::string> Text(const std::vector<BYTE>& block, const char* path)
    {
        LPVOID value = nullptr;
        UINT length = 0;
        if (!VerQueryValueA(block.data(), path, &value, &length)) return std::nullopt;
        const char* text = static_cast<const char*>(value);
        EXPECT_GE(static_cast<const BYTE*>(value), block.data());
        EXPECT_LE(static_cast<const BYTE*>(value) + length, block.data() + block.size()) << "inside the block";
        EXPECT_EQ(length, std::strlen(text) + 1) << path;
        return std::string(text);
    }

    HMODULE module_;
};

TEST_F(ModuleBlock, TheFixedInformationTranslationAndTextsReadBack)
{
    ASSERT_NE(module_, nullptr);
    for (const char* file : {"TestModule.dll", "testmodule.DLL", "C:\\Windows\\System32\\TESTMODULE.dll"}) {
        SCOPED_TRACE(file);
        const std::vector<BYTE> block = Read(file);
        ASSERT_FALSE(block.empty());
        LPVOID value = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &value, &length));
        ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
        VS_FIXEDFILEINFO info;
        std::memcpy(&info, value, sizeof info);
        EXPECT_EQ(info.dwSignature, VS_FFI_SIGNATURE);
        EXPECT_EQ(info.dwStrucVersion, VS_FFI_STRUCVERSION);
        EXPECT_EQ(info.dwFileVersionMS, 0x00040003u);
        EXPECT_EQ(info.dwFileVersionLS, 0x00020001u);
        EXPECT_EQ(info.dwFileType, VFT_DLL);
        EXPECT_EQ(info.dwFileOS, VOS_NT_WINDOWS32);

        ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length));
        ASSERT_EQ(length, 4u);
        WORD translation[2];
        std::memcpy(translation, value, sizeof translation);
        EXPECT_EQ(translation[0], 0x0809);
        EXPECT_EQ(translation[1], 0x04E4);

        EXPECT_EQ(Text(block, "\\StringFileInfo\\080904E4\\FileDescription"), "The loader's test module");
        EXPECT_EQ(Text(block, "\\StringFileInfo\\080904e4\\originalfilename"), "TestModule.dll") << "any case";
        EXPECT_EQ(Text(block, "\\StringFileInfo\\080904E4\\Comments"), "");
    }
}

TEST_F(ModuleBlock, MissingSubBlocksAnswerNothing)
{
    const std::vector<BYTE> block = Read("TestModule.dll");
    ASSERT_FALSE(block.empty());
    LPVOID value = nullptr;
    UINT length = 0;
    for (const char* sub : {"\\StringFileInfo\\040904B0\\FileDescription", "\\StringFileInfo\\080904E4\\ProductName",
                            "\\StringFileInfo\\080904E4\\FileDescription\\More", "\\StringFileInfo\\080904E4\\",
                            "\\StringFileInfo\\\\080904E4", "StringFileInfo", "\\StringFileInfo", "\\VarFileInfo"})
        EXPECT_FALSE(VerQueryValueA(block.data(), sub, &value, &length)) << sub;
}

TEST_F(ModuleBlock, ADeclaredBlockComesFirstAndAFreedModuleHasNone)
{
    {
        Declared declared("TestModule.dll", Version(9, 0, 0, 0));
        LPVOID value = nullptr;
        UINT length = 0;
        const std::vector<BYTE> block = Read("TestModule.dll");
        ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &value, &length));
        EXPECT_EQ(static_cast<const VS_FIXEDFILEINFO*>(value)->dwFileVersionMS, 0x00090000u);
    }
    FreeLibrary(module_);
    module_ = nullptr;
    SetLastError(0);
    EXPECT_EQ(GetFileVersionInfoSizeA("TestModule.dll", nullptr), 0u);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
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
