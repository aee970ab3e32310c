#include "core/timeout.h"

#include "platform/monotonicClock.h"

namespace marlo {

Timeout::Timeout(TimeoutClock clock) : clock_(clock != nullptr ? clock : &monotonicMs) {}

void Timeout::Start(std::uint32_t ms) {
    duration_ = ms;
    start_ = clock_();
    armed_ = true;
}

std::uint32_t Timeout::Remaining() {
    if (!armed_)
        return 0;
    const std::uint32_t elapsed = clock_() - start_;
    if (elapsed < duration_)
        return duration_ - elapsed;
    armed_ = false;
    return 0;
}

} // namespace marlo
