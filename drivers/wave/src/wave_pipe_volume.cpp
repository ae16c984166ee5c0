// A wave stream's volume, carried by its pipes' playback gains: each pipe's
// gain onto the bus of its own number, or, on a card with virtual outputs,
// onto every even bus.
#include <cmath>

#include "wave_pipe.h"

namespace {

constexpr LONG kSilentGain = -32768;       // 1/256 dB
constexpr double kGainPerDecade = 5120.0;  // 20 dB in 1/256 dB, per factor of ten
constexpr DWORD kFullVolume = 0xFFFF;
// Single precision: the volume steps are reckoned with this very value.
constexpr float kVolumeStep = 1.0f / 65535.0f;

// A gain above 0 dB is full volume, so that it never runs into the other half.
DWORD VolumeOf(LONG gain)
{
    if (gain <= kSilentGain) return 0;
    const double volume = std::trunc(std::pow(10.0, gain / kGainPerDecade) * kFullVolume);
    return volume >= kFullVolume ? kFullVolume : static_cast<DWORD>(volume);
}

LONG GainOf(DWORD volume)
{
    if (volume == 0) return kSilentGain;
    return static_cast<LONG>(std::trunc(std::log10(volume * kVolumeStep) * kGainPerDecade));
}

}  // namespace

MMRESULT CWavePipe::GetVolume(DWORD* volume)
{
    if (!volume) return MMSYSERR_INVALPARAM;
    const DWORD left = PipeVolume(m_FirstPipe);
    const DWORD right = PipeVolume(m_FirstPipe + 1);
    *volume = right << 16 | left;
    return MMSYSERR_NOERROR;
}

MMRESULT CWavePipe::SetVolume(DWORD volume)
{
    SetPipeVolume(m_FirstPipe, GainOf(LOWORD(volume)));
    SetPipeVolume(m_FirstPipe + 1, GainOf(HIWORD(volume)));
    return MMSYSERR_NOERROR;
}

DWORD CWavePipe::PipeVolume(WORD pipe)
{
    const CapabilitiesRecord& caps = m_Card->Caps();
    LONG gain = 0;
    if (!caps.VirtualOutputs) {
        m_Card->GetPipeGain(pipe, pipe, &gain);
        return VolumeOf(gain);
    }
    // The average over the busses summed; without a bus there is no volume.
    LONGLONG sum = 0;
    LONG busses = 0;
    for (WORD bus = 0; bus < caps.OutputBusses; bus += 2, ++busses) {
        m_Card->GetPipeGain(pipe, bus, &gain);
        sum += gain;
    }
    return busses != 0 ? VolumeOf(static_cast<LONG>(sum / busses)) : 0;
}

void CWavePipe::SetPipeVolume(WORD pipe, LONG gain)
{
    const CapabilitiesRecord& caps = m_Card->Caps();
    if (!caps.VirtualOutputs) {
        m_Card->SetPipeGain(pipe, pipe, gain);
        return;
    }
    for (WORD bus = 0; bus < caps.OutputBusses; bus += 2) m_Card->SetPipeGain(pipe, bus, gain);
}
