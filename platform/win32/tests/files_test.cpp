// Plain paths: the short form of a path, which only an existing path has.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>
#include <windows.h>

#include "win32_testing/temp_machine_dir.h"

namespace {

class ShortPath : public win32_testing::MachineTest {
protected:
    // The machine's folder as a program spells it, with backslashes.
    std::string Folder() const
    {
        std::string path = machine().path().string() + "\\";
        for (char& c : path)
            if (c == '/') c = '\\';
        return path;
    }
};

TEST_F(ShortPath, AnExistingFolderComesBackUnchangedInTheSameBuffer)
{
    char buffer[260];
    const std::string folder = Folder();
    std::strcpy(buffer, folder.c_str());
    EXPECT_EQ(GetShortPathNameA(buffer, buffer, sizeof buffer), folder.size());
    EXPECT_EQ(std::string(buffer), folder);
}

TEST_F(ShortPath, AMissingPathFailsWithWhatIsMissing)
{
    struct {
        std::string path;
        DWORD error;
    } cases[] = {
        {Folder() + "missing", ERROR_FILE_NOT_FOUND},
        {Folder() + "missing\\", ERROR_FILE_NOT_FOUND},
        {Folder() + "missing\\korvane3", ERROR_PATH_NOT_FOUND},
    };
    for (const auto& c : cases) {
        char buffer[260] = "kept";
        SetLastError(0);
        EXPECT_EQ(GetShortPathNameA(c.path.c_str(), buffer, sizeof buffer), 0u) << c.path;
        EXPECT_EQ(GetLastError(), c.error) << c.path;
        EXPECT_STREQ(buffer, "kept");
    }
}

TEST_F(ShortPath, ABufferOfTheTextsLengthIsTooSmallAndGetsTheSizeNeeded)
{
    const std::string folder = Folder();
    std::string buffer = folder;
    EXPECT_EQ(GetShortPathNameA(folder.c_str(), buffer.data(), static_cast<DWORD>(folder.size())), folder.size() + 1);
    EXPECT_EQ(buffer, folder) << "untouched";
    EXPECT_EQ(GetShortPathNameA(folder.c_str(), nullptr, 0), folder.size() + 1);
}

}  // namespace
