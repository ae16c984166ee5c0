// The control codes the card answers, with the exact sizes each demands.
#include <array>

#include "handlers.h"
#include "win32/errors.h"

namespace machine::sim {
namespace {

constexpr DWORD kVaries = 0xFFFFFFFF;  // the handler checks the sizes itself

struct Entry {
    DWORD code;
    DWORD inSize;
    DWORD outSize;
    Outcome (*handler)(Card&, const Request&);
};

constexpr std::array kCodes{
    Entry{IOCTL_GET_DRIVER_VERSION, 0, 4, GetDriverVersion},
    Entry{IOCTL_GET_CAPS, 0, kVaries, GetCaps},
    Entry{IOCTL_OPEN_MIXER, 0, 4, OpenMixer},
    Entry{IOCTL_CLOSE_MIXER, 4, 0, CloseMixer},
    Entry{IOCTL_MIXER_MESSAGE, kVaries, kVaries, MixerMessage},
    Entry{IOCTL_GET_METERS, sizeof(MeterRecord), sizeof(MeterRecord), GetMeters},
    Entry{IOCTL_GET_NOTIFICATIONS, sizeof(NotifyBuffer), sizeof(NotifyBuffer), GetNotifications},
    Entry{IOCTL_GET_SPEAKER_DELAY, sizeof(SpeakerDelayRecord), sizeof(SpeakerDelayRecord), GetSpeakerDelay},
    Entry{IOCTL_GET_ERROR_TEXT, 0, kErrorTextSize, GetErrorText},
    Entry{IOCTL_SET_SPEAKER_DELAY, sizeof(SpeakerDelayRecord), 0, SetSpeakerDelay},
    Entry{IOCTL_GET_WAVE_CONFIG, 0, sizeof(WaveConfigRecord), GetWaveConfig},
    Entry{IOCTL_SET_WAVE_CONFIG, sizeof(WaveConfigRecord), 0, SetWaveConfig},
    Entry{IOCTL_SET_CARD_NAME, kVaries, 0, SetCardName},
    Entry{IOCTL_GET_WAVE_BUFFER_SIZE, 0, 4, GetWaveBufferSize},
    Entry{IOCTL_SET_WAVE_BUFFER_SIZE, 4, 0, SetWaveBufferSize},
    Entry{IOCTL_OPEN_TRANSPORT, 0, 4, OpenTransport},
    Entry{IOCTL_CLOSE_TRANSPORT, 4, 0, CloseTransport},
    Entry{IOCTL_MAP_PIPE_BUFFER, sizeof(PipeBufferRequest), 4, MapPipeBuffer},
    Entry{IOCTL_SET_TRANSPORT_EVENT, sizeof(TransportEventRecord), 4, SetTransportEvent},
    Entry{IOCTL_MAP_PIPE_POSITION, sizeof(PipePositionRequest), 4, MapPipePosition},
    Entry{IOCTL_START_TRANSPORT, 4, 4, StartTransport},
    Entry{IOCTL_STOP_TRANSPORT, 4, 4, StopTransport},
    Entry{IOCTL_RESERVE_PIPES, sizeof(PipeReservation), 4, ReservePipes},
    Entry{IOCTL_CHECK_SAMPLE_RATE, 4, 4, CheckSampleRate},
    Entry{IOCTL_SET_SAMPLE_RATE, 4, 4, SetSampleRate},
    Entry{IOCTL_CHECK_PIPES, sizeof(PipeCheck), 4, CheckPipes},
    Entry{IOCTL_GET_GSIF_BUFFER_SIZE, 0, 4, GetGsifBufferSize},
    Entry{IOCTL_SET_GSIF_BUFFER_SIZE, 4, 0, SetGsifBufferSize},
    Entry{IOCTL_PAUSE_TRANSPORT, 4, 4, PauseTransport},
};

bool SizeFits(DWORD wanted, DWORD given) noexcept { return wanted == kVaries || wanted == given; }

}  // namespace
}  // namespace machine::sim

namespace machine {

sim::Outcome CardDriver::Impl::Dispatch(const sim::Request& request)
{
    for (const sim::Entry& entry : sim::kCodes) {
        if (entry.code != request.code) continue;
        if (!sim::SizeFits(entry.inSize, request.inSize) || !sim::SizeFits(entry.outSize, request.outSize))
            return sim::Outcome::Fail(ERROR_INVALID_PARAMETER);
        return entry.handler(*this, request);
    }
    return sim::Outcome::Fail(ERROR_INVALID_FUNCTION);
}

}  // namespace machine
