// The driver half of the multimedia wave interface: the entry points a wave
// driver exports, the messages the multimedia system sends through them, the
// open description, and DriverCallback, through which a driver notifies
// its client.
#pragma once

#include "mmsystem/wave.h"
#include "win32/types.h"

// ---- Wave-out messages (DrvWodMessage) ------------------------------------------------
constexpr UINT WODM_GETNUMDEVS = 3;
constexpr UINT WODM_GETDEVCAPS = 4;
constexpr UINT WODM_OPEN = 5;
constexpr UINT WODM_CLOSE = 6;
constexpr UINT WODM_PREPARE = 7;
constexpr UINT WODM_UNPREPARE = 8;
constexpr UINT WODM_WRITE = 9;
constexpr UINT WODM_PAUSE = 10;
constexpr UINT WODM_RESTART = 11;
constexpr UINT WODM_RESET = 12;
constexpr UINT WODM_GETPOS = 13;
constexpr UINT WODM_GETPITCH = 14;
constexpr UINT WODM_SETPITCH = 15;
constexpr UINT WODM_GETVOLUME = 16;
constexpr UINT WODM_SETVOLUME = 17;
constexpr UINT WODM_GETPLAYBACKRATE = 18;
constexpr UINT WODM_SETPLAYBACKRATE = 19;
constexpr UINT WODM_BREAKLOOP = 20;

// ---- Wave-in messages (DrvWidMessage) -------------------------------------------------
constexpr UINT WIDM_GETNUMDEVS = 50;
constexpr UINT WIDM_GETDEVCAPS = 51;
constexpr UINT WIDM_OPEN = 52;
constexpr UINT WIDM_CLOSE = 53;
constexpr UINT WIDM_PREPARE = 54;
constexpr UINT WIDM_UNPREPARE = 55;
constexpr UINT WIDM_ADDBUFFER = 56;
constexpr UINT WIDM_START = 57;
constexpr UINT WIDM_STOP = 58;
constexpr UINT WIDM_RESET = 59;
constexpr UINT WIDM_GETPOS = 60;

// The second argument of WODM_OPEN and WIDM_OPEN; the first is the address of
// the client's instance word, the third the open flags.
struct WAVEOPENDESC {
    HWAVE hWave;
    const WAVEFORMATEX* lpFormat;
    DWORD_PTR dwCallback;
    DWORD_PTR dwInstance;
    UINT uMappedDeviceID;
    DWORD_PTR dnDevNode;
};
using LPWAVEOPENDESC = WAVEOPENDESC*;

// ---- The driver's exports --------------------------------------------------------------
// DrvLoad(reserved), then one of the argument-less entries or the two message
// entries: DrvWodMessage / DrvWidMessage (device id, message, instance, param1, param2).
using DrvLoadProc = DWORD (*)(DWORD_PTR reserved);
using DrvEntryProc = DWORD (*)();
using DrvMessageProc = DWORD (*)(UINT deviceId, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                                 DWORD_PTR param2);

// ---- DriverCallback ----------------------------------------------------------------------
// The kind of a callback, as the high word of the open flags gives it.
constexpr DWORD DCB_NULL = 0x0000;
constexpr DWORD DCB_WINDOW = 0x0001;
constexpr DWORD DCB_TASK = 0x0002;
constexpr DWORD DCB_FUNCTION = 0x0003;
constexpr DWORD DCB_EVENT = 0x0005;
constexpr DWORD DCB_TYPEMASK = 0x0007;
constexpr DWORD DCB_NOSWITCH = 0x0008;

// A function callback: (device handle, message, user word, param1, param2).
using DRVCALLBACK = void(HDRVR device, UINT message, DWORD_PTR user, DWORD_PTR param1, DWORD_PTR param2);
using LPDRVCALLBACK = DRVCALLBACK*;

// Delivers `message` to the callback of kind `flags & DCB_TYPEMASK`: a function
// is called at once on this thread (TRUE); an event is set (TRUE when that
// succeeded); a window (the callback is its handle) is posted (message,
// (WPARAM) device, (LPARAM) param1) with PostMessageA, a task (the callback
// is a thread id) the same with PostThreadMessageA, TRUE when posted and
// FALSE when the window or thread has no queue. A null callback and DCB_NULL
// deliver nothing and give FALSE.
BOOL DriverCallback(DWORD_PTR callback, DWORD flags, HDRVR device, DWORD message, DWORD_PTR user,
                    DWORD_PTR param1, DWORD_PTR param2);
