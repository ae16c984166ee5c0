// Mixer sessions: the cookie a file opens, the mixer messages any file may
// send, the meter record and the change notifications of a session.
#include <algorithm>
#include <cstring>

#include "handlers.h"
#include "win32/errors.h"

namespace machine {

sim::MixerSession* CardDriver::Impl::FindSession(std::uint32_t cookie, std::uint64_t file) noexcept
{
    for (sim::MixerSession& session : sessions)
        if (session.cookie == cookie && session.file == file) return &session;
    return nullptr;
}

void CardDriver::Impl::Notify(sim::NotifyEntry entry, std::uint64_t exceptFile)
{
    for (sim::MixerSession& session : sessions) {
        if (exceptFile != 0 && session.file == exceptFile) continue;
        // An entry already waiting says the same: the queue stays bounded by what can change.
        if (std::find(session.queue.begin(), session.queue.end(), entry) == session.queue.end())
            session.queue.push_back(entry);
    }
}

void CardDriver::Impl::RunMeters()
{
    const auto now = std::chrono::steady_clock::now();
    std::uint64_t frames;
    double seconds;
    if (clockMode == ClockMode::Manual) {
        frames = manualMeterFrames;
        seconds = static_cast<double>(frames) / Rate();
    } else {
        seconds = std::chrono::duration<double>(now - lastMeterRun).count();
        // A meter shows peaks of the recent past; a long pause is not played back in full.
        frames = static_cast<std::uint64_t>(std::min(seconds, 0.25) * Rate());
    }
    manualMeterFrames = 0;
    lastMeterRun = now;
    for (sim::PipeHistory& history : played)
        history.LimitMeterBacklog(frames);
    meters.Run(mixer, inputSignals, played, frames, Rate(), seconds);
}

std::uint32_t CardDriver::Impl::DetectedClocks() const noexcept
{
    if (faults.detectedClocks) return *faults.detectedClocks;
    // Internal is always there; the card also locks to the source it is set to, when it has it.
    return 1u | ((config_.clockMask & 0x7FFFFFFFu) & (1u << mixer.inputClock));
}

}  // namespace machine

namespace machine::sim {

Outcome OpenMixer(Card& card, const Request& request)
{
    if (card.faults.zeroMixerCookie) return Answer(request, 0);
    const std::uint32_t cookie = card.NextCookie();
    card.sessions.push_back(MixerSession{cookie, request.file, false, {}});
    return Answer(request, cookie);
}

Outcome CloseMixer(Card& card, const Request& request)
{
    const MixerSession* session = card.FindSession(Load<std::uint32_t>(request.buffer.data()), request.file);
    if (session == nullptr) return Outcome::Fail(ERROR_INVALID_PARAMETER);
    card.sessions.erase(card.sessions.begin() + (session - card.sessions.data()));
    return Outcome::Done(0);
}

Outcome MixerMessage(Card& card, const Request& request)
{
    if (request.inSize < 4) return Outcome::Fail(ERROR_INVALID_PARAMETER);
    const std::uint32_t count = Load<std::uint32_t>(request.buffer.data());
    const std::uint64_t size = 4 + std::uint64_t{kMixerMessageSize} * count;
    if (count < 1 || count > kMaxMixerMessages || request.inSize != size || request.outSize != size)
        return Outcome::Fail(ERROR_INVALID_PARAMETER);
    for (std::uint32_t i = 0; i < count; ++i)
        card.ApplyMixerMessage(request.buffer.data() + 4 + std::size_t{kMixerMessageSize} * i, request.file);
    return Outcome::Done(request.inSize);
}

Outcome GetMeters(Card& card, const Request& request)
{
    BYTE* out = request.buffer.data();
    const MixerSession* session = card.FindSession(Load<std::uint32_t>(out), request.file);
    if (session == nullptr || !session->meters) return Outcome::Fail(ERROR_INVALID_PARAMETER);
    card.RunMeters();

    MeterRecord record;
    std::memcpy(&record, out, sizeof record);  // the cookie goes back as it came
    record.pipeMeterCount = card.faults.pipeMeterCount.value_or(card.mixer.outputPipes);
    record.inputBusCount = card.mixer.inputBusses;
    record.busMeterCount = card.faults.busMeterCount.value_or(card.mixer.outputBusses);
    std::memset(record.reserved010, 0, sizeof record.reserved010);
    for (unsigned i = 0; i < std::size(record.pipeLevels); ++i)
        record.pipeLevels[i] = i < card.mixer.outputPipes ? card.meters.Level(MeterGroup::Pipe, i) : kMeterFloor;
    for (unsigned i = 0; i < std::size(record.busLevels); ++i)
        record.busLevels[i] = i < card.mixer.outputBusses ? card.meters.Level(MeterGroup::OutputBus, i) : kMeterFloor;
    for (unsigned i = 0; i < std::size(record.inputLevels); ++i)
        record.inputLevels[i] = i < card.mixer.inputBusses ? card.meters.Level(MeterGroup::Input, i) : kMeterFloor;
    record.detectedClocks = card.DetectedClocks();
    record.changesPending = session->queue.empty() ? 0 : 1;
    std::memcpy(out, &record, sizeof record);
    return Outcome::Done(sizeof record);
}

Outcome GetNotifications(Card& card, const Request& request)
{
    BYTE* out = request.buffer.data();
    MixerSession* session = card.FindSession(Load<std::uint32_t>(out), request.file);
    if (session == nullptr) return Outcome::Fail(ERROR_INVALID_PARAMETER);
    NotifyBuffer reply{};
    reply.cookie = session->cookie;
    const std::uint32_t capacity = std::min(Load<std::uint32_t>(out + 4), kNotifyCapacity);
    while (reply.count < capacity && !session->queue.empty()) {
        reply.entries[reply.count++] = session->queue.front();
        session->queue.pop_front();
    }
    if (card.faults.notificationCount) reply.count = *card.faults.notificationCount;
    std::memcpy(out, &reply, sizeof reply);
    return Outcome::Done(sizeof reply);
}

}  // namespace machine::sim
