// The mixer session and the one-message requests every mixer wrapper sends.
#include "daveror.h"

#include "daveror_lock.h"

namespace {

// Every request starts zeroed: nothing of an earlier call travels to the card
// driver, and a request that fails hands back 0 and not a stale value.
void Fill(MixerRequest& request, DWORD command, WORD channel, DWORD kind, DWORD noKind)
{
    ZeroMemory(&request, sizeof request);
    request.Count = 1;
    MixerMessage& message = request.Messages[0];
    message.Command = command;
    message.Channel = channel;
    if (kind != noKind) message.Kind = kind;
}

}  // namespace

int CDaveror::SendMixerMessage(void* request, DWORD size)
{
    if (!m_Ok) return 0;
    return Ioctl(IOCTL_MIXER_MESSAGE, request, size, request, size);
}

DWORD CDaveror::Transact(MixerRequest& request)
{
    return SendMixerMessage(&request, sizeof request) ? request.Messages[0].Status : DAVEROR_FAILED;
}

DWORD CDaveror::GetValue(DWORD command, WORD channel, DWORD kind, DWORD* value)
{
    MixerRequest request;
    Fill(request, command, channel, kind, NoKind);
    DWORD status = Transact(request);
    *value = request.Messages[0].GetDword(0x10);
    return status;
}

DWORD CDaveror::SetValue(DWORD command, WORD channel, DWORD kind, DWORD value)
{
    MixerRequest request;
    Fill(request, command, channel, kind, NoKind);
    request.Messages[0].SetDword(0x10, value);
    return Transact(request);
}

DWORD CDaveror::GetRouted(DWORD command, WORD channel, DWORD kind, WORD bus, DWORD* value)
{
    MixerRequest request;
    Fill(request, command, channel, kind, NoKind);
    request.Messages[0].SetWord(0x10, bus);
    DWORD status = Transact(request);
    *value = request.Messages[0].GetDword(0x14);
    return status;
}

DWORD CDaveror::SetRouted(DWORD command, WORD channel, DWORD kind, WORD bus, DWORD value)
{
    MixerRequest request;
    Fill(request, command, channel, kind, NoKind);
    request.Messages[0].SetWord(0x10, bus);
    request.Messages[0].SetDword(0x14, value);
    return Transact(request);
}

DWORD CDaveror::GetWordValue(DWORD command, DWORD* value)
{
    MixerRequest request;
    Fill(request, command, 0, NoKind, NoKind);
    DWORD status = Transact(request);
    *value = request.Messages[0].GetWord(0x10);
    return status;
}

DWORD CDaveror::SetWordValue(DWORD command, WORD value)
{
    MixerRequest request;
    Fill(request, command, 0, NoKind, NoKind);
    request.Messages[0].SetWord(0x10, value);
    return Transact(request);
}

int CDaveror::OpenMixer()
{
    CDaverorLock lock(m_Mutex);
    // A session left open (a restart that did not happen leaves the card open)
    // ends before the next begins, or the card driver would keep it.
    if (m_MixerCookie != 0) CloseMixer();

    if (m_Handle != INVALID_HANDLE_VALUE) {
        DWORD cookie = 0;
        if (!Ioctl(IOCTL_OPEN_MIXER, NULL, 0, &cookie, sizeof cookie) || cookie == 0) {
            SetError("Could not get mixer cookie");
            return DAVEROR_NO_COOKIE;
        }
        m_MixerCookie = cookie;
        ZeroMemory(&m_Meters, sizeof m_Meters);
        m_Meters.MixerCookie = cookie;
    }

    MixerRequest request;
    Fill(request, CMD_SET_METERS, 0, NoKind, NoKind);
    request.Messages[0].SetDword(0x10, 1);
    // The ok flag takes the send result; once clear it stays clear, since a
    // card with the flag clear sends nothing.
    m_Ok = SendMixerMessage(&request, sizeof request);
    if (!m_Ok) {
        SetError("Could not turn on meters\n");
        return DAVEROR_NO_METERS;
    }
    return DAVEROR_OK;
}

int CDaveror::CloseMixer()
{
    CDaverorLock lock(m_Mutex);
    if (m_Ok && m_Handle != INVALID_HANDLE_VALUE && m_MixerCookie != 0) {
        SetValue(CMD_SET_METERS, 0, NoKind, 0);
        DWORD cookie = m_MixerCookie;
        Ioctl(IOCTL_CLOSE_MIXER, &cookie, sizeof cookie, NULL, 0);
    }
    m_MixerCookie = 0;
    return DAVEROR_OK;
}
