// Transport sessions: pipe reservations, the event the card sets each
// period, the shared pipe buffers and position counters, and start, stop
// and pause. A refusal is an answer word, not a failed request.
#include "transports.h"

#include <algorithm>
#include <atomic>
#include <span>

#include "handlers.h"
#include "win32/errors.h"

namespace machine {

namespace sim {

const Reservation* Transport::Find(std::uint32_t direction, unsigned pipe) const noexcept
{
    for (const Reservation& reservation : reservations)
        if (reservation.Holds(direction, pipe)) return &reservation;
    return nullptr;
}

std::uint32_t Transport::Period(std::uint32_t waveBufferSize) const noexcept
{
    std::uint32_t period = 0;
    for (const BufferMapping& buffer : buffers)
        period = period == 0 ? buffer.frames / 2 : std::min(period, buffer.frames / 2);
    if (buffers.empty()) period = waveBufferSize;
    return std::max<std::uint32_t>(period, 1);
}

void Transport::StoreCounters() noexcept
{
    // Free-running: the counter wraps only at 2^32, never at the buffer's end.
    for (PositionMapping& position : positions)
        std::atomic_ref<std::uint32_t>(*position.Counter())
            .store(static_cast<std::uint32_t>(framesElapsed * 4 * position.width), std::memory_order_release);
}

void Transport::Reanchor() noexcept
{
    epoch = std::chrono::steady_clock::now();
    ticks = 0;
}

Transport& TransportSessions::Open(std::uint32_t cookie, std::uint64_t file)
{
    Transport& transport = transports_.emplace_back();
    transport.cookie = cookie;
    transport.file = file;
    owedEvents_.reserve(transports_.size());  // so that the clock never allocates
    return transport;
}

Transport* TransportSessions::Find(std::uint32_t cookie, std::uint64_t file) noexcept
{
    for (Transport& transport : transports_)
        if (transport.cookie == cookie && transport.file == file) return &transport;
    return nullptr;
}

Transport* TransportSessions::FindRunning(std::uint32_t cookie) noexcept
{
    for (Transport& transport : transports_)
        if (transport.cookie == cookie && transport.state == TransportInfo::State::Running) return &transport;
    return nullptr;
}

std::vector<Transport>::iterator TransportSessions::CloseAt(std::vector<Transport>::iterator transport, OpenFiles& files)
{
    // A client thread may still read a counter after the close (the ASIO driver's thread can
    // outlive its stop wait), so the pages stay mapped until the file closes.
    for (BufferMapping& buffer : transport->buffers)
        files.Keep(transport->file, std::move(buffer.pages));
    for (PositionMapping& position : transport->positions)
        files.Keep(transport->file, std::move(position.pages));
    return transports_.erase(transport);  // drops the card's reference to the event
}

void TransportSessions::Close(const Transport& transport, OpenFiles& files)
{
    CloseAt(transports_.begin() + (&transport - transports_.data()), files);
}

void TransportSessions::CloseFile(std::uint64_t file, OpenFiles& files)
{
    for (auto t = transports_.begin(); t != transports_.end();)
        t = t->file == file ? CloseAt(t, files) : t + 1;
}

void TransportSessions::CloseAll(OpenFiles& files)
{
    for (auto t = transports_.begin(); t != transports_.end();)
        t = CloseAt(t, files);
}

bool TransportSessions::Reserved(std::uint32_t direction, unsigned pipe) const noexcept
{
    return std::any_of(transports_.begin(), transports_.end(),
                       [&](const Transport& transport) { return transport.Find(direction, pipe) != nullptr; });
}

bool TransportSessions::AnyReservation() const noexcept
{
    return std::any_of(transports_.begin(), transports_.end(), [](const Transport& t) { return !t.reservations.empty(); });
}

std::uint32_t TransportSessions::MaxRunningPeriod(std::uint32_t waveBufferSize) const noexcept
{
    std::uint32_t period = 0;
    for (const Transport& transport : transports_)
        if (transport.state == TransportInfo::State::Running)
            period = std::max(period, transport.Period(waveBufferSize));
    return period != 0 ? period : waveBufferSize;
}

void TransportSessions::Reanchor() noexcept
{
    for (Transport& transport : transports_)
        transport.Reanchor();
}

void TransportSessions::OweEvent(const Transport& transport)
{
    if (transport.event) owedEvents_.push_back(transport.event);
}

void TransportSessions::SetOwedEvents(std::unique_lock<std::mutex>& cardLock, std::vector<win32::ObjectRef>& batch)
{
    if (owedEvents_.empty()) return;
    // Copied, not swapped: what the list keeps stays with it, and an open that makes room
    // in it never touches a batch another thread is setting.
    batch.assign(owedEvents_.begin(), owedEvents_.end());
    owedEvents_.clear();
    cardLock.unlock();
    for (const win32::ObjectRef& event : batch) {
        stamps_.Stamp();
        event.SetEvent();
    }
    batch.clear();
    cardLock.lock();
}

}  // namespace sim

bool CardDriver::Impl::PipeReserved(std::uint32_t direction, unsigned pipe) const noexcept
{
    return transports_.Reserved(direction, pipe) ||
           std::any_of(faults_.heldPipes.begin(), faults_.heldPipes.end(),
                       [&](const sim::Reservation& held) { return held.Holds(direction, pipe); });
}

bool CardDriver::Impl::InUse() const noexcept
{
    return !faults_.heldPipes.empty() || transports_.AnyReservation();
}

std::uint16_t CardDriver::Impl::PipeCount(std::uint32_t direction) const noexcept
{
    return direction == 0 ? config_.outputPipes : direction == 1 ? config_.inputPipes : 0;
}

namespace {

constexpr std::uint32_t kLowRates[] = {8000, 11025, 16000, 22050};
constexpr std::uint32_t kProRates[] = {32000, 44100, 48000, 88200, 96000};
constexpr std::uint32_t kConsumerRates[] = {8000, 11025, 16000, 22050, 32000, 44100, 48000};
constexpr std::uint32_t kFixedRates[] = {44100, 48000};
constexpr std::uint32_t kAllRates[] = {8000, 11025, 16000, 22050, 32000, 44100, 48000, 88200, 96000};

bool Listed(std::span<const std::uint32_t> rates, std::uint32_t rate) noexcept
{
    return std::find(rates.begin(), rates.end(), rate) != rates.end();
}

}  // namespace

// Asked with the card's lock held, which the clock thread also takes: answered
// from the family's table, never by building the list of every rate.
bool CardDriver::Impl::RateSupported(std::uint32_t rate) const noexcept
{
    if (!config_.sampleRates.empty()) return Listed(config_.sampleRates, rate);
    switch (config_.family) {
    case 0x60:
        return Listed(kLowRates, rate) || (rate >= 25000 && rate <= 100000);
    case 0x80:
    case 0x90:
    case 0xA0:
    case 0xB0:
    case 0x100:
        return Listed(kProRates, rate);
    case 0x30:
    case 0xC0:
        return Listed(kConsumerRates, rate);
    case 0x10:
    case 0x20:
        return Listed(kFixedRates, rate);
    default:
        return Listed(kAllRates, rate);
    }
}

}  // namespace machine

namespace machine::sim {
namespace {

constexpr std::uint32_t kMaxMappedFrames = 1u << 20;

// Pipes outside the card, a direction it has not, or an empty run.
bool BadRange(const Card& card, std::uint32_t direction, std::uint32_t first, std::uint32_t count) noexcept
{
    return direction > 1 || count == 0 || first + count > card.PipeCount(direction);
}

}  // namespace

Outcome OpenTransport(Card& card, const Request& request)
{
    if (card.Faults().zeroTransportCookie) return Answer(request, 0);
    const std::uint32_t cookie = card.NextCookie();
    card.Transports().Open(cookie, request.file);
    return Answer(request, cookie);
}

Outcome CloseTransport(Card& card, const Request& request)
{
    const Transport* transport = card.Transports().Find(Load<std::uint32_t>(request.buffer.data()), request.file);
    if (transport == nullptr) return Outcome::Fail(ERROR_INVALID_PARAMETER);
    card.Transports().Close(*transport, card.Files());
    return Outcome::Done(0);
}

Outcome ReservePipes(Card& card, const Request& request)
{
    PipeReservation in;
    std::memcpy(&in, request.buffer.data(), sizeof in);
    Transport* transport = card.Transports().Find(in.cookie, request.file);
    if (transport == nullptr) return Answer(request, 3);
    if (in.mode != 1 || BadRange(card, in.direction, in.firstPipe, in.count)) return Answer(request, 2);
    for (unsigned pipe = in.firstPipe; pipe < in.firstPipe + in.count; ++pipe)
        if (card.PipeReserved(in.direction, pipe)) return Answer(request, 1);
    transport->reservations.push_back({in.direction, in.firstPipe, in.count});
    return Answer(request, 0);
}

Outcome CheckPipes(Card& card, const Request& request)
{
    PipeCheck in;
    std::memcpy(&in, request.buffer.data(), sizeof in);
    if (BadRange(card, in.direction, in.firstPipe, in.count)) return Answer(request, 1);
    for (unsigned pipe = in.firstPipe; pipe < in.firstPipe + in.count; ++pipe) {
        const bool unusable = std::any_of(card.Faults().unusablePipes.begin(), card.Faults().unusablePipes.end(),
                                          [&](const Reservation& r) { return r.Holds(in.direction, pipe); });
        if (unusable || card.PipeReserved(in.direction, pipe)) return Answer(request, 1);
    }
    return Answer(request, 0);
}

Outcome SetTransportEvent(Card& card, const Request& request)
{
    TransportEventRecord in;
    std::memcpy(&in, request.buffer.data(), sizeof in);
    Transport* transport = card.Transports().Find(in.cookie, request.file);
    if (transport == nullptr || card.Faults().refuseEvent) return Answer(request, 1);
    // The card holds the event object itself, as the kernel would: the client may close its handle.
    win32::ObjectRef event = win32::ObjectRef::FromHandle(reinterpret_cast<HANDLE>(std::uintptr_t{in.event}));
    if (!event || event.Kind() != win32::ObjectKind::Event) return Answer(request, 1);
    transport->event = std::move(event);
    return Answer(request, 0);
}

Outcome MapPipeBuffer(Card& card, const Request& request)
{
    PipeBufferRequest in;
    std::memcpy(&in, request.buffer.data(), sizeof in);
    Transport* transport = card.Transports().Find(in.cookie, request.file);
    if (transport == nullptr || in.frames < 1 || in.frames > kMaxMappedFrames) return Answer(request, 0);
    const Reservation* reservation = transport->Find(in.direction, in.pipe);
    if (reservation == nullptr || reservation->first != in.pipe) return Answer(request, 0);
    for (const BufferMapping& buffer : transport->buffers)
        if (buffer.direction == in.direction && buffer.pipe == in.pipe)
            return Answer(request, buffer.frames == in.frames ? buffer.pages.Address() : 0);

    SharedPages pages = SharedPages::Allocate(std::size_t{in.frames} * 4 * reservation->count);
    if (!pages) return Answer(request, 0);
    const std::uint32_t address = pages.Address();
    transport->buffers.push_back({std::move(pages), in.direction, in.pipe, reservation->count, in.frames});
    return Answer(request, address);
}

Outcome MapPipePosition(Card& card, const Request& request)
{
    PipePositionRequest in;
    std::memcpy(&in, request.buffer.data(), sizeof in);
    Transport* transport = card.Transports().Find(in.cookie, request.file);
    if (transport == nullptr) return Answer(request, 0);
    const Reservation* reservation = transport->Find(in.direction, in.pipe);
    if (reservation == nullptr) return Answer(request, 0);
    for (const PositionMapping& position : transport->positions)
        if (position.direction == in.direction && position.pipe == in.pipe)
            return Answer(request, position.pages.Address());

    SharedPages pages = SharedPages::Allocate(sizeof(std::uint32_t));
    if (!pages) return Answer(request, 0);
    const std::uint32_t address = pages.Address();
    transport->positions.push_back({std::move(pages), in.direction, in.pipe, reservation->count});
    transport->StoreCounters();
    return Answer(request, address);
}

Outcome StartTransport(Card& card, const Request& request)
{
    Transport* transport = card.Transports().Find(Load<std::uint32_t>(request.buffer.data()), request.file);
    if (transport == nullptr || transport->reservations.empty()) return Answer(request, 1);
    if (transport->state != TransportInfo::State::Running) {
        if (card.Clock().Mode() == ClockMode::RealTime && !card.StartClock()) return Answer(request, 2);
        transport->state = TransportInfo::State::Running;  // from 0 when stopped, from where it was when paused
        transport->Reanchor();
        card.Clock().Wake();
    }
    return Answer(request, 0);
}

Outcome StopTransport(Card& card, const Request& request)
{
    Transport* transport = card.Transports().Find(Load<std::uint32_t>(request.buffer.data()), request.file);
    if (transport == nullptr) return Answer(request, 1);
    transport->state = TransportInfo::State::Stopped;
    transport->framesElapsed = 0;
    transport->StoreCounters();
    return Answer(request, 0);
}

Outcome PauseTransport(Card& card, const Request& request)
{
    Transport* transport = card.Transports().Find(Load<std::uint32_t>(request.buffer.data()), request.file);
    if (transport == nullptr) return Answer(request, 1);
    if (transport->state == TransportInfo::State::Running) transport->state = TransportInfo::State::Paused;
    return Answer(request, 0);
}

Outcome CheckSampleRate(Card& card, const Request& request)
{
    return Answer(request, card.RateSupported(Load<std::uint32_t>(request.buffer.data())) ? 1 : 0);
}

Outcome SetSampleRate(Card& card, const Request& request)
{
    const std::uint32_t rate = Load<std::uint32_t>(request.buffer.data());
    if (!card.RateSupported(rate)) return Answer(request, 1);
    if (card.Faults().enforceRateLock && (card.Mixer().userFlags & DRIVER_FLAG_RATE_LOCK) != 0 &&
        rate != card.Mixer().lockedRate)
        return Answer(request, 2);
    if (rate != card.Settings().sampleRate) {
        card.Settings().sampleRate = rate;
        card.Transports().Reanchor();  // deadlines from now on at the new rate
        card.Clock().Wake();
    }
    return Answer(request, 0);
}

}  // namespace machine::sim
