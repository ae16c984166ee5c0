// Saving a session as the user does: the "&Save" button with its folder and
// dialog, the extension rule and the question before a file is replaced,
// writes that fail without harm, the 'F' key, and the auto-save at close
// with the auto-load at the next start.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>

#include "console/session_files.h"
#include "session_fixture.h"

namespace {

TEST(SessionExtension, OnlyAPathEndingInKvsIsKept)
{
    const struct {
        const char* chosen;
        const char* path;
    } cases[] = {
        {"Mix", "Mix.kvs"},
        {"Mix.kvs", "Mix.kvs"},
        {"Mix.KVS", "Mix.KVS.kvs"},
        {"a.kvs.b", "a.kvs.b.kvs"},
        {"/x.kvs/Mix.kvs", "/x.kvs/Mix.kvs"},
        {"/x.kvs/Mix", "/x.kvs/Mix.kvs"},
        {"Mix.kvs.kvs", "Mix.kvs.kvs"},
        {".kvs", ".kvs"},
        {"", ".kvs"},
    };
    for (const auto& c : cases) EXPECT_EQ(WithSessionExtension(c.chosen), c.path) << c.chosen;
}

class SessionSave : public SessionTest {
protected:
    // Files other than the session in the sessions folder: none may stay.
    std::vector<std::string> Leftovers(const std::string& folder, const std::string& keep)
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            if (entry.path().filename() != keep) names.push_back(entry.path().filename().string());
        return names;
    }
    LONG MonitorGain() { return Hooks().Mixer().Monitor(0, 0).gain; }
    void SetMonitorGain(LONG gain) { Hooks().ExternalSet(CMD_SET_MONITOR_GAIN, 0, CHANNEL_BUS_IN, 0, static_cast<DWORD>(gain)); }
};

TEST_F(SessionSave, TheButtonSavesIntoTheSessionsFolder)
{
    ASSERT_TRUE(Open());
    const std::string path = Folder() + "/Mix";
    Save(path);
    const auto dialogs = desktop().FileDialogs();
    ASSERT_EQ(dialogs.size(), 1u);
    const win32::FileDialogRequest& request = dialogs[0].request;
    EXPECT_TRUE(request.save);
    EXPECT_EQ(request.filters, (std::vector<std::pair<std::string, std::string>>{
                                   {"Korvane3 sessions (*.kvs)", "*.kvs"}, {"All files (*.*)", "*.*"}}));
    EXPECT_EQ(request.filterIndex, 1u);
    EXPECT_EQ(request.initialDir, Folder());
    EXPECT_EQ(request.flags, OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT);
    EXPECT_EQ(request.bufferSize, 260u);
    EXPECT_EQ(request.owner, form_->Handle());

    EXPECT_TRUE(Exists(path + ".kvs"));
    EXPECT_TRUE(ReadFile(path + ".kvs").starts_with(";\r\n; Korvane3 session file\r\n"));
    EXPECT_EQ(form_->SessionName, path + ".kvs");
    EXPECT_EQ(form_->Caption(), "Zavo24 8x8 Console - Mix");
    EXPECT_TRUE(BoxTexts().empty());
    EXPECT_TRUE(Leftovers(Folder(), "Mix.kvs").empty());
}

TEST_F(SessionSave, CancelWritesNothing)
{
    ASSERT_TRUE(Open());
    Save(win32_testing::kCancelled);
    EXPECT_TRUE(std::filesystem::is_directory(Folder())) << "the folder is made first";
    EXPECT_TRUE(std::filesystem::is_empty(Folder()));
    EXPECT_EQ(form_->SessionName, "");
    EXPECT_EQ(form_->Caption(), "Zavo24 8x8 Console");
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(SessionSave, ALongPathIsSavedWhole)
{
    ASSERT_TRUE(Open());
    // 258 characters chosen, 262 with the extension: no buffer cuts it.
    std::string folder = Path(std::string(120, 'd'));
    std::filesystem::create_directory(folder);
    const std::string chosen = folder + "/" + std::string(258 - folder.size() - 1, 'm');
    ASSERT_EQ(chosen.size(), 258u);
    Save(chosen);
    EXPECT_TRUE(Exists(chosen + ".kvs"));
    EXPECT_EQ(form_->SessionName, chosen + ".kvs");
    EXPECT_TRUE(BoxTexts().empty());

    // A path the dialog's buffer cannot hold is no choice at all.
    Save(folder + "/" + std::string(300 - folder.size(), 'n'));
    EXPECT_EQ(form_->SessionName, chosen + ".kvs");
}

TEST_F(SessionSave, TheExtendedNameIsNotReplacedUnasked)
{
    ASSERT_TRUE(Open());
    std::filesystem::create_directory(Folder());
    const std::string path = Folder() + "/Mix.kvs";
    const struct {
        const char* name;
        std::string chosen;
        std::initializer_list<int> answers;
        bool asked, replaced;
    } cases[] = {
        {"No keeps the file", Folder() + "/Mix", {IDNO}, true, false},
        {"Yes replaces it", Folder() + "/Mix", {IDYES}, true, true},
        {"the dialog asked about the name itself", path, {}, false, true},
    };
    for (const auto& c : cases) {
        WriteFile(path, "old");
        form_->SessionName.clear();
        const std::size_t boxes = desktop().Boxes().size();
        desktop().QueueAnswers(c.answers);
        Save(c.chosen);
        const auto all = desktop().Boxes();
        ASSERT_EQ(all.size(), boxes + (c.asked ? 1 : 0)) << c.name;
        if (c.asked) {
            EXPECT_EQ(all.back().text, path + " already exists.\nDo you want to replace it?") << c.name;
            EXPECT_EQ(all.back().caption, "Korvane3") << c.name;
            EXPECT_EQ(all.back().type, MB_YESNO) << c.name;
        }
        EXPECT_EQ(ReadFile(path) != "old", c.replaced) << c.name;
        EXPECT_EQ(form_->SessionName, c.replaced ? path : "") << c.name;
    }
    // A name whose extended file does not exist is not asked about.
    const std::size_t boxes = desktop().Boxes().size();
    Save(Folder() + "/New");
    EXPECT_EQ(desktop().Boxes().size(), boxes);
    EXPECT_TRUE(Exists(Folder() + "/New.kvs"));
}

TEST_F(SessionSave, AFolderInTheWayIsReportedAndTheNameKept)
{
    ASSERT_TRUE(Open());
    const std::string folder = Path("s");
    std::filesystem::create_directory(folder);
    const std::string kept = folder + "/Kept.kvs";
    form_->WriteSession(kept);
    const std::string path = folder + "/Dir.kvs";
    std::filesystem::create_directory(path);
    form_->WriteSession(path);
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"Could not create \"" + path + "\""}));
    EXPECT_EQ(desktop().Boxes().back().caption, "Korvane3 Error");
    EXPECT_EQ(form_->SessionName, kept);
    EXPECT_TRUE(std::filesystem::is_directory(path));
    EXPECT_EQ(Leftovers(folder, "Kept.kvs"), (std::vector<std::string>{"Dir.kvs"})) << "no temporary file stays";
}

// A write that the file system refuses part-way: the file-size limit of the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &old_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, previous_);
    }

private:
    rlimit old_{};
    void (*previous_)(int) = nullptr;
};

TEST_F(SessionSave, AFailedWriteLeavesTheOldFile)
{
    ASSERT_TRUE(Open());
    std::filesystem::create_directory(Folder());
    const std::string path = Folder() + "/Mix.kvs";
    Save(path);
    const std::string saved = ReadFile(path);
    ASSERT_GT(saved.size(), 4096u);
    form_->SessionName = "Other.kvs";

    SetMonitorGain(-1024);
    {
        const FileSizeLimit limit(1024);
        form_->WriteSession(path);
    }
    EXPECT_EQ(ReadFile(path), saved);
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"Could not create \"" + path + "\""}));
    EXPECT_EQ(form_->SessionName, "Other.kvs");
    EXPECT_TRUE(Leftovers(Folder(), "Mix.kvs").empty()) << "the temporary file is removed";
}

TEST_F(SessionSave, ASessionsFolderThatCannotBeMade)
{
    ASSERT_TRUE(Open());
    WriteFile(Path("file"), "");
    ProgramDir = Path("file") + "/";
    Save(Path("Mix"));
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"Unable to create directory \"" + Path("file") + "/" +
                                                    CardName() + " sessions\""}));
    EXPECT_EQ(desktop().Boxes().back().caption, "Korvane3 Error");
    EXPECT_TRUE(desktop().FileDialogs().empty()) << "no dialog after it";
    EXPECT_FALSE(Exists(Path("Mix.kvs")));
}

TEST_F(SessionSave, FSavesTheSessionShowingItInTheCaption)
{
    ASSERT_TRUE(Open());
    const std::string path = Path("Mix.kvs");
    form_->WriteSession(path);
    form_->UpdateCaption();
    SetMonitorGain(-1024);
    Key('F');
    EXPECT_NE(ReadFile(path).find("Monitor 01 -> 01/02 gain=-4\r\n"), std::string::npos);
    EXPECT_TRUE(desktop().FileDialogs().empty());

    // While a failure is shown, the caption says the file is being saved.
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    std::vector<std::string> captions;
    desktop().SetWhileOpen([&] { captions.push_back(form_->Caption()); });
    Key('F');
    EXPECT_EQ(captions, (std::vector<std::string>{"Zavo24 8x8 Console - Mix - saving..."}));
    EXPECT_EQ(form_->Caption(), "Zavo24 8x8 Console - Mix");
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"Could not create \"" + path + "\""}));
}

TEST_F(SessionSave, FWithoutASessionAsksForOne)
{
    ASSERT_TRUE(Open());
    desktop().QueueFileAnswers({Path("First")});
    Key('F');
    ASSERT_EQ(desktop().FileDialogs().size(), 1u);
    EXPECT_TRUE(desktop().FileDialogs()[0].request.save);
    EXPECT_EQ(form_->SessionName, Path("First.kvs"));
    EXPECT_EQ(form_->Caption(), "Zavo24 8x8 Console - First");
}

TEST_F(SessionSave, TheLastSessionIsSavedAtCloseAndLoadedAtTheNextStart)
{
    ASSERT_TRUE(Open());
    const std::string path = Path("Mix.kvs");
    Save(path);
    SetMonitorGain(-1024);
    CloseWindow();
    EXPECT_NE(ReadFile(path).find("Monitor 01 -> 01/02 gain=-4\r\n"), std::string::npos) << "saved at close";

    SetMonitorGain(0);
    ASSERT_TRUE(Open());
    EXPECT_EQ(MonitorGain(), -1024) << "loaded at the start";
    EXPECT_EQ(form_->SessionName, path);
    EXPECT_EQ(form_->Caption(), "Zavo24 8x8 Console - Mix");
    EXPECT_TRUE(BoxTexts().empty());

    // Without auto-save the file stays as it was.
    form_->AutoSaveSession = 0;
    SetMonitorGain(-2048);
    CloseWindow();
    EXPECT_NE(ReadFile(path).find("Monitor 01 -> 01/02 gain=-4\r\n"), std::string::npos);
}

}  // namespace
