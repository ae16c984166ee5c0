// The card driver's answer to each control code. Each runs with the card's
// lock held, on a request whose sizes the dispatcher has checked.
#pragma once

#include <cstring>

#include "card_impl.h"

namespace machine::sim {

using Card = CardDriver::Impl;

// Little-endian fields of the system buffer, read and written by offset.
template <class T>
T Load(const BYTE* at) noexcept
{
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}
template <class T>
void Store(BYTE* at, T value) noexcept
{
    std::memcpy(at, &value, sizeof value);
}
// A request's one-word answer.
inline Outcome Answer(const Request& request, std::uint32_t word) noexcept
{
    Store(request.buffer.data(), word);
    return Outcome::Done(4);
}

// Card information.
Outcome GetDriverVersion(Card& card, const Request& request);
Outcome GetCaps(Card& card, const Request& request);
Outcome GetErrorText(Card& card, const Request& request);

// Mixer sessions, messages, meters and notifications.
Outcome OpenMixer(Card& card, const Request& request);
Outcome CloseMixer(Card& card, const Request& request);
Outcome MixerMessage(Card& card, const Request& request);
Outcome GetMeters(Card& card, const Request& request);
Outcome GetNotifications(Card& card, const Request& request);

// Card settings.
Outcome GetSpeakerDelay(Card& card, const Request& request);
Outcome SetSpeakerDelay(Card& card, const Request& request);
Outcome GetWaveConfig(Card& card, const Request& request);
Outcome SetWaveConfig(Card& card, const Request& request);
Outcome SetCardName(Card& card, const Request& request);
Outcome GetWaveBufferSize(Card& card, const Request& request);
Outcome SetWaveBufferSize(Card& card, const Request& request);
Outcome GetGsifBufferSize(Card& card, const Request& request);
Outcome SetGsifBufferSize(Card& card, const Request& request);

// Transports.
Outcome OpenTransport(Card& card, const Request& request);
Outcome CloseTransport(Card& card, const Request& request);
Outcome ReservePipes(Card& card, const Request& request);
Outcome CheckPipes(Card& card, const Request& request);
Outcome SetTransportEvent(Card& card, const Request& request);
Outcome MapPipeBuffer(Card& card, const Request& request);
Outcome MapPipePosition(Card& card, const Request& request);
Outcome StartTransport(Card& card, const Request& request);
Outcome StopTransport(Card& card, const Request& request);
Outcome PauseTransport(Card& card, const Request& request);
Outcome CheckSampleRate(Card& card, const Request& request);
Outcome SetSampleRate(Card& card, const Request& request);

}  // namespace machine::sim
