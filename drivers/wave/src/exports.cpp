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

// A message for an open stream: `instance` must name one of `direction`.
template <typename Handler>
MMRESULT OnStream(DWORD direction, DWORD_PTR instance, Handler handler)
{
    CWavePipe* pipe = FindOpenClient(direction, instance);
    return pipe ? handler(*pipe) : MMSYSERR_INVALPARAM;
}

WAVEHDR* Header(DWORD_PTR param) { return reinterpret_cast<WAVEHDR*>(param); }
MMTIME* Time(DWORD_PTR param) { return reinterpret_cast<MMTIME*>(param); }

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
        return OnStream(DIR_WAVE_OUT, instance, [&](CWavePipe& pipe) { return pipe.Write(Header(param1)); });
    case WODM_PAUSE:
        return OnStream(DIR_WAVE_OUT, instance, [](CWavePipe& pipe) { return pipe.Pause(); });
    case WODM_RESTART:
        return OnStream(DIR_WAVE_OUT, instance, [](CWavePipe& pipe) { return pipe.Restart(); });
    case WODM_RESET:
        return OnStream(DIR_WAVE_OUT, instance, [](CWavePipe& pipe) { return pipe.Reset(); });
    case WODM_GETPOS:
        return OnStream(DIR_WAVE_OUT, instance, [&](CWavePipe& pipe) {
            return pipe.GetPosition(Time(param1), static_cast<UINT>(param2));
        });
    case WODM_GETVOLUME:
        return OnStream(DIR_WAVE_OUT, instance,
                        [&](CWavePipe& pipe) { return pipe.GetVolume(reinterpret_cast<DWORD*>(param1)); });
    case WODM_SETVOLUME:
        return OnStream(DIR_WAVE_OUT, instance,
                        [&](CWavePipe& pipe) { return pipe.SetVolume(static_cast<DWORD>(param1)); });
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
        return OnStream(DIR_WAVE_IN, instance, [&](CWavePipe& pipe) { return pipe.AddBuffer(Header(param1)); });
    case WIDM_START:
        return OnStream(DIR_WAVE_IN, instance, [](CWavePipe& pipe) { return pipe.Restart(); });
    case WIDM_STOP:
        return OnStream(DIR_WAVE_IN, instance, [](CWavePipe& pipe) { return pipe.Pause(); });
    case WIDM_RESET:
        return OnStream(DIR_WAVE_IN, instance, [](CWavePipe& pipe) { return pipe.Reset(); });
    case WIDM_GETPOS:
        return OnStream(DIR_WAVE_IN, instance, [&](CWavePipe& pipe) {
            return pipe.GetPosition(Time(param1), static_cast<UINT>(param2));
        });
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
