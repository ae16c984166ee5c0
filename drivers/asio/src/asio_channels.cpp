// The device's channels: what each one is and the name it shows a host.
#include "asio_driver.h"

namespace {

constexpr DWORD INPUT_DUMMY = 0x40000000;  // the capabilities' per-input flag of a pipe with nothing behind it

}  // namespace

ASIOError CAsioDriver::getChannelInfo(ASIOChannelInfo* info)
{
    if (!info) return ASE_InvalidParameter;
    bool input = info->isInput != ASIOFalse;
    DWORD count = input ? m_InputChannelCount : m_OutputChannelCount;
    if (info->channel < 0 || static_cast<DWORD>(info->channel) >= count) return ASE_InvalidParameter;
    const AsioChannel& channel = (input ? m_InputChannels : m_OutputChannels)[info->channel];
    info->isActive = channel.InUse ? ASIOTrue : ASIOFalse;
    info->channelGroup = 0;
    info->type = ASIOSTInt32LSB;
    BuildChannelName(channel, input, info->name);
    return ASE_OK;
}

void CAsioDriver::BuildChannelName(const AsioChannel& channel, bool input, char (&name)[32]) const
{
    const CAsioCard& card = *channel.Card;
    const CapabilitiesRecord& caps = card.Card->Caps();
    const char* cardName = card.Card->GetCardName();
    const bool adat = card.DigitalMode == DIGITAL_MODE_ADAT;
    const int pipe = channel.Pipe;
    const char* label;
    int n;
    // Card names run to 127 characters: the whole name is made here, then cut to the field.
    char text[256];
    if (input) {
        if (caps.InputFlags[pipe] & INPUT_DUMMY) {
            label = "dummy ";
            n = pipe;
        } else if (pipe < caps.AnalogInputPipes) {
            label = "analog ";
            n = pipe;
        } else {
            label = adat ? "ADAT " : "S/PDIF";
            n = pipe - caps.AnalogInputPipes;
        }
        wsprintfA(text, "%s %s%d", cardName, label, n + 1);
    } else {
        bool spdif = false;
        if (card.VirtualOutputs) {
            label = m_ShortNames ? "V" : "virtual ";
            n = pipe;
        } else if (pipe < caps.AnalogOutputPipes) {
            label = m_ShortNames ? "A" : "analog ";
            n = pipe;
        } else {
            spdif = !adat;
            label = m_ShortNames ? "D" : (adat ? "ADAT " : "S/PDIF");
            n = pipe - caps.AnalogOutputPipes;
        }
        // Outputs pair up: the first of a pair names both, but an S/PDIF pair's first names neither.
        if (n % 2 == 1)
            wsprintfA(text, "%s %s%d", cardName, label, n + 1);
        else if (spdif)
            wsprintfA(text, "%s %s", cardName, label);
        else
            wsprintfA(text, "%s %s%d/%d", cardName, label, n + 1, n + 2);
    }
    lstrcpynA(name, text, sizeof name);
}
