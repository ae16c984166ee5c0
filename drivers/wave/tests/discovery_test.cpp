// Which cards the driver finds in the registry, and the devices, names and
// pipes it makes of their wave configurations.
#include <functional>

#include "machine/profile.h"
#include "wave_fixture.h"

namespace {

struct Device {
    std::string name;
    std::size_t card;  // the machine's card
    unsigned pipe;     // its first pipe
};

// The devices of a card whose every pair of pipes is a device, analog pairs first.
std::vector<Device> Pairs(const std::string& name, std::size_t card, const char* kind, unsigned analog, unsigned digital)
{
    std::vector<Device> devices;
    for (unsigned p = 0; p < analog + digital; p += 2) {
        const unsigned number = p < analog ? p : p - analog;
        devices.push_back({name + " " + std::to_string(number + 1) + "-" + std::to_string(number + 2) + " " +
                               (p < analog ? "Analog " : "Digital ") + kind + " NM",
                           card, p});
    }
    return devices;
}

std::vector<Device> operator+(std::vector<Device> a, const std::vector<Device>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

machine::CardConfig Named(machine::CardConfig card, std::string name)
{
    card.name = std::move(name);
    return card;
}

struct Row {
    const char* what;
    std::vector<machine::CardConfig> cards;
    std::function<void(WaveTest&)> before;  // registry changes before the driver loads
    std::vector<Device> out, in;
};

const std::string k8x8 = "Zavo24 8x8";
const std::string k4x2 = "Zavo24 4x2";
const std::string kLongName = "Zavo24 Studio Card With A Very Long Name";  // 40 characters
const std::string kCutAtSurrogates = std::string(30, 'z') + "\xF0\x9F\x8E\xB5";  // U+1F3B5 at units 30 and 31

}  // namespace

class DiscoveryTest : public WaveTest {
public:
    // Lists both directions, then opens every device listed and reads the
    // reservation it made on the card.
    void Check(const Row& row)
    {
        SCOPED_TRACE(row.what);
        Boot(row.cards);
        if (row.before) row.before(*this);
        Load();
        for (WaveDirection direction : {WaveDirection::Out, WaveDirection::In}) {
            const std::vector<Device>& expected = direction == WaveDirection::Out ? row.out : row.in;
            const auto devices = Client().ListDevices(direction);
            ASSERT_EQ(devices.size(), expected.size());
            for (std::size_t id = 0; id < expected.size(); ++id) {
                EXPECT_EQ(devices[id].result, MMSYSERR_NOERROR) << id;
                // szPname holds 31 units and the terminator; the names cut here are ASCII.
                EXPECT_EQ(devices[id].name, expected[id].name.substr(0, MAXPNAMELEN - 1)) << id;
                CheckPipes(direction, static_cast<UINT>(id), expected[id]);
            }
        }
        Unload();
    }

    void CheckPipes(WaveDirection direction, UINT id, const Device& expected)
    {
        hosts::WaveStream& stream = OpenOk(direction, id);
        const auto transports = Hooks(expected.card).Transports();
        ASSERT_EQ(transports.size(), 1u) << id;
        ASSERT_EQ(transports[0].reservations.size(), 1u) << id;
        const auto& reservation = transports[0].reservations[0];
        EXPECT_EQ(reservation.direction, static_cast<std::uint32_t>(direction)) << id;
        EXPECT_EQ(reservation.first, expected.pipe) << id;
        EXPECT_EQ(reservation.count, 2u) << id;
        EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
    }
};

TEST_F(DiscoveryTest, CardsDevicesNamesAndPipes)
{
    const auto defaultCard = [] { return machine::MakePreset("default"); };
    const auto pairCards = [] { return machine_testing::Cards({"default", "zavo24-50"}); };
    const std::vector<Device> the4x2Out = Pairs(k4x2, 1, "Out", 4, 2), the4x2In = Pairs(k4x2, 1, "In", 2, 2);
    std::vector<Device> virtualOut;
    for (unsigned p = 0; p < 16; p += 2)
        virtualOut.push_back({"Zavo24 Virtual 16 " + std::to_string(p + 1) + "-" + std::to_string(p + 2) + " Virtual Out NM", 0, p});

    const Row rows[] = {
        {"the default machine", {defaultCard()}, nullptr, Pairs(k8x8, 0, "Out", 8, 8), Pairs(k8x8, 0, "In", 8, 8)},
        {"a configuration with a WDM entry and a wide one", {defaultCard()},
         [](WaveTest& t) { t.Hooks().SetStoredWaveConfigRaw(WaveConfig({{0, 2}, {1, 2}, {1, 4}}, {})); },
         {{k8x8 + " 3-4 Analog Out NM", 0, 2}, {k8x8 + " 5-6 Analog Out NM", 0, 4}}, {}},
        {"virtual outputs", {machine::MakePreset("virtual-outputs")}, nullptr, virtualOut,
         Pairs("Zavo24 Virtual 16", 0, "In", 2, 2)},
        {"a name cut to 31 units", {Named(defaultCard(), kLongName)},
         [](WaveTest& t) { t.Hooks().SetStoredWaveConfigRaw(WaveConfig({{1, 2}}, {})); },
         {{kLongName + " 1-2 Analog Out NM", 0, 0}}, {}},
        {"a cut never halves a character", {Named(defaultCard(), kCutAtSurrogates)},
         [](WaveTest& t) { t.Hooks().SetStoredWaveConfigRaw(WaveConfig({{1, 2}}, {})); },
         {{std::string(30, 'z'), 0, 0}}, {}},
        {"a name beyond ASCII", {Named(defaultCard(), "Zavo24 B\xC3\xBChne")},
         [](WaveTest& t) { t.Hooks().SetStoredWaveConfigRaw(WaveConfig({}, {{1, 2}})); }, {},
         {{"Zavo24 B\xC3\xBChne 1-2 Analog In NM", 0, 0}}},
        {"two cards of one model: the one discovered last is card 0",
         {Named(machine::MakePreset("default", machine::SlotInstance(0)), "Zavo24 One"),
          Named(machine::MakePreset("default", machine::SlotInstance(1)), "Zavo24 Two")},
         nullptr, Pairs("Zavo24 Two", 1, "Out", 8, 8) + Pairs("Zavo24 One", 0, "Out", 8, 8),
         Pairs("Zavo24 Two", 1, "In", 8, 8) + Pairs("Zavo24 One", 0, "In", 8, 8)},
        {"Linked deleted", pairCards(), [](WaveTest& t) { t.DeleteValue(ControlKey(t.Config(0)), "Linked"); },
         the4x2Out, the4x2In},
        {"Linked 0", pairCards(),
         [](WaveTest& t) {
             const DWORD zero = 0;
             t.SetValue(ControlKey(t.Config(0)), "Linked", REG_DWORD, &zero, sizeof zero);
         },
         the4x2Out, the4x2In},
        {"an absent card", machine_testing::Cards({"absent", "zavo24-50"}), nullptr, the4x2Out, the4x2In},
        {"a Wave config longer than its record", pairCards(),
         [](WaveTest& t) {
             const std::vector<BYTE> bytes(74, 0);
             t.SetValue(machine::DeviceParametersKey(t.Config(0)), "Wave config", REG_BINARY, bytes.data(), 74);
         },
         the4x2Out, the4x2In},
        {"a Wave config of 38 bytes: the outputs, no inputs", {defaultCard()},
         [](WaveTest& t) {
             const WaveConfigRecord record = WaveConfig({{1, 2}, {1, 2}}, {{1, 2}});
             t.SetValue(machine::DeviceParametersKey(t.Config(0)), "Wave config", REG_BINARY, &record, 38);
         },
         {{k8x8 + " 1-2 Analog Out NM", 0, 0}, {k8x8 + " 3-4 Analog Out NM", 0, 2}}, {}},
        {"a card of another maker", machine_testing::Cards({"tarnex-90", "zavo24-50"}), nullptr, the4x2Out,
         the4x2In},
    };
    for (const Row& row : rows) Check(row);
}

// A seventh card gets no devices: the one discovered first is last in the list and dropped.
TEST_F(DiscoveryTest, SixCardsAtMost)
{
    Boot({"default", "default", "default", "default", "default", "default", "default"});
    Load();
    EXPECT_EQ(Client().GetNumDevs(WaveDirection::Out), 56u);
    EXPECT_EQ(Client().GetNumDevs(WaveDirection::In), 56u);
    const auto devices = Client().ListDevices(WaveDirection::Out);
    ASSERT_EQ(devices.size(), 56u);
    for (UINT id = 0; id < 48; ++id) EXPECT_EQ(devices[id].result, MMSYSERR_NOERROR) << id;
    EXPECT_EQ(devices[48].result, MMSYSERR_BADDEVICEID);
    for (UINT id = 49; id < 56; ++id) EXPECT_EQ(devices[id].result, MMSYSERR_INVALPARAM) << id;
    EXPECT_EQ(Client().GetNumDevs(WaveDirection::Out), 48u);
    EXPECT_EQ(Client().GetNumDevs(WaveDirection::In), 48u);
    // Driver card k is the machine's card 6 - k.
    for (UINT id : {0u, 47u}) {
        SCOPED_TRACE(id);
        hosts::WaveStream& stream = OpenOk(WaveDirection::In, id);
        const std::size_t card = 6 - id / 8;
        ASSERT_EQ(Hooks(card).Transports().size(), 1u);
        EXPECT_EQ(Hooks(card).Transports()[0].reservations[0].first, 2 * (id % 8));
        EXPECT_EQ(Client().Close(stream), MMSYSERR_NOERROR);
    }
    EXPECT_EQ(Client().Open({.device = 48}).OpenResult(), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(Hooks(0).CountOf(machine::sim::IOCTL_OPEN_TRANSPORT), 0u);
}

// A device path too long to open is counted until the device list is built.
TEST_F(DiscoveryTest, PathTooLongToOpen)
{
    Boot({machine::MakePreset("default", std::string(220, 'i'))});
    ASSERT_GE(machine::InterfacePath(Config()).size(), 260u);
    Load();
    EXPECT_EQ(Client().GetNumDevs(WaveDirection::Out), 8u);
    EXPECT_EQ(Client().GetNumDevs(WaveDirection::In), 8u);
    WAVEOUTCAPSW caps;
    EXPECT_EQ(Client().GetDevCaps(0, caps), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(Client().GetNumDevs(WaveDirection::Out), 0u);
    EXPECT_EQ(Client().GetNumDevs(WaveDirection::In), 0u);
    EXPECT_EQ(Hooks().Log().size(), 0u);
}

// Capabilities that cannot be read when the device list is built: the card
// is counted before, and its ids answer as no device after.
TEST_F(DiscoveryTest, CardDroppedAtTheBuild)
{
    Boot({"default", "default"});
    Load();
    Hooks(0).FailNext(machine::sim::IOCTL_GET_CAPS);
    EXPECT_EQ(Client().GetNumDevs(WaveDirection::Out), 16u);
    EXPECT_EQ(Client().GetNumDevs(WaveDirection::In), 16u);
    WAVEOUTCAPSW outCaps;
    EXPECT_EQ(Client().GetDevCaps(0, outCaps), MMSYSERR_NOERROR);
    EXPECT_EQ(Client().GetNumDevs(WaveDirection::Out), 8u);
    EXPECT_EQ(Client().GetNumDevs(WaveDirection::In), 8u);
    WAVEINCAPSW inCaps;
    EXPECT_EQ(Client().GetDevCaps(8, outCaps), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(Client().GetDevCaps(8, inCaps), MMSYSERR_BADDEVICEID);
    for (UINT id = 9; id < 16; ++id) {
        EXPECT_EQ(Client().GetDevCaps(id, outCaps), MMSYSERR_INVALPARAM) << id;
        EXPECT_EQ(Client().GetDevCaps(id, inCaps), MMSYSERR_INVALPARAM) << id;
    }
    for (UINT id = 8; id < 16; ++id)
        for (WaveDirection direction : {WaveDirection::Out, WaveDirection::In})
            EXPECT_EQ(Client().Open({.direction = direction, .device = id}).OpenResult(), MMSYSERR_BADDEVICEID) << id;
    EXPECT_EQ(Transports(), 0u);
}
