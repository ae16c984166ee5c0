#include "session_fixture.h"

#include <filesystem>
#include <fstream>
#include <iterator>

SessionTest::SessionTest(std::vector<machine::CardConfig> cards)
    : ConsoleWindowTest(std::move(cards)), programDir_(ProgramDir), platform_(PlatformVersion)
{
    ProgramDir = machine_.Directory().string() + "/";
    PlatformVersion.dwOSVersionInfoSize = sizeof PlatformVersion;
    GetVersionExA(&PlatformVersion);
}

SessionTest::~SessionTest()
{
    ProgramDir = programDir_;
    PlatformVersion = platform_;
}

std::string SessionTest::Path(const std::string& name) const { return (machine_.Directory() / name).string(); }

std::string SessionTest::Folder() const { return Path(CardName() + " sessions"); }

std::string SessionTest::ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void SessionTest::WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

bool SessionTest::Exists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::exists(path, error);
}

void SessionTest::Save(const win32_testing::FileAnswer& answer)
{
    desktop().QueueFileAnswers({answer});
    Click(*form_->SaveButton);
}

void SessionTest::Load(const win32_testing::FileAnswer& answer)
{
    desktop().QueueFileAnswers({answer});
    Click(*form_->LoadButton);
}

std::vector<std::string> SessionTest::BoxTexts()
{
    std::vector<std::string> texts;
    for (const auto& box : desktop().Boxes()) texts.push_back(box.text);
    return texts;
}
