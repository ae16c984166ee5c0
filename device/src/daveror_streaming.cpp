// The streaming half of the card driver's protocol: pipe checks, buffer and
// position mappings, the transport event, sample rate, start, stop and pause,
// and the two mixer requests only the ASIO driver sends.
#include "daveror.h"

#include <cstdint>

#include "daveror_lock.h"
#include "transport_event.h"

namespace {

// The card driver answers with addresses in 32 bits (below 4 GiB).
template <typename T>
T* FromAddress(DWORD address)
{
    return reinterpret_cast<T*>(static_cast<std::uintptr_t>(address));
}

}  // namespace

DWORD CDaveror::StreamRequest(DWORD code, DWORD input, DWORD failed)
{
    DWORD result = failed;
    Ioctl(code, &input, sizeof input, &result, sizeof result);
    return result;
}

DWORD CDaveror::CheckPipes(DWORD direction, WORD firstPipe, WORD pipeCount)
{
    PipeCheck check = {direction, firstPipe, pipeCount};
    DWORD result = DAVEROR_FAILED;  // unusable unless the card driver says otherwise
    Ioctl(IOCTL_CHECK_PIPES, &check, sizeof check, &result, sizeof result);
    return result;
}

void* CDaveror::MapPipeBuffer(DWORD direction, WORD pipe, DWORD frames)
{
    PipeBufferRequest request = {m_TransportCookie, direction, pipe, 0, frames};
    DWORD address = 0;
    Ioctl(IOCTL_MAP_PIPE_BUFFER, &request, sizeof request, &address, sizeof address);
    return FromAddress<void>(address);
}

DWORD* CDaveror::MapPipePosition(DWORD direction, WORD pipe)
{
    PipePositionRequest request = {m_TransportCookie, direction, pipe, 0};
    DWORD address = 0;
    Ioctl(IOCTL_MAP_PIPE_POSITION, &request, sizeof request, &address, sizeof address);
    return FromAddress<DWORD>(address);
}

HANDLE CDaveror::GetTransportEvent()
{
    if (m_TransportEvent) return m_TransportEvent;
    CDaverorLock lock(m_Mutex);
    HANDLE event = CreateTransportEvent(m_EventName);
    if (!event) return nullptr;
    TransportEventRecord record = {m_TransportCookie, static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(event))};
    // Refused unless the card driver says it took the event: an event it never
    // sets would leave the caller waiting forever.
    DWORD status = DAVEROR_FAILED;
    if (!Ioctl(IOCTL_SET_TRANSPORT_EVENT, &record, sizeof record, &status, sizeof status) || status != 0) {
        CloseHandle(event);
        event = nullptr;
    }
    m_TransportEvent = event;
    return m_TransportEvent;
}

DWORD CDaveror::CheckSampleRate(DWORD rate) { return StreamRequest(IOCTL_CHECK_SAMPLE_RATE, rate, 0); }

DWORD CDaveror::SetSampleRate(DWORD rate) { return StreamRequest(IOCTL_SET_SAMPLE_RATE, rate, DAVEROR_FAILED); }

DWORD CDaveror::StartTransport() { return StreamRequest(IOCTL_START_TRANSPORT, m_TransportCookie, DAVEROR_FAILED); }

DWORD CDaveror::StopTransport() { return StreamRequest(IOCTL_STOP_TRANSPORT, m_TransportCookie, DAVEROR_FAILED); }

DWORD CDaveror::PauseTransport() { return StreamRequest(IOCTL_PAUSE_TRANSPORT, m_TransportCookie, DAVEROR_FAILED); }

DWORD CDaveror::SetMonitor(WORD inputBus, WORD outputBus, DWORD mute, LONG gain, DWORD pan)
{
    MonitorRequest request;
    ZeroMemory(&request, sizeof request);
    request.Count = 3;
    const DWORD commands[3] = {CMD_SET_MONITOR_MUTE, CMD_SET_MONITOR_PAN, CMD_SET_MONITOR_GAIN};
    const DWORD values[3] = {mute, pan, static_cast<DWORD>(gain)};
    for (int i = 0; i < 3; ++i) {
        MixerMessage& message = request.Messages[i];
        message.Reserved = 0xFFFF;
        message.Channel = inputBus;
        message.Command = commands[i];
        message.SetWord(0x10, outputBus);
        message.SetDword(0x14, values[i]);
    }
    if (!SendMixerMessage(&request, sizeof request)) return DAVEROR_FAILED;
    return request.Messages[0].Status;
}

DWORD CDaveror::GetPipeLatency(WORD pipe, WORD direction)
{
    MixerRequest request;
    ZeroMemory(&request, sizeof request);
    request.Count = 1;
    MixerMessage& message = request.Messages[0];
    message.Command = CMD_GET_PIPE_LATENCY;
    message.SetWord(0x10, pipe);
    message.SetWord(0x12, direction);
    // Not sent: no latency, rather than whatever the buffer held.
    if (!SendMixerMessage(&request, sizeof request)) return 0;
    return message.GetDword(0x14);
}
