// The library's entry point and exports, and the dispatch of every wave-out
// and wave-in message to its handler.
#include <mmsystem.h>
#include <windows.h>

#include <type_traits>

#include "driver_lists.h"
#include "wave_messages.h"

// Only these leave the library; everything else is hidden.
#define WAVE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// Set at attach; while set the library counts as attached.
HMODULE g_Module = nullptr;

// A message for an open stream: it must name one of `direction`.
MMRESULT StreamMessage(DWORD direction, DWORD_PTR instance)
{
    if (!FindOpenClient(direction, instance)) return MMSYSERR_INVALPARAM;
    return MMSYSERR_NOTSUPPORTED;  // streaming is not in the driver yet
}

}  // namespace

WAVE_EXPORT BOOL DllMain(HINSTANCE module, DWORD reason, LPVOID)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        if (g_Module) return FALSE;
        g_Module = module;
        if (!GetProcessHeap()) {
            g_Module = nullptr;
            return FALSE;
        }
        DisableThreadLibraryCalls(module);
        CreateDriverLists();
        return TRUE;
    case DLL_PROCESS_DETACH:
        if (module != g_Module) return FALSE;
        g_Module = nullptr;
        FreeDriverLists();
        return TRUE;
    default:
        return TRUE;
    }
}

WAVE_EXPORT DWORD DrvLoad(DWORD_PTR) { return 1; }
WAVE_EXPORT DWORD DrvFree() { return 1; }
WAVE_EXPORT DWORD DrvInstall() { return 1; }
WAVE_EXPORT DWORD DrvPnpInstall() { return 1; }
WAVE_EXPORT DWORD DrvConfigure() { return 1; }
WAVE_EXPORT DWORD DrvRemove() { return 1; }

WAVE_EXPORT DWORD DrvWodMessage(UINT deviceId, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR param2)
{
    switch (message) {
    case WODM_GETNUMDEVS:
        return wodGetNumDevs();
    case WODM_GETDEVCAPS:
        return wodGetDevCaps(deviceId, reinterpret_cast<WAVEOUTCAPSW*>(param1), static_cast<DWORD>(param2));
    case WODM_OPEN:
        return wodOpen(deviceId, reinterpret_cast<DWORD_PTR*>(instance), reinterpret_cast<WAVEOPENDESC*>(param1),
                       static_cast<DWORD>(param2));
    case WODM_CLOSE:
        return CloseWave(DIR_WAVE_OUT, instance);
    case WODM_WRITE:
    case WODM_PAUSE:
    case WODM_RESTART:
    case WODM_RESET:
    case WODM_GETPOS:
    case WODM_GETVOLUME:
    case WODM_SETVOLUME:
        return StreamMessage(DIR_WAVE_OUT, instance);
    case WODM_SETPITCH:
    case WODM_BREAKLOOP:
        return MMSYSERR_NOERROR;
    default:  // WODM_PREPARE, WODM_UNPREPARE, WODM_GETPITCH, the playback rate and the unknown
        return MMSYSERR_NOTSUPPORTED;
    }
}

WAVE_EXPORT DWORD DrvWidMessage(UINT deviceId, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR param2)
{
    switch (message) {
    case WIDM_GETNUMDEVS:
        return widGetNumDevs();
    case WIDM_GETDEVCAPS:
        return widGetDevCaps(deviceId, reinterpret_cast<WAVEINCAPSW*>(param1), static_cast<DWORD>(param2));
    case WIDM_OPEN:
        return widOpen(deviceId, reinterpret_cast<DWORD_PTR*>(instance), reinterpret_cast<WAVEOPENDESC*>(param1),
                       static_cast<DWORD>(param2));
    case WIDM_CLOSE:
        return CloseWave(DIR_WAVE_IN, instance);
    case WIDM_ADDBUFFER:
    case WIDM_START:
    case WIDM_STOP:
    case WIDM_RESET:
    case WIDM_GETPOS:
        return StreamMessage(DIR_WAVE_IN, instance);
    default:  // WIDM_PREPARE, WIDM_UNPREPARE and the unknown
        return MMSYSERR_NOTSUPPORTED;
    }
}

// The exports are what hosts take them for.
static_assert(std::is_same_v<decltype(&DllMain), DllMainProc>);
static_assert(std::is_same_v<decltype(&DrvLoad), DrvLoadProc>);
static_assert(std::is_same_v<decltype(&DrvFree), DrvEntryProc>);
static_assert(std::is_same_v<decltype(&DrvInstall), DrvEntryProc>);
static_assert(std::is_same_v<decltype(&DrvPnpInstall), DrvEntryProc>);
static_assert(std::is_same_v<decltype(&DrvConfigure), DrvEntryProc>);
static_assert(std::is_same_v<decltype(&DrvRemove), DrvEntryProc>);
static_assert(std::is_same_v<decltype(&DrvWodMessage), DrvMessageProc>);
static_assert(std::is_same_v<decltype(&DrvWidMessage), DrvMessageProc>);
