#include "core/cmcTick.h"

#include "platform/cmcTickCount.h"

cmcTick::cmcTick(cmcTickClock clock) : clock_(clock != nullptr ? clock : &cmcTickCount) {}

void cmcTick::Start(std::uint32_t ms) {
    duration_ = ms;
    start_ = clock_();
    armed_ = true;
}

std::uint32_t cmcTick::Remaining() {
    if (!armed_)
        return 0;
    const std::uint32_t elapsed = clock_() - start_;
    if (elapsed < duration_)
        return duration_ - elapsed;
    armed_ = false;
    return 0;
}
