// What an input hears at a given frame: a tone, a ramp, a test's samples or
// the samples of an output pipe played back in.
#pragma once

#include <cstdint>

#include "machine/card_driver_hooks.h"
#include "pipe_history.h"

namespace machine::sim {

// The sample of `signal` at frame `frame` of a stream running at `rate` Hz.
// A loopback reads `loopback` (the pipe's history), `loopbackAgo` samples back.
std::int32_t SignalSample(const Signal& signal, std::uint64_t frame, double rate, const PipeHistory* loopback,
                          std::uint64_t loopbackAgo) noexcept;

// The quiet tone an input hears until a test says otherwise: each input its own pitch.
Signal DefaultInputSignal(unsigned input);

}  // namespace machine::sim
