// The device's channels: which pipes of which cards they are, in what order,
// and the names a host shows for them.
#include "asio_driver_fixture.h"

namespace {

class Channels : public AsioDriverTest {
protected:
    // Registered with these settings (short names last in the chain), loaded and initialised.
    void StartWith(std::vector<machine::CardConfig> cards, DWORD shortNames = 0)
    {
        Boot(std::move(cards));
        Register();
        StoreSettings(44100, 512, 1, 0, shortNames);
        Load();
        std::string error;
        ASSERT_EQ(host_.Init(&error), ASIOTrue) << error;
    }
    static std::vector<std::string> Names(const std::vector<ASIOChannelInfo>& channels)
    {
        std::vector<std::string> names;
        for (const ASIOChannelInfo& info : channels) names.emplace_back(info.name);
        return names;
    }
    struct Listed {
        std::vector<std::string> inputs;
        std::vector<std::string> outputs;
    };
    Listed List()
    {
        const hosts::AsioChannels channels = host_.Channels();
        EXPECT_EQ(channels.error, ASE_OK);
        for (const auto* list : {&channels.inputs, &channels.outputs})
            for (const ASIOChannelInfo& info : *list) {
                EXPECT_EQ(info.isActive, ASIOFalse);
                EXPECT_EQ(info.channelGroup, 0);
                EXPECT_EQ(info.type, ASIOSTInt32LSB);
            }
        return {Names(channels.inputs), Names(channels.outputs)};
    }
    using Strings = std::vector<std::string>;
};

TEST_F(Channels, NamesOfAnalogAndSpdifPipes)
{
    // Four analog and two S/PDIF outputs, two analog and two S/PDIF inputs, no digital-mode switch.
    const auto card = [] { return EditedCard("Card", 6, 4, 4, 2, false); };
    StartWith({card()});
    const Listed long_ = List();
    EXPECT_EQ(long_.outputs, (Strings{"Card analog 1/2", "Card analog 2", "Card analog 3/4", "Card analog 4",
                                      "Card S/PDIF", "Card S/PDIF2"}));
    EXPECT_EQ(long_.inputs, (Strings{"Card analog 1", "Card analog 2", "Card S/PDIF1", "Card S/PDIF2"}));

    ASSERT_TRUE(host_.Unload());
    StartWith({card()}, 1);
    const Listed short_ = List();
    EXPECT_EQ(short_.outputs, (Strings{"Card A1/2", "Card A2", "Card A3/4", "Card A4", "Card D", "Card D2"}));
    EXPECT_EQ(short_.inputs, long_.inputs);  // inputs never take short names
}

TEST_F(Channels, DigitalModeDecidesTheLastSixPipesAndTheirNames)
{
    StartWith(machine_testing::Cards({"default"}));
    const Listed spdif = List();
    ASSERT_EQ(spdif.outputs.size(), 10u);
    ASSERT_EQ(spdif.inputs.size(), 10u);
    EXPECT_EQ(spdif.outputs[7], "Zavo24 8x8 analog 8");
    EXPECT_EQ(spdif.outputs[8], "Zavo24 8x8 S/PDIF");
    EXPECT_EQ(spdif.outputs[9], "Zavo24 8x8 S/PDIF2");
    EXPECT_EQ(spdif.inputs[8], "Zavo24 8x8 S/PDIF1");

    ASSERT_TRUE(host_.Unload());
    Hooks().ExternalSet(CMD_SET_DIGITAL_MODE, 0, 0, 0, 2);
    Load();
    ASSERT_EQ(host_.Init(), ASIOTrue);
    const Listed adat = List();
    EXPECT_EQ(adat.outputs, (Strings{"Zavo24 8x8 analog 1/2", "Zavo24 8x8 analog 2", "Zavo24 8x8 analog 3/4",
                                     "Zavo24 8x8 analog 4", "Zavo24 8x8 analog 5/6", "Zavo24 8x8 analog 6",
                                     "Zavo24 8x8 analog 7/8", "Zavo24 8x8 analog 8", "Zavo24 8x8 ADAT 1/2",
                                     "Zavo24 8x8 ADAT 2", "Zavo24 8x8 ADAT 3/4", "Zavo24 8x8 ADAT 4",
                                     "Zavo24 8x8 ADAT 5/6", "Zavo24 8x8 ADAT 6", "Zavo24 8x8 ADAT 7/8",
                                     "Zavo24 8x8 ADAT 8"}));
    ASSERT_EQ(adat.inputs.size(), 16u);
    EXPECT_EQ(adat.inputs[8], "Zavo24 8x8 ADAT 1");
    EXPECT_EQ(adat.inputs[15], "Zavo24 8x8 ADAT 8");
}

TEST_F(Channels, VirtualOutputsDummyInputsAndLongCardNames)
{
    machine::CardConfig card = machine::MakePreset("virtual-outputs");
    card.inputFlags[2] |= 0x40000000;
    StartWith({card}, 1);
    const Listed named = List();
    ASSERT_EQ(named.outputs.size(), 16u);
    EXPECT_EQ(named.outputs[0], "Zavo24 Virtual 16 V1/2");
    EXPECT_EQ(named.outputs[1], "Zavo24 Virtual 16 V2");
    EXPECT_EQ(named.outputs[14], "Zavo24 Virtual 16 V15/16");
    EXPECT_EQ(named.outputs[15], "Zavo24 Virtual 16 V16");
    EXPECT_EQ(named.inputs, (Strings{"Zavo24 Virtual 16 analog 1", "Zavo24 Virtual 16 analog 2",
                                     "Zavo24 Virtual 16 dummy 3", "Zavo24 Virtual 16 S/PDIF2"}));

    ASSERT_TRUE(host_.Unload());
    card.name = std::string(120, 'N') + "1234567";
    StartWith({card});
    const Listed cut = List();
    // 31 bytes of the name and the field's terminator.
    EXPECT_EQ(cut.outputs[0], std::string(31, 'N'));
    EXPECT_EQ(cut.inputs[3], std::string(31, 'N'));
}

TEST_F(Channels, UsablePipeCounts)
{
    struct Case {
        const char* what;
        machine::CardConfig card;
        std::size_t inputs, outputs;
    };
    const Case cases[] = {
        {"64 output pipes: the first 32", EditedCard("Wide", 64, 8, 32, 8, false), 32, 32},
        {"64 in S/PDIF mode: 58, then the first 32", EditedCard("Wide", 64, 8, 32, 8, true), 26, 32},
        {"fewer than six in S/PDIF mode: none", EditedCard("Small", 8, 4, 5, 2, true), 0, 2},
        {"exactly six in S/PDIF mode: none", EditedCard("Six", 6, 2, 6, 2, true), 0, 0},
        {"no switch: every pipe", EditedCard("Plain", 5, 4, 3, 2, false), 3, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Boot({c.card});
        Register();
        Load();
        // A device without channels is none: everything is given back at once.
        const bool any = c.inputs + c.outputs > 0;
        ASSERT_EQ(host_.Init(), any ? ASIOTrue : ASIOFalse);
        EXPECT_EQ(OpenFiles(), any ? 1u : 0u);
        const Listed listed = List();
        EXPECT_EQ(listed.inputs.size(), c.inputs);
        EXPECT_EQ(listed.outputs.size(), c.outputs);
        if (c.outputs == 32) {
            EXPECT_EQ(listed.outputs[31], "Wide S/PDIF24");
        }
        ASSERT_TRUE(host_.Unload());
        EXPECT_EQ(OpenFiles(), 0u);
    }
}

TEST_F(Channels, CardAfterCardNewestFirst)
{
    StartWith(machine_testing::Cards({"zavo24-10", "zavo24-20"}));
    const Listed listed = List();
    EXPECT_EQ(listed.outputs, (Strings{"Zavo24 4x4 analog 1/2", "Zavo24 4x4 analog 2", "Zavo24 4x4 analog 3/4",
                                       "Zavo24 4x4 analog 4", "Zavo24 4x4 S/PDIF", "Zavo24 4x4 S/PDIF2",
                                       "Zavo24 2x2 analog 1/2", "Zavo24 2x2 analog 2", "Zavo24 2x2 S/PDIF",
                                       "Zavo24 2x2 S/PDIF2"}));
    EXPECT_EQ(listed.inputs, (Strings{"Zavo24 4x4 analog 1", "Zavo24 4x4 analog 2", "Zavo24 4x4 analog 3",
                                      "Zavo24 4x4 analog 4", "Zavo24 4x4 S/PDIF1", "Zavo24 4x4 S/PDIF2",
                                      "Zavo24 2x2 analog 1", "Zavo24 2x2 analog 2", "Zavo24 2x2 S/PDIF1",
                                      "Zavo24 2x2 S/PDIF2"}));
}

TEST_F(Channels, PipesAnotherProgramHoldsAreLeftOut)
{
    Boot();
    Register();
    Load();
    Hooks().HoldPipes(0, 2, 2);  // outputs 2 and 3
    Hooks().HoldPipes(1, 0, 1);  // input 0
    ASSERT_EQ(host_.Init(), ASIOTrue);
    const Listed listed = List();
    // Of the 14 usable outputs, S/PDIF mode drops the last six.
    EXPECT_EQ(listed.outputs, (Strings{"Zavo24 8x8 analog 1/2", "Zavo24 8x8 analog 2", "Zavo24 8x8 analog 5/6",
                                       "Zavo24 8x8 analog 6", "Zavo24 8x8 analog 7/8", "Zavo24 8x8 analog 8",
                                       "Zavo24 8x8 S/PDIF", "Zavo24 8x8 S/PDIF2"}));
    ASSERT_EQ(listed.inputs.size(), 9u);
    EXPECT_EQ(listed.inputs[0], "Zavo24 8x8 analog 2");
}

TEST_F(Channels, ChannelNumbersOutsideTheTables)
{
    Start();
    for (const ASIOBool input : {ASIOFalse, ASIOTrue})
        for (const LONG channel : {-1, 10, 0x7FFFFFFF, -0x7FFFFFFF - 1}) {
            ASIOChannelInfo info{};
            info.channel = channel;
            info.isInput = input;
            EXPECT_EQ(Asio().getChannelInfo(&info), ASE_InvalidParameter) << channel;
        }
    EXPECT_EQ(Asio().getChannelInfo(nullptr), ASE_InvalidParameter);
    // Any nonzero isInput asks for an input.
    ASIOChannelInfo info{};
    info.channel = 9;
    info.isInput = 2;
    EXPECT_EQ(Asio().getChannelInfo(&info), ASE_OK);
    EXPECT_STREQ(info.name, "Zavo24 8x8 S/PDIF2");
}

}  // namespace
