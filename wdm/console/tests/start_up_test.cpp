// The console's start-up through WinMain itself: the card it picks, the
// cards it refuses and what it tells the user, the program folder, the
// platform record and the version block. Each run has its close queued
// before it starts (the registered shutdown message), as the loop would
// otherwise tick on for ever.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>

#include "console/console_version.h"
#include "console/start_up.h"
#include "console_window_fixture.h"

namespace {

class StartUp : public gui_testing::GuiTest {
protected:
    StartUp()
    {
        // A developer's display must not open windows: Initialize cannot be undone.
        setenv("ZAVO_GUI_HEADLESS", "1", 1);
    }

    void Boot(std::initializer_list<std::string> presets) { Boot(machine_testing::Cards(presets)); }
    void Boot(std::vector<machine::CardConfig> cards)
    {
        machine_ = std::make_unique<machine_testing::TestMachine>(std::move(cards));
    }
    // The program's path, in a folder that exists, and `arguments`.
    void Arguments(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), ProgramPath());
        SetParams(std::move(arguments));
    }
    std::string ProgramPath() const { return (machine_->Directory() / "bin" / "korvane3").string(); }
    // WinMain with its window closed by the shutdown message as soon as it runs.
    int Run()
    {
        PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("Zavo Korvane3 shutdown"), 0, 0);
        return WinMain(nullptr, nullptr, nullptr, 0);
    }
    // The card whose window ran: its state is written at close.
    bool Shown(const std::string& name)
    {
        TRegistry registry;
        if (!registry.OpenKey(WindowStateKey(name), false)) return false;
        try {
            return registry.ReadInteger("DisplayedBus") == 0;
        } catch (const ERegistryException&) {
            return false;
        }
    }
    std::size_t OpenFiles() const
    {
        std::size_t files = 0;
        for (std::size_t c = 0; c < machine_->CardCount(); ++c) files += machine_->Hooks(c).OpenFiles();
        return files;
    }

    ConsoleUnits units_;
    std::unique_ptr<machine_testing::TestMachine> machine_;
};

struct StartCase {
    const char* name;
    std::vector<std::string> presets;
    std::vector<std::string> arguments;
    std::optional<std::string> shown;  // the card whose window ran
    std::string box, caption;          // what the user was told, if anything
};

const StartCase StartCases[] = {
    {"two cards, no argument: the one enumerated last", {"default", "zavo24-10"}, {}, "Zavo24 2x2", "", ""},
    {"a name with spaces, and a second argument ignored", {"default", "zavo24-10"},
     {"Zavo24 8x8", "Zavo24 2x2"}, "Zavo24 8x8", "", ""},
    {"a name in another case", {"default"}, {"zavo24 8x8"}, std::nullopt, "Unable to locate zavo24 8x8",
     "Korvane3 Error"},
    {"a name of no card", {"default"}, {"Zavo24 %s 8x8"}, std::nullopt, "Unable to locate Zavo24 %s 8x8",
     "Korvane3 Error"},
    {"no hardware", {"absent"}, {}, std::nullopt, "No Zavo hardware found!", "Korvane3 Error"},
    {"a driver error", {"driver-error"}, {}, std::nullopt,
     "Zavo24 8x8 driver error:\n\nThe card's firmware could not be loaded (error 0x21)\n\nThe console cannot be "
     "displayed.",
     "Hardware error"},
};

TEST_F(StartUp, PicksTheCardOrSaysWhyNot)
{
    for (const StartCase& c : StartCases) {
        SCOPED_TRACE(c.name);
        std::vector<machine::CardConfig> cards;
        for (const std::string& preset : c.presets)
            cards.push_back(machine::MakePreset(preset, Format("4&1a2b3c4d&0&%04X", 0x2010 + 8 * cards.size())));
        Boot(cards);
        Arguments(c.arguments);
        const std::size_t boxes = desktop().Boxes().size();
        EXPECT_EQ(Run(), 0);
        const auto shownBoxes = desktop().Boxes();
        if (c.box.empty()) {
            EXPECT_EQ(shownBoxes.size(), boxes);
        } else {
            ASSERT_EQ(shownBoxes.size(), boxes + 1);
            EXPECT_EQ(shownBoxes.back().text, c.box);
            EXPECT_EQ(shownBoxes.back().caption, c.caption);
            EXPECT_EQ(shownBoxes.back().owner, nullptr);
            EXPECT_EQ(shownBoxes.back().type, static_cast<UINT>(MB_OK));
        }
        for (const std::string& preset : c.presets) {
            const std::string name = machine::MakePreset(preset).name;
            EXPECT_EQ(Shown(name), c.shown == name) << name;
        }
        EXPECT_EQ(Application->MainForm(), nullptr) << "the window is gone";
        EXPECT_EQ(OpenFiles(), 0u) << "and with it the card";
        Application->ProcessMessages();  // what the run left posted
        Application->ClearTerminated();
        machine_.reset();
    }
}

TEST_F(StartUp, AMixerThatWillNotOpenEndsWithoutTheLoop)
{
    Boot({"default"});
    machine_->Hooks(0).FailNext(IOCTL_OPEN_MIXER);
    Arguments({});
    bool looped = false;
    gui::PostInput([&looped] { looped = true; });
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);
    EXPECT_FALSE(looped);
    ASSERT_EQ(desktop().Boxes().size(), 1u);
    EXPECT_EQ(desktop().Boxes()[0].text, "The driver could not allocate memory for the console.");
    EXPECT_EQ(desktop().Boxes()[0].caption, "Korvane3 Error");
    EXPECT_EQ(Application->MainForm(), nullptr);
    EXPECT_EQ(OpenFiles(), 0u);
    Application->ProcessMessages();
    EXPECT_TRUE(looped);
}

TEST_F(StartUp, AFailureOfTheLibraryIsShownAndTheWindowFreed)
{
    Boot({"default"});
    Arguments({});
    // Another main form: the clock panel does not find the console window.
    TForm* other = nullptr;
    Application->CreateForm(other);
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);
    ASSERT_EQ(desktop().Boxes().size(), 1u);
    EXPECT_EQ(desktop().Boxes()[0].text, "The clock panel belongs on the console window.");
    EXPECT_EQ(desktop().Boxes()[0].caption, "Zavo24 8x8 Console");
    EXPECT_EQ(OpenFiles(), 0u);
    delete other;
}

TEST_F(StartUp, ACardNameOfTheWholeFieldIsShownWhole)
{
    const std::string name(128, 'N');
    for (bool driverError : {false, true}) {
        Boot({"default"});
        machine_->Hooks(0).SetRawCapsName(std::span(reinterpret_cast<const BYTE*>(name.data()), name.size()));
        if (driverError) machine_->Hooks(0).SetDriverError(true, "Broken");
        Arguments({});
        const std::size_t boxes = desktop().Boxes().size();
        EXPECT_EQ(Run(), 0);
        if (driverError) {
            ASSERT_EQ(desktop().Boxes().size(), boxes + 1);
            EXPECT_EQ(desktop().Boxes().back().text,
                      name + " driver error:\n\nBroken\n\nThe console cannot be displayed.");
        } else {
            EXPECT_EQ(Application->Title(), name + " Console");
            EXPECT_TRUE(Shown(name));
        }
        Application->ProcessMessages();
        Application->ClearTerminated();
        machine_.reset();
    }
}

TEST_F(StartUp, FillsThePlatformRecordAndTheProgramFolder)
{
    Boot({"default"});
    std::filesystem::create_directories(machine_->Directory() / "bin");
    Arguments({});
    PlatformVersion = {};
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(PlatformVersion.dwOSVersionInfoSize, 148u);
    EXPECT_EQ(PlatformVersion.dwPlatformId, VER_PLATFORM_WIN32_NT);
    EXPECT_EQ(ProgramDir, (machine_->Directory() / "bin").string() + "/");
}

TEST_F(StartUp, TheProgramFolderHasItsSeparatorOrIsEmpty)
{
    Boot({"default"});
    const std::string dir = machine_->Directory().string();
    std::filesystem::create_directories(dir + "/my.dir");
    const struct {
        std::string program, folder;
    } cases[] = {
        {dir + "/my.dir/korvane3", dir + "/my.dir/"},
        {"\"" + dir + "/my.dir/korvane3", dir + "/my.dir/"},
        {dir + "/missing/korvane3", ""},
        {dir + "\\missing\\korvane3.exe", ""},
        {"korvane3", ""},
        {dir + "/" + std::string(300, 'd') + "/korvane3", ""},
    };
    for (const auto& c : cases) {
        SetParams({c.program});
        ProgramDir = "stale";
        InitProgramDir();
        EXPECT_EQ(ProgramDir, c.folder) << c.program;
    }
}

TEST(ConsoleVersion, IsTheProjectsAsTheFixedInformationOfKorvane3)
{
    DeclareConsoleVersion();
    for (const char* file : {"korvane3.exe", "/opt/zavo/KORVANE3.EXE"}) {
        const DWORD size = GetFileVersionInfoSizeA(file, nullptr);
        ASSERT_GT(size, 0u) << file;
        std::vector<BYTE> block(size);
        ASSERT_TRUE(GetFileVersionInfoA(file, 0, size, block.data()));
        void* value = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &value, &length));
        ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
        const auto* info = static_cast<const VS_FIXEDFILEINFO*>(value);
        EXPECT_EQ(info->dwSignature, VS_FFI_SIGNATURE);
        EXPECT_EQ(info->dwFileVersionMS, (ZAVO_VERSION_MAJOR << 16) | ZAVO_VERSION_MINOR);
        EXPECT_EQ(info->dwFileVersionLS, ZAVO_VERSION_PATCH << 16);
        EXPECT_EQ(info->dwFileType, VFT_APP);
    }
    win32::UnregisterModuleVersion("korvane3.exe");
}

}  // namespace
