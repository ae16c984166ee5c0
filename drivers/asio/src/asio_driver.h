// CAsioDriver, the ASIO driver object: the channels of every usable card as
// one device. It puts its IASIO table first, whose IUnknown methods forward to
// the outer unknown, and its CUnknown right after it.
#pragma once

#include <atomic>

#include <objbase.h>

#include "asio/iasio.h"
#include "daveror.h"
#include "daveror_list.h"
#include "unknown.h"

// The most usable pipes a card offers in one direction.
constexpr int MAX_CARD_PIPES = 32;
// The card's digital mode in which its digital pipes carry ADAT; S/PDIF otherwise.
constexpr DWORD DIGITAL_MODE_ADAT = 2;
// A pipe's direction in the card driver's protocol.
constexpr DWORD DIRECTION_OUTPUT = 0;
constexpr DWORD DIRECTION_INPUT = 1;

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
    DWORD* Position;       // the transport's position counter, in bytes
    HANDLE Event;          // the transport event
    DWORD Active;          // the transport is open
    // The buffer-switch thread's: the counter at its last wake, and how far
    // the counter has moved since the start in 64 bits, which does not wrap.
    std::atomic<DWORD> LastPosition;
    std::atomic<ULONGLONG> BytesMoved;
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

    // createBuffers' way out of a failure: everything released, state 1.
    ASIOError FailBuffers(ASIOError error);
    void SetUpTimeInfo();
    // One switch of the host to the other half, the same for start's two
    // pre-fills and for the buffer-switch thread.
    void BufferSwitch();

    // The buffer-switch thread, one per process: the object it serves and its
    // handle are module-wide. ClaimThread is false while it serves another object.
    bool ClaimThread();
    void ReleaseThreadClaim();
    bool StartThread();
    // Stops the thread, waiting at most 1000 ms; a thread still in the host's
    // callback then stays recorded. Stopped by the control panel (state 3),
    // the thread stays this object's, with its event array, until stop.
    void StopThread();
    // Waits without a limit for a thread that outlived its stop.
    void WaitForThread();
    // When the recorded thread, if any, ends within `milliseconds`, its
    // handle is closed; then, unless the driver still runs, the event array
    // is freed and the thread free for any object.
    void EndThread(DWORD milliseconds);
    static DWORD BufferSwitchThread(LPVOID);
    void ServeBufferSwitches();

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
    // The size the buffers are made at, and the mask that goes with it.
    void SetStreamingSize(DWORD size);

    // Direct monitoring: future(kAsioSetInputMonitor).
    ASIOError SetInputMonitor(const ASIOInputMonitor* monitor);

    // What the host's thread and the buffer-switch thread share are atomics;
    // the rest the thread reads only between start, which writes them before
    // it makes the thread, and stop, which waits for its end.
    CDaverorList* m_CardList;
    std::atomic<ULONGLONG> m_SamplePosition;  // frames handed to the host since start
    ULONGLONG m_TimeStamp;                    // nanoseconds; with the last time under m_TimeLock
    DWORD m_LastTime;                         // milliseconds of the last time-stamp update
    std::atomic<DWORD> m_WakeTime;            // milliseconds of the thread's last wake
    ASIOSampleRate m_SampleRate;
    std::atomic<ASIOCallbacks*> m_Callbacks;
    // Its flags word and rate change on both threads, through atomic_ref.
    alignas(8) ASIOTime m_TimeInfo;
    std::atomic<DWORD> m_State;  // 0 loaded, 1 initialised, 2 prepared, 3 running
    DWORD m_CardCount;
    CAsioCard** m_Cards;
    DWORD m_ActiveCardCount;  // cards with an open transport
    HANDLE* m_Events;         // their transport events, while the thread runs
    std::atomic<DWORD> m_Run; // the thread loops while set
    std::atomic<DWORD> m_ResetRequest;  // the thread's exit asks the host for a reset
    DWORD m_ThreadTimeout;    // milliseconds
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
    // Frames per half buffer. The preferred size is what the host is told
    // and the settings keep; the streaming size is what the buffers have,
    // set by createBuffers only, and follows the preferred size while there
    // are none, so that a confirmed control panel never changes the size of
    // a stream under way.
    DWORD m_PreferredSize;
    DWORD m_StreamingSize;
    std::atomic<DWORD> m_ResyncLimit;  // bytes a counter may move between two wakes
    DWORD m_PositionMask;              // 2 x the streaming size - 1
    std::atomic<DWORD> m_BufferIndex;  // the half the host fills next
    BYTE m_TimeInfoMode;               // the host takes bufferSwitchTimeInfo
    char m_ErrorText[124];
    CRITICAL_SECTION m_TimeLock;
};
