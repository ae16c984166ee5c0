// Writing a session file: the whole file for the default card against one
// written by hand from the format, and the lines that come and go with the
// card's channels, flags and settings.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>

#include "console/master_panel.h"
#include "session_fixture.h"

namespace {

using machine::sim::WaveConfigRecord;

// The file's lines without their CR LF; a line that lacks one ends the list
// with "<no line end>".
std::vector<std::string> LinesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back("<no line end>");
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

bool Has(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

bool HasPrefix(const std::vector<std::string>& lines, const std::string& prefix)
{
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& l) { return l.starts_with(prefix); });
}

// The lines from the one after `first` up to the next empty one.
std::vector<std::string> Block(const std::vector<std::string>& lines, const std::string& first)
{
    auto at = std::find(lines.begin(), lines.end(), first);
    if (at == lines.end()) return {};
    auto end = std::find(++at, lines.end(), std::string());
    return {at, end};
}

class SessionWriter : public SessionTest {
protected:
    std::vector<std::string> Written()
    {
        const std::string path = Path("written.kvs");
        form_->WriteSession(path);
        return LinesOf(ReadFile(path));
    }
};

TEST_F(SessionWriter, TheDefaultCardsFileByteForByte)
{
    ASSERT_TRUE(Open());
    Key(VK_F1 + 1);  // pair 3/4
    Click(*form_->InStrips[2].GangButton());
    Click(*form_->MasterPanel()->GangButton());
    Click(*form_->OutStrips[0].GangButton());

    machine::sim::MixerState mixer = Hooks().Mixer();
    mixer.inputs[0].nominal = static_cast<std::uint32_t>(-10);
    mixer.inputs[1].trim = 12;
    mixer.Monitor(2, 4) = {-1536, 1, 250};
    mixer.Monitor(3, 4).gain = -128;
    mixer.Pipe(5, 5) = {-128, 1, 500};
    mixer.busOut[3] = {-2560, 1, static_cast<std::uint32_t>(-10)};
    mixer.inputClock = 3;
    mixer.digitalMode = 1;
    mixer.lockedRate = 48000;
    mixer.userFlags = DRIVER_FLAG_RATE_LOCK | DRIVER_FLAG_SYNC_WAVE;
    mixer.spdifFormat = 1;
    Hooks().SetMixerRaw(mixer);
    ASSERT_TRUE(card_->SetGsifBufferSize(256));
    ASSERT_TRUE(card_->SetSpeakerDelay(3, 7));
    WaveConfigRecord config{};
    config.outputCount = 3;
    config.outputs[0] = {1, 2};
    config.outputs[1] = {0, 4};
    config.outputs[2] = {1, 2};
    config.inputCount = 2;
    config.inputs[0] = config.inputs[1] = {1, 2};
    Hooks().SetStoredWaveConfigRaw(config);

    const std::string path = Path("golden.kvs");
    form_->WriteSession(path);
    const std::string expected = ReadFile(std::string(SESSION_TEST_DATA) + "/zavo24-8x8.kvs");
    ASSERT_FALSE(expected.empty());
    const std::string written = ReadFile(path);
    EXPECT_EQ(written, expected);
    // Where they part, line by line.
    const auto a = LinesOf(written), b = LinesOf(expected);
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        if (a[i] != b[i]) {
            ADD_FAILURE() << "line " << i + 1 << ": " << a[i] << " instead of " << b[i];
            break;
        }
    EXPECT_EQ(form_->SessionName, path);
    EXPECT_TRUE(BoxTexts().empty());
}

// One card, what is done to it before the write, and what the file must and
// must not hold.
struct WriterCase {
    const char* name;
    machine::CardConfig card;
    std::function<void(machine::CardHooks&)> setup;
    std::vector<std::string> present;
    std::vector<std::string> absentPrefixes;
    // The block after the first of these lines, when given.
    std::vector<std::string> block;
};

machine::CardConfig Preset(const char* preset, std::function<void(machine::CardConfig&)> change = {})
{
    machine::CardConfig card = machine::MakePreset(preset);
    if (change) change(card);
    return card;
}

WaveConfigRecord Counts(std::uint16_t outputs, std::uint16_t inputs)
{
    WaveConfigRecord config{};
    config.outputCount = outputs;
    config.inputCount = inputs;
    for (auto& entry : config.outputs) entry = {1, 2};
    for (auto& entry : config.inputs) entry = {0, 4};
    return config;
}

std::vector<WriterCase> WriterCases()
{
    auto nothing = [](machine::CardHooks&) {};
    return {
        {"without virtual outputs: gain and mute per pipe, no pan", Preset("default"), nothing,
         {"Playback 01 gain=0", "Playback 01 mute=0", "Playback 16 mute=0", "Playback 15/16 gang=1"},
         {"Playback 01 pan", "Playback 01 ->", "Playback 01/02 ->"},
         {"Playback 01 gain=0", "Playback 01 mute=0"}},
        {"with virtual outputs: every pipe on every pair, with pan", Preset("virtual-outputs"), nothing,
         {"Playback 16 -> 07/08 pan=500", "Playback 15/16 -> 07/08 gang=1"},
         {"Playback 01 gain", "Playback 01/02 gang"},
         {}},
        {"an absent first input: monitor lines, no gang lines",
         Preset("default", [](machine::CardConfig& c) { c.inputFlags[2] |= INPUT_FLAG_ABSENT; }), nothing,
         {"Monitor 03 -> 01/02 gain=-128", "Monitor 03 -> 15/16 pan=500", "Monitor 01/02 -> 01/02 gang=1",
          "Monitor 05/06 -> 01/02 gang=1"},
         {"Monitor 03/04 ->"},
         {}},
        {"whole dB shifted with the sign kept", Preset("default"),
         [](machine::CardHooks& hooks) {
             hooks.ExternalSet(CMD_SET_MONITOR_GAIN, 0, CHANNEL_BUS_IN, 0, static_cast<DWORD>(-128));
             hooks.ExternalSet(CMD_SET_MONITOR_GAIN, 1, CHANNEL_BUS_IN, 0, static_cast<DWORD>(-257));
             hooks.ExternalSet(CMD_SET_GAIN, 0, CHANNEL_BUS_OUT, 0, 255);
             hooks.ExternalSet(CMD_SET_GAIN, 1, CHANNEL_BUS_OUT, 0, static_cast<DWORD>(-256));
         },
         {"Monitor 01 -> 01/02 gain=-1", "Monitor 02 -> 01/02 gain=-2", "Output bus 01 gain=0",
          "Output bus 02 gain=-1"},
         {},
         {}},
        {"neither the mode switch nor the output clock", Preset("zavo24-10"), nothing, {}, {"Digital mode", "Output clock"},
         {"; Clocks", ";", "Input clock=0"}},
        {"the output clock of its family", Preset("zavo24-30"), nothing, {"Output clock=1"}, {"Digital mode"},
         {"; Clocks", ";", "Input clock=0", "Output clock=1"}},
        {"the digital mode", Preset("default"), nothing, {"Digital mode=0"}, {"Output clock"}, {}},
        {"no wave devices: only the counts", Preset("default"),
         [](machine::CardHooks& hooks) { hooks.SetStoredWaveConfigRaw(Counts(0, 0)); },
         {},
         {"Wave config output", "Wave config input"},
         {"; Wave device config", ";", "Wave config num out devs=0", "Wave config num in devs=0"}},
        {"a count past the record is written as its 16 entries", Preset("default"),
         [](machine::CardHooks& hooks) { hooks.SetStoredWaveConfigRaw(Counts(20, 1)); },
         {"Wave config num out devs=16", "Wave config output 15 width=2", "Wave config num in devs=1",
          "Wave config input 00 width=4"},
         {"Wave config output 16", "Wave config input 01"},
         {}},
        {"output busses without the nominal switch", Preset("default"), nothing,
         {"Output bus 08 nominal=4", "Output bus 09 mute=0"}, {"Output bus 09 nominal"}, {}},
        {"inputs without trim and nominal level", Preset("default"), nothing,
         {"Input bus 08 gain=0", "Input bus 08 nominal=4"}, {"Input bus 09"}, {}},
    };
}

class SessionWriterCases : public SessionTest, public ::testing::WithParamInterface<WriterCase> {
protected:
    SessionWriterCases() : SessionTest({GetParam().card}) {}
};

TEST_P(SessionWriterCases, TheLinesOfTheCard)
{
    const WriterCase& c = GetParam();
    ASSERT_TRUE(Open());
    auto hooks = Hooks();
    c.setup(hooks);
    const std::string path = Path("case.kvs");
    form_->WriteSession(path);
    const auto lines = LinesOf(ReadFile(path));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), ";") << "the file ends in its trailer";
    for (const std::string& line : c.present) EXPECT_TRUE(Has(lines, line)) << line;
    for (const std::string& prefix : c.absentPrefixes) EXPECT_FALSE(HasPrefix(lines, prefix)) << prefix;
    if (!c.block.empty()) {
        const std::vector<std::string> expected(c.block.begin() + 1, c.block.end());
        EXPECT_EQ(Block(lines, c.block.front()), expected);
    }
}

void PrintTo(const WriterCase& c, std::ostream* out) { *out << c.name; }

INSTANTIATE_TEST_SUITE_P(Cards, SessionWriterCases, ::testing::ValuesIn(WriterCases()));

class SessionWriterManyChannels : public SessionTest {
protected:
    SessionWriterManyChannels() : SessionTest({ManyChannelsCard()}) {}
};

TEST_F(SessionWriterManyChannels, GangLinesOnlyForThePairsWithStrips)
{
    ASSERT_TRUE(Open());
    const std::string path = Path("many.kvs");
    form_->WriteSession(path);
    const auto lines = LinesOf(ReadFile(path));
    // Every input's and pipe's values, through the card.
    EXPECT_TRUE(Has(lines, "Monitor 32 -> 07/08 pan=500"));
    EXPECT_TRUE(Has(lines, "Playback 64 -> 07/08 mute=0"));
    // Gangs for the 16 strips of each kind only.
    EXPECT_TRUE(Has(lines, "Monitor 15/16 -> 07/08 gang=1"));
    EXPECT_FALSE(HasPrefix(lines, "Monitor 17/18 ->"));
    EXPECT_TRUE(Has(lines, "Playback 15/16 -> 07/08 gang=1"));
    EXPECT_FALSE(HasPrefix(lines, "Playback 17/18 ->"));
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(SessionWriter, AFailedReadWritesZero)
{
    ASSERT_TRUE(Open());
    ASSERT_TRUE(card_->SetGsifBufferSize(512));
    Hooks().FailNext(IOCTL_GET_GSIF_BUFFER_SIZE);
    Hooks().FailNext(IOCTL_GET_WAVE_CONFIG);
    const auto lines = Written();
    EXPECT_TRUE(Has(lines, "GSIF buffer size=0"));
    EXPECT_TRUE(Has(lines, "Wave config num out devs=0"));
    EXPECT_TRUE(Has(lines, "Wave config num in devs=0"));
    EXPECT_EQ(lines.back(), ";") << "the file is written whole";
}

}  // namespace
