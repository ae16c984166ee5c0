// The published ASIO driver interface's scalars, constants and records, laid
// out as on 32-bit Windows: 4-byte packing, and ASIO's `long` is 32 bits
// (LONG here, never C long). Pointers keep their native width.
#pragma once

#include <cstddef>
#include <cstdint>

#include "win32/types.h"

using ASIOBool = LONG;
constexpr ASIOBool ASIOFalse = 0;
constexpr ASIOBool ASIOTrue = 1;

using ASIOError = LONG;
constexpr ASIOError ASE_OK = 0;
constexpr ASIOError ASE_SUCCESS = 0x3F4847A0;  // answers a future() call
constexpr ASIOError ASE_NotPresent = -1000;
constexpr ASIOError ASE_HWMalfunction = -999;
constexpr ASIOError ASE_InvalidParameter = -998;
constexpr ASIOError ASE_InvalidMode = -997;
constexpr ASIOError ASE_SPNotAdvancing = -996;
constexpr ASIOError ASE_NoClock = -995;
constexpr ASIOError ASE_NoMemory = -994;

using ASIOSampleRate = double;

using ASIOSampleType = LONG;
constexpr ASIOSampleType ASIOSTInt32LSB = 18;

// 64-bit counts as two 32-bit halves, the high half first.
struct ASIOSamples {
    DWORD hi;
    DWORD lo;
};
struct ASIOTimeStamp {
    DWORD hi;
    DWORD lo;
};

// AsioTimeInfo flags.
constexpr DWORD kSystemTimeValid = 0x01;
constexpr DWORD kSamplePositionValid = 0x02;
constexpr DWORD kSampleRateValid = 0x04;
constexpr DWORD kSpeedValid = 0x08;
constexpr DWORD kSampleRateChanged = 0x10;
constexpr DWORD kClockSourceChanged = 0x20;

// Selectors of the host's asioMessage callback.
constexpr LONG kAsioSelectorSupported = 1;
constexpr LONG kAsioEngineVersion = 2;
constexpr LONG kAsioResetRequest = 3;
constexpr LONG kAsioBufferSizeChange = 4;
constexpr LONG kAsioResyncRequest = 5;
constexpr LONG kAsioLatenciesChanged = 6;
constexpr LONG kAsioSupportsTimeInfo = 7;
constexpr LONG kAsioSupportsTimeCode = 8;

// Selectors of the driver's future().
constexpr LONG kAsioSetInputMonitor = 3;
constexpr LONG kAsioCanInputMonitor = 9;

#pragma pack(push, 4)

struct ASIOClockSource {
    LONG index;
    LONG associatedChannel;
    LONG associatedGroup;
    ASIOBool isCurrentSource;
    char name[32];
};
static_assert(sizeof(ASIOClockSource) == 48);
static_assert(offsetof(ASIOClockSource, name) == 16);

struct ASIOChannelInfo {
    LONG channel;        // in
    ASIOBool isInput;    // in
    ASIOBool isActive;
    LONG channelGroup;
    ASIOSampleType type;
    char name[32];
};
static_assert(sizeof(ASIOChannelInfo) == 52);
static_assert(offsetof(ASIOChannelInfo, type) == 16);
static_assert(offsetof(ASIOChannelInfo, name) == 20);

struct AsioTimeInfo {
    double speed;
    ASIOTimeStamp systemTime;
    ASIOSamples samplePosition;
    ASIOSampleRate sampleRate;
    DWORD flags;
    char reserved[12];
};
static_assert(sizeof(AsioTimeInfo) == 48);
static_assert(offsetof(AsioTimeInfo, sampleRate) == 24);
static_assert(offsetof(AsioTimeInfo, flags) == 32);

struct ASIOTimeCode {
    double speed;
    ASIOSamples timeCodeSamples;
    DWORD flags;
    char future[64];
};
static_assert(sizeof(ASIOTimeCode) == 84);  // 88 without the packing
static_assert(offsetof(ASIOTimeCode, flags) == 16);

struct ASIOTime {
    LONG reserved[4];
    AsioTimeInfo timeInfo;
    ASIOTimeCode timeCode;
};
static_assert(sizeof(ASIOTime) == 148);  // 152 without the packing
static_assert(offsetof(ASIOTime, timeInfo) == 16);
static_assert(offsetof(ASIOTime, timeCode) == 64);

struct ASIOInputMonitor {
    LONG input;   // -1: all inputs
    LONG output;
    LONG gain;    // 0 to 0x7FFFFFFF, 0x20000000 = 0 dB
    ASIOBool state;
    LONG pan;     // 0 left to 0x7FFFFFFF right
};
static_assert(sizeof(ASIOInputMonitor) == 20);

// Native pointers: 24 bytes here, 16 on 32-bit Windows.
struct ASIOBufferInfo {
    ASIOBool isInput;  // in
    LONG channelNum;   // in
    void* buffers[2];  // out: the two halves
};
static_assert(offsetof(ASIOBufferInfo, buffers) == 8);
static_assert(sizeof(ASIOBufferInfo) == 8 + 2 * sizeof(void*));

struct ASIOCallbacks {
    void (*bufferSwitch)(LONG doubleBufferIndex, ASIOBool directProcess);
    void (*sampleRateDidChange)(ASIOSampleRate rate);
    LONG (*asioMessage)(LONG selector, LONG value, void* message, double* opt);
    ASIOTime* (*bufferSwitchTimeInfo)(ASIOTime* params, LONG doubleBufferIndex, ASIOBool directProcess);
};
static_assert(sizeof(ASIOCallbacks) == 4 * sizeof(void*));

#pragma pack(pop)
