// Direct monitoring through the host: the routes, gains and pans the card's
// mixer is sent, as its request log has them, and what is refused.
#include <functional>
#include <optional>

#include "asio_driver_fixture.h"
#include "device_testing/requests.h"

namespace {

// One mixer message as the card driver saw it, with the size of its request.
struct Sent {
    DWORD size;
    DWORD command;
    WORD channel;  // the input bus
    WORD bus;      // the output bus
    DWORD value;
    bool operator==(const Sent&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Sent& s)
{
    return out << "{" << s.size << ", cmd " << s.command << ", in " << s.channel << ", out " << s.bus << ", "
               << static_cast<LONG>(s.value) << "}";
}

// Every mixer message a card was sent since its log was cleared.
std::vector<Sent> MixerMessages(machine::CardHooks hooks)
{
    std::vector<Sent> sent;
    for (const machine::RequestRecord& request : hooks.Log()) {
        if (request.code != IOCTL_MIXER_MESSAGE) continue;
        const auto count = device_testing::Input<DWORD>(request);
        for (DWORD i = 0; i < count; ++i) {
            const MixerMessage message = device_testing::Message(request, static_cast<int>(i));
            if (count == 3) {
                EXPECT_EQ(message.Reserved, 0xFFFF) << "a route's messages";
            }
            sent.push_back({request.inSize, message.Command, message.Channel, message.GetWord(0x10),
                            message.GetDword(0x14)});
        }
    }
    return sent;
}

// One route, as one request of three messages: unmuted, the pan, the gain.
std::vector<Sent> Route(WORD input, WORD output, LONG gain, DWORD pan)
{
    return {{3172, CMD_SET_MONITOR_MUTE, input, output, 0},
            {3172, CMD_SET_MONITOR_PAN, input, output, pan},
            {3172, CMD_SET_MONITOR_GAIN, input, output, static_cast<DWORD>(gain)}};
}

std::vector<Sent> Joined(std::initializer_list<std::vector<Sent>> parts)
{
    std::vector<Sent> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

constexpr LONG kUnity = 0x20000000;  // 0 dB
constexpr LONG kCentre = 0x40000000;

struct Case {
    const char* what;
    std::vector<machine::CardConfig> cards;
    std::vector<hosts::AsioBufferRequest> buffers;  // none: before createBuffers
    std::optional<ASIOInputMonitor> monitor;        // none: a null option
    ASIOError result;
    std::vector<Sent> sent;  // to the first machine card
    DWORD directMonitoring = 1;
};

const machine::CardConfig kEightInputs = EditedCard("Eight", 8, 8, 8, 8, false);

std::vector<Case> Cases()
{
    const std::vector<machine::CardConfig> one = {machine::MakePreset("default")};
    const std::vector<hosts::AsioBufferRequest> inAndOut = {{false, 0}, {true, 0}};
    std::vector<Case> cases = {
        {"0 dB, centre", one, inAndOut, ASIOInputMonitor{0, 0, kUnity, ASIOTrue, kCentre}, ASE_SUCCESS,
         Route(0, 0, 0, 500)},
        {"-6 dB", one, inAndOut, ASIOInputMonitor{0, 0, 0x10000000, ASIOTrue, kCentre}, ASE_SUCCESS,
         Route(0, 0, -1541, 500)},
        {"the loudest", one, inAndOut, ASIOInputMonitor{0, 0, 0x7FFFFFFF, ASIOTrue, kCentre}, ASE_SUCCESS,
         Route(0, 0, 3082, 500)},
        {"no gain", one, inAndOut, ASIOInputMonitor{0, 0, 0, ASIOTrue, kCentre}, ASE_SUCCESS,
         Route(0, 0, -32768, 500)},
        {"a negative gain is none", one, inAndOut, ASIOInputMonitor{0, 0, -1000, ASIOTrue, kCentre}, ASE_SUCCESS,
         Route(0, 0, -32768, 500)},
        {"a quarter right", one, inAndOut, ASIOInputMonitor{0, 0, kUnity, ASIOTrue, 0x20000000}, ASE_SUCCESS,
         Route(0, 0, 0, 250)},
        {"right", one, inAndOut, ASIOInputMonitor{0, 0, kUnity, ASIOTrue, 0x7FFFFFFF}, ASE_SUCCESS,
         Route(0, 0, 0, 1000)},
        {"left", one, inAndOut, ASIOInputMonitor{0, 0, kUnity, ASIOTrue, 0}, ASE_SUCCESS, Route(0, 0, 0, 0)},
        {"a negative pan is left", one, inAndOut, ASIOInputMonitor{0, 0, kUnity, ASIOTrue, -0x40000000},
         ASE_SUCCESS, Route(0, 0, 0, 0)},
        {"off: one mute", one, {{false, 4}, {true, 3}}, ASIOInputMonitor{0, 0, kUnity, ASIOFalse, kCentre},
         ASE_SUCCESS, {{1060, CMD_SET_MONITOR_MUTE, 3, 4, 1}}},
        {"buffers for some channels in another order: their numbers", one,
         {{false, 7}, {true, 5}, {false, 2}, {true, 9}}, ASIOInputMonitor{1, 1, kUnity, ASIOTrue, kCentre},
         ASE_SUCCESS, Route(9, 2, 0, 500)},
        {"virtual outputs: busses 0 and 2", {machine::MakePreset("virtual-outputs")}, {{false, 5}, {true, 2}},
         ASIOInputMonitor{0, 0, kUnity, ASIOTrue, kCentre}, ASE_SUCCESS,
         Joined({Route(2, 0, 0, 500), Route(2, 2, 0, 500)})},
        {"virtual outputs off", {machine::MakePreset("virtual-outputs")}, {{false, 5}, {true, 2}},
         ASIOInputMonitor{0, 0, kUnity, ASIOFalse, kCentre}, ASE_SUCCESS,
         {{1060, CMD_SET_MONITOR_MUTE, 2, 0, 1}, {1060, CMD_SET_MONITOR_MUTE, 2, 2, 1}}},
        {"an input on another card", machine_testing::Cards({"default", "default"}), {{false, 0}, {true, 10}},
         ASIOInputMonitor{0, 0, kUnity, ASIOTrue, kCentre}, ASE_NotPresent, {}},
        {"direct monitoring off", one, inAndOut, ASIOInputMonitor{0, 0, kUnity, ASIOTrue, kCentre}, ASE_NotPresent,
         {}, 0},
        {"direct monitoring off, no option", one, inAndOut, std::nullopt, ASE_NotPresent, {}, 0},
        {"no option", one, inAndOut, std::nullopt, ASE_InvalidParameter, {}},
        {"input -2", one, inAndOut, ASIOInputMonitor{-2, 0, kUnity, ASIOTrue, kCentre}, ASE_InvalidParameter, {}},
        {"input at the count", one, inAndOut, ASIOInputMonitor{1, 0, kUnity, ASIOTrue, kCentre},
         ASE_InvalidParameter, {}},
        {"output -1", one, inAndOut, ASIOInputMonitor{0, -1, kUnity, ASIOTrue, kCentre}, ASE_InvalidParameter, {}},
        {"output at the count", one, inAndOut, ASIOInputMonitor{0, 1, kUnity, ASIOTrue, kCentre},
         ASE_InvalidParameter, {}},
        {"before createBuffers", one, {}, ASIOInputMonitor{-1, 0, kUnity, ASIOTrue, kCentre}, ASE_InvalidParameter,
         {}},
    };

    // Every input bus of the card onto the output buffer's pipe, with inputs or without.
    std::vector<Sent> all;
    std::vector<Sent> allOff;
    for (WORD bus = 0; bus < 8; ++bus) {
        const std::vector<Sent> route = Route(bus, 3, -1541, 250);
        all.insert(all.end(), route.begin(), route.end());
        allOff.push_back({1060, CMD_SET_MONITOR_MUTE, bus, 3, 1});
    }
    cases.push_back({"every input", {kEightInputs}, {{true, 1}, {false, 3}},
                     ASIOInputMonitor{-1, 0, 0x10000000, ASIOTrue, 0x20000000}, ASE_SUCCESS, all});
    cases.push_back({"every input, no input buffer", {kEightInputs}, {{false, 3}},
                     ASIOInputMonitor{-1, 0, 0x10000000, ASIOTrue, 0x20000000}, ASE_SUCCESS, all});
    cases.push_back({"every input off", {kEightInputs}, {{false, 3}},
                     ASIOInputMonitor{-1, 0, kUnity, ASIOFalse, kCentre}, ASE_SUCCESS, allOff});
    return cases;
}

class DirectMonitoring : public AsioDriverTest {};

TEST_F(DirectMonitoring, RoutesGainsAndPansAsTheCardIsSentThem)
{
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(host_.Unload());
        Boot(c.cards);
        Register();
        StoreSettings(44100, 256, c.directMonitoring, 0, 0);
        Load();
        ASSERT_EQ(host_.Init(), ASIOTrue);
        if (!c.buffers.empty()) {
            ASSERT_EQ(host_.CreateBuffers(c.buffers, 256), ASE_OK);
        }
        ClearLogs();

        EXPECT_EQ(host_.SetInputMonitor(c.monitor ? &*c.monitor : nullptr), c.result);
        EXPECT_EQ(MixerMessages(Hooks(0)), c.sent);
        for (std::size_t card = 1; card < Machine().CardCount(); ++card)
            EXPECT_TRUE(MixerMessages(Hooks(card)).empty()) << "card " << card;
    }
}

TEST_F(DirectMonitoring, TheCardsMixerKeepsTheRoutePastStopAndRelease)
{
    Start();
    ASSERT_EQ(host_.CreateBuffers({{false, 2}, {true, 1}}, 256), ASE_OK);
    const ASIOInputMonitor monitor{0, 0, 0x10000000, ASIOTrue, 0x20000000};
    ASSERT_EQ(host_.SetInputMonitor(&monitor), ASE_SUCCESS);
    ASSERT_TRUE(host_.Unload());
    const machine::sim::MixerState mixer = Hooks().Mixer();
    const machine::sim::RouteState& route = mixer.Monitor(1, 2);
    EXPECT_EQ(route.gain, -1541);
    EXPECT_EQ(route.pan, 250u);
    EXPECT_EQ(route.mute, 0u);
}

}  // namespace
