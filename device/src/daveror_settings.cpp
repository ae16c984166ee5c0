// Card settings with control codes of their own: the wave-device
// configuration, the card name, the buffer sizes and the speaker delays.
#include "daveror.h"

namespace {

constexpr DWORD kCardNameBytes = sizeof(CapabilitiesRecord::CardName);

bool IsGsifBufferSize(DWORD size)
{
    for (DWORD allowed : {64u, 128u, 256u, 512u, 1024u, 2048u})
        if (size == allowed) return true;
    return false;
}

}  // namespace

BOOL CDaveror::GetWaveConfig(WaveConfigRecord* record)
{
    return Ioctl(IOCTL_GET_WAVE_CONFIG, NULL, 0, record, sizeof *record);
}

BOOL CDaveror::SetWaveConfig(const WaveConfigRecord* record)
{
    WaveConfigRecord copy = *record;
    return Ioctl(IOCTL_SET_WAVE_CONFIG, &copy, sizeof copy, NULL, 0);
}

BOOL CDaveror::SetCardName(const char* name)
{
    if (!name) return 0;  // no name is not the empty name
    DWORD length = static_cast<DWORD>(lstrlenA(name)) + 1;
    if (length > kCardNameBytes) return 0;
    char buffer[kCardNameBytes];
    CopyMemory(buffer, name, length);
    return Ioctl(IOCTL_SET_CARD_NAME, buffer, length, NULL, 0);
}

BOOL CDaveror::GetWaveBufferSize(DWORD* size) { return Ioctl(IOCTL_GET_WAVE_BUFFER_SIZE, NULL, 0, size, sizeof *size); }

BOOL CDaveror::SetWaveBufferSize(DWORD size) { return Ioctl(IOCTL_SET_WAVE_BUFFER_SIZE, &size, sizeof size, NULL, 0); }

BOOL CDaveror::GetGsifBufferSize(DWORD* size) { return Ioctl(IOCTL_GET_GSIF_BUFFER_SIZE, NULL, 0, size, sizeof *size); }

BOOL CDaveror::SetGsifBufferSize(DWORD size)
{
    if (!IsGsifBufferSize(size)) return 0;
    return Ioctl(IOCTL_SET_GSIF_BUFFER_SIZE, &size, sizeof size, NULL, 0);
}

BOOL CDaveror::SetSpeakerDelay(DWORD speaker, DWORD delay)
{
    SpeakerDelayRecord record = {speaker, delay};
    return Ioctl(IOCTL_SET_SPEAKER_DELAY, &record, sizeof record, NULL, 0);
}

void CDaveror::GetSpeakerDelay(DWORD speaker, DWORD* delay)
{
    SpeakerDelayRecord record = {speaker, 0};
    Ioctl(IOCTL_GET_SPEAKER_DELAY, &record, sizeof record, &record, sizeof record);
    *delay = record.Delay;
}
