// The host's double buffers, which are the cards' own pipe buffers: made by
// createBuffers on every card that carries a requested channel, with its
// transport, its reservations and its position counter, and given back by
// disposeBuffers.
#include "asio_driver.h"

#include <new>

namespace {

// The card driver's reservation mode of a streaming client.
constexpr DWORD RESERVE_STREAMING = 1;
constexpr DWORD TIME_INFO_VALID = kSystemTimeValid | kSamplePositionValid | kSampleRateValid;

}  // namespace

ASIOError CAsioDriver::createBuffers(ASIOBufferInfo* bufferInfos, LONG numChannels, LONG bufferSize,
                                     ASIOCallbacks* callbacks)
{
    if (m_State == 0) return ASE_NotPresent;
    // Refused before anything is given back: no channel would leave the thread
    // no event to wait on, and a double buffer needs a frame at least.
    if (numChannels <= 0 || bufferSize <= 0) return ASE_InvalidMode;
    if (!bufferInfos) return ASE_InvalidParameter;
    Asio()->disposeBuffers();

    m_OutputLatencySum = 0;
    m_InputLatencySum = 0;
    DWORD inputs = 0;
    for (LONG i = 0; i < numChannels; ++i)
        if (bufferInfos[i].isInput) ++inputs;
    m_OutputBuffers = new (std::nothrow) AsioChannel[static_cast<DWORD>(numChannels) - inputs]();
    m_InputBuffers = new (std::nothrow) AsioChannel[inputs]();
    if (!m_OutputBuffers || !m_InputBuffers) return FailBuffers(ASE_NoMemory);

    // The host's size is the one it prefers from now on.
    m_PreferredSize = static_cast<DWORD>(bufferSize);
    SetStreamingSize(m_PreferredSize);
    m_ActiveCardCount = 0;
    for (LONG i = 0; i < numChannels; ++i) {
        ASIOBufferInfo& info = bufferInfos[i];
        const bool input = info.isInput != ASIOFalse;
        const DWORD direction = input ? DIRECTION_INPUT : DIRECTION_OUTPUT;
        if (info.channelNum < 0 ||
            static_cast<DWORD>(info.channelNum) >= (input ? m_InputChannelCount : m_OutputChannelCount))
            return FailBuffers(ASE_InvalidParameter);

        AsioChannel& channel = (input ? m_InputChannels : m_OutputChannels)[info.channelNum];
        CAsioCard* card = channel.Card;
        channel.InUse = 1;
        if (input)
            m_InputBuffers[m_InputBufferCount++] = {card, channel.Pipe, 1};
        else
            m_OutputBuffers[m_OutputBufferCount++] = {card, channel.Pipe, 1};
        LONG& highest = input ? card->HighestInput : card->HighestOutput;
        if (channel.Pipe > highest) highest = channel.Pipe;

        if (!card->Active) {
            card->Card->OpenTransport();
            card->Event = card->Card->GetTransportEvent();
            if (!card->Event) {
                // Not active yet, so disposeBuffers would leave this transport open.
                card->Card->CloseTransport();
                return FailBuffers(ASE_NotPresent);
            }
            card->Active = 1;
            ++m_ActiveCardCount;
        }
        if (card->Card->ReservePipes(RESERVE_STREAMING, direction, channel.Pipe, 1) != 0)
            return FailBuffers(ASE_NotPresent);
        BYTE* buffer = static_cast<BYTE*>(card->Card->MapPipeBuffer(direction, channel.Pipe, 2 * m_StreamingSize));
        if (!buffer) {
            info.buffers[0] = info.buffers[1] = nullptr;
            return FailBuffers(ASE_NoMemory);
        }
        info.buffers[0] = buffer;
        info.buffers[1] = buffer + static_cast<SIZE_T>(m_StreamingSize) * 4;
        (input ? m_InputLatencySum : m_OutputLatencySum) +=
            card->Card->GetPipeLatency(channel.Pipe, static_cast<WORD>(direction));
    }

    // One counter per card: its highest input pipe's, else its highest output pipe's.
    for (DWORD i = 0; i < m_CardCount; ++i) {
        CAsioCard* card = m_Cards[i];
        if (!card->Active) continue;
        card->Position = card->HighestInput >= 0
                             ? card->Card->MapPipePosition(DIRECTION_INPUT, static_cast<WORD>(card->HighestInput))
                             : card->Card->MapPipePosition(DIRECTION_OUTPUT, static_cast<WORD>(card->HighestOutput));
        if (!card->Position) return FailBuffers(ASE_NotPresent);
    }

    m_Callbacks = callbacks;
    m_TimeInfoMode = 0;
    if (callbacks && callbacks->asioMessage && callbacks->asioMessage(kAsioSupportsTimeInfo, 0, nullptr, nullptr))
        SetUpTimeInfo();
    m_State = 2;
    return ASE_OK;
}

void CAsioDriver::SetStreamingSize(DWORD size)
{
    m_StreamingSize = size;
    m_PositionMask = 2 * size - 1;
}

ASIOError CAsioDriver::FailBuffers(ASIOError error)
{
    Asio()->disposeBuffers();
    return error;
}

void CAsioDriver::SetUpTimeInfo()
{
    m_TimeInfoMode = 1;
    AsioTimeInfo& time = m_TimeInfo.timeInfo;
    time.speed = 1.0;
    time.systemTime = {};
    time.samplePosition = {};
    time.sampleRate = m_SampleRate;
    time.flags = TIME_INFO_VALID;
    ASIOTimeCode& code = m_TimeInfo.timeCode;
    code.speed = 1.0;
    code.timeCodeSamples = {};
    code.flags = 0;
}

ASIOError CAsioDriver::disposeBuffers()
{
    // A thread that outlives the waits below finds neither callbacks nor a
    // reset to send through them.
    m_Callbacks = nullptr;
    m_ResetRequest = 0;
    Asio()->stop();
    // A thread that outlived stop's wait is still in the host's callback, in
    // these buffers: their transports close only after it has ended.
    WaitForThread();
    SetStreamingSize(m_PreferredSize);

    for (DWORD i = 0; i < m_OutputChannelCount; ++i) m_OutputChannels[i].InUse = 0;
    for (DWORD i = 0; i < m_InputChannelCount; ++i) m_InputChannels[i].InUse = 0;
    for (DWORD i = 0; i < m_CardCount; ++i) {
        CAsioCard* card = m_Cards[i];
        // The close also closes the event, and ends the reservations and mappings.
        if (card->Active) card->Card->CloseTransport();
        card->Active = 0;
        card->Event = nullptr;
        card->Position = nullptr;
        card->HighestOutput = -1;
        card->HighestInput = -1;
    }
    delete[] m_OutputBuffers;
    delete[] m_InputBuffers;
    m_OutputBuffers = m_InputBuffers = nullptr;
    m_OutputBufferCount = m_InputBufferCount = 0;
    m_ActiveCardCount = 0;
    // A driver not yet initialised stays so, or init would find no cards.
    if (m_State != 0) m_State = 1;
    return ASE_OK;
}
