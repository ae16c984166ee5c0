// createBuffers and disposeBuffers: what they refuse and what a refusal
// leaves behind, the requests the cards see and in which order, the
// latencies of the buffers made, and the handles a whole cycle leaves.
#include <functional>

#include "allocation_hooks.h"
#include "streaming_fixture.h"
#include "win32/kernel.h"

namespace {

// What createBuffers is given, before it answers.
void* const kUnset = reinterpret_cast<void*>(std::uintptr_t{0x5A5A5A5A});

struct BufferCall {
    std::vector<ASIOBufferInfo> infos;
    ASIOError result = ASE_OK;
};

class Buffers : public Streaming {
protected:
    // createBuffers as a host calls it, with infos of its own and the host's callbacks.
    BufferCall CreateRaw(std::initializer_list<hosts::AsioBufferRequest> channels, LONG count, LONG size,
                         bool nullInfos = false)
    {
        BufferCall call;
        for (const auto& channel : channels)
            call.infos.push_back({channel.input ? ASIOTrue : ASIOFalse, channel.channel, {kUnset, kUnset}});
        hosts::AsioHostCallbacks callbacks;
        call.result = Asio().createBuffers(nullInfos ? nullptr : call.infos.data(), count, size, callbacks.Table());
        return call;
    }
    std::vector<DWORD> StreamingCodes(std::size_t card)
    {
        std::vector<DWORD> codes;
        for (const auto& request : Hooks(card).Log())
            if (request.code != IOCTL_CHECK_PIPES && request.code != IOCTL_GET_METERS &&
                request.code != IOCTL_GET_NOTIFICATIONS)
                codes.push_back(request.code);
        return codes;
    }
};

struct Refusal {
    const char* provoked;
    std::function<void()> arrange;
    std::function<BufferCall()> call;
    ASIOError result;
    bool argument;  // refused before anything is given back
};

TEST_F(Buffers, RefusalsLeaveNothingBehindOrChangeNothing)
{
    const auto none = [] {};
    const auto twoOutputs = [this] { return CreateRaw({{false, 0}, {false, 1}}, 2, 64); };
    const Refusal refusals[] = {
        {"0 channels", none, [this] { return CreateRaw({}, 0, 64); }, ASE_InvalidMode, true},
        {"-1 channels", none, [this] { return CreateRaw({{false, 0}}, -1, 64); }, ASE_InvalidMode, true},
        {"size 0", none, [this] { return CreateRaw({{false, 0}}, 1, 0); }, ASE_InvalidMode, true},
        {"size -64", none, [this] { return CreateRaw({{false, 0}}, 1, -64); }, ASE_InvalidMode, true},
        {"null infos, count 2", none, [this] { return CreateRaw({}, 2, 64, true); },
         ASE_InvalidParameter, true},
        {"output = output count", none, [this] { return CreateRaw({{false, 0}, {false, 10}}, 2, 64); },
         ASE_InvalidParameter, false},
        {"input = input count", none, [this] { return CreateRaw({{true, 10}}, 1, 64); },
         ASE_InvalidParameter, false},
        {"channel -1", none, [this] { return CreateRaw({{true, -1}}, 1, 64); }, ASE_InvalidParameter,
         false},
        {"the event refused", [this] { Hooks().RefuseEvent(true); }, twoOutputs, ASE_NotPresent, false},
        {"a listed pipe held", [this] { Hooks().HoldPipes(0, 1, 1); }, twoOutputs, ASE_NotPresent,
         false},
        {"the buffer map failed", [this] { Hooks().FailNext(IOCTL_MAP_PIPE_BUFFER); }, twoOutputs,
         ASE_NoMemory, false},
        {"the position map failed", [this] { Hooks().FailNext(IOCTL_MAP_PIPE_POSITION); }, twoOutputs,
         ASE_NotPresent, false},
    };
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.provoked);
        ASSERT_TRUE(host_.Unload());
        Start();
        // Buffers made before: the argument refusals keep them, the others give them back.
        Create({{false, 4}, {true, 4}}, 128);
        refusal.arrange();
        const BufferCall call = refusal.call();
        EXPECT_EQ(call.result, refusal.result);
        if (refusal.argument) {
            EXPECT_EQ(TransportCount(), 1u);
            EXPECT_EQ(Hooks().Transports().at(0).reservations.size(), 2u);
            EXPECT_EQ(Asio().start(), ASE_OK);
            EXPECT_EQ(Switches(), 2u);
        } else {
            EXPECT_EQ(TransportCount(), 0u) << "nothing stays open or reserved";
            EXPECT_EQ(Asio().start(), ASE_NotPresent) << "state 1";
        }
        if (refusal.result == ASE_NoMemory) {
            EXPECT_EQ(call.infos[0].buffers[0], nullptr);
            EXPECT_EQ(call.infos[0].buffers[1], nullptr);
            EXPECT_EQ(call.infos[1].buffers[0], kUnset) << "never reached";
        }
    }
}

TEST_F(Buffers, MemoryThatCannotBeHad)
{
    Start();
    unsigned allocations;
    {
        allocation_hooks::NothrowAllocations count;
        Create({{false, 0}, {true, 0}}, 64);
        allocations = count.Count();
    }
    EXPECT_EQ(allocations, 2u) << "the two buffer tables";
    for (unsigned table = 0; table < allocations; ++table) {
        SCOPED_TRACE(table);
        BufferCall call;
        {
            allocation_hooks::NothrowAllocations refuse(table);
            call = CreateRaw({{false, 0}, {true, 0}}, 2, 64);
        }
        EXPECT_EQ(call.result, ASE_NoMemory);
        EXPECT_EQ(TransportCount(), 0u);
        EXPECT_EQ(Asio().start(), ASE_NotPresent);
    }

    // start's event array: refused, it starts nothing and keeps nothing from a later start.
    Create({{false, 0}}, 64);
    {
        allocation_hooks::NothrowAllocations refuse(0);
        EXPECT_EQ(host_.Start(), ASE_NoMemory);
        EXPECT_EQ(refuse.Count(), 1u);
    }
    EXPECT_EQ(Switches(), 0u) << "no pre-fill";
    EXPECT_EQ(Hooks().CountOf(IOCTL_START_TRANSPORT), 0u);
    StartStreaming();
    Step();
}

TEST_F(Buffers, OneCardSeesItsRequestsInTheOrderItExpects)
{
    Start();
    ClearLogs();
    Create({{false, 3}, {true, 1}, {false, 0}}, 256);
    ASSERT_EQ(host_.Start(), ASE_OK);
    const std::vector<DWORD> expected = {
        IOCTL_OPEN_TRANSPORT,  IOCTL_SET_TRANSPORT_EVENT,                                     // the first buffer's card
        IOCTL_RESERVE_PIPES,   IOCTL_MAP_PIPE_BUFFER,     IOCTL_MIXER_MESSAGE,  // output 3 and its latency
        IOCTL_RESERVE_PIPES,   IOCTL_MAP_PIPE_BUFFER,     IOCTL_MIXER_MESSAGE,  // input 1
        IOCTL_RESERVE_PIPES,   IOCTL_MAP_PIPE_BUFFER,     IOCTL_MIXER_MESSAGE,  // output 0
        IOCTL_MAP_PIPE_POSITION, IOCTL_START_TRANSPORT,
    };
    EXPECT_EQ(StreamingCodes(0), expected);

    const std::vector<machine::RequestRecord> log = Hooks().Log();
    const auto request = [&](DWORD code, int nth = 0) {
        for (const auto& record : log)
            if (record.code == code && nth-- == 0) return record.input;
        return std::vector<BYTE>{};
    };
    const std::uint32_t cookie = Hooks().Transports().at(0).cookie;
    // The counter of the highest input pipe; the buffers twice the host's size.
    const std::vector<BYTE> position = request(IOCTL_MAP_PIPE_POSITION);
    ASSERT_EQ(position.size(), 12u);
    EXPECT_EQ(Bytes(position.begin(), position.begin() + 10),
              Bytes({BYTE(cookie), BYTE(cookie >> 8), BYTE(cookie >> 16), BYTE(cookie >> 24), 1, 0, 0, 0, 1, 0}));
    for (int nth = 0; nth < 3; ++nth) {
        const std::vector<BYTE> map = request(IOCTL_MAP_PIPE_BUFFER, nth);
        ASSERT_EQ(map.size(), 16u);
        DWORD frames;
        std::memcpy(&frames, map.data() + 12, sizeof frames);
        EXPECT_EQ(frames, 512u);
    }
    // The card sets the event that was registered with it.
    const std::vector<BYTE> registered = request(IOCTL_SET_TRANSPORT_EVENT);
    ASSERT_EQ(registered.size(), 8u);
    DWORD event;
    std::memcpy(&event, registered.data() + 4, sizeof event);
    EXPECT_TRUE(Hooks().TransportEventIs(cookie, reinterpret_cast<HANDLE>(std::uintptr_t{event})));
    Step();

    // The buffers are the card's: two halves of the mapping.
    const auto& infos = host_.BufferInfos();
    for (const ASIOBufferInfo& info : infos) {
        ASSERT_NE(info.buffers[0], nullptr);
        EXPECT_EQ(static_cast<BYTE*>(info.buffers[1]) - static_cast<BYTE*>(info.buffers[0]), 256 * 4);
    }
    for (LONG output : {0, 3}) {
        ASIOChannelInfo channel{.channel = output, .isInput = ASIOFalse};
        ASSERT_EQ(Asio().getChannelInfo(&channel), ASE_OK);
        EXPECT_EQ(channel.isActive, ASIOTrue) << output;
    }
    ASIOChannelInfo unused{.channel = 1, .isInput = ASIOFalse};
    ASSERT_EQ(Asio().getChannelInfo(&unused), ASE_OK);
    EXPECT_EQ(unused.isActive, ASIOFalse);

    ClearLogs();
    EXPECT_EQ(host_.DisposeBuffers(), ASE_OK);
    EXPECT_EQ(StreamingCodes(0), (std::vector<DWORD>{IOCTL_STOP_TRANSPORT, IOCTL_CLOSE_TRANSPORT}));
    ASSERT_EQ(Asio().getChannelInfo(&unused), ASE_OK);
    ASIOChannelInfo used{.channel = 3, .isInput = ASIOFalse};
    ASSERT_EQ(Asio().getChannelInfo(&used), ASE_OK);
    EXPECT_EQ(used.isActive, ASIOFalse);
}

TEST_F(Buffers, DisposeClosesTheTransportOfEveryCardUsed)
{
    // The list holds the newest card first: channels 0 to 9 are machine card 1's.
    Start(machine_testing::Cards({"default", "default"}));
    Create({{false, 12}, {false, 2}, {true, 11}}, 64);
    for (std::size_t card = 0; card < 2; ++card) {
        ASSERT_EQ(Hooks(card).Transports().size(), 1u) << card;
        EXPECT_EQ(Hooks(card).Transports().at(0).reservations.size(), card == 0 ? 2u : 1u);
    }
    ClearLogs();
    EXPECT_EQ(host_.DisposeBuffers(), ASE_OK);
    for (std::size_t card = 0; card < 2; ++card) {
        EXPECT_TRUE(Hooks(card).Transports().empty()) << card;
        EXPECT_EQ(Hooks(card).CountOf(IOCTL_CLOSE_TRANSPORT), 1u) << card;
    }
    EXPECT_EQ(Asio().start(), ASE_NotPresent);
    ClearLogs();
    EXPECT_EQ(host_.DisposeBuffers(), ASE_OK) << "again: nothing left to give back";
    EXPECT_EQ(Hooks(0).Log().size() + Hooks(1).Log().size(), 0u);
}

TEST_F(Buffers, NewBuffersGiveBackTheEarlierOnes)
{
    Start();
    Create({{false, 0}}, 64);
    StartStreaming();
    Step();
    Create({{false, 1}, {true, 2}}, 128);
    ASSERT_EQ(Hooks().Transports().size(), 1u);
    const machine::TransportInfo transport = Hooks().Transports().at(0);
    EXPECT_EQ(transport.state, machine::TransportInfo::State::Stopped);
    EXPECT_EQ(transport.reservations.size(), 2u);
    EXPECT_EQ(transport.reservations[0].first, 1u);
    LONG minimum = 0, maximum = 0, preferred = 0, granularity = 0;
    ASSERT_EQ(Asio().getBufferSize(&minimum, &maximum, &preferred, &granularity), ASE_OK);
    EXPECT_EQ(preferred, 128) << "the host's size";
}

TEST_F(Buffers, LatenciesAddTheMeanPipeLatencyOfEachDirection)
{
    Start();
    Hooks().SetPipeLatency(32);
    Hooks().SetPipeLatency(1, 2, 33);
    Hooks().SetPipeLatency(0, 5, 100);
    Create({{true, 0}, {true, 1}, {true, 2}, {false, 5}, {false, 6}}, 256);
    LONG input = 0, output = 0;
    ASSERT_EQ(Asio().getLatencies(&input, &output), ASE_OK);
    EXPECT_EQ(input, 256 + 97 / 3);  // 288
    EXPECT_EQ(output, 256 + 132 / 2);
    ASSERT_EQ(host_.DisposeBuffers(), ASE_OK);
    ASSERT_EQ(Asio().getLatencies(&input, &output), ASE_OK);
    EXPECT_EQ(input, 256);
    EXPECT_EQ(output, 256);
}

TEST_F(Buffers, BeforeInitNothingIsMadeAndDisposeChangesNothing)
{
    Boot();
    Register();
    Load();
    EXPECT_EQ(CreateRaw({{false, 0}}, 1, 64).result, ASE_NotPresent);
    EXPECT_EQ(Asio().disposeBuffers(), ASE_OK);
    EXPECT_EQ(Asio().start(), ASE_NotPresent);
    EXPECT_EQ(Hooks().Log().size(), 0u);
    // Still to be initialised: init finds the card.
    ASSERT_EQ(host_.Init(), ASIOTrue);
    LONG inputs = 0, outputs = 0;
    ASSERT_EQ(Asio().getChannels(&inputs, &outputs), ASE_OK);
    EXPECT_EQ(outputs, 10);
}

TEST_F(Buffers, AWholeCycleLeavesNoHandle)
{
    Start(machine_testing::Cards({"default", "default"}));
    const std::size_t before = win32::OpenHandleCount();
    for (int cycle = 0; cycle < 2; ++cycle) {
        SCOPED_TRACE(cycle);
        Create({{false, 0}, {false, 10}}, 64);
        StartStreaming();
        Step({0, 1});
        ASSERT_EQ(host_.Stop(), ASE_OK);
        ASSERT_EQ(host_.DisposeBuffers(), ASE_OK);
        EXPECT_EQ(win32::OpenHandleCount(), before);
    }
}

}  // namespace
