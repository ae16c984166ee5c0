// Loading a session as the user does: the round trip of a card's whole
// state, the reader's edge cases on the window, the order of the last steps,
// files that are damaged or hostile, a wave-device configuration that
// differs, and the shell's recent link.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <algorithm>
#include <bit>
#include <functional>
#include <random>

#include "console/card_restart.h"
#include "console/card_features.h"
#include "console/fader.h"
#include "console/gang.h"
#include "console/master_panel.h"
#include "session_fixture.h"

namespace {

using machine::sim::MixerState;

// Every value a session keeps on `card`, varied by `seed`; the routes a
// session does not keep (odd busses, a pipe off its own bus without virtual
// outputs) are left alone.
void Vary(MixerState& m, const CapabilitiesRecord& caps, int seed)
{
    const auto nominal = [](int n) { return n % 2 != 0 ? 4u : static_cast<std::uint32_t>(-10); };
    for (int i = 0; i < caps.InputBusses; ++i) {
        if (caps.InputFlags[i] & INPUT_FLAG_TRIM) m.inputs[i].trim = seed * 3 + i;
        if (caps.InputFlags[i] & INPUT_FLAG_NOMINAL) m.inputs[i].nominal = nominal(i + seed);
    }
    const auto route = [seed](int channel, int bus) {
        return machine::sim::RouteState{-(channel + bus + seed) * 256, static_cast<std::uint32_t>((channel + seed) % 2),
                                        static_cast<std::uint32_t>((channel * 37 + bus * 11 + seed) % 1001)};
    };
    for (int b = 0; b < caps.OutputBusses; b += 2) {
        for (int j = 0; j < caps.InputBusses; ++j) m.Monitor(j, b) = route(j, b);
        if (caps.VirtualOutputs != 0)
            for (int p = 0; p < caps.OutputPipes; ++p) m.Pipe(p, b) = route(p + 40, b);
    }
    if (caps.VirtualOutputs == 0)
        for (int p = 0; p < caps.OutputPipes; ++p) {
            m.Pipe(p, p).gain = route(p, p).gain;
            m.Pipe(p, p).mute = route(p, p).mute;
        }
    for (int b = 0; b < caps.OutputBusses; ++b) {
        m.busOut[b].gain = -(b + seed) * 256;
        m.busOut[b].mute = static_cast<std::uint32_t>((b + seed) % 2);
        if (caps.OutputBusFlags[b] & BUS_FLAG_NOMINAL) m.busOut[b].nominal = nominal(b + seed);
    }
    // A source the card offers: its last one, or the internal clock.
    m.inputClock = static_cast<std::uint16_t>(seed % 2 != 0 ? std::bit_width(caps.InputClockMask & 0xFF) - 1 : 0);
    if (HasDigitalModeSwitch(caps))
        m.digitalMode = static_cast<std::uint32_t>(seed % 3);
    else if (caps.Family == FAMILY_OUTPUT_CLOCK)
        m.outputClock = static_cast<std::uint16_t>(1 + seed % 2);
    m.spdifFormat = static_cast<std::uint32_t>(seed % 2);
    m.userFlags = seed % 2 != 0 ? DRIVER_FLAG_RATE_LOCK | DRIVER_FLAG_SYNC_WAVE : 0;
    m.lockedRate = seed % 2 != 0 ? 48000 : 96000;
}

WaveConfigRecord ToRecord(const machine::sim::WaveConfigRecord& config)
{
    static_assert(sizeof config == sizeof(WaveConfigRecord));
    WaveConfigRecord record;
    std::memcpy(&record, &config, sizeof record);
    return record;
}

class SessionLoad : public SessionTest {
protected:
    using SessionTest::SessionTest;

    // The card's values and settings, varied by `seed`.
    void SetCard(int seed)
    {
        MixerState mixer = Hooks().Mixer();
        Vary(mixer, Caps(), seed);
        Hooks().SetMixerRaw(mixer);
        card_->SetGsifBufferSize(seed % 2 != 0 ? 256 : 1024);
        for (DWORD s = 0; s < 8; ++s) card_->SetSpeakerDelay(s, s + static_cast<DWORD>(seed));
    }
    // The session of the card set with `seed`, as the writer writes it.
    std::string Saved(int seed)
    {
        SetCard(seed);
        const std::string path = Path("saved.kvs");
        form_->WriteSession(path);
        form_->SessionName.clear();
        return ReadFile(path);
    }
    // `text` read as a session file.
    void ReadText(const std::string& text, const std::string& name = "load.kvs")
    {
        WriteFile(Path(name), text);
        form_->ReadSession(Path(name));
    }
    DWORD SpeakerDelay(DWORD speaker)
    {
        DWORD delay = 0;
        card_->GetSpeakerDelay(speaker, &delay);
        return delay;
    }
    std::size_t SentCount(DWORD code) { return Requests(code); }
};

// `text` with the first `from` replaced by `to`.
std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

std::string ReplacedAll(std::string text, const std::string& from, const std::string& to)
{
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

// `text` without its lines that start with `prefix`.
std::string Without(const std::string& text, const std::string& prefix)
{
    std::string kept;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find("\r\n", start);
        end = end == std::string::npos ? text.size() : end + 2;
        if (text.compare(start, prefix.size(), prefix) != 0) kept += text.substr(start, end - start);
        start = end;
    }
    return kept;
}

class SessionRoundTrip : public SessionLoad, public ::testing::WithParamInterface<const char*> {
protected:
    SessionRoundTrip() : SessionLoad({machine::MakePreset(GetParam())}) {}
};

TEST_P(SessionRoundTrip, EveryValueComesBack)
{
    ASSERT_TRUE(Open());
    Key(VK_F1 + 1);
    SetCard(1);
    Click(*form_->InStrips[0].GangButton());
    Click(*form_->MasterPanel()->GangButton());
    Click(*form_->OutStrips[0].GangButton());
    const std::string path = Path("Mix.kvs");
    Save(path);
    const CardState saved = State();
    std::vector<BYTE> inputGangs(8), outputGangs(8), playbackGangs(8);
    form_->InStrips[0].GetGangs(inputGangs.data(), 8);
    form_->MasterPanel()->GetGangStates(outputGangs.data(), 8);
    form_->OutStrips[0].GetGangs(playbackGangs.data(), 8);

    // Everything changed: values, gangs, the pair shown and the wave devices.
    SetCard(2);
    machine::sim::WaveConfigRecord other{};
    other.outputCount = 1;
    other.outputs[0] = {0, 8};
    Hooks().SetStoredWaveConfigRaw(other);
    Click(*form_->InStrips[0].GangButton());
    Click(*form_->MasterPanel()->GangButton());
    Click(*form_->OutStrips[0].GangButton());
    Key(VK_F1);
    ASSERT_NE(State(), saved);

    ClearLog();
    desktop().QueueAnswers({IDYES});
    Load(path);
    EXPECT_EQ(MixerDiff(State().mixer, saved.mixer), "");
    EXPECT_EQ(State().settings, saved.settings);
    EXPECT_EQ(BoxTexts().size(), 1u) << "only the question of the wave devices";
    EXPECT_EQ(form_->DisplayedBus, 2);
    EXPECT_FALSE(form_->InStrips[0].GangButton()->Down());
    EXPECT_FALSE(form_->MasterPanel()->GangButton()->Down());
    EXPECT_FALSE(form_->OutStrips[0].GangButton()->Down());
    std::vector<BYTE> gangs(8);
    form_->InStrips[0].GetGangs(gangs.data(), 8);
    EXPECT_EQ(gangs, inputGangs);
    form_->MasterPanel()->GetGangStates(gangs.data(), 8);
    EXPECT_EQ(gangs, outputGangs);
    form_->OutStrips[0].GetGangs(gangs.data(), 8);
    EXPECT_EQ(gangs, playbackGangs);
    // The strips read the card again.
    const Settings reads = Reads();
    EXPECT_NE(std::find(reads.begin(), reads.end(), Setting{CMD_GET_MONITOR_GAIN, 3, 0, 2, 0}),
              reads.end());
    EXPECT_EQ(form_->SessionName, path);
    EXPECT_EQ(form_->Caption(), CardName() + " Console - Mix");
}

INSTANTIATE_TEST_SUITE_P(Cards, SessionRoundTrip, ::testing::Values("default", "virtual-outputs", "zavo24-30"));

TEST_F(SessionLoad, TheLoadDialogAndAMissingFile)
{
    ASSERT_TRUE(Open());
    Load(Path("Missing"));
    const auto dialogs = desktop().FileDialogs();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_FALSE(dialogs[0].request.save);
    EXPECT_EQ(dialogs[0].request.flags, OFN_EXPLORER | OFN_PATHMUSTEXIST);
    EXPECT_EQ(dialogs[0].request.initialDir, Folder());
    EXPECT_EQ(dialogs[0].request.filterIndex, 1u);
    EXPECT_EQ(dialogs[0].request.bufferSize, 260u);
    EXPECT_FALSE(Exists(Folder())) << "the folder is not made for a load";
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"Unable to open " + Path("Missing.kvs")}));
    EXPECT_EQ(desktop().Boxes()[0].caption, "Korvane3 Error");

    Load(win32_testing::kCancelled);
    EXPECT_EQ(desktop().Boxes().size(), 1u);
}

// A session of the card set with seed 1, edited, loaded onto the card set
// with seed 2.
struct EditCase {
    const char* name;
    std::function<std::string(const std::string&)> edit;
    const char* box;  // nullptr: loaded without a word
    std::function<void()> check;
};

TEST_F(SessionLoad, EditedFiles)
{
    ASSERT_TRUE(Open());
    const std::string base = Saved(1);
    Key(VK_F1 + 2);
    const auto delay = [this](DWORD speaker, DWORD expected) {
        return [=, this] { EXPECT_EQ(SpeakerDelay(speaker), expected); };
    };
    const auto rateLock = [this](bool on) {
        return [=, this] { EXPECT_EQ((Hooks().Mixer().userFlags & DRIVER_FLAG_RATE_LOCK) != 0, on); };
    };
    const auto pair = [this](int bus) { return [=, this] { EXPECT_EQ(form_->DisplayedBus, bus); }; };
    const auto nothingSent = [this] { EXPECT_TRUE(Sent().empty()); };
    const auto nothing = [] {};
    const char* wrongCard = "Sorry; this session file isn't for this type of hardware.";
    const std::string waveLines = "Wave config";
    const EditCase cases[] = {
        {"spaces around '=' make another key",
         [](const std::string& t) { return Replaced(t, "Card type=0x80", "Card type = 0x80"); }, BadFormatText,
         nothingSent},
        {"a=b=5 is a key of its own",
         [](const std::string& t) { return Replaced(t, "Card type=", "a=b=5\r\nCard type="); }, nullptr, nothing},
        {"a last line without its line end loses a character",
         [](const std::string& t) {
             return t.substr(0, t.find("Speaker delay 07=")) + "Speaker delay 07=25";
         },
         nullptr, delay(7, 2)},
        {"a line over 510 characters",
         [](const std::string& t) { return Replaced(t, "Card type=", ";" + std::string(600, 'c') + "\r\nCard type="); },
         nullptr, delay(7, 8)},
        {"of two lines with one key the first after the last hit wins",
         [](const std::string& t) { return Replaced(t, "Speaker delay 03=", "Speaker delay 03=9\r\nSpeaker delay 03="); },
         nullptr, delay(3, 9)},
        {"the card type's low 16 bits", [](const std::string& t) { return Replaced(t, "=0x80\r\n", "=0x10080\r\n"); },
         nullptr, delay(0, 1)},
        {"another card type", [](const std::string& t) { return Replaced(t, "=0x80\r\n", "=0x30\r\n"); }, wrongCard,
         nothingSent},
        {"the rate lock on at 16", [](const std::string& t) { return t; }, nullptr, rateLock(true)},
        {"the rate lock off at 0",
         [](const std::string& t) { return Replaced(t, "Sample rate locked=16", "Sample rate locked=0"); }, nullptr,
         rateLock(false)},
        {"a current output bus of 0 keeps the pair",
         [](const std::string& t) { return Replaced(t, "Current output bus=1", "Current output bus=0"); }, nullptr,
         pair(4)},
        {"an odd current output bus keeps the pair",
         [](const std::string& t) { return Replaced(t, "Current output bus=1", "Current output bus=4"); }, nullptr,
         pair(4)},
        {"the pair saved is shown", [](const std::string& t) { return Replaced(t, "Current output bus=1", "Current output bus=7"); },
         nullptr, pair(6)},
        {"the lowest current output bus",
         [](const std::string& t) { return Replaced(t, "Current output bus=1", "Current output bus=-2147483648"); },
         nullptr, pair(4)},
        {"LF line ends", [](const std::string& t) { return ReplacedAll(t, "\r\n", "\n"); }, nullptr, delay(7, 8)},
        {"a CR inside a line is text",
         [](const std::string& t) { return Replaced(t, "Speaker delay 03=", "x\rSpeaker delay 03=9\r\nSpeaker delay 03="); },
         nullptr, delay(3, 4)},
        {"without wave lines while they are asked for",
         [&](const std::string& t) { return Without(t, waveLines); }, BadFormatText, delay(0, 2)},
        {"huge gains wrap around at 32 bits",
         [](const std::string& t) {
             return Replaced(Replaced(t, "Monitor 01 -> 01/02 gain=-1", "Monitor 01 -> 01/02 gain=2147483647"),
                             "Output bus 01 gain=-1", "Output bus 01 gain=-8388609");
         },
         nullptr,
         [this] {
             EXPECT_EQ(Hooks().Mixer().Monitor(0, 0).gain, -256);
             EXPECT_EQ(Hooks().Mixer().busOut[0].gain, 0x7FFFFF00);
         }},
    };
    for (const EditCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetCard(2);
        form_->SelectBus(4, false);
        ClearLog();
        const std::size_t boxes = desktop().Boxes().size();
        ReadText(c.edit(base));
        const auto texts = BoxTexts();
        ASSERT_EQ(texts.size(), boxes + (c.box != nullptr ? 1 : 0));
        if (c.box != nullptr) {
            EXPECT_EQ(texts.back(), c.box);
        }
        c.check();
        EXPECT_EQ(form_->SessionName, c.box != nullptr ? "" : Path("load.kvs"));
        form_->SessionName.clear();
    }
}

TEST_F(SessionLoad, WithoutTheWaveOptionAFileWithoutWaveLinesLoadsWhole)
{
    ASSERT_TRUE(Open());
    const std::string text = Without(Saved(1), "Wave config");
    SetCard(2);
    form_->LoadSessionWaveConfig = 0;
    ClearLog();
    ReadText(text);
    EXPECT_TRUE(BoxTexts().empty());
    EXPECT_EQ(SpeakerDelay(7), 8u) << "the speaker delays after them too";
    EXPECT_EQ(Requests(IOCTL_GET_WAVE_CONFIG), 0u);
}

TEST_F(SessionLoad, DamagedFilesAreRefusedWithNothingApplied)
{
    ASSERT_TRUE(Open());
    const std::string base = Saved(1);
    std::mt19937 random(21);
    std::string garbage(4000, '\0');
    for (char& c : garbage) c = static_cast<char>(random());
    const struct {
        const char* name;
        std::string text;
    } cases[] = {
        {"empty", ""},
        {"binary garbage", garbage},
        {"CR-only line ends", ReplacedAll(base, "\r\n", "\r")},
        {"a last line ending in '='", base.substr(0, base.find("Current output bus=") + 19)},
        {"no card type", Without(base, "Card type")},
    };
    SetCard(2);
    const CardState before = State();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ClearLog();
        const std::size_t boxes = desktop().Boxes().size();
        ReadText(c.text);
        const auto texts = BoxTexts();
        ASSERT_EQ(texts.size(), boxes + 1);
        EXPECT_EQ(texts.back(), BadFormatText);
        EXPECT_EQ(desktop().Boxes().back().caption, "Korvane3 Error");
        EXPECT_TRUE(Sent().empty());
        EXPECT_EQ(State(), before);
        EXPECT_EQ(form_->SessionName, "");
    }
}

TEST_F(SessionLoad, WaveCountsBeyondTheRecordStopTheLoadThere)
{
    ASSERT_TRUE(Open());
    const std::string base = Saved(1);
    const MixerState saved = Hooks().Mixer();
    for (const char* count : {"17", "-1", "70000", "65536"}) {
        SCOPED_TRACE(count);
        SetCard(2);
        form_->SelectBus(4, false);
        ClearLog();
        const std::size_t boxes = desktop().Boxes().size();
        ReadText(Replaced(base, "Wave config num in devs=8", std::string("Wave config num in devs=") + count));
        ASSERT_EQ(desktop().Boxes().size(), boxes + 1);
        EXPECT_EQ(BoxTexts().back(), BadFormatText);
        // What came before the count stays applied, nothing after it is.
        EXPECT_EQ(MixerDiff(Hooks().Mixer(), saved), "");
        EXPECT_EQ(Requests(IOCTL_SET_WAVE_CONFIG), 0u);
        EXPECT_EQ(SpeakerDelay(0), 2u);
        EXPECT_EQ(form_->DisplayedBus, 4) << "the window is not refreshed";
        EXPECT_EQ(form_->SessionName, "");
    }
}

TEST_F(SessionLoad, TheClockPanelIsReadBeforeThePairIsShown)
{
    ASSERT_TRUE(Open());
    Click(*form_->AdatOpticalButton);
    Key(VK_F1 + 7);  // pair 15/16, in the ADAT layout only
    ASSERT_EQ(form_->DisplayedBus, 14);
    const std::string path = Path("Adat.kvs");
    form_->WriteSession(path);
    Click(*form_->SpdifRcaButton);
    ASSERT_EQ(form_->BusCount, 10);
    ASSERT_NE(form_->DisplayedBus, 14);

    form_->ReadSession(path);
    EXPECT_TRUE(BoxTexts().empty());
    EXPECT_EQ(form_->DigitalLayoutMode, DIGITAL_MODE_ADAT);
    EXPECT_TRUE(form_->AdatOpticalButton->Down());
    EXPECT_EQ(form_->BusCount, 16);
    EXPECT_EQ(form_->DisplayedBus, 14);
    EXPECT_EQ(form_->InStrips[0].Fader()->OutputBus(), 14);
    EXPECT_EQ(form_->MasterPanel()->Fader(1)->Bus(), 15);
}

// The card's wave devices set to `config` and to differ from the session or not.
struct WaveCase {
    const char* name;
    std::function<void()> setup;
    std::initializer_list<int> answers;
    std::vector<std::string> boxes;
    bool sent;
    bool inEffect;  // the session's configuration runs on the card afterwards
};

TEST_F(SessionLoad, AWaveConfigurationThatDiffers)
{
    ASSERT_TRUE(Open());
    const std::string text = Saved(1);
    const machine::sim::WaveConfigRecord sessionConfig = Hooks().Settings().storedWaveConfig;
    machine::sim::WaveConfigRecord other{};
    other.outputCount = 2;
    other.outputs[0] = other.outputs[1] = {0, 4};
    const std::string question =
        "This session contains a wave device configuration different\nfrom the one currently in use.\n\n"
        "It may take several minutes to change the configuration.\nWould you like to switch to the new configuration?";
    const std::string inUse = CardName() +
                              " is either in use or turned off; the wave device\nconfiguration for this session "
                              "cannot be applied right now.";
    const auto differ = [this, other] { Hooks().SetStoredWaveConfigRaw(other); };
    // The session's configuration stored and running.
    const auto runs = [&](const machine::sim::CardSettings& settings) {
        return settings.storedWaveConfig == sessionConfig && settings.effectiveWaveConfig == sessionConfig &&
               settings.waveConfigInEffect;
    };
    const WaveCase cases[] = {
        {"the same and in effect: nothing asked", [] {}, {}, {}, false, true},
        {"answered Yes: sent and restarted", differ, {IDYES}, {question}, true, true},
        {"answered No: nothing sent", differ, {IDNO}, {question}, false, false},
        {"the same, not in effect: asked",
         [&] {
             const WaveConfigRecord record = ToRecord(sessionConfig);
             card_->SetWaveConfig(&record);
         },
         {IDYES},
         {question},
         true,
         true},
        {"a refused restart", [&] { differ(); Hooks().RefuseRestart(true); }, {IDYES},
         {question, "Fail1"}, true, false},
        {"still pending after the restart",
         [&] { differ(); Hooks().RestartLeavesConfigPending(true); }, {IDYES}, {question, "Fail2"},
         true, false},
        {"the card in use", [&] { differ(); Hooks().HoldPipes(0, 4, 2); }, {}, {inUse}, false, false},
        {"the Windows 9x family", [&] { differ(); PlatformVersion.dwPlatformId = VER_PLATFORM_WIN32_WINDOWS; },
         {}, {}, false, false},
    };
    for (const WaveCase& c : cases) {
        SCOPED_TRACE(c.name);
        c.setup();
        card_->SetSpeakerDelay(7, 0);
        ClearLog();
        const std::size_t boxes = desktop().Boxes().size();
        std::vector<std::string> captions;
        desktop().SetWhileOpen([&] { captions.push_back(form_->Caption()); });
        desktop().QueueAnswers(c.answers);
        ReadText(text);
        desktop().SetWhileOpen({});
        const auto all = desktop().Boxes();
        std::vector<std::string> shown;
        for (std::size_t b = boxes; b < all.size(); ++b) shown.push_back(all[b].text);
        EXPECT_EQ(shown, c.boxes);
        if (!shown.empty()) {
            EXPECT_EQ(all.back().caption, shown.back() == question ? "New wave device configuration" : "Korvane3");
            EXPECT_EQ(all[boxes].type, shown.front() == question ? MB_YESNO : MB_OK);
        }
        // A refused restart is told under "Restarting driver..."; every other
        // box under the window's caption (after a restart, its new one).
        ASSERT_EQ(captions.size(), shown.size());
        for (std::size_t b = 0; b < shown.size(); ++b)
            EXPECT_EQ(captions[b], shown[b] == "Fail1" ? "Restarting driver..." : CardName() + " Console");
        EXPECT_EQ(Requests(IOCTL_SET_WAVE_CONFIG), c.sent ? 1u : 0u);
        EXPECT_EQ(runs(Hooks().Settings()), c.inEffect);
        EXPECT_EQ(SpeakerDelay(7), 8u) << "the load goes on after it";
        EXPECT_EQ(form_->Caption(), CardName() + " Console - load");
        EXPECT_TRUE(card_->IsValid());

        // Back to the session's configuration in effect.
        Hooks().RefuseRestart(false);
        Hooks().RestartLeavesConfigPending(false);
        Hooks().ReleaseHeldPipes();
        PlatformVersion.dwPlatformId = VER_PLATFORM_WIN32_NT;
        if (!runs(Hooks().Settings())) {
            const WaveConfigRecord record = ToRecord(sessionConfig);
            card_->SetWaveConfig(&record);
            ASSERT_TRUE(RestartCard(*form_, *card_, "", ""));
        }
        form_->SessionName.clear();
        form_->UpdateCaption();
    }
}

class SessionRecentLink : public SessionLoad {
protected:
    SessionRecentLink()
    {
        char value[1024];
        const DWORD n = GetEnvironmentVariableA("USERPROFILE", value, sizeof value);
        if (n > 0 && n < sizeof value) previous_ = value;
    }
    ~SessionRecentLink() override { SetEnvironmentVariableA("USERPROFILE", previous_ ? previous_->c_str() : nullptr); }
    // A profile folder at `path` with the link of `name` in its Recent folder.
    std::string Profile(const std::string& path, const std::string& name)
    {
        std::filesystem::create_directories(path + "/Recent");
        WriteFile(path + "/Recent/" + name + ".lnk", "link");
        return path + "/Recent/" + name + ".lnk";
    }
    std::optional<std::string> previous_;
};

TEST_F(SessionRecentLink, TheLinkOfTheChosenNameIsDeleted)
{
    ASSERT_TRUE(Open());
    form_->WriteSession(Path("Mix.kvs"));
    // The dialog's name before the extension rule.
    const std::string link = Profile(Path("profile"), "Mix");
    const std::string extended = Profile(Path("profile"), "Mix.kvs");
    SetEnvironmentVariableA("USERPROFILE", Path("profile").c_str());
    Load(Path("Mix"));
    EXPECT_FALSE(Exists(link));
    EXPECT_TRUE(Exists(extended));
    Load(Path("Mix.kvs"));
    EXPECT_FALSE(Exists(extended));
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(SessionRecentLink, NothingIsDeletedWithoutAProfileThatFits)
{
    ASSERT_TRUE(Open());
    form_->WriteSession(Path("Mix.kvs"));
    // A profile path of 300 characters, and links where an unset or unread
    // profile would point: at the working folder and at the root.
    std::string longProfile = Path(std::string(150, 'p'));
    longProfile += "/" + std::string(300 - longProfile.size() - 1, 'q');
    const std::string longLink = Profile(longProfile, "Mix");
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(machine_.Directory());
    const std::string relative = Profile(Path(""), "Mix");
    const struct {
        const char* name;
        std::function<void()> setup;
    } cases[] = {
        {"unset", [] { SetEnvironmentVariableA("USERPROFILE", nullptr); }},
        {"too long", [&] { SetEnvironmentVariableA("USERPROFILE", longProfile.c_str()); }},
        {"the Windows 9x family",
         [&] {
             SetEnvironmentVariableA("USERPROFILE", Path("").c_str());
             PlatformVersion.dwPlatformId = VER_PLATFORM_WIN32_WINDOWS;
         }},
    };
    for (const auto& c : cases) {
        c.setup();
        Load(Path("Mix"));
        EXPECT_TRUE(Exists(longLink)) << c.name;
        EXPECT_TRUE(Exists(relative)) << c.name;
        EXPECT_EQ(form_->SessionName, Path("Mix.kvs")) << c.name;
    }
    std::filesystem::current_path(cwd);
    EXPECT_TRUE(BoxTexts().empty());
}

}  // namespace
