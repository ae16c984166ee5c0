// CAsioDriver, the ASIO driver object: the channels of every usable card as
// one device. It puts its IASIO table first, whose IUnknown methods forward to
// the outer unknown, and its CUnknown right after it.
#pragma once

#include <objbase.h>

#include "asio/iasio.h"
#include "daveror.h"
#include "daveror_list.h"
#include "unknown.h"

// The most usable pipes a card offers in one direction.
constexpr int MAX_CARD_PIPES = 32;
// The card's digital mode in which its digital pipes carry ADAT; S/PDIF otherwise.
constexpr DWORD DIGITAL_MODE_ADAT = 2;

// One kept card: its usable pipes and, while buffers exist, its transport.
struct CAsioCard {
    CDaveror* Card;        // the card list's
    DWORD DigitalMode;     // the card's digital mode; 2 = ADAT
    DWORD VirtualOutputs;  // from the capabilities
    WORD OutputCount;      // usable output pipes
    WORD InputCount;       // usable input pipes
    WORD OutputPipes[MAX_CARD_PIPES];
    WORD InputPipes[MAX_CARD_PIPES];
    LONG HighestOutput;    // highest output pipe in use, -1 = none
    LONG HighestInput;     // highest input pipe in use, -1 = none
    DWORD* Position;       // the transport's position counter
    HANDLE Event;          // the transport event
    DWORD Active;          // the transport is open
    DWORD LastPosition;
};

// A channel of the device: one pipe of one kept card.
struct AsioChannel {
    CAsioCard* Card;
    WORD Pipe;
    DWORD InUse;  // channel tables: a buffer exists for it; buffer tables: always 1
};

// The IUnknown methods of IASIO, which go to the object's outer unknown.
// They are final, and apart from the non-delegating ones of CUnknown.
template <class Object>
class CAsioForwarder : public IASIO {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) final { return Outer()->QueryInterface(iid, out); }
    ULONG STDMETHODCALLTYPE AddRef() final { return Outer()->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() final { return Outer()->Release(); }

protected:
    ~CAsioForwarder() = default;

private:
    IUnknown* Outer() { return static_cast<Object*>(this)->GetOwner(); }
};

class CAsioDriver final : public CAsioForwarder<CAsioDriver>, public CUnknown {
public:
    // The class table's creator: null when memory runs out.
    static CUnknown* CreateInstance(IUnknown* outer, HRESULT* result);

    explicit CAsioDriver(IUnknown* outer);
    ~CAsioDriver() override;

    HRESULT NonDelegatingQueryInterface(REFIID iid, void** out) override;

    ASIOBool init(void* sysHandle) override;
    void getDriverName(char* name) override;
    LONG getDriverVersion() override;
    void getErrorMessage(char* text) override;
    ASIOError start() override;
    ASIOError stop() override;
    ASIOError getChannels(LONG* numInputChannels, LONG* numOutputChannels) override;
    ASIOError getLatencies(LONG* inputLatency, LONG* outputLatency) override;
    ASIOError getBufferSize(LONG* minSize, LONG* maxSize, LONG* preferredSize, LONG* granularity) override;
    ASIOError canSampleRate(ASIOSampleRate sampleRate) override;
    ASIOError getSampleRate(ASIOSampleRate* sampleRate) override;
    ASIOError setSampleRate(ASIOSampleRate sampleRate) override;
    ASIOError getClockSources(ASIOClockSource* clocks, LONG* numSources) override;
    ASIOError setClockSource(LONG reference) override;
    ASIOError getSamplePosition(ASIOSamples* samplePosition, ASIOTimeStamp* timeStamp) override;
    ASIOError getChannelInfo(ASIOChannelInfo* info) override;
    ASIOError createBuffers(ASIOBufferInfo* bufferInfos, LONG numChannels, LONG bufferSize,
                            ASIOCallbacks* callbacks) override;
    ASIOError disposeBuffers() override;
    ASIOError controlPanel() override;
    ASIOError future(LONG selector, void* opt) override;
    ASIOError outputReady() override;

private:
    // The interface table, through which the driver calls its own operations.
    IASIO* Asio() { return this; }

    // init's steps; false when memory runs out.
    bool KeepCards();
    bool BuildChannelTables();
    // A kept card's record with its usable pipes; null when memory runs out.
    static CAsioCard* BuildCard(CDaveror* card);
    // Frees the card records and the four tables, closes every card of the
    // list once and destroys the list.
    void ReleaseCards();
    void BuildChannelName(const AsioChannel& channel, bool input, char (&name)[32]) const;

    // The settings under SOFTWARE\ASIO\<driver>\Settings. Mode bit 0 writes
    // the sample rate, bit 1 the buffer size and the three options.
    void ReadSettings();
    void WriteSettings(DWORD mode);

    CDaverorList* m_CardList;
    ASIOSampleRate m_SampleRate;
    ASIOCallbacks* m_Callbacks;
    ASIOTime m_TimeInfo;
    DWORD m_State;  // 0 loaded, 1 initialised, 2 prepared, 3 running
    DWORD m_CardCount;
    CAsioCard** m_Cards;
    DWORD m_DirectMonitoring;
    DWORD m_96kHzOnly;
    DWORD m_Mixed96kHz;  // some but not all cards accept 96000 Hz
    DWORD m_ShortNames;
    DWORD m_OutputChannelCount;
    AsioChannel* m_OutputChannels;
    DWORD m_InputChannelCount;
    AsioChannel* m_InputChannels;
    DWORD m_OutputBufferCount;
    AsioChannel* m_OutputBuffers;
    DWORD m_InputBufferCount;
    AsioChannel* m_InputBuffers;
    DWORD m_OutputLatencySum;
    DWORD m_InputLatencySum;
    DWORD m_BufferSize;  // frames per half buffer
    char m_ErrorText[124];
};
