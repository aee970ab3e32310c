#pragma once

#include <cstdint>

// The millisecond tick counter: a monotonic count that wraps at 2^32.
std::uint32_t cmcTickCount();
