// The library's version block, read back through the version calls while
// the host has the driver loaded, as a program reads a DLL's version.
#include <cstring>
#include <optional>
#include <string>

#include "asio_driver_fixture.h"

namespace {

class VersionBlock : public AsioDriverTest {
protected:
    std::vector<BYTE> Read()
    {
        DWORD handle = 1;
        const DWORD size = GetFileVersionInfoSizeA("ASIOZavoWDM.dll", &handle);
        EXPECT_EQ(handle, 0u);
        std::vector<BYTE> block(size);
        if (size == 0 || !GetFileVersionInfoA("ASIOZavoWDM.dll", handle, size, block.data())) block.clear();
        return block;
    }
    static std::optional<std::string> Text(const std::vector<BYTE>& block, const char* name)
    {
        const std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
        LPVOID value = nullptr;
        UINT length = 0;
        if (!VerQueryValueA(block.data(), path.c_str(), &value, &length)) return std::nullopt;
        return std::string(static_cast<const char*>(value), length - 1);
    }
};

TEST_F(VersionBlock, ReadsBackAsTheLibraryDeclaresIt)
{
    Start();
    const std::vector<BYTE> block = Read();
    ASSERT_FALSE(block.empty());

    LPVOID value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &value, &length));
    ASSERT_EQ(length, 52u);
    VS_FIXEDFILEINFO info;
    std::memcpy(&info, value, sizeof info);
    EXPECT_EQ(info.dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(info.dwStrucVersion, 0x00010000u);
    // The project's version, as the file's and as the product's.
    EXPECT_EQ(info.dwFileVersionMS, (ZAVO_VERSION_MAJOR << 16) | ZAVO_VERSION_MINOR);
    EXPECT_EQ(info.dwFileVersionLS, (ZAVO_VERSION_PATCH << 16) | ZAVO_VERSION_TWEAK);
    EXPECT_EQ(info.dwProductVersionMS, info.dwFileVersionMS);
    EXPECT_EQ(info.dwProductVersionLS, info.dwFileVersionLS);
    EXPECT_EQ(info.dwFileType, 2u) << "VFT_DLL";
    EXPECT_EQ(info.dwFileOS, 0x40004u) << "VOS_NT_WINDOWS32";

    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4u);
    WORD translation[2];
    std::memcpy(translation, value, sizeof translation);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 0x04B0);

    EXPECT_EQ(Text(block, "FileDescription"), "Zavo ASIO driver for PCI hardware");
    EXPECT_EQ(Text(block, "OriginalFilename"), "ASIOZavoWDM.dll");
    EXPECT_EQ(Text(block, "ProductName"), std::nullopt) << "only the two texts";
}

TEST_F(VersionBlock, GoesWithTheLibrary)
{
    Start();
    ASSERT_GT(GetFileVersionInfoSizeA("asiozavowdm.dll", nullptr), 0u);
    ASSERT_TRUE(host_.Unload());
    SetLastError(0);
    EXPECT_EQ(GetFileVersionInfoSizeA("ASIOZavoWDM.dll", nullptr), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

}  // namespace
