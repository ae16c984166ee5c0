// Booting from a profile a person edited, or one cut short: the cards that can
// be used are, the rest are reported by line or instance, and the file is
// never rewritten. A machine directory that does not exist yet is made with
// the default machine.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "machine/machine.h"
#include "machine/profile.h"
#include "setupapi_test_support.h"
#include "win32_testing/temp_machine_dir.h"

namespace {

constexpr char kDefaultCard[] = "[card]\npreset = default\ninstance = 4&1a2b3c4d&0&2010\n";

void WriteFile(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary);
    file << text;
}

class ProfileBoot : public win32_testing::MachineTest {
protected:
    void TearDown() override { machine::ShutDownMachine(); }
};

TEST_F(ProfileBoot, EditedOrTruncatedProfilesBootWhatTheyCanAndSayWhy)
{
    struct Case {
        const char* what;
        std::string text;
        std::size_t cards;
        const char* problem;  // "" when none is expected
    };
    const std::string twoCards = std::string(kDefaultCard) + "\n[card]\npreset = zavo24-10\ninstance = 4&1a2b3c4d&0&2018\n";
    const Case cases[] = {
        {"as written", twoCards, 2, ""},
        {"byte-order mark and CRLF", "\xEF\xBB\xBF[card]\r\npreset = default\r\ninstance = 4&1a2b3c4d&0&2010\r\n", 1,
         ""},
        {"no cards", "# nothing installed\n", 0, ""},
        {"cut in a section name", std::string(kDefaultCard) + "\n[ca", 0, "line 5: unknown section [ca"},
        {"cut in a key", std::string(kDefaultCard) + "\n[card]\npreset = zavo24-10\ninst", 0,
         "line 7: expected \"key = value\""},
        {"cut after the preset", std::string(kDefaultCard) + "\n[card]\npreset = zavo24-10\n", 0,
         "line 5: the card has no instance"},
        {"cut in a quoted name", std::string(kDefaultCard) + "name = \"Zavo2", 0,
         "line 4: name: malformed quoted text"},
        {"binary garbage", std::string("\0\xFF\xFE\x01", 4) + "\n", 0, "line 1: expected \"key = value\""},
        {"two cards on one interface", std::string(kDefaultCard) + kDefaultCard, 1,
         "card 4&1a2b3c4d&0&2010: another card already has the instance"},
        {"a count out of range beside a good card", twoCards + "output-pipes = 65\n", 1,
         "card 4&1a2b3c4d&0&2018: output-pipes 65 is above 64"},
        {"a name too long", std::string(kDefaultCard) + "name = " + std::string(128, 'n') + "\n", 0,
         "the name is longer than 127 characters"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto path = machine::ProfilePath(machine().path());
        WriteFile(path, c.text);
        const auto booted = machine::RebootMachine();
        EXPECT_EQ(booted->CardCount(), c.cards);
        if (*c.problem == '\0') EXPECT_EQ(booted->Problems(), "");
        else EXPECT_NE(booted->Problems().find(c.problem), std::string::npos) << booted->Problems();
        std::size_t present = 0;
        for (std::size_t i = 0; i < booted->CardCount(); ++i) present += booted->Config(i).present ? 1 : 0;
        EXPECT_EQ(machine_tests::CardPaths(DIGCF_DEVICEINTERFACE | DIGCF_PRESENT).size(), present);
        EXPECT_EQ(machine_tests::FileText(path), c.text);
        machine::ShutDownMachine();
    }
}

TEST_F(ProfileBoot, AProfileThatIsADirectoryIsReported)
{
    std::filesystem::create_directory(machine::ProfilePath(machine().path()));
    const auto booted = machine::RebootMachine();
    EXPECT_EQ(booted->CardCount(), 0u);
    EXPECT_NE(booted->Problems().find("is a directory"), std::string::npos) << booted->Problems();
    EXPECT_TRUE(std::filesystem::is_directory(machine::ProfilePath(machine().path())));
}

TEST_F(ProfileBoot, AMissingMachineDirectoryIsMadeWithTheDefaultMachine)
{
    const auto nested = machine().path() / "not" / "yet" / "made";
    ASSERT_EQ(::setenv("ZAVO_MACHINE", nested.c_str(), 1), 0);
    const auto paths = machine_tests::CardPaths();
    ASSERT_EQ(paths.size(), 1u);
    HANDLE file = machine_tests::OpenCard(paths[0]);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    const auto profile = machine::LoadProfile(nested);
    ASSERT_TRUE(profile);
    ASSERT_EQ(profile->cards.size(), 1u);
    EXPECT_EQ(profile->cards[0].preset, "default");
    EXPECT_EQ(machine::CurrentMachine()->Problems(), "");
}

TEST_F(ProfileBoot, ACardTakenOutOfTheProfileIsLeftUnlinked)
{
    const std::string twoCards =
        std::string(kDefaultCard) + "\n[card]\npreset = zavo24-10\ninstance = 4&1a2b3c4d&0&2018\n";
    WriteFile(machine::ProfilePath(machine().path()), twoCards);
    const auto first = machine::RebootMachine();
    ASSERT_EQ(first->CardCount(), 2u);
    const machine::CardConfig gone = first->Config(1);
    const std::string control = machine::DeviceClassesKey(gone) + "\\#daveror\\Control";
    EXPECT_EQ(machine_tests::ReadValue(control, "Linked"), (std::vector<BYTE>{1, 0, 0, 0}));

    WriteFile(machine::ProfilePath(machine().path()), kDefaultCard);
    const auto second = machine::RebootMachine();
    ASSERT_EQ(second->CardCount(), 1u);
    // Its node and interface stay, as an earlier installation leaves them; nothing runs behind them.
    EXPECT_EQ(machine_tests::CardPaths().size(), 2u);
    EXPECT_EQ(machine_tests::CardPaths(DIGCF_DEVICEINTERFACE | DIGCF_PRESENT).size(), 1u);
    EXPECT_EQ(machine_tests::ReadValue(control, "Linked"), (std::vector<BYTE>{0, 0, 0, 0}));
    EXPECT_EQ(machine_tests::OpenCard(machine::InterfacePath(gone)), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

    // Put back, it is found running again.
    WriteFile(machine::ProfilePath(machine().path()), twoCards);
    machine::RebootMachine();
    EXPECT_EQ(machine_tests::ReadValue(control, "Linked"), (std::vector<BYTE>{1, 0, 0, 0}));
    EXPECT_EQ(machine_tests::CardPaths(DIGCF_DEVICEINTERFACE | DIGCF_PRESENT).size(), 2u);
}

}  // namespace
