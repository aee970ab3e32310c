#pragma once

#include <cstdint>
#include <vector>

namespace marlo {

class MemoryImage;

// The user channels in use that share receive frequency, transmit frequency
// and mode with another channel in use, by slot index in slot order. An empty
// side counts as 0 Hz, as the radio uses it.
std::vector<std::int32_t> duplicateChannels(MemoryImage& image);

} // namespace marlo
