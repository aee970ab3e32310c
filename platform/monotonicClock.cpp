#include "platform/monotonicClock.h"

#include <chrono>

namespace marlo {

std::uint32_t monotonicMs() {
    using namespace std::chrono;
    const auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<std::uint32_t>(ms);
}

} // namespace marlo
