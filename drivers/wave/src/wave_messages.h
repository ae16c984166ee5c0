// The handlers of the wave-out and wave-in messages that are not a stream's own.
#pragma once

#include <mmsystem.h>
#include <windows.h>

#include "wave_pipe.h"

DWORD wodGetNumDevs();
DWORD widGetNumDevs();
MMRESULT wodGetDevCaps(UINT deviceId, WAVEOUTCAPSW* caps, DWORD size);
MMRESULT widGetDevCaps(UINT deviceId, WAVEINCAPSW* caps, DWORD size);
MMRESULT wodOpen(UINT deviceId, DWORD_PTR* instance, const WAVEOPENDESC* description, DWORD openFlags);
MMRESULT widOpen(UINT deviceId, DWORD_PTR* instance, const WAVEOPENDESC* description, DWORD openFlags);
MMRESULT CloseWave(DWORD direction, DWORD_PTR instance);
// The stream `instance` names among the open streams of `direction`, or null.
CWavePipe* FindOpenClient(DWORD direction, DWORD_PTR instance);
