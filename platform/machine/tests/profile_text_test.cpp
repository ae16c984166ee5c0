// The machine profile: cards written as presets with overrides read back as
// the same cards; a profile that cannot be read names its line.
#include <gtest/gtest.h>

#include "machine/machine.h"
#include "machine/profile.h"
#include "machine_testing/test_machine.h"

namespace {

void ExpectSameCard(const machine::CardConfig& a, const machine::CardConfig& b)
{
    EXPECT_EQ(a.preset, b.preset);
    EXPECT_EQ(a.instance, b.instance);
    EXPECT_EQ(a.present, b.present);
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.family, b.family);
    EXPECT_EQ(a.clockMask, b.clockMask);
    EXPECT_EQ(a.driverErrorText, b.driverErrorText);
    EXPECT_EQ(a.digitalModeSwitch, b.digitalModeSwitch);
    EXPECT_EQ(a.virtualOutputs, b.virtualOutputs);
    EXPECT_EQ(a.outputPipes, b.outputPipes);
    EXPECT_EQ(a.inputPipes, b.inputPipes);
    EXPECT_EQ(a.outputBusses, b.outputBusses);
    EXPECT_EQ(a.inputBusses, b.inputBusses);
    EXPECT_EQ(a.analogOutputBusses, b.analogOutputBusses);
    EXPECT_EQ(a.analogInputBusses, b.analogInputBusses);
    EXPECT_EQ(a.analogOutputPipes, b.analogOutputPipes);
    EXPECT_EQ(a.analogInputPipes, b.analogInputPipes);
    EXPECT_EQ(a.outputPipeFlags, b.outputPipeFlags);
    EXPECT_EQ(a.outputBusFlags, b.outputBusFlags);
    EXPECT_EQ(a.inputFlags, b.inputFlags);
    EXPECT_EQ(a.driverVersion, b.driverVersion);
    EXPECT_EQ(a.boxType, b.boxType);
    EXPECT_EQ(a.capabilityFlags, b.capabilityFlags);
    EXPECT_EQ(a.sampleRates, b.sampleRates);
    EXPECT_EQ(a.pipeLatency, b.pipeLatency);
}

TEST(ProfileText, EveryPresetAndOverrideReadsBackUnchanged)
{
    machine::Profile profile;
    for (const std::string& preset : machine::PresetNames())
        profile.cards.push_back(machine::MakePreset(preset, machine::SlotInstance(profile.cards.size())));
    machine::CardConfig odd = machine::MakePreset("kaltor-100", "PCI-odd&card");
    odd.name = "  \"Studio\" \\ card\n\x01\xE9 ";
    odd.driverErrorText = "firmware\tfailed";
    odd.outputPipes = 64;
    odd.inputFlags[31] = 0x40000000;
    odd.outputPipeFlags = {};
    odd.boxType = {2, 0, 0, 0, 0, 0, 0, 9};
    odd.sampleRates = {44100, 96000};
    odd.present = false;
    odd.virtualOutputs = true;
    odd.clockMask = 0x80000001;
    profile.cards.push_back(odd);

    const std::string text = machine::FormatProfile(profile);
    const machine::Profile back = machine::ParseProfile(text);
    ASSERT_EQ(back.cards.size(), profile.cards.size());
    for (std::size_t i = 0; i < back.cards.size(); ++i) {
        SCOPED_TRACE(profile.cards[i].preset);
        ExpectSameCard(back.cards[i], profile.cards[i]);
    }
    // A preset card is written as preset, instance, name and presence alone.
    EXPECT_NE(text.find("[card]\npreset = default\ninstance = 4&1a2b3c4d&0&2010\nname = \"Zavo24 8x8\"\n"
                        "present = yes\n\n"),
              std::string::npos)
        << text;
}

TEST(ProfileText, WrittenByHandWithBareValues)
{
    const auto profile = machine::ParseProfile(
        "# two cards\n[card]\npreset = zavo24-8x8\ninstance = 4&1&0&1\nname = Studio A\n"
        "output-pipes = 0x8\nsample-rates = 44100, 48000\n\n[card]\r\npreset=absent\r\ninstance=4&1&0&2\r\n");
    ASSERT_EQ(profile.cards.size(), 2u);
    EXPECT_EQ(profile.cards[0].name, "Studio A");
    EXPECT_EQ(profile.cards[0].outputPipes, 8);
    EXPECT_EQ(profile.cards[0].sampleRates, (std::vector<std::uint32_t>{44100, 48000}));
    EXPECT_FALSE(profile.cards[1].present);
    EXPECT_EQ(profile.cards[1].instance, "4&1&0&2");
}

TEST(ProfileText, AFaultNamesItsLine)
{
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"preset = default\n", "line 1: a value outside a [card] section"},
        {"[card]\npreset = default\ninstance = 1\n[box]\n", "line 4: unknown section [box]"},
        {"[card]\npreset = nonesuch\ninstance = 1\n", "line 1: unknown preset \"nonesuch\""},
        {"[card]\ninstance = 1\n", "line 1: the card has no preset"},
        {"[card]\npreset = default\n", "line 1: the card has no instance"},
        {"[card]\npreset = default\ninstance = 1\ncolour = red\n", "line 4: unknown key \"colour\""},
        {"[card]\npreset = default\ninstance = 1\nfamily = 0x10000\n", "line 4: family: expected a number"},
        {"[card]\npreset = default\ninstance = 1\npresent = maybe\n", "line 4: present: expected yes or no"},
        {"[card]\npreset = default\ninstance = 1\nname = \"open\n", "line 4: name: malformed quoted text"},
        {"[card]\npreset = default\ninstance = 1\nname = a\nname = b\n", "line 5: \"name\" given twice"},
        {"[card]\npreset = default\ninstance = 1\njust words\n", "line 4: expected \"key = value\""},
    };
    for (const Case& c : cases) {
        try {
            machine::ParseProfile(c.text);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const machine::ProfileError& error) {
            EXPECT_EQ(std::string(error.what()).rfind(c.expected, 0), 0u) << error.what();
        }
    }
}

TEST(ProfileText, CardsThatCannotBeKeptAreNamed)
{
    const auto base = machine::MakePreset("default");
    auto with = [&base](auto change) {
        machine::CardConfig card = base;
        change(card);
        return card;
    };
    const std::vector<machine::CardConfig> others{machine::MakePreset("default")};
    struct Case {
        machine::CardConfig card;
        const char* expected;
    };
    const Case cases[] = {
        {with([](auto& c) { c.preset = "custom"; }), "unknown preset"},
        {with([](auto& c) { c.instance = ""; }), "the instance is empty"},
        {with([](auto& c) { c.instance = "a#b"; }), "the instance \"a#b\" holds"},
        {with([](auto& c) { c.instance = "a b"; }), "the instance \"a b\" holds"},
        {with([](auto& c) { c.name = std::string(128, 'n'); }), "the name is longer"},
        {with([](auto& c) { c.outputPipes = 65; }), "output-pipes 65 is above 64"},
        {with([](auto& c) { c.analogInputBusses = 17; }), "analog-input-busses 17 is above 16"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(machine::ValidateCard(c.card, {}).rfind(c.expected, 0), 0u) << machine::ValidateCard(c.card, {});
    EXPECT_EQ(machine::ValidateCard(base, {}), "");
    EXPECT_NE(machine::ValidateCard(with([](auto& c) { c.instance = "4&1A2B3C4D&0&2010"; }), others), "");
    EXPECT_EQ(machine::ValidateCard(machine::MakePreset("zavo24-10"), others), "");  // another model
    // A long instance is allowed: the system must survive paths of 260 characters and more.
    EXPECT_EQ(machine::ValidateCard(with([](auto& c) { c.instance = std::string(300, 'i'); }), {}), "");
}

TEST(ProfileText, TestMachinesRefuseCardsThatShareAPath)
{
    EXPECT_THROW(machine_testing::TestMachine({machine::MakePreset("default"), machine::MakePreset("absent")}),
                 std::invalid_argument);
}

TEST(ProfileText, OverridesReachTheBootedCards)
{
    auto card = machine::MakePreset("zavo24-70");
    card.name = "Renamed";
    card.outputPipes = 4;
    machine_testing::TestMachine machine({card});
    machine.Reboot();
    EXPECT_EQ(machine.Config(0).name, "Renamed");
    EXPECT_EQ(machine.Card(0).Config().outputPipes, 4);
}

}  // namespace
