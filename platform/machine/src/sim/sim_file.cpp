// Open files of a card.
#include "sim_file.h"

#include <shared_mutex>

#include "win32/errors.h"

namespace machine::sim {

BOOL SimFile::Control(DWORD code, std::span<BYTE> buffer, DWORD inSize, DWORD outSize, DWORD& returned)
{
    std::shared_lock guard(gate_->lock);
    if (gate_->card == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);  // the card has gone
        return FALSE;
    }
    return gate_->card->Control(id_, code, buffer, inSize, outSize, returned);
}

void SimFile::Cleanup()
{
    std::shared_lock guard(gate_->lock);
    if (gate_->card != nullptr) gate_->card->Cleanup(id_);
}

}  // namespace machine::sim
