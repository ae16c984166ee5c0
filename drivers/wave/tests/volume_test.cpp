// The wave-out volume: carried by the stream's pipe gains, one bus per pipe,
// or every even bus on a card with virtual outputs.
#include <cstring>

#include "wave_fixture.h"

namespace sim = machine::sim;

namespace {

// One CMD_SET_GAIN message as the card driver saw it.
struct GainSet {
    std::uint32_t command, kind;
    std::uint16_t pipe, bus;
    std::int32_t gain;
    friend bool operator==(const GainSet&, const GainSet&) = default;
    friend std::ostream& operator<<(std::ostream& out, const GainSet& s)
    {
        return out << "{command " << s.command << " kind " << s.kind << " pipe " << s.pipe << " bus " << s.bus
                   << " gain " << s.gain << "}";
    }
};

std::vector<GainSet> GainSets(const std::vector<machine::RequestRecord>& log)
{
    std::vector<GainSet> sets;
    for (const auto& request : log) {
        if (request.code != sim::IOCTL_MIXER_MESSAGE) continue;
        std::uint32_t count;
        std::memcpy(&count, request.input.data(), 4);
        for (std::uint32_t i = 0; i < count; ++i) {
            const BYTE* m = request.input.data() + 4 + i * sim::kMixerMessageSize;
            GainSet set{};
            std::memcpy(&set.pipe, m + 2, 2);
            std::memcpy(&set.kind, m + 4, 4);
            std::memcpy(&set.command, m + 8, 4);
            std::memcpy(&set.bus, m + 0x10, 2);
            std::memcpy(&set.gain, m + 0x14, 4);
            sets.push_back(set);
        }
    }
    return sets;
}

machine::CardConfig VirtualOutputs(std::uint16_t busses)
{
    machine::CardConfig card = machine::MakePreset("virtual-outputs", "4&1a2b3c4d&0&2010");
    card.outputBusses = card.analogOutputBusses = busses;
    return card;
}

}  // namespace

class VolumeTest : public WaveTest {
public:
    DWORD GetVolume(const hosts::WaveStream& stream)
    {
        DWORD volume = 0xDEADBEEF;
        EXPECT_EQ(Client().GetVolume(stream, volume), MMSYSERR_NOERROR);
        return volume;
    }
    std::int32_t PipeGain(unsigned pipe, unsigned bus) { return Hooks().Mixer().Pipe(pipe, bus).gain; }
};

// Each half sets one pipe's gain onto the bus of its own number.
TEST_F(VolumeTest, EachHalfSetsItsPipesGain)
{
    Load();
    hosts::WaveStream& stream = OpenOk(WaveDirection::Out, 1);  // pipes 2 and 3
    const struct {
        WORD volume;
        std::int32_t gain;
        WORD readBack;
    } halves[] = {
        {0xFFFF, 0, 0xFFFF}, {0x8000, -1541, 32771}, {0x4000, -3082, 16387}, {1, -24660, 1}, {0, -32768, 0},
    };
    for (const auto& left : halves)
        for (const auto& right : halves) {
            SCOPED_TRACE(testing::Message() << std::hex << right.volume << ":" << left.volume);
            EXPECT_EQ(Client().SetVolume(stream, DWORD{right.volume} << 16 | left.volume), MMSYSERR_NOERROR);
            EXPECT_EQ(PipeGain(2, 2), left.gain);
            EXPECT_EQ(PipeGain(3, 3), right.gain);
            EXPECT_EQ(GetVolume(stream), DWORD{right.readBack} << 16 | left.readBack);
        }
    Hooks().ClearLog();
    EXPECT_EQ(Client().SetVolume(stream, 0xFFFF0000), MMSYSERR_NOERROR);
    EXPECT_EQ(GainSets(Hooks().Log()), (std::vector<GainSet>{{sim::CMD_SET_GAIN, sim::CHANNEL_PIPE_OUT, 2, 2, -32768},
                                                             {sim::CMD_SET_GAIN, sim::CHANNEL_PIPE_OUT, 3, 3, 0}}));
    EXPECT_EQ(GetVolume(stream), 0xFFFF0000u);
    EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
}

// A gain above 0 dB is full volume in its own half only.
TEST_F(VolumeTest, AGainAboveNothingIsFullVolume)
{
    Load();
    hosts::WaveStream& stream = OpenOk(WaveDirection::Out, 0);
    Hooks().ExternalSet(sim::CMD_SET_GAIN, 0, sim::CHANNEL_PIPE_OUT, 0, 6 * 256);
    Hooks().ExternalSet(sim::CMD_SET_GAIN, 1, sim::CHANNEL_PIPE_OUT, 1, static_cast<std::uint32_t>(-1541));
    EXPECT_EQ(GetVolume(stream), DWORD{32771} << 16 | 0xFFFF);
    Hooks().ExternalSet(sim::CMD_SET_GAIN, 1, sim::CHANNEL_PIPE_OUT, 1, 40 * 256);
    EXPECT_EQ(GetVolume(stream), 0xFFFFFFFFu);
    EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
}

TEST_F(VolumeTest, VirtualOutputsSetEveryEvenBus)
{
    Boot({"virtual-outputs"});
    Load();
    hosts::WaveStream& stream = OpenOk(WaveDirection::Out, 3);  // pipes 6 and 7
    Hooks().ExternalSet(sim::CMD_SET_GAIN, 6, sim::CHANNEL_PIPE_OUT, 1, static_cast<std::uint32_t>(-700));
    Hooks().ClearLog();
    EXPECT_EQ(Client().SetVolume(stream, 0x4000FFFF), MMSYSERR_NOERROR);
    std::vector<GainSet> expected;
    for (std::uint16_t pipe : {6, 7})
        for (std::uint16_t bus : {0, 2, 4, 6})
            expected.push_back({sim::CMD_SET_GAIN, sim::CHANNEL_PIPE_OUT, pipe, bus, pipe == 6 ? 0 : -3082});
    EXPECT_EQ(Hooks().CountOf(sim::IOCTL_MIXER_MESSAGE), 8u);
    EXPECT_EQ(GainSets(Hooks().Log()), expected);
    EXPECT_EQ(PipeGain(6, 1), -700) << "odd busses untouched";
    EXPECT_EQ(GetVolume(stream), DWORD{16387} << 16 | 0xFFFF);
    EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
}

// The average is over the busses summed: four of seven, the one of one, none of none.
TEST_F(VolumeTest, VirtualOutputsAverageTheEvenBusses)
{
    const struct {
        std::uint16_t busses;
        std::vector<std::int32_t> evenGains;  // busses 0, 2, 4, ...
        WORD volume;
    } cases[] = {
        {7, {0, -1000, -2000, -3000}, 33381},  // -1500; the odd busses are not counted
        {1, {-2560}, 20723},
        {0, {}, 0},  // no bus: no volume, and nothing to set
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.busses << " busses");
        Boot(std::vector<machine::CardConfig>{VirtualOutputs(c.busses)});
        Load();
        hosts::WaveStream& stream = OpenOk(WaveDirection::Out, 0);
        for (std::uint16_t bus = 0; bus < c.busses; ++bus) {
            const std::int32_t gain = bus % 2 ? -12000 : c.evenGains[bus / 2];
            Hooks().ExternalSet(sim::CMD_SET_GAIN, 0, sim::CHANNEL_PIPE_OUT, bus, static_cast<std::uint32_t>(gain));
            Hooks().ExternalSet(sim::CMD_SET_GAIN, 1, sim::CHANNEL_PIPE_OUT, bus, static_cast<std::uint32_t>(-32768));
        }
        EXPECT_EQ(GetVolume(stream), c.volume) << "left averaged, right silent";
        Hooks().ClearLog();
        EXPECT_EQ(Client().SetVolume(stream, 0x8000FFFF), MMSYSERR_NOERROR);
        EXPECT_EQ(GainSets(Hooks().Log()).size(), 2 * ((c.busses + 1) / 2u));
        EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
        Unload();
    }
}
