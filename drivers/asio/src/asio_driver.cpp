// The driver object's life: creation, init with its card discovery, and
// destruction, which gives back every card and stores the sample rate.
#include "asio_driver.h"

#include <new>

#include "driver_identity.h"

namespace {

constexpr DWORD DIGITAL_MODE_SWITCH = 4;  // bit 2 of the capabilities' digital-mode word
// Pipes that carry ADAT only: in S/PDIF mode the last six of each direction go.
constexpr WORD ADAT_ONLY_PIPES = 6;
constexpr DWORD RATE_96K = 96000;

// The usable pipes among the first `pipes` of a direction, in ascending order.
WORD FindUsablePipes(CDaveror* card, DWORD direction, WORD pipes, WORD* usable)
{
    WORD count = 0;
    for (WORD pipe = 0; pipe < pipes; ++pipe)
        if (card->CheckPipes(direction, pipe, 1) == 0) usable[count++] = pipe;
    return count;
}

WORD Smallest(WORD a, WORD b) { return a < b ? a : b; }

}  // namespace

CUnknown* CAsioDriver::CreateInstance(IUnknown* outer, HRESULT*) { return new (std::nothrow) CAsioDriver(outer); }

CAsioDriver::CAsioDriver(IUnknown* outer)
    : CUnknown(outer),
      m_CardList(nullptr),
      m_SamplePosition(0),
      m_TimeStamp(0),
      m_LastTime(0),
      m_WakeTime(0),
      m_SampleRate(44100.0),
      m_Callbacks(nullptr),
      m_TimeInfo{},
      m_State(0),
      m_CardCount(0),
      m_Cards(nullptr),
      m_ActiveCardCount(0),
      m_Events(nullptr),
      m_Run(0),
      m_ResetRequest(0),
      m_ThreadTimeout(0),
      m_DirectMonitoring(1),
      m_96kHzOnly(0),
      m_Mixed96kHz(0),
      m_ShortNames(0),
      m_OutputChannelCount(0),
      m_OutputChannels(nullptr),
      m_InputChannelCount(0),
      m_InputChannels(nullptr),
      m_OutputBufferCount(0),
      m_OutputBuffers(nullptr),
      m_InputBufferCount(0),
      m_InputBuffers(nullptr),
      m_OutputLatencySum(0),
      m_InputLatencySum(0),
      m_PreferredSize(512),
      m_StreamingSize(0),
      m_ResyncLimit(0),
      m_PositionMask(0),
      m_BufferIndex(0),
      m_TimeInfoMode(0),
      m_ErrorText{}
{
    InitializeCriticalSection(&m_TimeLock);
    ReadSettings();
    SetStreamingSize(m_PreferredSize);
}

CAsioDriver::~CAsioDriver()
{
    Asio()->stop();
    Asio()->disposeBuffers();
    ReleaseCards();
    WriteSettings(1);
    DeleteCriticalSection(&m_TimeLock);
}

HRESULT CAsioDriver::NonDelegatingQueryInterface(REFIID iid, void** out)
{
    // A host asks for IASIO under the driver's class identifier.
    if (out && IsEqualIID(iid, CLSID_AsioZavo)) {
        *out = Asio();
        Asio()->AddRef();
        return S_OK;
    }
    return CUnknown::NonDelegatingQueryInterface(iid, out);
}

ASIOBool CAsioDriver::init(void*)
{
    if (m_State != 0) return ASIOTrue;
    lstrcpyA(m_ErrorText, "ASIO Driver open Failure!");

    // The list makes its cards with a throwing new.
    try {
        m_CardList = new (std::nothrow) CDaverorList();
    } catch (const std::bad_alloc&) {
        m_CardList = nullptr;
    }
    if (!m_CardList) return ASIOFalse;
    if (m_CardList->GetCount() == 0) {
        ReleaseCards();
        return ASIOFalse;
    }

    // Which cards can run at 96 kHz. These opens last until destruction.
    DWORD capable = 0;
    for (DWORD i = 0; i < m_CardList->GetCount(); ++i) {
        CDaveror* card = m_CardList->GetCard(i);
        card->Open();
        if (card->CheckSampleRate(RATE_96K)) ++capable;
    }
    if (capable == 0) {
        m_96kHzOnly = 0;
        m_Mixed96kHz = 0;
    } else if (capable == m_CardList->GetCount()) {
        m_96kHzOnly = 1;
        m_Mixed96kHz = 0;
    } else {
        m_Mixed96kHz = 1;
    }

    // No usable card, or no channel on the cards kept, is no device.
    if (!KeepCards() || m_CardCount == 0 || !BuildChannelTables() ||
        m_OutputChannelCount + m_InputChannelCount == 0) {
        ReleaseCards();
        return ASIOFalse;
    }
    m_State = 1;
    return ASIOTrue;
}

bool CAsioDriver::KeepCards()
{
    m_Cards = new (std::nothrow) CAsioCard*[m_CardList->GetCount()];
    if (!m_Cards) return false;
    for (DWORD i = 0; i < m_CardList->GetCount(); ++i) {
        CDaveror* card = m_CardList->GetCard(i);
        // A card whose driver reports an error, or whose capabilities could
        // not be read, has no channels to offer.
        if (!card->IsValid() || (card->Caps().InputClockMask & CLOCK_MASK_DRIVER_ERROR)) continue;
        CAsioCard* record = BuildCard(card);
        if (!record) return false;
        if (m_96kHzOnly && !card->CheckSampleRate(RATE_96K)) {
            delete record;
            continue;
        }
        card->SetSampleRate(static_cast<DWORD>(m_SampleRate));
        m_Cards[m_CardCount++] = record;
    }
    return true;
}

CAsioCard* CAsioDriver::BuildCard(CDaveror* card)
{
    CAsioCard* record = new (std::nothrow) CAsioCard{};
    if (!record) return nullptr;
    const CapabilitiesRecord& caps = card->Caps();
    record->Card = card;
    record->HighestOutput = -1;
    record->HighestInput = -1;
    record->VirtualOutputs = caps.VirtualOutputs;

    // The walk covers what the capability flag arrays describe; the record
    // keeps the first of what is left.
    WORD outputs[64];
    WORD inputs[32];
    WORD outputCount = FindUsablePipes(card, DIRECTION_OUTPUT, Smallest(caps.OutputPipes, 64), outputs);
    WORD inputCount = FindUsablePipes(card, DIRECTION_INPUT, Smallest(caps.InputPipes, 32), inputs);
    card->GetDigitalMode(&record->DigitalMode);
    if ((caps.DigitalModeFlags & DIGITAL_MODE_SWITCH) && record->DigitalMode != DIGITAL_MODE_ADAT) {
        outputCount -= Smallest(outputCount, ADAT_ONLY_PIPES);
        inputCount -= Smallest(inputCount, ADAT_ONLY_PIPES);
    }
    record->OutputCount = Smallest(outputCount, MAX_CARD_PIPES);
    record->InputCount = Smallest(inputCount, MAX_CARD_PIPES);
    CopyMemory(record->OutputPipes, outputs, record->OutputCount * sizeof(WORD));
    CopyMemory(record->InputPipes, inputs, record->InputCount * sizeof(WORD));
    return record;
}

bool CAsioDriver::BuildChannelTables()
{
    for (DWORD i = 0; i < m_CardCount; ++i) {
        m_OutputChannelCount += m_Cards[i]->OutputCount;
        m_InputChannelCount += m_Cards[i]->InputCount;
    }
    m_OutputChannels = new (std::nothrow) AsioChannel[m_OutputChannelCount];
    m_InputChannels = new (std::nothrow) AsioChannel[m_InputChannelCount];
    if (!m_OutputChannels || !m_InputChannels) return false;
    DWORD output = 0;
    DWORD input = 0;
    for (DWORD i = 0; i < m_CardCount; ++i) {
        CAsioCard* card = m_Cards[i];
        for (WORD p = 0; p < card->OutputCount; ++p) m_OutputChannels[output++] = {card, card->OutputPipes[p], 0};
        for (WORD p = 0; p < card->InputCount; ++p) m_InputChannels[input++] = {card, card->InputPipes[p], 0};
    }
    return true;
}

void CAsioDriver::ReleaseCards()
{
    for (DWORD i = 0; i < m_CardCount; ++i) delete m_Cards[i];
    delete[] m_Cards;
    m_Cards = nullptr;
    m_CardCount = 0;
    delete[] m_OutputChannels;
    delete[] m_InputChannels;
    delete[] m_OutputBuffers;
    delete[] m_InputBuffers;
    m_OutputChannels = m_InputChannels = m_OutputBuffers = m_InputBuffers = nullptr;
    m_OutputChannelCount = m_InputChannelCount = m_OutputBufferCount = m_InputBufferCount = 0;
    if (m_CardList) {
        for (DWORD i = 0; i < m_CardList->GetCount(); ++i) m_CardList->GetCard(i)->Close();
        delete m_CardList;
        m_CardList = nullptr;
    }
}

void CAsioDriver::getDriverName(char* name)
{
    if (name) lstrcpyA(name, kDriverName);
}

LONG CAsioDriver::getDriverVersion() { return 1; }

void CAsioDriver::getErrorMessage(char* text)
{
    if (text) lstrcpyA(text, m_ErrorText);
}

ASIOError CAsioDriver::future(LONG selector, void* opt)
{
    if (selector == kAsioSetInputMonitor) return SetInputMonitor(static_cast<const ASIOInputMonitor*>(opt));
    if (selector == kAsioCanInputMonitor) return m_DirectMonitoring ? ASE_SUCCESS : ASE_NotPresent;
    return ASE_NotPresent;
}

ASIOError CAsioDriver::outputReady() { return ASE_NotPresent; }
