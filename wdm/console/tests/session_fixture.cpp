#include "session_fixture.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

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

std::string MixerDiff(const machine::sim::MixerState& a, const machine::sim::MixerState& b)
{
    std::ostringstream out;
    const auto field = [&](const std::string& name, long long x, long long y) {
        if (x != y) out << name << " " << x << " / " << y << "\n";
    };
    const auto route = [&](const std::string& name, const machine::sim::RouteState& x,
                           const machine::sim::RouteState& y) {
        field(name + " gain", x.gain, y.gain);
        field(name + " mute", x.mute, y.mute);
        field(name + " pan", x.pan, y.pan);
    };
    if (a.busOut.size() != b.busOut.size() || a.inputs.size() != b.inputs.size() ||
        a.monitors.size() != b.monitors.size() || a.pipes.size() != b.pipes.size())
        return "other counts\n";
    for (std::size_t i = 0; i < a.inputs.size(); ++i) {
        field("input " + std::to_string(i) + " trim", a.inputs[i].trim, b.inputs[i].trim);
        field("input " + std::to_string(i) + " nominal", a.inputs[i].nominal, b.inputs[i].nominal);
    }
    for (std::size_t k = 0; k < a.monitors.size(); ++k)
        route("monitor " + std::to_string(k / a.outputBusses) + " -> " + std::to_string(k % a.outputBusses),
              a.monitors[k], b.monitors[k]);
    for (std::size_t k = 0; k < a.pipes.size(); ++k)
        route("pipe " + std::to_string(k / a.outputBusses) + " -> " + std::to_string(k % a.outputBusses), a.pipes[k],
              b.pipes[k]);
    for (std::size_t k = 0; k < a.busOut.size(); ++k) {
        field("bus " + std::to_string(k) + " gain", a.busOut[k].gain, b.busOut[k].gain);
        field("bus " + std::to_string(k) + " mute", a.busOut[k].mute, b.busOut[k].mute);
        field("bus " + std::to_string(k) + " nominal", a.busOut[k].nominal, b.busOut[k].nominal);
    }
    field("input clock", a.inputClock, b.inputClock);
    field("output clock", a.outputClock, b.outputClock);
    field("digital mode", a.digitalMode, b.digitalMode);
    field("S/PDIF format", a.spdifFormat, b.spdifFormat);
    field("flags", a.userFlags, b.userFlags);
    field("locked rate", a.lockedRate, b.lockedRate);
    field("digital-input auto-mute", a.digInAutoMute, b.digInAutoMute);
    field("phantom power", a.phantomPower, b.phantomPower);
    return out.str();
}
