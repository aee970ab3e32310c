#pragma once

#include <cstdint>

class cmcEeprom;

// Sets the band edges to one receive range and one transmit range (Hz), and
// unsets every other transmit range the image holds.
void cmcSetBandEdges(cmcEeprom& image, std::int32_t rxLow, std::int32_t rxHigh, std::int32_t txLow,
                     std::int32_t txHigh);
