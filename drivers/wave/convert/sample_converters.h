// The sample converters: each moves frames between a client's PCM samples
// (8, 16, 24 or 32 bits, mono or stereo) and the card's ring, whose frames
// are a signed 32-bit sample of the first pipe and then one of the second.
// A stream picks its converter once; the loops never branch on the format.
#pragma once

#include <cstdint>

#include <windows.h>

class DitherNoise;

// One card frame: two 32-bit samples.
constexpr DWORD kRingFrameBytes = 8;

// Moves `frames` frames and advances both cursors: the ring's by frames x 8
// bytes, the client's by frames x its block alignment. The client's data
// need not be aligned. `dither`, when a record converter of an analog input
// has one, is added in place to both samples of every ring frame first.
using SampleConverter = void (*)(BYTE*& ring, BYTE*& data, DWORD frames, DitherNoise* dither);

// Indexed [channels - 1][bytes per sample - 1].
extern const SampleConverter PlaybackConverters[2][4];
extern const SampleConverter AnalogRecordConverters[2][4];
extern const SampleConverter DigitalRecordConverters[2][4];
