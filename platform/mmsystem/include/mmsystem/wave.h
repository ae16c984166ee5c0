// The wave half of the multimedia interface as applications and drivers
// share it: result codes, formats, capabilities, buffer headers, positions
// and the open and callback flags. Layouts and values are the documented ones.
#pragma once

#include <cstddef>

#include "win32/types.h"

using MMRESULT = UINT;
using MMVERSION = UINT;

struct HWAVE__;
using HWAVE = HWAVE__*;
using HWAVEOUT = HWAVE;
using HWAVEIN = HWAVE;

// ---- Results -------------------------------------------------------------------------
constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
constexpr MMRESULT MMSYSERR_NODRIVER = 6;
constexpr MMRESULT MMSYSERR_NOMEM = 7;
constexpr MMRESULT MMSYSERR_NOTSUPPORTED = 8;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr MMRESULT WAVERR_BADFORMAT = 32;
constexpr MMRESULT WAVERR_STILLPLAYING = 33;
constexpr MMRESULT WAVERR_UNPREPARED = 34;

// ---- Notifications ---------------------------------------------------------------------
constexpr UINT MM_WOM_OPEN = 955;
constexpr UINT MM_WOM_CLOSE = 956;
constexpr UINT MM_WOM_DONE = 957;
constexpr UINT MM_WIM_OPEN = 958;
constexpr UINT MM_WIM_CLOSE = 959;
constexpr UINT MM_WIM_DATA = 960;
constexpr UINT WOM_OPEN = MM_WOM_OPEN;
constexpr UINT WOM_CLOSE = MM_WOM_CLOSE;
constexpr UINT WOM_DONE = MM_WOM_DONE;
constexpr UINT WIM_OPEN = MM_WIM_OPEN;
constexpr UINT WIM_CLOSE = MM_WIM_CLOSE;
constexpr UINT WIM_DATA = MM_WIM_DATA;

// ---- Open flags --------------------------------------------------------------------------
constexpr DWORD WAVE_FORMAT_QUERY = 0x1;
constexpr DWORD WAVE_ALLOWSYNC = 0x2;
constexpr DWORD WAVE_MAPPED = 0x4;
constexpr DWORD WAVE_FORMAT_DIRECT = 0x8;

// The callback kind, in the high word of the open flags.
constexpr DWORD CALLBACK_TYPEMASK = 0x70000;
constexpr DWORD CALLBACK_NULL = 0x00000;
constexpr DWORD CALLBACK_WINDOW = 0x10000;
constexpr DWORD CALLBACK_TASK = 0x20000;
constexpr DWORD CALLBACK_THREAD = CALLBACK_TASK;
constexpr DWORD CALLBACK_FUNCTION = 0x30000;
constexpr DWORD CALLBACK_EVENT = 0x50000;

// ---- Buffer headers ----------------------------------------------------------------------
constexpr DWORD WHDR_DONE = 0x01;
constexpr DWORD WHDR_PREPARED = 0x02;
constexpr DWORD WHDR_BEGINLOOP = 0x04;
constexpr DWORD WHDR_ENDLOOP = 0x08;
constexpr DWORD WHDR_INQUEUE = 0x10;

struct WAVEHDR {
    LPSTR lpData;
    DWORD dwBufferLength;
    DWORD dwBytesRecorded;
    DWORD_PTR dwUser;
    DWORD dwFlags;
    DWORD dwLoops;
    WAVEHDR* lpNext;
    DWORD_PTR reserved;
};
static_assert(sizeof(WAVEHDR) == 48);
static_assert(offsetof(WAVEHDR, dwUser) == 16);
static_assert(offsetof(WAVEHDR, dwFlags) == 24);
static_assert(offsetof(WAVEHDR, lpNext) == 32);
using LPWAVEHDR = WAVEHDR*;

// ---- Positions ---------------------------------------------------------------------------
constexpr UINT TIME_MS = 0x01;
constexpr UINT TIME_SAMPLES = 0x02;
constexpr UINT TIME_BYTES = 0x04;
constexpr UINT TIME_SMPTE = 0x08;
constexpr UINT TIME_MIDI = 0x10;
constexpr UINT TIME_TICKS = 0x20;

struct MMTIME {
    UINT wType;
    union {
        DWORD ms;
        DWORD sample;
        DWORD cb;
        DWORD ticks;
        struct {
            BYTE hour;
            BYTE min;
            BYTE sec;
            BYTE frame;
            BYTE fps;
            BYTE dummy;
            BYTE pad[2];
        } smpte;
        struct {
            DWORD songptrpos;
        } midi;
    } u;
};
static_assert(sizeof(MMTIME) == 12);
static_assert(offsetof(MMTIME, u) == 4);
using LPMMTIME = MMTIME*;

// ---- Formats -----------------------------------------------------------------------------
constexpr WORD WAVE_FORMAT_PCM = 0x0001;
constexpr WORD WAVE_FORMAT_EXTENSIBLE = 0xFFFE;

inline constexpr GUID KSDATAFORMAT_SUBTYPE_PCM = {0x00000001, 0x0000, 0x0010,
                                                  {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

#pragma pack(push, 1)
struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;  // bytes that follow this record
};

struct WAVEFORMATEXTENSIBLE {
    WAVEFORMATEX Format;
    union {
        WORD wValidBitsPerSample;
        WORD wSamplesPerBlock;
        WORD wReserved;
    } Samples;
    DWORD dwChannelMask;
    GUID SubFormat;
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18);
static_assert(offsetof(WAVEFORMATEX, nSamplesPerSec) == 4);
static_assert(offsetof(WAVEFORMATEX, nAvgBytesPerSec) == 8);
static_assert(offsetof(WAVEFORMATEX, nBlockAlign) == 12);
static_assert(offsetof(WAVEFORMATEX, wBitsPerSample) == 14);
static_assert(offsetof(WAVEFORMATEX, cbSize) == 16);
static_assert(sizeof(WAVEFORMATEXTENSIBLE) == 40);
static_assert(offsetof(WAVEFORMATEXTENSIBLE, Samples) == 18);
static_assert(offsetof(WAVEFORMATEXTENSIBLE, dwChannelMask) == 20);
static_assert(offsetof(WAVEFORMATEXTENSIBLE, SubFormat) == 24);
using LPWAVEFORMATEX = WAVEFORMATEX*;
using LPCWAVEFORMATEX = const WAVEFORMATEX*;

// ---- Capabilities ------------------------------------------------------------------------
constexpr UINT MAXPNAMELEN = 32;

// The standard formats a device claims: rate (1 = 11025, 2 = 22050, 4 = 44100 Hz),
// mono or stereo, 8 or 16 bits.
constexpr DWORD WAVE_FORMAT_1M08 = 0x00000001;
constexpr DWORD WAVE_FORMAT_1S08 = 0x00000002;
constexpr DWORD WAVE_FORMAT_1M16 = 0x00000004;
constexpr DWORD WAVE_FORMAT_1S16 = 0x00000008;
constexpr DWORD WAVE_FORMAT_2M08 = 0x00000010;
constexpr DWORD WAVE_FORMAT_2S08 = 0x00000020;
constexpr DWORD WAVE_FORMAT_2M16 = 0x00000040;
constexpr DWORD WAVE_FORMAT_2S16 = 0x00000080;
constexpr DWORD WAVE_FORMAT_4M08 = 0x00000100;
constexpr DWORD WAVE_FORMAT_4S08 = 0x00000200;
constexpr DWORD WAVE_FORMAT_4M16 = 0x00000400;
constexpr DWORD WAVE_FORMAT_4S16 = 0x00000800;

constexpr DWORD WAVECAPS_VOLUME = 0x0004;
constexpr DWORD WAVECAPS_LRVOLUME = 0x0008;

struct WAVEOUTCAPSW {
    WORD wMid;
    WORD wPid;
    MMVERSION vDriverVersion;
    WCHAR szPname[MAXPNAMELEN];
    DWORD dwFormats;
    WORD wChannels;
    WORD wReserved1;
    DWORD dwSupport;
};
static_assert(sizeof(WAVEOUTCAPSW) == 84);
static_assert(offsetof(WAVEOUTCAPSW, vDriverVersion) == 4);
static_assert(offsetof(WAVEOUTCAPSW, szPname) == 8);
static_assert(offsetof(WAVEOUTCAPSW, dwFormats) == 72);
static_assert(offsetof(WAVEOUTCAPSW, wChannels) == 76);
static_assert(offsetof(WAVEOUTCAPSW, dwSupport) == 80);
using LPWAVEOUTCAPSW = WAVEOUTCAPSW*;

struct WAVEINCAPSW {
    WORD wMid;
    WORD wPid;
    MMVERSION vDriverVersion;
    WCHAR szPname[MAXPNAMELEN];
    DWORD dwFormats;
    WORD wChannels;
    WORD wReserved1;
};
static_assert(sizeof(WAVEINCAPSW) == 80);
static_assert(offsetof(WAVEINCAPSW, szPname) == 8);
static_assert(offsetof(WAVEINCAPSW, dwFormats) == 72);
static_assert(offsetof(WAVEINCAPSW, wChannels) == 76);
using LPWAVEINCAPSW = WAVEINCAPSW*;
