#pragma once

#include <cstdint>

namespace marlo {

// The frequencies the radio knows, in Hz.
namespace marloFrequency {
inline constexpr std::int32_t receiveLowest = 30'000;     // the receiver's lower edge
inline constexpr std::int32_t transmitLowest = 1'600'000; // the transmitter's lower edge
inline constexpr std::int32_t highest = 29'999'999;       // both upper edges
inline constexpr std::int32_t noEdge = -1;                // an unused transmit range limit
} // namespace marloFrequency

} // namespace marlo
