// A driver initialised on a machine of the test's own whose cards the test
// clocks by hand: each step of a card is one period of the host's buffers,
// and the test waits for the switch it brings before it steps again, so the
// card plays only what the host wrote before the tick.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "asio_driver_fixture.h"
#include "hosts/asio_callbacks.h"

class Streaming : public AsioDriverTest {
protected:
    // Generous: the switch thread may wait long for a core on a loaded machine.
    static constexpr DWORD kWait = 20000;

    ~Streaming() override;

    void Create(std::initializer_list<hosts::AsioBufferRequest> channels, LONG bufferSize,
                const hosts::AsioStreamOptions& options = {});
    hosts::AsioHostCallbacks& Host() { return host_.Callbacks(); }
    std::size_t Switches() { return Host().SwitchCount(); }
    // Start, with its two pre-fills done.
    void StartStreaming();
    // One period of each card listed, then the one switch it must bring.
    void Step(std::initializer_list<std::size_t> cards = {0});
    // A period of one card, without waiting: no switch may follow. A test
    // shows none did with a later step that must bring exactly one, entered
    // after that step (see Now).
    void StepAlone(std::size_t card) { Hooks(card).Advance(1); }
    // QueryPerformanceCounter now, to compare with a switch's entry.
    static std::int64_t Now();
    // The switch numbered `n` from the first pre-fill.
    hosts::AsioSwitchRecord SwitchAt(std::size_t n);
    // getSamplePosition's frames.
    std::uint64_t SamplePosition();
    // Every transport of every card.
    std::size_t TransportCount();
};

// What the output buffer numbered `output` of the host's list should have
// played from its first frame on, `frames` long.
std::vector<std::int32_t> RampPlayed(std::size_t output, std::size_t frames);
