#pragma once

#include "core/cmcRangeList.h"

#include <vector>

class cmcEeprom;

// The blocks of addresses within `ranges` where `a` and `b` hold different bytes,
// in list order, each as long as the run of differing bytes. An address that one
// of the images lacks counts as differing.
std::vector<cmcRange> cmcDifferingRanges(const cmcEeprom& a, const cmcEeprom& b,
                                         cmcRangeList ranges);
