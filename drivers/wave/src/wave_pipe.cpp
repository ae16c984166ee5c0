// A wave stream: construction, open on its own card object, close and
// destruction.
#include "wave_pipe.h"

#include <new>

#include "auto_lock.h"
#include "dither_noise.h"
#include "wave_card.h"

namespace {

// Every reservation of a stream is of this mode and two pipes.
constexpr DWORD kReserveMode = 1;
constexpr WORD kStreamPipes = 2;

// The ring arithmetic masks with ring bytes - 1: the ring must be a power of
// two and its byte count must fit 32 bits.
bool IsRingSize(DWORD waveBufferSize)
{
    const ULONGLONG ringBytes = ULONGLONG{waveBufferSize} * 2 * kRingFrameBytes;
    return waveBufferSize != 0 && (waveBufferSize & (waveBufferSize - 1)) == 0 && ringBytes <= 0xFFFFFFFFu;
}

}  // namespace

CWavePipe::CWavePipe(CWaveCard& waveCard, WORD deviceId, WORD firstPipe, DWORD direction,
                     const WAVEOPENDESC& description, DWORD openFlags)
    : m_QueueHead(nullptr),
      m_QueueTail(nullptr),
      m_LoopStart(nullptr),
      m_LoopCount(0),
      m_LoopPassMoved(false),
      m_QueueLock{},
      m_StateLock{},
      m_FramesLeft(0),
      m_DataCursor(nullptr),
      m_State(kStopped),
      m_WaveCard(waveCard),
      m_Card(CDaveror::Create(waveCard.Card().GetPath())),
      m_DeviceId(deviceId),
      m_FirstPipe(firstPipe),
      m_Direction(direction),
      m_SampleWidth(SampleWidth(*description.lpFormat)),
      m_Channels(description.lpFormat->nChannels),
      m_SampleRate(description.lpFormat->nSamplesPerSec),
      m_BlockAlign(description.lpFormat->nBlockAlign),
      m_Frames(0),
      m_RingBytes(0),
      m_PositionMask(0),
      m_ThreadId(0),
      m_Thread(nullptr),
      m_WorkerAdrift(false),
      m_TransportEvent(nullptr),
      m_RunFlag(0),
      m_Semaphore(nullptr),
      m_RingBase(nullptr),
      m_PositionCounter(nullptr),
      m_Pending(0),
      m_RingCursor(nullptr),
      m_RingEnd(nullptr),
      m_CardPosition(0),
      m_Position(0),
      m_Callback(description.dwCallback),
      m_Instance(description.dwInstance),
      m_WaveHandle(description.hWave),
      m_OpenFlags(openFlags),
      m_Error(MMSYSERR_NOERROR),
      m_Converter(nullptr),
      m_Dither(nullptr)
{
    InitializeCriticalSection(&m_QueueLock);
    InitializeCriticalSection(&m_StateLock);

    // The open has checked the format: one or two channels of 1 to 4 bytes.
    const bool analogInput = firstPipe < waveCard.Caps().AnalogInputPipes;
    const SampleConverter(&converters)[2][4] = direction == DIR_WAVE_OUT ? PlaybackConverters
                                               : analogInput             ? AnalogRecordConverters
                                                                         : DigitalRecordConverters;
    m_Converter = converters[m_Channels - 1][m_SampleWidth / 8 - 1];
    // Without its dither, the stream records undithered.
    if (direction == DIR_WAVE_IN && analogInput && (m_SampleWidth == 8 || m_SampleWidth == 16)) {
        m_Dither = new (std::nothrow) DitherNoise;
        if (m_Dither) m_Dither->Init(m_SampleWidth);
    }
}

CWavePipe::~CWavePipe()
{
    StopThread();
    // The card object's close releases the transport, the reserved pipes and the file.
    delete m_Card;
    DeleteCriticalSection(&m_StateLock);
    DeleteCriticalSection(&m_QueueLock);
    if (m_Semaphore) CloseHandle(m_Semaphore);
    if (m_Thread) CloseHandle(m_Thread);
    delete m_Dither;
}

WORD CWavePipe::SampleWidth(const WAVEFORMATEX& format)
{
    return static_cast<WORD>((format.nBlockAlign / format.nChannels) * 8);
}

MMRESULT CWavePipe::Open()
{
    m_Error = OpenCard();
    if (m_Error == MMSYSERR_NOERROR) Notify(m_Direction == DIR_WAVE_OUT ? WOM_OPEN : WIM_OPEN, 0);
    return m_Error;
}

MMRESULT CWavePipe::OpenCard()
{
    if (!m_Card->ReadCapabilities()) return MMSYSERR_NODRIVER;
    m_Card->Open();
    m_Card->OpenTransport();
    if (m_Card->ReservePipes(kReserveMode, m_Direction, m_FirstPipe, kStreamPipes) != 0) return MMSYSERR_NODRIVER;

    DWORD size = 0;  // written only when the request succeeds
    m_Card->GetWaveBufferSize(&size);
    if (!IsRingSize(size)) return MMSYSERR_NODRIVER;
    m_Frames = 2 * size;
    m_RingBytes = m_Frames * kRingFrameBytes;
    m_PositionMask = m_RingBytes - 1;

    m_RingBase = static_cast<BYTE*>(m_Card->MapPipeBuffer(m_Direction, m_FirstPipe, m_Frames));
    if (!m_RingBase) return MMSYSERR_NOMEM;
    m_RingCursor = m_RingBase;
    m_RingEnd = m_RingBase + m_RingBytes;
    m_Pending = m_Direction == DIR_WAVE_OUT ? m_Frames : 0;
    m_CardPosition = 0;

    m_PositionCounter = m_Card->MapPipePosition(m_Direction, m_FirstPipe);
    if (!m_PositionCounter) return MMSYSERR_NOMEM;
    m_TransportEvent = m_Card->GetTransportEvent();
    if (!m_TransportEvent) return MMSYSERR_NOMEM;
    return MMSYSERR_NOERROR;
}

MMRESULT CWavePipe::Close()
{
    {
        CAutoLock lock(m_QueueLock);
        if (m_QueueHead) return WAVERR_STILLPLAYING;
    }
    Reset();
    // A worker that did not stop may still read the ring and the position:
    // their card object stays open with the stream, which is then kept.
    if (StopThread()) {
        m_Card->CloseTransport();
        m_Card->Close();
    }
    Notify(m_Direction == DIR_WAVE_OUT ? WOM_CLOSE : WIM_CLOSE, 0);
    m_Callback = 0;
    m_Instance = 0;
    m_WaveHandle = nullptr;
    return MMSYSERR_NOERROR;
}

void CWavePipe::Notify(UINT message, DWORD_PTR param1)
{
    if (!m_Callback) return;
    DriverCallback(m_Callback, HIWORD(m_OpenFlags), reinterpret_cast<HDRVR>(m_WaveHandle), message, m_Instance,
                   param1, 0);
}
