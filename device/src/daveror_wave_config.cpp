// The wave driver's card keeps the card's wave-device configuration, read from
// the registry, and numbers the Nimbrel devices in it.
#include "daveror.h"

namespace {

DWORD EntryCount(WORD count)
{
    // A record holds 16 entries per direction, whatever its count says.
    return count > WAVE_CONFIG_ENTRIES ? WAVE_CONFIG_ENTRIES : count;
}

DWORD CountNimbrel(const WaveConfigEntry* entries, WORD count)
{
    DWORD devices = 0;
    for (DWORD i = 0; i < EntryCount(count); ++i)
        if (entries[i].Mode == WAVE_MODE_NIMBREL) ++devices;
    return devices;
}

// Entries take the pipes of their direction in order, whatever their mode.
bool FindNimbrel(const WaveConfigEntry* entries, WORD count, DWORD n, WORD* firstPipe, WORD* width)
{
    DWORD pipe = 0;
    DWORD found = 0;
    for (DWORD i = 0; i < EntryCount(count); ++i) {
        if (entries[i].Mode == WAVE_MODE_NIMBREL && found++ == n) {
            *firstPipe = static_cast<WORD>(pipe);
            *width = entries[i].Width;
            return true;
        }
        pipe += entries[i].Width;
    }
    return false;
}

}  // namespace

void CDaveror::StoreWaveConfig(const WaveConfigRecord* record) { CopyMemory(&m_WaveConfig, record, sizeof m_WaveConfig); }

DWORD CDaveror::CountWaveOutDevices() const { return CountNimbrel(m_WaveConfig.Outputs, m_WaveConfig.OutputCount); }

DWORD CDaveror::CountWaveInDevices() const { return CountNimbrel(m_WaveConfig.Inputs, m_WaveConfig.InputCount); }

bool CDaveror::FindWaveOutDevice(DWORD n, WORD* firstPipe, WORD* width) const
{
    return FindNimbrel(m_WaveConfig.Outputs, m_WaveConfig.OutputCount, n, firstPipe, width);
}

bool CDaveror::FindWaveInDevice(DWORD n, WORD* firstPipe, WORD* width) const
{
    return FindNimbrel(m_WaveConfig.Inputs, m_WaveConfig.InputCount, n, firstPipe, width);
}
