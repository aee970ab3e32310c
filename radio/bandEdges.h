#pragma once

#include <cstdint>

namespace marlo {

class MemoryImage;

// Sets the band edges to one receive range and one transmit range (Hz), and
// unsets every other transmit range the image holds.
void setBandEdges(MemoryImage& image, std::int32_t rxLow, std::int32_t rxHigh, std::int32_t txLow,
                  std::int32_t txHigh);

} // namespace marlo
