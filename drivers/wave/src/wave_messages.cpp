// Device counts, capabilities, open and close.
#include "wave_messages.h"

#include <algorithm>
#include <type_traits>

#include "daveror_trace.h"
#include "driver_lists.h"

namespace {

// The subsystem vendor of the cards' hardware ids.
constexpr WORD kManufacturerId = 0xA5C3;
constexpr WORD kProductId = 2;
constexpr MMVERSION kDriverVersion = 1;
constexpr DWORD kFormats = 0xFFF;  // WAVE_FORMAT_1M08 to WAVE_FORMAT_4S16
constexpr WORD kChannels = 2;

// The caller's structure may be shorter than ours: it gets the first `size` bytes of it.
template <typename Caps>
MMRESULT GetDevCaps(DWORD direction, UINT deviceId, Caps* caps, DWORD size)
{
    BuildDeviceList();
    CDeviceList* list = DeviceList();
    if (!list) return MMSYSERR_INVALPARAM;
    // An id at the count is let through, to be refused as no device.
    if (deviceId > list->DeviceCount(direction) || !caps) return MMSYSERR_INVALPARAM;
    Caps full{};
    const MMRESULT result = list->GetDevCaps(static_cast<WORD>(deviceId), direction, full.szPname);
    if (result == MMSYSERR_NOERROR) {
        full.wMid = kManufacturerId;
        full.wPid = kProductId;
        full.vDriverVersion = kDriverVersion;
        full.dwFormats = kFormats;
        full.wChannels = kChannels;
        if constexpr (std::is_same_v<Caps, WAVEOUTCAPSW>) full.dwSupport = WAVECAPS_VOLUME | WAVECAPS_LRVOLUME;
    }
    CopyMemory(caps, &full, std::min<DWORD>(size, sizeof full));
    return result;
}

MMRESULT OpenWave(DWORD direction, UINT deviceId, DWORD_PTR* instance, const WAVEOPENDESC* description,
                  DWORD openFlags)
{
    if (!instance) {
        if (direction == DIR_WAVE_OUT) DaverorTrace("wodOpen: No client ptr!");
        return MMSYSERR_INVALPARAM;
    }
    if (!description || !description->lpFormat) return MMSYSERR_INVALPARAM;
    BuildDeviceList();
    CDeviceList* list = DeviceList();
    if (!list) return MMSYSERR_BADDEVICEID;
    // The whole id is checked: its low 16 bits alone may name another device.
    if (deviceId >= list->DeviceCount(direction)) return MMSYSERR_BADDEVICEID;
    const WORD id = static_cast<WORD>(deviceId);
    if (MMRESULT result = list->CheckFormat(id, direction, *description->lpFormat)) return result;
    if (openFlags & WAVE_FORMAT_QUERY) return MMSYSERR_NOERROR;
    return list->OpenWaveClient(id, direction, *description, openFlags, instance);
}

}  // namespace

DWORD wodGetNumDevs() { return CountCardDevices(DIR_WAVE_OUT); }

DWORD widGetNumDevs() { return CountCardDevices(DIR_WAVE_IN); }

MMRESULT wodGetDevCaps(UINT deviceId, WAVEOUTCAPSW* caps, DWORD size)
{
    return GetDevCaps(DIR_WAVE_OUT, deviceId, caps, size);
}

MMRESULT widGetDevCaps(UINT deviceId, WAVEINCAPSW* caps, DWORD size)
{
    return GetDevCaps(DIR_WAVE_IN, deviceId, caps, size);
}

MMRESULT wodOpen(UINT deviceId, DWORD_PTR* instance, const WAVEOPENDESC* description, DWORD openFlags)
{
    return OpenWave(DIR_WAVE_OUT, deviceId, instance, description, openFlags);
}

MMRESULT widOpen(UINT deviceId, DWORD_PTR* instance, const WAVEOPENDESC* description, DWORD openFlags)
{
    return OpenWave(DIR_WAVE_IN, deviceId, instance, description, openFlags);
}

CWavePipe* FindOpenClient(DWORD direction, DWORD_PTR instance)
{
    CDeviceList* list = DeviceList();
    if (!list || !list->IsOpenClient(direction, instance)) return nullptr;
    return reinterpret_cast<CWavePipe*>(instance);
}

MMRESULT CloseWave(DWORD direction, DWORD_PTR instance)
{
    CWavePipe* pipe = FindOpenClient(direction, instance);
    if (!pipe) return MMSYSERR_INVALPARAM;
    if (MMRESULT result = pipe->Close()) return result;
    DeviceList()->CloseWaveClient(pipe);
    return MMSYSERR_NOERROR;
}
