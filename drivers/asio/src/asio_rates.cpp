// What the driver object tells a host about the device: channel counts,
// latencies, buffer sizes, the sample rate of all cards together and the
// one clock source.
#include "asio_driver.h"

#include <atomic>
#include <cmath>

namespace {

// A rate the cards can be asked about: one whose whole part is a u32 from 1 up.
bool IsRate(ASIOSampleRate rate) { return std::isfinite(rate) && rate >= 1.0 && rate < 4294967296.0; }

}  // namespace

ASIOError CAsioDriver::getChannels(LONG* numInputChannels, LONG* numOutputChannels)
{
    if (!numInputChannels || !numOutputChannels) return ASE_InvalidParameter;
    *numInputChannels = static_cast<LONG>(m_InputChannelCount);
    *numOutputChannels = static_cast<LONG>(m_OutputChannelCount);
    return ASE_OK;
}

ASIOError CAsioDriver::getLatencies(LONG* inputLatency, LONG* outputLatency)
{
    if (!inputLatency || !outputLatency) return ASE_InvalidParameter;
    DWORD input = m_InputBufferCount ? m_InputLatencySum / m_InputBufferCount : 0;
    DWORD output = m_OutputBufferCount ? m_OutputLatencySum / m_OutputBufferCount : 0;
    *inputLatency = static_cast<LONG>(m_StreamingSize + input);
    *outputLatency = static_cast<LONG>(m_StreamingSize + output);
    return ASE_OK;
}

ASIOError CAsioDriver::getBufferSize(LONG* minSize, LONG* maxSize, LONG* preferredSize, LONG* granularity)
{
    if (!minSize || !maxSize || !preferredSize || !granularity) return ASE_InvalidParameter;
    *minSize = *maxSize = *preferredSize = static_cast<LONG>(m_PreferredSize);
    *granularity = 0;
    return ASE_OK;
}

ASIOError CAsioDriver::canSampleRate(ASIOSampleRate sampleRate)
{
    if (m_CardCount == 0 || !IsRate(sampleRate)) return ASE_NoClock;
    DWORD rate = static_cast<DWORD>(sampleRate);
    for (DWORD i = 0; i < m_CardCount; ++i)
        if (!m_Cards[i]->Card->CheckSampleRate(rate)) return ASE_NoClock;
    return ASE_OK;
}

ASIOError CAsioDriver::getSampleRate(ASIOSampleRate* sampleRate)
{
    if (!sampleRate) return ASE_InvalidParameter;
    *sampleRate = m_SampleRate;
    return ASE_OK;
}

ASIOError CAsioDriver::setSampleRate(ASIOSampleRate sampleRate)
{
    if (ASIOError error = Asio()->canSampleRate(sampleRate)) return error;
    if (sampleRate == m_SampleRate) return ASE_OK;
    // Every card has just said it can run at this rate.
    DWORD rate = static_cast<DWORD>(sampleRate);
    for (DWORD i = 0; i < m_CardCount; ++i) m_Cards[i]->Card->SetSampleRate(rate);
    m_SampleRate = sampleRate;
    // The buffer-switch thread clears the flags it has shown the host, and the
    // host reads the time info on that thread.
    std::atomic_ref<DWORD>(m_TimeInfo.timeInfo.flags).fetch_or(kSampleRateChanged);
    std::atomic_ref<ASIOSampleRate>(m_TimeInfo.timeInfo.sampleRate).store(sampleRate);
    ASIOCallbacks* callbacks = m_Callbacks;
    if (callbacks && callbacks->sampleRateDidChange) callbacks->sampleRateDidChange(sampleRate);
    return ASE_OK;
}

ASIOError CAsioDriver::getClockSources(ASIOClockSource* clocks, LONG* numSources)
{
    if (!numSources) return ASE_InvalidParameter;
    if (clocks) {
        clocks->index = 0;
        clocks->associatedChannel = -1;
        clocks->associatedGroup = -1;
        clocks->isCurrentSource = ASIOTrue;
        lstrcpyA(clocks->name, "Select from console");
    }
    *numSources = 1;
    return ASE_OK;
}

ASIOError CAsioDriver::setClockSource(LONG) { return ASE_OK; }
