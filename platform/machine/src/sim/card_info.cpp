// What the card tells about itself: version, capabilities, box type and the
// text of a driver error.
#include <algorithm>
#include <cstring>

#include "handlers.h"
#include "win32/errors.h"

namespace machine {

void CardDriver::Impl::FillCaps(sim::CapabilitiesRecord& caps) const
{
    caps = {};
    if (faults_.rawCapsName) {
        std::memcpy(caps.name, faults_.rawCapsName->data(), sizeof caps.name);  // exactly as a test asked
    } else {
        const std::size_t length = std::min<std::size_t>(settings_.name.size(), sizeof caps.name - 1);
        std::memcpy(caps.name, settings_.name.data(), length);  // the rest stays zero: always terminated
    }
    caps.family = config_.family;
    caps.inputClockMask = config_.clockMask;
    caps.digitalModeFlags = config_.digitalModeSwitch ? 0x4u : 0u;
    caps.virtualOutputs = config_.virtualOutputs ? 1u : 0u;
    caps.outputPipes = config_.outputPipes;
    caps.inputPipes = config_.inputPipes;
    caps.outputBusses = config_.outputBusses;
    caps.inputBusses = config_.inputBusses;
    caps.analogOutputBusses = config_.analogOutputBusses;
    caps.analogInputBusses = config_.analogInputBusses;
    caps.analogOutputPipes = config_.analogOutputPipes;
    caps.analogInputPipes = config_.analogInputPipes;
    std::copy(config_.outputPipeFlags.begin(), config_.outputPipeFlags.end(), caps.outputPipeFlags);
    std::copy(config_.outputBusFlags.begin(), config_.outputBusFlags.end(), caps.outputBusFlags);
    std::copy(config_.inputFlags.begin(), config_.inputFlags.end(), caps.inputFlags);
}

}  // namespace machine

namespace machine::sim {

Outcome GetDriverVersion(Card& card, const Request& request) { return Answer(request, card.Config().driverVersion); }

Outcome GetCaps(Card& card, const Request& request)
{
    if (request.outSize == sizeof(CapabilitiesRecord)) {
        CapabilitiesRecord caps;
        card.FillCaps(caps);
        std::memcpy(request.buffer.data(), &caps, sizeof caps);
        return Outcome::Done(sizeof caps);
    }
    if (request.outSize == sizeof(BoxTypeRecord) && card.Config().family == 0x100) {
        std::memcpy(request.buffer.data(), card.Config().boxType.data(), sizeof(BoxTypeRecord));
        return Outcome::Done(sizeof(BoxTypeRecord));
    }
    return Outcome::Fail(ERROR_INVALID_PARAMETER);
}

Outcome GetErrorText(Card& card, const Request& request)
{
    BYTE* out = request.buffer.data();
    std::memset(out, 0, kErrorTextSize);
    if (card.Faults().rawErrorText) {
        const std::vector<BYTE>& raw = *card.Faults().rawErrorText;
        std::memcpy(out, raw.data(), std::min<std::size_t>(raw.size(), kErrorTextSize));
    } else if ((card.Config().clockMask & 0x80000000u) != 0) {
        const std::string& text = card.Config().driverErrorText;
        std::memcpy(out, text.data(), std::min<std::size_t>(text.size(), kErrorTextSize - 1));
    }
    return Outcome::Done(kErrorTextSize);
}

}  // namespace machine::sim
