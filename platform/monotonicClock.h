#pragma once

#include <cstdint>

namespace marlo {

// The millisecond tick counter: a monotonic count that wraps at 2^32.
std::uint32_t monotonicMs();

} // namespace marlo
