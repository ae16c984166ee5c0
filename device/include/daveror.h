// CDaveror: the system's handle on one card, one device interface of the card
// driver. It keeps the interface path, opens the interface as a file, reads the
// capabilities and carries what the card driver issues per open file: the
// mixer and transport cookies, the meter record and the notification buffer.
//
// The console and the ASIO driver build their cards through the card list; the
// wave driver builds its own with CDaveror::Create from a registry path. That
// card does not open at construction, opens the file only, reads its
// capabilities with ReadCapabilities and writes its error texts with codes.
//
// Open, Close, OpenMixer, CloseMixer, OpenTransport, CloseTransport,
// RestartDriver and the creation of the transport event hold the card's own
// re-entrant mutex. Everything else takes no lock: its callers serialise it.
#pragma once

#include <atomic>

#include <setupapi.h>
#include <windows.h>

#include "daveror_codes.h"
#include "daveror_records.h"

class CDaverorList;

class CDaveror {
public:
    // A card of the console or the ASIO driver: opens, reads the capabilities
    // and the driver flags word, closes, and finds its device node.
    CDaveror(const char* path, HDEVINFO deviceSet, DWORD memberIndex);
    // A card of the wave driver, from a device path alone; nothing is opened.
    // Null when memory runs out.
    static CDaveror* Create(const char* path);
    ~CDaveror();
    CDaveror(const CDaveror&) = delete;
    CDaveror& operator=(const CDaveror&) = delete;

    int IsValid() const { return m_Ok; }
    const char* GetErrorText() const { return m_ErrorText; }
    const char* GetPath() const { return m_Path; }
    CDaveror* GetNext() const { return m_Next; }
    bool IsWaveCard() const { return m_Variant == Variant::WaveCard; }

    // ---- Open and close -----------------------------------------------------------------
    int Open();  // the ok flag afterwards
    void Close();
    int IsOpen() const { return m_OpenCount; }
    // The wave driver's card: open, read the capabilities, close; the ok flag.
    int ReadCapabilities();
    // The card driver's own text for the error flagged in the clock mask; null
    // only when its buffer cannot be had.
    const char* GetDriverErrorText();
    // major << 16 | minor << 8 | build; 0 when the request fails.
    DWORD GetDriverVersion();

    const CapabilitiesRecord& Caps() const { return m_Caps; }
    // The card name, terminated within its 128 bytes whatever the driver sent.
    const char* GetCardName() const { return m_CardName; }
    const BoxTypeRecord& BoxType() const { return m_BoxType; }
    WORD GetDriverFlags() const { return m_DriverFlags; }
    int CanLinkWaveDevices() const { return (m_DriverFlags & DRIVER_FLAG_WAVE_LINK) ? 1 : 0; }
    int HasDigInAutoMute() const { return (m_DriverFlags & DRIVER_FLAG_DIG_IN_AUTO_MUTE) ? 1 : 0; }

    // ---- Mixer session and messages -----------------------------------------------------
    int OpenMixer();   // 0, DAVEROR_NO_COOKIE or DAVEROR_NO_METERS
    int CloseMixer();  // always 0
    // Nonzero when the card driver took the request; 0 when the ok flag is clear or it failed.
    int SendMixerMessage(void* request, DWORD size);
    DWORD GetMixerCookie() const { return m_MixerCookie; }

    // Each wrapper returns the message's status (0 = done); a message that could
    // not be sent gives DAVEROR_FAILED and a getter then hands back 0.
    DWORD GetMonitorGain(WORD input, WORD bus, LONG* value);
    DWORD SetMonitorGain(WORD input, WORD bus, LONG value);
    DWORD GetMonitorPan(WORD input, WORD bus, DWORD* value);
    DWORD SetMonitorPan(WORD input, WORD bus, DWORD value);
    DWORD GetMonitorMute(WORD input, WORD bus, DWORD* value);
    DWORD SetMonitorMute(WORD input, WORD bus, DWORD value);
    DWORD GetPipeGain(WORD pipe, WORD bus, LONG* value);
    DWORD SetPipeGain(WORD pipe, WORD bus, LONG value);
    DWORD GetPipeMute(WORD pipe, WORD bus, DWORD* value);
    DWORD SetPipeMute(WORD pipe, WORD bus, DWORD value);
    DWORD GetPipePan(WORD pipe, WORD bus, DWORD* value);
    DWORD SetPipePan(WORD pipe, WORD bus, DWORD value);
    DWORD GetBusOutGain(WORD bus, LONG* value);
    DWORD SetBusOutGain(WORD bus, LONG value);
    DWORD GetBusOutMute(WORD bus, DWORD* value);
    DWORD SetBusOutMute(WORD bus, DWORD value);
    DWORD GetBusOutNominal(WORD bus, DWORD* value);
    DWORD SetBusOutNominal(WORD bus, DWORD value);
    DWORD GetInputTrim(WORD input, LONG* value);
    DWORD SetInputTrim(WORD input, LONG value);
    DWORD GetInputNominal(WORD input, DWORD* value);
    DWORD SetInputNominal(WORD input, DWORD value);
    DWORD GetInputClock(DWORD* value);
    DWORD SetInputClock(DWORD value);  // travels as 16 bits
    DWORD GetOutputClock(DWORD* value);
    DWORD SetOutputClock(DWORD value);  // travels as 16 bits
    DWORD GetDigitalMode(DWORD* value);
    DWORD SetDigitalMode(DWORD value);
    DWORD GetSpdifFormat(DWORD* value);
    DWORD SetSpdifFormat(DWORD value);
    DWORD GetSampleRateLock(DWORD* value);  // DRIVER_FLAG_RATE_LOCK or 0
    DWORD SetSampleRateLock(DWORD on);
    DWORD GetSyncWaveDevices(DWORD* value);  // DRIVER_FLAG_SYNC_WAVE or 0
    DWORD SetSyncWaveDevices(DWORD on);
    DWORD GetLockedRate(DWORD* value);
    DWORD SetLockedRate(DWORD value);
    DWORD GetDigInAutoMute(DWORD* value);
    DWORD SetDigInAutoMute(DWORD value);
    DWORD GetPhantomPower(DWORD* value);
    DWORD SetPhantomPower(DWORD value);

    // ---- Meters and change notifications ----------------------------------------------
    int ReadMeters();  // nonzero = the record was refreshed
    const MeterRecord& Meters() const { return m_Meters; }
    // Hands back the entries filled and the first of them, valid until the next
    // call: 0 entries when the fetch failed. Returns the request's result, or
    // DAVEROR_NO_MEMORY (with 0 entries and null) when the buffer cannot be had.
    int GetNotifications(DWORD* count, NotifyEntry** entries);

    // ---- Card settings -----------------------------------------------------------------
    BOOL GetWaveConfig(WaveConfigRecord* record);
    BOOL SetWaveConfig(const WaveConfigRecord* record);
    BOOL SetCardName(const char* name);  // 0 without a request when there is none or it does not fit 128 bytes
    BOOL GetWaveBufferSize(DWORD* size);
    BOOL SetWaveBufferSize(DWORD size);
    BOOL GetGsifBufferSize(DWORD* size);
    BOOL SetGsifBufferSize(DWORD size);  // 0 without a request for a size the card does not take
    BOOL SetSpeakerDelay(DWORD speaker, DWORD delay);
    void GetSpeakerDelay(DWORD speaker, DWORD* delay);

    // ---- Transport and restart -----------------------------------------------------------
    int OpenTransport();   // 0, DAVEROR_NO_HANDLE or DAVEROR_NO_COOKIE
    int CloseTransport();  // always 0
    DWORD GetTransportCookie() const { return m_TransportCookie; }
    // 0 = reserved; nonzero = refused (also when the request failed).
    DWORD ReservePipes(DWORD mode, DWORD direction, WORD firstPipe, WORD pipeCount);
    // Nonzero = restarted. The card is closed afterwards unless it has no device node.
    BOOL RestartDriver();

    // ---- Streaming -----------------------------------------------------------------------
    DWORD CheckPipes(DWORD direction, WORD firstPipe, WORD pipeCount);  // 0 = usable
    void* MapPipeBuffer(DWORD direction, WORD pipe, DWORD frames);     // null = no mapping
    // The card's position counter, null = no mapping. Read it with ReadPosition,
    // a fresh load each time: the card driver moves it as the transport runs.
    DWORD* MapPipePosition(DWORD direction, WORD pipe);
    static DWORD ReadPosition(DWORD* counter)
    {
        return std::atomic_ref<DWORD>(*counter).load(std::memory_order_acquire);
    }
    HANDLE GetTransportEvent();  // null when it cannot be made or the card driver refused it
    const char* GetTransportEventName() const { return m_EventName; }
    DWORD CheckSampleRate(DWORD rate);  // nonzero = supported
    DWORD SetSampleRate(DWORD rate);
    DWORD StartTransport();
    DWORD StopTransport();
    DWORD PauseTransport();
    // Mute, pan and gain of one monitor route in one request; the first message's status.
    DWORD SetMonitor(WORD inputBus, WORD outputBus, DWORD mute, LONG gain, DWORD pan);
    DWORD GetPipeLatency(WORD pipe, WORD direction);  // samples; 0 when unknown

    // ---- The wave driver's stored configuration --------------------------------------------
    void StoreWaveConfig(const WaveConfigRecord* record);
    const WaveConfigRecord& StoredWaveConfig() const { return m_WaveConfig; }
    DWORD CountWaveOutDevices() const;
    DWORD CountWaveInDevices() const;
    bool FindWaveOutDevice(DWORD n, WORD* firstPipe, WORD* width) const;
    bool FindWaveInDevice(DWORD n, WORD* firstPipe, WORD* width) const;

private:
    friend class CDaverorList;
    enum class Variant { Card, WaveCard };
    CDaveror(const char* path, Variant variant);

    void CopyPath(const char* path);
    void SetError(const char* format, ...);
    void ReadCardName();
    BOOL Ioctl(DWORD code, void* in, DWORD inSize, void* out, DWORD outSize);
    DWORD StreamRequest(DWORD code, DWORD input, DWORD failed);
    // The one-message forms of the wrappers: value (u32 at 0x10), routed (u16 bus
    // at 0x10, u32 at 0x14) and word (u16 at 0x10). NoKind leaves the kind word unset.
    static constexpr DWORD NoKind = 0xFFFFFFFF;
    DWORD GetValue(DWORD command, WORD channel, DWORD kind, DWORD* value);
    DWORD SetValue(DWORD command, WORD channel, DWORD kind, DWORD value);
    DWORD GetRouted(DWORD command, WORD channel, DWORD kind, WORD bus, DWORD* value);
    DWORD SetRouted(DWORD command, WORD channel, DWORD kind, WORD bus, DWORD value);
    DWORD GetWordValue(DWORD command, DWORD* value);
    DWORD SetWordValue(DWORD command, WORD value);
    // Sends a filled one-message request; its status, or DAVEROR_FAILED.
    DWORD Transact(MixerRequest& request);

    // The card object's fields, in its record's order.
    char m_Path[MAX_PATH];
    bool m_PathFits;
    HDEVINFO m_DeviceSet;
    SP_DEVINFO_DATA m_DeviceNode;
    int m_Ok;
    char m_ErrorText[128];
    char* m_DriverErrorText;
    CapabilitiesRecord m_Caps;
    char m_CardName[sizeof(CapabilitiesRecord::CardName) + 1];
    BoxTypeRecord m_BoxType;
    WORD m_DriverFlags;
    HANDLE m_Handle;
    int m_OpenCount;
    DWORD m_MixerCookie;
    DWORD m_TransportCookie;
    char m_EventName[128];
    HANDLE m_TransportEvent;
    HANDLE m_Mutex;
    MeterRecord m_Meters;
    DWORD m_NotifySize;
    NotifyBuffer* m_Notify;
    CDaveror* m_Next;
    Variant m_Variant;
    WaveConfigRecord m_WaveConfig;
};
