// IASIO, the interface an ASIO driver object offers its host, with its
// operations in the published order after IUnknown's. A host asks the
// driver object for it under the driver's own class identifier.
#pragma once

#include "asio/asio_types.h"
#include "com/unknown.h"

class IASIO : public IUnknown {
public:
    virtual ASIOBool init(void* sysHandle) = 0;
    virtual void getDriverName(char* name) = 0;  // at most 32 bytes
    virtual LONG getDriverVersion() = 0;
    virtual void getErrorMessage(char* text) = 0;  // at most 124 bytes
    virtual ASIOError start() = 0;
    virtual ASIOError stop() = 0;
    virtual ASIOError getChannels(LONG* numInputChannels, LONG* numOutputChannels) = 0;
    virtual ASIOError getLatencies(LONG* inputLatency, LONG* outputLatency) = 0;
    virtual ASIOError getBufferSize(LONG* minSize, LONG* maxSize, LONG* preferredSize, LONG* granularity) = 0;
    virtual ASIOError canSampleRate(ASIOSampleRate sampleRate) = 0;
    virtual ASIOError getSampleRate(ASIOSampleRate* sampleRate) = 0;
    virtual ASIOError setSampleRate(ASIOSampleRate sampleRate) = 0;
    virtual ASIOError getClockSources(ASIOClockSource* clocks, LONG* numSources) = 0;
    virtual ASIOError setClockSource(LONG reference) = 0;
    virtual ASIOError getSamplePosition(ASIOSamples* samplePosition, ASIOTimeStamp* timeStamp) = 0;
    virtual ASIOError getChannelInfo(ASIOChannelInfo* info) = 0;
    virtual ASIOError createBuffers(ASIOBufferInfo* bufferInfos, LONG numChannels, LONG bufferSize,
                                    ASIOCallbacks* callbacks) = 0;
    virtual ASIOError disposeBuffers() = 0;
    virtual ASIOError controlPanel() = 0;
    virtual ASIOError future(LONG selector, void* opt) = 0;
    virtual ASIOError outputReady() = 0;

protected:
    ~IASIO() = default;
};
