// The card's clock thread, from its start to its join.
#include "card_clock.h"

#include <system_error>
#include <utility>

namespace machine::sim {

bool CardClock::Start(std::function<void()> loop)
{
    if (thread_.joinable()) return true;
    try {
        thread_ = std::thread(std::move(loop));
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void CardClock::Stop()
{
    {
        std::lock_guard guard(cardLock_);
        stop_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

}  // namespace machine::sim
