// Mixer sessions: the cookie a file opens, the meter record and the change
// notifications of a session.
#include "mixer_session.h"

#include <algorithm>
#include <cstring>

#include "handlers.h"
#include "win32/errors.h"

namespace machine {

namespace sim {

void MixerSessions::Open(std::uint32_t cookie, std::uint64_t file)
{
    sessions_.push_back(MixerSession{cookie, file, false, {}});
}

MixerSession* MixerSessions::Find(std::uint32_t cookie, std::uint64_t file) noexcept
{
    for (MixerSession& session : sessions_)
        if (session.cookie == cookie && session.file == file) return &session;
    return nullptr;
}

bool MixerSessions::Close(std::uint32_t cookie, std::uint64_t file)
{
    const MixerSession* session = Find(cookie, file);
    if (session == nullptr) return false;
    sessions_.erase(sessions_.begin() + (session - sessions_.data()));
    return true;
}

void MixerSessions::CloseFile(std::uint64_t file)
{
    std::erase_if(sessions_, [file](const MixerSession& s) { return s.file == file; });
}

void MixerSessions::Notify(NotifyEntry entry, std::uint64_t exceptFile)
{
    for (MixerSession& session : sessions_) {
        if (exceptFile != 0 && session.file == exceptFile) continue;
        // An entry already waiting says the same: the queue stays bounded by what can change.
        if (std::find(session.queue.begin(), session.queue.end(), entry) == session.queue.end())
            session.queue.push_back(entry);
    }
}

bool MixerSessions::SetMeters(std::uint64_t file, bool on)
{
    bool any = false;
    for (MixerSession& session : sessions_) {
        if (file != 0 && session.file == file) {
            session.meters = on;
            any = true;
        }
    }
    return any;
}

}  // namespace sim

std::uint32_t CardDriver::Impl::DetectedClocks() const noexcept
{
    if (faults_.detectedClocks) return *faults_.detectedClocks;
    // Internal is always there; the card also locks to the source it is set to, when it has it.
    return 1u | ((config_.clockMask & 0x7FFFFFFFu) & (1u << mixer_.inputClock));
}

}  // namespace machine

namespace machine::sim {

Outcome OpenMixer(Card& card, const Request& request)
{
    if (card.Faults().zeroMixerCookie) return Answer(request, 0);
    const std::uint32_t cookie = card.NextCookie();
    card.Sessions().Open(cookie, request.file);
    return Answer(request, cookie);
}

Outcome CloseMixer(Card& card, const Request& request)
{
    if (!card.Sessions().Close(Load<std::uint32_t>(request.buffer.data()), request.file))
        return Outcome::Fail(ERROR_INVALID_PARAMETER);
    return Outcome::Done(0);
}

Outcome GetMeters(Card& card, const Request& request)
{
    BYTE* out = request.buffer.data();
    const MixerSession* session = card.Sessions().Find(Load<std::uint32_t>(out), request.file);
    if (session == nullptr || !session->meters) return Outcome::Fail(ERROR_INVALID_PARAMETER);
    card.RunMeters();

    MeterRecord record;
    std::memcpy(&record, out, sizeof record);  // the cookie goes back as it came
    record.pipeMeterCount = card.Faults().pipeMeterCount.value_or(card.Mixer().outputPipes);
    record.inputBusCount = card.Mixer().inputBusses;
    record.busMeterCount = card.Faults().busMeterCount.value_or(card.Mixer().outputBusses);
    std::memset(record.reserved010, 0, sizeof record.reserved010);
    for (unsigned i = 0; i < std::size(record.pipeLevels); ++i)
        record.pipeLevels[i] = i < card.Mixer().outputPipes ? card.Audio().Level(MeterGroup::Pipe, i) : kMeterFloor;
    for (unsigned i = 0; i < std::size(record.busLevels); ++i)
        record.busLevels[i] = i < card.Mixer().outputBusses ? card.Audio().Level(MeterGroup::OutputBus, i) : kMeterFloor;
    for (unsigned i = 0; i < std::size(record.inputLevels); ++i)
        record.inputLevels[i] = i < card.Mixer().inputBusses ? card.Audio().Level(MeterGroup::Input, i) : kMeterFloor;
    record.detectedClocks = card.DetectedClocks();
    record.changesPending = session->queue.empty() ? 0 : 1;
    std::memcpy(out, &record, sizeof record);
    return Outcome::Done(sizeof record);
}

Outcome GetNotifications(Card& card, const Request& request)
{
    BYTE* out = request.buffer.data();
    MixerSession* session = card.Sessions().Find(Load<std::uint32_t>(out), request.file);
    if (session == nullptr) return Outcome::Fail(ERROR_INVALID_PARAMETER);
    NotifyBuffer reply{};
    reply.cookie = session->cookie;
    const std::uint32_t capacity = std::min(Load<std::uint32_t>(out + 4), kNotifyCapacity);
    while (reply.count < capacity && !session->queue.empty()) {
        reply.entries[reply.count++] = session->queue.front();
        session->queue.pop_front();
    }
    if (card.Faults().notificationCount) reply.count = *card.Faults().notificationCount;
    std::memcpy(out, &reply, sizeof reply);
    return Outcome::Done(sizeof reply);
}

}  // namespace machine::sim
