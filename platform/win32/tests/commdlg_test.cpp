// The common file dialogs through a scripted desktop: what a program asks,
// what comes back into its buffer, and that a path is never cut.
#include <cstring>
#include <string>

#include <gtest/gtest.h>
#include <windows.h>

#include "win32_testing/scripted_desktop.h"

namespace {

constexpr char kFilter[] = "Korvane3 sessions (*.kvs)\0*.kvs\0All files (*.*)\0*.*\0";

class FileDialog : public ::testing::Test {
protected:
    FileDialog()
    {
        ofn.lStructSize = sizeof ofn;
        ofn.hwndOwner = reinterpret_cast<HWND>(std::uintptr_t{0x10010});
        ofn.lpstrFilter = kFilter;
        ofn.nFilterIndex = 1;
        ofn.lpstrFile = file;
        ofn.nMaxFile = sizeof file;
        ofn.lpstrInitialDir = "C:\\Zavo\\Card sessions";
        ofn.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT;
    }
    win32_testing::ScopedDesktop desktop;
    char file[260] = "";
    OPENFILENAMEA ofn{};
};

TEST_F(FileDialog, ARequestIsRecordedAsTheProgramMadeIt)
{
    EXPECT_FALSE(GetSaveFileNameA(&ofn)) << "cancelled: nothing queued";
    ofn.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST;
    ofn.nFilterIndex = 2;
    EXPECT_FALSE(GetOpenFileNameA(&ofn));
    const auto dialogs = desktop->FileDialogs();
    ASSERT_EQ(dialogs.size(), 2u);
    const win32::FileDialogRequest& save = dialogs[0].request;
    EXPECT_TRUE(save.save);
    EXPECT_EQ(save.owner, ofn.hwndOwner);
    using Filters = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(save.filters, (Filters{{"Korvane3 sessions (*.kvs)", "*.kvs"}, {"All files (*.*)", "*.*"}}));
    EXPECT_EQ(save.filterIndex, 1u);
    EXPECT_EQ(save.initialDir, "C:\\Zavo\\Card sessions");
    EXPECT_EQ(save.flags, OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT);
    EXPECT_EQ(save.bufferSize, 260u);
    EXPECT_EQ(dialogs[0].answer, win32_testing::kCancelled);
    const win32::FileDialogRequest& open = dialogs[1].request;
    EXPECT_FALSE(open.save);
    EXPECT_EQ(open.filterIndex, 2u);
    EXPECT_EQ(open.flags, OFN_EXPLORER | OFN_PATHMUSTEXIST);
}

TEST_F(FileDialog, AnAnswerThatFitsComesBackWithTheOffsetOfItsName)
{
    struct {
        const char* answer;
        WORD offset;
    } cases[] = {
        {"C:\\Zavo\\Card sessions\\Mix.kvs", 22},
        {"/home/user/Card sessions/Mix", 25},
        {"Mix", 0},
    };
    for (const auto& c : cases) {
        desktop->QueueFileAnswers({c.answer});
        ASSERT_TRUE(GetOpenFileNameA(&ofn)) << c.answer;
        EXPECT_STREQ(file, c.answer);
        EXPECT_EQ(ofn.nFileOffset, c.offset) << c.answer;
    }
}

TEST_F(FileDialog, APathLongerThanTheBufferIsNeverCut)
{
    std::strcpy(file, "before");
    ofn.nFileOffset = 3;
    const std::string longPath = "C:\\" + std::string(296, 'x') + ".kvs";  // 303 characters
    const std::string exact(259, 'y');                                     // 259 + terminator: fits
    const std::string over(260, 'z');                                      // no room for the terminator
    desktop->QueueFileAnswers({longPath, over, exact});
    EXPECT_FALSE(GetSaveFileNameA(&ofn));
    EXPECT_FALSE(GetSaveFileNameA(&ofn));
    EXPECT_STREQ(file, "before");
    EXPECT_EQ(ofn.nFileOffset, 3);
    EXPECT_TRUE(GetSaveFileNameA(&ofn));
    EXPECT_EQ(std::string(file), exact);
}

TEST_F(FileDialog, TheDefaultExtensionIsAddedToANameWithoutOne)
{
    ofn.lpstrDefExt = "kvs";
    desktop->QueueFileAnswers({"C:\\s\\Mix", "C:\\s\\Mix.txt", "C:\\s.d\\Mix"});
    for (const char* expected : {"C:\\s\\Mix.kvs", "C:\\s\\Mix.txt", "C:\\s.d\\Mix.kvs"}) {
        ASSERT_TRUE(GetSaveFileNameA(&ofn));
        EXPECT_STREQ(file, expected);
    }
}

TEST_F(FileDialog, ABadStructureIsRefusedBeforeAnyDialog)
{
    SetLastError(0);
    EXPECT_FALSE(GetOpenFileNameA(nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    ofn.lStructSize = 76;
    EXPECT_FALSE(GetOpenFileNameA(&ofn));
    ofn.lStructSize = sizeof ofn;
    ofn.nMaxFile = 0;
    EXPECT_FALSE(GetOpenFileNameA(&ofn));
    EXPECT_TRUE(desktop->FileDialogs().empty());
}

TEST(FileDialogDefault, WithoutADesktopEveryDialogIsCancelled)
{
    char file[260] = "kept";
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    EXPECT_FALSE(GetOpenFileNameA(&ofn));
    EXPECT_STREQ(file, "kept");
}

TEST(ScriptedDesktop, WhileOpenRunsOnceInsideEveryBoxAndDialogBeforeItAnswers)
{
    win32_testing::ScopedDesktop desktop;
    std::vector<std::string> log;
    desktop->SetWhileOpen([&] { log.push_back("open, boxes so far " + std::to_string(desktop->Boxes().size()) +
                                              ", dialogs so far " + std::to_string(desktop->FileDialogs().size())); });
    MessageBoxA(nullptr, "one", "", MB_OK);
    MessageBoxA(nullptr, "two", "", MB_OKCANCEL);
    char file[260] = "";
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    GetOpenFileNameA(&ofn);
    EXPECT_EQ(log, (std::vector<std::string>{"open, boxes so far 0, dialogs so far 0", "open, boxes so far 1, dialogs so far 0",
                                             "open, boxes so far 2, dialogs so far 0"}));
}

}  // namespace
