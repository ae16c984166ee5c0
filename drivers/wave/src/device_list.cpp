// The device list: slots from the cards' wave configurations, device names,
// the format check and the opening of streams.
#include "device_list.h"

#include <cstring>
#include <new>

#include "daveror_trace.h"

namespace {

// An extensible format carries 22 bytes after its WAVEFORMATEX, its sub-format last.
constexpr WORD kExtensibleExtra = sizeof(WAVEFORMATEXTENSIBLE) - sizeof(WAVEFORMATEX);

bool IsPcmSubFormat(const WAVEFORMATEX& format)
{
    if (format.cbSize < kExtensibleExtra) return false;
    GUID subFormat;
    std::memcpy(&subFormat, reinterpret_cast<const BYTE*>(&format) + offsetof(WAVEFORMATEXTENSIBLE, SubFormat),
                sizeof subFormat);
    return subFormat == KSDATAFORMAT_SUBTYPE_PCM;
}

// wsprintfA writes at most 1024 characters; the name is whole in this many.
constexpr int kNameText = 1025;

bool IsHighSurrogate(WCHAR unit) { return unit >= 0xD800 && unit <= 0xDBFF; }

// Copies what fits of `source` with the terminator; a cut never leaves half
// of a surrogate pair behind.
void CopyName(WCHAR (&name)[MAXPNAMELEN], const WCHAR* source)
{
    int length = 0;
    while (length < static_cast<int>(MAXPNAMELEN) - 1 && source[length] != 0) ++length;
    if (source[length] != 0 && length > 0 && IsHighSurrogate(source[length - 1])) --length;
    std::memcpy(name, source, length * sizeof(WCHAR));
    name[length] = 0;
}

}  // namespace

CDeviceList::~CDeviceList() { ReleaseCards(); }

bool CDeviceList::AddCards(CDaverorList& cards)
{
    for (DWORD k = 0; k < cards.GetCount() && k < kMaxCards; ++k) {
        CWaveCard* card = new (std::nothrow) CWaveCard(*cards.GetCard(k));
        if (!card) return false;
        m_Cards[m_CardCount++] = card;
        AddDevices(card, DIR_WAVE_OUT);
        AddDevices(card, DIR_WAVE_IN);
    }
    return true;
}

void CDeviceList::AddDevices(CWaveCard* card, DWORD direction)
{
    const CDaveror& daveror = card->Card();
    const DWORD count = direction == DIR_WAVE_OUT ? daveror.CountWaveOutDevices() : daveror.CountWaveInDevices();
    const DWORD first = m_DeviceCount[direction];
    m_DeviceCount[direction] += count;
    WORD firstPipe = 0;
    WORD width = 0;
    for (DWORD i = 0; i < count; ++i) {
        const bool found = direction == DIR_WAVE_OUT ? daveror.FindWaveOutDevice(i, &firstPipe, &width)
                                                     : daveror.FindWaveInDevice(i, &firstPipe, &width);
        if (!found) break;
        m_Slots[direction][first + i] = {card, firstPipe};
    }
}

void CDeviceList::ReleaseCards()
{
    m_Clients[DIR_WAVE_OUT].Clear();
    m_Clients[DIR_WAVE_IN].Clear();
    while (m_CardCount > 0) delete m_Cards[--m_CardCount];
}

const CDeviceList::Slot* CDeviceList::FindSlot(WORD id, DWORD direction) const
{
    const Slot* slot = id < kSlots && m_Slots[direction][id].card ? &m_Slots[direction][id] : nullptr;
    if (!slot && direction == DIR_WAVE_OUT) DaverorTrace("GetWavePipeFromDevId - no card for dev %d", id);
    return slot;
}

MMRESULT CDeviceList::GetDevCaps(WORD id, DWORD direction, WCHAR (&name)[MAXPNAMELEN]) const
{
    const Slot* slot = FindSlot(id, direction);
    if (!slot) {
        DaverorTrace("CDeviceList::GetDevCaps - failed for wDevId %d (fWaveIn %d)", id, direction);
        name[0] = 0;
        return MMSYSERR_BADDEVICEID;
    }
    const CapabilitiesRecord& caps = slot->card->Caps();
    int pipe = slot->firstPipe;
    const char* format;
    if (direction == DIR_WAVE_IN) {
        if (pipe < caps.AnalogInputPipes) {
            format = "%s %d-%d Analog In NM";
        } else {
            pipe -= caps.AnalogInputPipes;
            format = "%s %d-%d Digital In NM";
        }
    } else if (caps.VirtualOutputs) {
        format = "%s %d-%d Virtual Out NM";
    } else if (pipe < caps.AnalogOutputPipes) {
        format = "%s %d-%d Analog Out NM";
    } else {
        pipe -= caps.AnalogOutputPipes;
        format = "%s %d-%d Digital Out NM";
    }
    char narrow[kNameText];
    wsprintfA(narrow, format, slot->card->Card().GetCardName(), pipe + 1, pipe + 2);
    WCHAR wide[kNameText];
    if (!MultiByteToWideChar(CP_ACP, 0, narrow, -1, wide, kNameText)) wide[0] = 0;
    CopyName(name, wide);
    return MMSYSERR_NOERROR;
}

MMRESULT CDeviceList::CheckFormat(WORD id, DWORD direction, const WAVEFORMATEX& format) const
{
    const Slot* slot = FindSlot(id, direction);
    if (!slot) {
        DaverorTrace("CDeviceList::CheckFormat - bad ID %d\n", id);
        return MMSYSERR_BADDEVICEID;
    }
    if (format.wFormatTag == WAVE_FORMAT_EXTENSIBLE) {
        if (!IsPcmSubFormat(format)) {
            DaverorTrace(
                "CDeviceList::CheckFormat - WAVE_FORMAT_EXTENSIBLE specified, but subtype is not "
                "KSDATAFORMAT_SUBTYPE_PCM\n");
            return WAVERR_BADFORMAT;
        }
    } else if (format.wFormatTag != WAVE_FORMAT_PCM) {
        return WAVERR_BADFORMAT;
    }
    if (format.nChannels != 1 && format.nChannels != 2) return WAVERR_BADFORMAT;
    if (!slot->card->IsRateSupported(format.nSamplesPerSec)) return WAVERR_BADFORMAT;
    const WORD width = CWavePipe::SampleWidth(format);
    if (width != 8 && width != 16 && width != 24 && width != 32) {
        DaverorTrace("CDeviceList::CheckFormat - invalid bits per sample %d\n", width);
        return WAVERR_BADFORMAT;
    }
    return MMSYSERR_NOERROR;
}

MMRESULT CDeviceList::OpenWaveClient(WORD id, DWORD direction, const WAVEOPENDESC& description, DWORD openFlags,
                                     DWORD_PTR* instance)
{
    const Slot* slot = FindSlot(id, direction);
    if (!slot) return MMSYSERR_NOERROR;

    // The node comes first: a stream that opened but could not be listed
    // would keep its pipes with no message able to reach it.
    auto* node = new (std::nothrow) CClientList::Node{nullptr, nullptr};
    CWavePipe* pipe =
        node ? new (std::nothrow) CWavePipe(*slot->card, id, slot->firstPipe, direction, description, openFlags) : nullptr;
    if (!pipe || !pipe->HasCard()) {
        DaverorTrace("CDeviceList::OpenWaveClient Failed to allocate client");
        delete pipe;
        delete node;
        *instance = 0;
        return MMSYSERR_NOMEM;
    }

    *instance = reinterpret_cast<DWORD_PTR>(pipe);
    const MMRESULT error = pipe->Open();
    if (error != MMSYSERR_NOERROR) {
        delete pipe;
        delete node;
        *instance = 0;
        return error;
    }
    node->pipe = pipe;
    m_Clients[direction].Add(node);
    return MMSYSERR_NOERROR;
}
